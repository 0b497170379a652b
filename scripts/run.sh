#!/usr/bin/env bash
# Builds tavrix and the engine libraries, then starts tavrix in the run directory.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
cd build/run
exec ./tavrix "$@"
