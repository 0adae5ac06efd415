#!/usr/bin/env bash
# Builds the program and runs every test: in the optimised native build
# (the `release` preset), then checks the formatting and runs clang-tidy
# (tests/lint.sh), runs every test again under AddressSanitizer and
# UndefinedBehaviorSanitizer (built with clang), runs the unit tests and
# fuzz replays in a portable build (no SSE2), fuzzes each fuzz target for 30
# seconds, builds and tests the Windows x86-64 and x86 and Linux arm64
# programs (the `windows-x64`, `windows-x86` and `linux-arm64` presets,
# under wine and qemu) and the web build (the `web` preset, under Node.js
# and in headless Chromium), builds each package and the site again
# elsewhere and compares the bytes (tests/reproducible.sh), and last runs
# the tests on Debian 13 and Debian unstable, in chroots made while the
# steps before compile (tests/chroots.sh; PALLIMORVENQUIST_CHROOTS=0 leaves
# that step out).
# Every build makes warnings errors. Ends with the time of each step, on
# each system, and names every test that was skipped, with its reason.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tests/install-packages.sh

system=$(. /etc/os-release && echo "${PRETTY_NAME/GNU\/Linux /}")
mkdir -p build
times=$PWD/build/step-times.txt
printf '%-22s g++ %s, clang++ %s, CMake %s\n' "$system" "$(g++ -dumpfullversion)" \
    "$(clang++ -dumpversion)" "$(cmake --version | sed -n '1s/.* //p')" >"$times"
skips=$PWD/build/skipped-tests.txt
: >"$skips"
# On the way out, whatever happened: the times so far, and no chroot left
# being made.
background=()
finish() {
    local status=$?
    [ ${#background[@]} -eq 0 ] || kill "${background[@]}" 2>/dev/null || true
    echo
    cat "$times"
    echo "Total: $((SECONDS / 60)) min $((SECONDS % 60)) s"
    if [ -s "$skips" ]; then
        echo "Skipped, as they cannot run here:"
        sed 's/^/  /' "$skips"
    fi
    if [ "$status" -ne 0 ]; then
        echo "FAILED (status $status)."
    elif [ -s "$skips" ]; then
        echo "All the other tests passed."
    else
        echo "All tests passed."
    fi
}
trap finish EXIT

# step NAME COMMAND...: runs one step and notes how long it took.
step() {
    local name=$1 started=$SECONDS
    shift
    echo "=== $system: $name"
    current_step=$name
    "$@"
    printf '%-22s %-22s %5d s\n' "$system" "$name" $((SECONDS - started)) >>"$times"
}

# ctest_noting_skips CTEST-OPTION...: runs the tests, then notes each one
# skipped, with the reason it gave.
ctest_noting_skips() {
    local junit=$PWD/build/$current_step.junit.xml
    ctest "$@" -j "$(nproc)" --test-output-size-passed 65536 --output-junit "$junit"
    bash tests/skipped_tests.sh "$(printf '%-22s %-22s' "$system" "$current_step")" "$junit" >>"$skips"
}

build_preset() {
    cmake --preset "$@" >/dev/null
    cmake --build --preset "$1"
}

test_preset() {
    build_preset "$@"
    ctest_noting_skips --preset "$1"
}

# run_suite DIR [CMAKE_OPTION | --target=TARGET]... [-- CTEST_OPTION...]
# builds the targets named (all without one) and runs the tests.
run_suite() {
    local dir=$1 options=() targets=() tests=()
    shift
    while [ $# -gt 0 ] && [ "$1" != -- ]; do
        case $1 in
            --target=*) targets+=(--target "${1#--target=}") ;;
            *) options+=("$1") ;;
        esac
        shift
    done
    [ $# -gt 0 ] && shift && tests=("$@")
    cmake -S . -B "$dir" -G Ninja -DPALLIMORVENQUIST_WERROR=ON -DPALLIMORVENQUIST_REQUIRE_TEST_TOOLS=ON \
        "${options[@]}" >/dev/null
    cmake --build "$dir" "${targets[@]}"
    ctest_noting_skips --test-dir "$dir" --output-on-failure --no-tests=error "${tests[@]}"
}

sanitized() {
    ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 "$@"
}

# On a machine whose kernel runs no 32-bit x86 code (some virtual
# machines' kernels run none), no package can make the 32-bit Windows
# program run: its step only builds it and its packages, the installers'
# test is skipped, and the run ends by saying so.
build_and_package() {
    build_preset "$1"
    (cd "build/$1" && cpack >/dev/null)
}

# The chroots of the next systems are made in the background from the
# start: that is mostly downloading and unpacking, while the steps here
# mostly compile. Their step, last, waits for them.
chroots=(debian-13 unstable)
[ "${PALLIMORVENQUIST_CHROOTS:-1}" != 0 ] || chroots=()
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
declare -A making=()
for chroot in "${chroots[@]}"; do
    mkdir -p build/chroots
    "${as_root[@]}" bash tests/chroots.sh make "$chroot" >"build/chroots/$chroot.log" 2>&1 &
    making[$chroot]=$!
    background+=($!)
done
test_chroot() {
    local chroot=$1
    wait "${making[$chroot]}" || { cat "build/chroots/$chroot.log" && return 1; }
    tail -n 1 "build/chroots/$chroot.log"
    "${as_root[@]}" bash tests/chroots.sh test "$chroot" "$times" "$skips"
}

# The release build also compiles the benchmarks, so that they keep building.
step release test_preset release -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DPALLIMORVENQUIST_BENCH=ON
step lint bash tests/lint.sh build/release
step sanitizers sanitized run_suite build/tests-sanitize -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPALLIMORVENQUIST_SANITIZE=ON
step portable run_suite build/tests-portable -DCMAKE_BUILD_TYPE=Release \
    -DPALLIMORVENQUIST_PORTABLE=ON --target=unit_tests --target=fuzz_loader --target=fuzz_search \
    --target=fuzz_dialogue -- -L unit
step fuzzing bash tests/fuzz/run.sh 30
step windows-x64 test_preset windows-x64
runs_32_bit=0
why=$(cmake/toolchains/wine.sh --runs-32-bit 2>&1) || runs_32_bit=$?
case $runs_32_bit in
    0) step windows-x86 test_preset windows-x86 ;;
    77)
        echo "$why"
        printf '%-22s %-22s  every test: %s\n' "$system" windows-x86 "$(head -n 1 <<<"$why" | sed 's/:$//')" \
            >>"$skips"
        step 'windows-x86 built only' build_and_package windows-x86
        ;;
    *) echo "=== $system: windows-x86" && echo "$why" >&2 && exit 1 ;;
esac
step linux-arm64 test_preset linux-arm64
step web test_preset web -DPALLIMORVENQUIST_NATIVE_PROGRAM="$PWD/build/release/pallimorvenquist"
step reproducible bash tests/reproducible.sh
for chroot in "${chroots[@]}"; do step "chroot $chroot" test_chroot "$chroot"; done
[ ${#chroots[@]} -gt 0 ] ||
    printf '%-22s %-22s skipped: PALLIMORVENQUIST_CHROOTS=0\n' "$system" chroots | tee -a "$times"
