#!/usr/bin/env bash
# Builds and runs the tests in three trees, warnings as errors in each: a normal build, an
# ASan+UBSan build, and a ThreadSanitizer build of the tests that start threads (CTest label
# "threads"). Tests labelled "slow" are left to be run by hand. Each tree's build and test time is
# printed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
scripts/deps.sh
# The include loops and the format are checked first: they fail in seconds.
python3 scripts/include_loops.py gamedb gif rules
git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
# Line tables are enough for the sanitizers' and gdb's backtraces, and build a third faster than -g.
opt="-O2 -g1 -DNDEBUG"

times=("$(printf '%-18s %4d s' "packages, checks" $((SECONDS - started)))")
# timed LABEL COMMAND...: runs the command and keeps its time for the summary.
timed() {
    local label=$1 t0=$SECONDS
    shift
    "$@"
    times+=("$(printf '%-18s %4d s' "$label" $((SECONDS - t0)))")
}

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$opt" \
    -DCMAKE_C_FLAGS_RELWITHDEBINFO="$opt" -DVQ_WERROR=ON >/dev/null
timed "build: build" cmake --build build -j "$jobs"
timed "build: tests" ctest --test-dir build --output-on-failure -j "$jobs" --timeout 300 -LE slow

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVQ_SANITIZE=ON -DVQ_BENCH=OFF -DVQ_WERROR=ON >/dev/null
timed "build-asan: build" cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    timed "build-asan: tests" ctest --test-dir build-asan --output-on-failure -j "$jobs" --timeout 600 -LE slow

# Only what the thread tests need is built here.
# ThreadSanitizer finds the same races at -O1, which builds faster.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="${opt/-O2/-O1}" \
    -DCMAKE_C_FLAGS_RELWITHDEBINFO="${opt/-O2/-O1}" -DVQ_TSAN=ON -DVQ_BENCH=OFF -DVQ_WERROR=ON >/dev/null
timed "build-tsan: build" cmake --build build-tsan -j "$jobs" --target vq_thread_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 VQ_STRESS_BURSTS=2000 \
    timed "build-tsan: tests" ctest --test-dir build-tsan --output-on-failure -j "$jobs" --timeout 600 -L threads -LE slow

printf '%s\n' "${times[@]}"
printf '%-18s %4d s\n' "all" $((SECONDS - started))
