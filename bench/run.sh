#!/usr/bin/env bash
# Builds and runs the micro benchmarks; arguments go to Google Benchmark,
# e.g. bash bench/run.sh --benchmark_filter='Query/insane'.
# Installs wamerican-insane when missing; the 10,000,000-entry list is
# generated into the build directory on first use.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tests/install-packages.sh wamerican-insane
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DPALLIMORVENQUIST_TESTS=OFF \
    -DPALLIMORVENQUIST_BENCH=ON >/dev/null
cmake --build build/bench --target benchmarks >/dev/null
exec build/bench/bench/benchmarks "$@"
