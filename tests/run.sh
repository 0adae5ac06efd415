#!/usr/bin/env bash
# Builds the program and runs every test: in the optimised native build
# (the `release` preset), then checks the formatting and runs clang-tidy
# (tests/lint.sh), runs every test again under AddressSanitizer and
# UndefinedBehaviorSanitizer, runs the unit tests and fuzz replays in a
# portable build (no SSE2), fuzzes each fuzz target for 30 seconds, and
# last builds and tests the Windows x86-64 and Linux arm64 programs (the
# `windows-x64` and `linux-arm64` presets, under wine and qemu). Says how
# long each step took.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tests/install-packages.sh

times=()
timed() {
    local what=$1 started=$SECONDS
    shift
    "$@"
    times+=("$what: $((SECONDS - started)) s")
}

test_preset() {
    local preset=$1
    shift
    cmake --preset "$preset" "$@" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset" -j "$(nproc)"
}

# run_suite DIR [CMAKE_OPTION...] [-- CTEST_OPTION...]
run_suite() {
    local dir=$1 options=() tests=()
    shift
    while [ $# -gt 0 ] && [ "$1" != -- ]; do options+=("$1") && shift; done
    [ $# -gt 0 ] && shift && tests=("$@")
    cmake -S . -B "$dir" -G Ninja "${options[@]}" >/dev/null
    cmake --build "$dir"
    ctest --test-dir "$dir" --output-on-failure --no-tests=error -j "$(nproc)" "${tests[@]}"
}

# The release build also compiles the benchmarks, so that they keep building.
timed release test_preset release -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DPALLIMORVENQUIST_BENCH=ON
timed lint bash tests/lint.sh build/release
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    timed sanitizers run_suite build/tests-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPALLIMORVENQUIST_SANITIZE=ON
timed portable run_suite build/tests-portable -DCMAKE_BUILD_TYPE=Release \
    -DPALLIMORVENQUIST_PORTABLE=ON -- -L unit
timed fuzzing bash tests/fuzz/run.sh 30
timed windows-x64 test_preset windows-x64
timed linux-arm64 test_preset linux-arm64
printf '%s\n' "${times[@]}"
echo "All tests passed."
