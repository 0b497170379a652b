#!/usr/bin/env bash
# Builds and runs the tests in three trees, warnings as errors in each: a normal build, an
# ASan+UBSan build, and a ThreadSanitizer build of the tests that start threads (CTest label
# "threads"). Tests labelled "slow" are left to be run by hand.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
python3 scripts/include_loops.py gamedb gif rules
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVQ_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs" --timeout 300 -LE slow)

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVQ_SANITIZE=ON -DVQ_BENCH=OFF -DVQ_WERROR=ON >/dev/null
cmake --build build-asan -j "$jobs"
(
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    cd build-asan && ctest --output-on-failure -j "$jobs" --timeout 600 -LE slow
)

# Only what the thread tests need is built here.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVQ_TSAN=ON -DVQ_BENCH=OFF -DVQ_WERROR=ON >/dev/null
cmake --build build-tsan -j "$jobs" --target vq_thread_tests
(
    export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
    export VQ_STRESS_BURSTS=2000
    cd build-tsan && ctest --output-on-failure -j "$jobs" --timeout 600 -L threads -LE slow
)
