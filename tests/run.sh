#!/usr/bin/env bash
# Builds the program and runs every test twice: in an optimised build, and
# under AddressSanitizer and UndefinedBehaviorSanitizer. Between the two,
# checks the formatting and runs clang-tidy (tests/lint.sh); at the end,
# fuzzes each fuzz target for 30 seconds.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tests/install-packages.sh clang libclang-rt-14-dev

run_suite() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir"
    ctest --test-dir "$dir" --output-on-failure --no-tests=error -j "$(nproc)"
}

# The release build also compiles the benchmarks, so that they keep building.
run_suite build/tests-release -DCMAKE_BUILD_TYPE=Release -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
    -DPALLIMORVENQUIST_BENCH=ON
bash tests/lint.sh build/tests-release
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    run_suite build/tests-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPALLIMORVENQUIST_SANITIZE=ON
bash tests/fuzz/run.sh 30
echo "All tests passed."
