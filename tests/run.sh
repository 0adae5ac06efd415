#!/usr/bin/env bash
# Builds the program and runs every test twice: in an optimised build, and
# under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tests/install-packages.sh

run_suite() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir"
    ctest --test-dir "$dir" --output-on-failure --no-tests=error -j "$(nproc)"
}

# The release build also compiles the benchmarks, so that they keep building.
run_suite build/tests-release -DCMAKE_BUILD_TYPE=Release -DPALLIMORVENQUIST_BENCH=ON
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    run_suite build/tests-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPALLIMORVENQUIST_SANITIZE=ON
echo "All tests passed."
