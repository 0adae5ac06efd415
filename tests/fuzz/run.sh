#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer (with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a bounded time, all at once,
# starting from the committed seeds. Usage: tests/fuzz/run.sh [seconds each]
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-30}
build=build/fuzz

cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPALLIMORVENQUIST_FUZZ=ON -DPALLIMORVENQUIST_WERROR=ON >/dev/null
cmake --build "$build"

pids=()
for target in loader search dialogue; do
    mkdir -p "$build/corpus/$target"
    "$build/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
        -print_final_stats=1 "$build/corpus/$target" "tests/fuzz/corpus/$target" \
        >"$build/$target.log" 2>&1 &
    pids+=($!)
done
failed=0
for i in 0 1 2; do
    target=$(echo loader search dialogue | cut -d' ' -f$((i + 1)))
    if wait "${pids[$i]}"; then
        echo "fuzz $target: $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$build/$target.log" |
            grep -o '[0-9]*$') inputs, no failure"
    else
        echo "fuzz $target FAILED:" && tail -n 40 "$build/$target.log"
        failed=1
    fi
done
exit $failed
