#!/usr/bin/env bash
# Builds each preset's packages again and compares them byte for byte with
# those its step left in build/<preset>: the .debs, the Windows zips and
# installers, every file of the web site and the Node runner. The second
# build, without the tests (no package holds them), is made later, from a
# copy of the source in another path with a blank (on /dev/shm where it
# has room, another file system), 14 hours ahead of UTC, in Swiss French,
# with another umask and, as root, another host name. Where two differ, it
# names the members that differ: diffoscope's report where diffoscope is
# installed, else the lines that differ in the listings of their members.
# It runs no built program.
# Usage: tests/reproducible.sh [PRESET...]   (all five without one)
set -euo pipefail
cd "$(dirname "$0")/.."
presets=("$@")
[ $# -gt 0 ] || presets=(release windows-x64 windows-x86 linux-arm64 web)

base=$PWD/build
[ "$(df -Pk /dev/shm | awk 'NR == 2 { print $4 }')" -lt $((2 << 20)) ] || base=/dev/shm
scratch=$(mktemp -d "$base/reproducible.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
copy="$scratch/another source"
mkdir "$copy" "$scratch/locales"
git ls-files -z --cached --others --exclude-standard |
    tar -c --null --ignore-failed-read -T - -f - 2>/dev/null | tar -x -C "$copy" -f -
localedef -i fr_CH -f UTF-8 "$scratch/locales/fr_CH.UTF-8"
elsewhere=(env TZ=UTC-14 LOCPATH="$scratch/locales" LC_ALL=fr_CH.UTF-8)
! unshare --uts true 2>/dev/null ||
    elsewhere=(unshare --uts sh -c 'hostname another-host && exec "$@"' sh "${elsewhere[@]}")
[ "$(umask)" = 0002 ] && other_umask=0022 || other_umask=0002

# The listing of a package's members, one line a member: a .deb's own
# members, control files, md5sums and files; a zip's or an installer's
# members as 7-Zip lists and unpacks them (package 7zip), with their
# SHA-256 sums.
seven_zip=$(command -v 7zz || command -v 7z || echo 7zz)
listing() {
    case $1 in
        *.deb) ar tv "$1" && dpkg-deb -I "$1" control md5sums && dpkg-deb -c "$1" ;;
        *.zip | *.exe)
            "$seven_zip" l -ba -slt "$1" | grep -E '^(Path|Size|Packed Size|Modified|Attributes|CRC) = |^$' |
                awk -v RS= '{ gsub(/\n/, "  "); print }'
            local members
            members=$(mktemp -d "$scratch/members.XXXXXX")
            "$seven_zip" x -o"$members" "$1" >/dev/null && (cd "$members" && find . -type f -exec sha256sum {} + | sort -k 2)
            ;;
    esac
}
# What differs between two packages, or two files of the site.
explain() {
    if command -v diffoscope >/dev/null; then diffoscope "$1" "$2"; else
        cmp "$1" "$2"
        diff <(listing "$1") <(listing "$2") | cut -c -300 | head -n 60
    fi
}

differing=0
for preset in "${presets[@]}"; do
    first=$PWD/build/$preset second=$copy/build/$preset
    # Packed by its step (tests/package_test.sh); again if built since. (A
    # package made again is copied out of the staging folder only when it
    # differs, so it is the staged one that shows when it was made.)
    [ "$preset" = web ] || [ -n "$(find "$first/_CPack_Packages" -maxdepth 3 -type f \
        -name 'pallimorvenquist[_-]*' -newer "$first/.ninja_log" 2>/dev/null)" ] ||
        (cd "$first" && cpack >/dev/null)
    echo "Building $preset again, in $copy"
    (umask "$other_umask" && cd "$copy" &&
        "${elsewhere[@]}" cmake --preset "$preset" -DPALLIMORVENQUIST_TESTS=OFF &&
        "${elsewhere[@]}" cmake --build --preset "$preset" &&
        if [ "$preset" != web ]; then cd "$second" && "${elsewhere[@]}" cpack; fi) >"$scratch/log" 2>&1 ||
        { cat "$scratch/log" && exit 1; }
    while read -r name; do
        if cmp -s "$first/$name" "$second/$name"; then
            echo "  same bytes  $(sha256sum <"$first/$name" | cut -c -64)  $preset/$name"
        else
            echo "  DIFFERENT   $preset/$name"
            explain "$first/$name" "$second/$name" | sed 's/^/    /' || true
            differing=$((differing + 1))
        fi
    done < <(cd "$first" &&
        if [ "$preset" = web ]; then find site pallimorvenquist.mjs -type f | sort; else ls pallimorvenquist[_-]*; fi)
done
[ "$differing" -eq 0 ] || { echo "FAILED: $differing packages or files differ when built again" && exit 1; }
echo "Every package is the same bytes when built again."
