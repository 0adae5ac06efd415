#!/usr/bin/env bash
# Builds each package a second time and compares it byte for byte with the
# one its preset's step left in build/<preset>: the Debian packages
# (release, linux-arm64), the Windows zips and installers (windows-x64,
# windows-x86), and every file of the web site with the Node runner (web).
# The second build is made later, from a copy of the source in another path
# (with a blank; on another file system where /dev/shm has room), under
# another time zone, locale and umask, without the tests, which no package
# holds. Where two differ, it names the members that differ: diffoscope's
# report where diffoscope is installed, otherwise a listing of them. Nothing
# here runs a built program.
# Usage: tests/reproducible.sh [PRESET...]   (all five without one)
set -euo pipefail
cd "$(dirname "$0")/.."
source=$PWD
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(release windows-x64 windows-x86 linux-arm64 web)

base=$source/build
if [ "$(df -Pk /dev/shm 2>/dev/null | awk 'NR == 2 { print $4 }')" -gt $((2 * 1024 * 1024)) ] 2>/dev/null; then
    base=/dev/shm
fi
scratch=$(mktemp -d "$base/reproducible.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
copy="$scratch/another source"
kept=$source/build/reproducible
rm -rf "$kept"

# The source as it is in this working tree, edits and new files included.
mkdir "$copy"
git ls-files -z --cached --others --exclude-standard | tar -c --null -T - -f - | tar -x -C "$copy" -f -

# Swiss French, made here from Debian's locale sources (package locales);
# the other zone is 14 hours ahead of UTC, when the first may be anywhere
# from 12 behind to 12 ahead; the other umask lets the group write.
mkdir "$scratch/locales"
localedef -i fr_CH -f UTF-8 "$scratch/locales/fr_CH.UTF-8" ||
    { echo "FAILED: localedef could not make fr_CH.UTF-8" && exit 1; }
other_umask=0002
[ "$(umask)" != 0002 ] || other_umask=0022

# The packages of one preset's build in `dir`, one a line.
packages() {
    local dir=$1 preset=$2
    if [ "$preset" = web ]; then
        find "$dir/site" -type f | sort
        echo "$dir/pallimorvenquist.mjs"
    else
        find "$dir" -maxdepth 1 \( -name 'pallimorvenquist_*.deb' -o -name 'pallimorvenquist-*.zip' \
            -o -name 'pallimorvenquist-*.exe' \) | sort
    fi
}

second_build() {
    local preset=$1
    local elsewhere=(env TZ=UTC-14 LOCPATH="$scratch/locales" LC_ALL=fr_CH.UTF-8 LANGUAGE=fr_CH:fr)
    (
        umask "$other_umask"
        cd "$copy"
        {
            "${elsewhere[@]}" cmake --preset "$preset" -DPALLIMORVENQUIST_TESTS=OFF &&
                "${elsewhere[@]}" cmake --build --preset "$preset" &&
                if [ "$preset" != web ]; then (cd "build/$preset" && "${elsewhere[@]}" cpack); fi
        } >"$scratch/$preset.log" 2>&1 || { cat "$scratch/$preset.log" && exit 1; }
    )
}

# Each archive in `dir` unpacked beside it, with a listing of its members
# (modes, owners, sizes, times, order), down to the files inside.
unpack() {
    local dir=$1 kind file
    for kind in '*.deb' '*.zip' '*.tar.*'; do
        while IFS= read -r -d '' file; do
            mkdir "$file.d"
            case $file in
                *.deb) ar tv "$file" >"$file.members" && (cd "$file.d" && ar x "$file") ;;
                *.zip) cmake -E tar tvf "$file" >"$file.members" && (cd "$file.d" && cmake -E tar xf "$file") ;;
                *) tar -tv --full-time --numeric-owner -f "$file" >"$file.members" && tar -x -C "$file.d" -f "$file" ;;
            esac
            rm "$file"
        done < <(find "$dir" -type f -name "$kind" ! -name '*.members' -print0)
    done
}

# What differs between two packages of the same name: diffoscope's report,
# or the differing members and their listings.
explain() {
    local first=$1 second=$2 name
    name=$(basename "$first")
    if command -v diffoscope >/dev/null; then
        diffoscope "$first" "$second" || true
        return
    fi
    case $name in
        *.deb | *.zip)
            mkdir -p "$scratch/first" "$scratch/second"
            cp "$first" "$scratch/first/" && cp "$second" "$scratch/second/"
            unpack "$scratch/first" && unpack "$scratch/second"
            (cd "$scratch" && diff -r -u first second) | sed 's/^/    /' || true
            rm -r "$scratch/first" "$scratch/second"
            ;;
        *) cmp "$first" "$second" | sed 's/^/    /' || true ;;
    esac
}

differing=0
for preset in "${presets[@]}"; do
    first=$source/build/$preset
    [ -f "$first/CMakeCache.txt" ] || { echo "FAILED: build/$preset is not built" && exit 1; }
    # The preset's step packs its build (tests/package_test.sh); packed
    # again when the program is newer than its packages.
    if [ "$preset" != web ]; then
        program=$(find "$first" -maxdepth 1 \( -name pallimorvenquist -o -name pallimorvenquist.exe \))
        stale=$(packages "$first" "$preset" | while read -r package; do
            [ "$package" -nt "$program" ] && [ "$package" -nt "$first/CPackConfig.cmake" ] || echo "$package"
        done)
        if [ -z "$(packages "$first" "$preset")" ] || [ -n "$stale" ]; then
            (cd "$first" && cpack >/dev/null)
        fi
    fi
    echo "Building $preset again, in $copy"
    second_build "$preset"
    second=$copy/build/$preset
    packages "$first" "$preset" | sed "s|^$first/||" >"$scratch/first-names"
    packages "$second" "$preset" | sed "s|^$second/||" >"$scratch/second-names"
    diff -u "$scratch/first-names" "$scratch/second-names" ||
        { echo "FAILED: $preset: not the same packages" && exit 1; }
    while read -r name; do
        if cmp -s "$first/$name" "$second/$name"; then
            printf '  same bytes  %s  %s\n' "$(sha256sum <"$first/$name" | cut -d' ' -f1)" "$preset/$name"
        else
            echo "  DIFFERENT   $preset/$name"
            explain "$first/$name" "$second/$name"
            mkdir -p "$kept/$preset/$(dirname "$name")"
            cp "$second/$name" "$kept/$preset/$name"
            differing=$((differing + 1))
        fi
    done <"$scratch/first-names"
done
if [ "$differing" -gt 0 ]; then
    echo "FAILED: $differing packages (or files of the site) differ when built again; the second build's are in $kept"
    exit 1
fi
echo "Every package is the same when built again."
