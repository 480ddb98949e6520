#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time (FUZZ_SECONDS, 60).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-60}"
out=build-fuzz
mkdir -p "$out"
flags=(-std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -Isrc)
sources=(src/config/uConstants.cpp src/config/config_file.cpp src/config/password.cpp
         src/platform/file_system.cpp src/platform/text_encoding.cpp src/platform/atomic_file.cpp)
clang++ "${flags[@]}" tests/fuzz/config_load_fuzz.cpp "${sources[@]}" -lpugixml -o "$out/config_load_fuzz"
clang++ "${flags[@]}" tests/fuzz/password_fuzz.cpp src/config/password.cpp -o "$out/password_fuzz"
for target in config_load_fuzz password_fuzz; do
  corpus="$out/corpus-$target"
  mkdir -p "$corpus"
  if [ "$target" = config_load_fuzz ]; then cp tests/fuzz/seeds/*.cfg "$corpus/" 2>/dev/null || true; fi
  echo "fuzzing $target for ${seconds}s"
  "$out/$target" -max_total_time="$seconds" -max_len=8192 -print_final_stats=1 "$corpus" 2>&1 | tail -n 4
done
