#!/usr/bin/env bash
# Builds what the program needs (tavrix, the engine libraries, their assets and books) and starts tavrix in
# the run directory. The test command builds the rest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target vq_program
cd build/run
exec ./tavrix "$@"
