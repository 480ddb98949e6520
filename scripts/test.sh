#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (unit, SNMP, service, scenarios).
#   scripts/test.sh              the normal build, in build/
#   scripts/test.sh --sanitize   AddressSanitizer and UndefinedBehaviorSanitizer, in build-asan/
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
if [ "${1:-}" = "--sanitize" ]; then
  export BUILD_DIR=build-asan
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  bash scripts/build.sh -DTALVEX_SANITIZE=ON -DTALVEX_BENCH=OFF
else
  export BUILD_DIR=build
  bash scripts/build.sh
fi
cd "$BUILD_DIR"
ctest --output-on-failure -j "$(nproc)" --timeout 900
