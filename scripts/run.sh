#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program (languages/ stands beside it).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh -DTALVEX_TESTS=OFF -DTALVEX_BENCH=OFF
exec build/talvexsetup
