#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time (FUZZ_SECONDS, 60).
# A crash stops the script with the fuzzer's report; the input that caused it is kept in
# build-fuzz/ (run the target with that file as its argument to see it again).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-60}"
out=build-fuzz
mkdir -p "$out"
flags=(-std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -Isrc)
sources=(src/config/uConstants.cpp src/config/config_file.cpp src/config/password.cpp
         src/platform/file_system.cpp src/platform/text_encoding.cpp src/platform/atomic_file.cpp)
clang++ "${flags[@]}" tests/fuzz/config_load_fuzz.cpp "${sources[@]}" -lpugixml -o "$out/config_load_fuzz"
clang++ "${flags[@]}" tests/fuzz/password_fuzz.cpp src/config/password.cpp -o "$out/password_fuzz"
for target in config_load_fuzz password_fuzz; do
  corpus="$out/corpus-$target"
  mkdir -p "$corpus"
  options=(-max_total_time="$seconds" -max_len=8192 -print_final_stats=1 -artifact_prefix="$out/$target-")
  if [ "$target" = config_load_fuzz ]; then
    cp tests/fuzz/seeds/*.cfg "$corpus/"
    options+=(-dict=tests/fuzz/config.dict)
  fi
  echo "fuzzing $target for ${seconds}s"
  if ! "$out/$target" "${options[@]}" "$corpus" > "$out/$target.log" 2>&1; then
    tail -n 60 "$out/$target.log"
    echo "fuzz.sh: $target failed; the input is in $out/" >&2
    exit 1
  fi
  grep '^stat::' "$out/$target.log"
done
