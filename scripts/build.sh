#!/usr/bin/env bash
# Builds the program into build/ (or the folder given as BUILD_DIR), with extra CMake options.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir="${BUILD_DIR:-build}"
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "$@" > "$build_dir.cmake.log" 2>&1 \
  || { cat "$build_dir.cmake.log"; exit 1; }
cmake --build "$build_dir" -j "$(nproc)"
