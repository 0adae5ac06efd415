#!/usr/bin/env bash
# Builds and runs the micro benchmarks; arguments go to Google Benchmark,
# e.g. bash bench/run.sh --benchmark_filter='Query/insane'.
# Installs wamerican-insane when missing; the 10,000,000-entry list is
# generated into the build directory on first use. With
# PALLIMORVENQUIST_PORTABLE=ON in the environment it measures the portable
# build (no SSE2 or NEON), built apart in build/bench-portable.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/build.sh

bash tests/install-packages.sh --build-only ninja-build libbenchmark-dev wamerican-insane
build_bench benchmarks
exec "$bench_build/bench/benchmarks" "$@"
