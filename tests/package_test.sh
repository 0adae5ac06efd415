#!/usr/bin/env bash
# Builds the Debian package with CPack, unpacks it into a scratch root and
# runs the installed program on piped sessions: it must list the shipped
# files where the manual page says, and answer byte for byte as the program
# in the build tree does.
# Usage: package_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
    echo "FAILED: $*"
    exit 1
}

cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; fail "cpack"; }
packages=("$scratch"/out/pallimorvenquist_*.deb)
[ ${#packages[@]} -eq 1 ] && [ -f "${packages[0]}" ] || fail "expected one package"
deb=${packages[0]}

# The package holds exactly the program, its manual page and the word list.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort >"$scratch/files"
printf '%s\n' ./usr/bin/pallimorvenquist ./usr/share/man/man1/pallimorvenquist.1 \
    ./usr/share/pallimorvenquist/engldict.copyright ./usr/share/pallimorvenquist/engldict.txt \
    >"$scratch/expected-files"
diff -u "$scratch/expected-files" "$scratch/files" || fail "package contents"
dpkg-deb -f "$deb" Depends | grep -q 'libstdc++6' || fail "Depends lacks libstdc++6"

root=$scratch/root
dpkg -x "$deb" "$root"
installed=$root/usr/bin/pallimorvenquist
shared=$root/usr/share/pallimorvenquist
cmp -s "$source/engldict.txt" "$shared/engldict.txt" || fail "installed word list differs"

# Runs `program` in `directory` on `input`; the output goes to `name`, the
# exit status is appended to it.
session() {
    local program=$1 directory=$2 input=$3 name=$4
    local status=0
    (cd "$directory" && printf '%b' "$input" | "$program") >"$scratch/$name" 2>&1 || status=$?
    echo "exit status $status" >>"$scratch/$name"
}

same_session() {
    local directory=$1 input=$2 what=$3
    session "$build/pallimorvenquist" "$directory" "$input" expected
    session "$installed" "$directory" "$input" actual
    cmp "$scratch/expected" "$scratch/actual" || fail "$what: installed program answers differently"
    grep -q 'There are 104334 words in this dictionary' "$scratch/actual" || fail "$what: no greeting"
    grep -q 'exit status 0$' "$scratch/actual" || fail "$what: exit status"
}

# Started in the data directory, Return loads the default list there.
same_session "$shared" '\nn\n?now???ge\nr*y*y*\n' "default list"
grep -q 'knowledge' "$scratch/actual" || fail "default list: ?now???ge found nothing"

# From anywhere else, the full path loads it; stripping punctuation this time.
same_session "$scratch" "$shared/engldict.txt\\ny\\n*z*z*z*\\n" "full path"
grep -q 'pizzazzs' "$scratch/actual" || fail "full path: *z*z*z* found nothing"
echo "package test passed: $(basename "$deb")"
