# Sourced by the benchmark scripts: build_bench TARGET... builds the targets
# optimised into $bench_build, build/bench, or build/bench-portable when
# PALLIMORVENQUIST_PORTABLE=ON is set in the environment.
portable=${PALLIMORVENQUIST_PORTABLE:-OFF}
bench_build=build/bench
[ "$portable" = ON ] && bench_build=build/bench-portable

build_bench() {
    cmake -S . -B "$bench_build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPALLIMORVENQUIST_TESTS=OFF \
        -DPALLIMORVENQUIST_BENCH=ON -DPALLIMORVENQUIST_PORTABLE="$portable" >/dev/null
    cmake --build "$bench_build" --target "$@" >/dev/null
}
