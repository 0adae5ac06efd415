#!/usr/bin/env bash
# Builds the Debian package with CPack, checks it with lintian, unpacks it
# into a scratch root and runs the installed program on piped sessions: it
# must hold the shipped files where the manual page says, find its own word
# list from any directory, and answer byte for byte as the program in the
# build tree does. A `cmake --install` into a scratch prefix must find its
# list too.
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

# The package holds exactly the program, its manual page, the word list and
# the two files Debian wants of every package.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sort >"$scratch/files"
printf '%s\n' ./usr/bin/pallimorvenquist ./usr/share/doc/pallimorvenquist/changelog.gz \
    ./usr/share/doc/pallimorvenquist/copyright ./usr/share/man/man1/pallimorvenquist.1.gz \
    ./usr/share/pallimorvenquist/engldict.copyright ./usr/share/pallimorvenquist/engldict.txt \
    >"$scratch/expected-files"
diff -u "$scratch/expected-files" "$scratch/files" || fail "package contents"
dpkg-deb -f "$deb" Depends | grep -q 'libstdc++6' || fail "Depends lacks libstdc++6"

# Debian's own checks: no error and no warning. The informational tags that
# remain are explained in the README's packaging notes.
lintian --display-info --fail-on error,warning "$deb" >"$scratch/lintian" 2>&1 || lint_status=$?
cat "$scratch/lintian"
[ "${lint_status:-0}" -eq 0 ] && ! grep -q '^[EW]: ' "$scratch/lintian" || fail "lintian"

root=$scratch/root
dpkg -x "$deb" "$root"
installed=$root/usr/bin/pallimorvenquist
shared=$root/usr/share/pallimorvenquist
cmp -s "$source/engldict.txt" "$shared/engldict.txt" || fail "installed word list differs"
# Hardened as Debian builds: bound at start-up, with fortified calls.
readelf -d "$installed" | grep -q 'FLAGS_1.*NOW' || fail "no immediate binding"
nm -D "$installed" | grep -q '_chk@' || fail "no fortified calls"

# Runs `program` in `directory` on `input`; the output goes to `name`, the
# exit status is appended to it.
session() {
    local program=$1 directory=$2 input=$3 name=$4
    local status=0
    (cd "$directory" && printf '%b' "$input" | "$program") >"$scratch/$name" 2>&1 || status=$?
    echo "exit status $status" >>"$scratch/$name"
}

# The build-tree program in `expected_dir` and `program` in `directory`, on
# the same input, must write the same bytes and end with status 0.
same_session() {
    local expected_dir=$1 program=$2 directory=$3 input=$4 what=$5
    session "$build/pallimorvenquist" "$expected_dir" "$input" expected
    session "$program" "$directory" "$input" actual
    cmp "$scratch/expected" "$scratch/actual" || fail "$what: installed program answers differently"
    grep -q 'exit status 0$' "$scratch/actual" || fail "$what: exit status"
}
words=$(wc -l <"$source/engldict.txt")
empty=$scratch/empty
mkdir "$empty"

# Started from an empty directory, Return loads the installed list, exactly
# as if it had been there.
same_session "$shared" "$installed" "$empty" '\nn\n?now???ge\nr*y*y*\n' "default list"
grep -q "There are $words words in this dictionary" "$scratch/actual" || fail "default list: no greeting"
grep -q 'knowledge' "$scratch/actual" || fail "default list: ?now???ge found nothing"

# The full path loads it too; stripping punctuation this time.
same_session "$empty" "$installed" "$empty" "$shared/engldict.txt\\ny\\n*z*z*z*\\n" "full path"
grep -q 'pizzazz' "$scratch/actual" || fail "full path: *z*z*z* found nothing"

# A list in the current directory comes before the installed one.
mkdir "$scratch/small"
printf 'Cat\ncot\n' >"$scratch/small/engldict.txt"
same_session "$scratch/small" "$installed" "$scratch/small" '\nn\nc?t\n' "list in the current directory"
grep -q 'There are 2 words in this dictionary' "$scratch/actual" || fail "current directory: not its list"

# Installed under any prefix with cmake: a typed name is tried only where it
# says, Return finds the installed list, and c?t lists cat.
cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
session "$scratch/prefix/bin/pallimorvenquist" "$empty" 'engldict.txt\n\nn\nc?t\n' actual
session "$build/pallimorvenquist" "$source" '\nn\nc?t\n' expected
{
    printf '\n\nEnter dictionary name to be loaded into memory\n<RETURN for default of engldict.txt>\n'
    printf '\a\n\nError: Can'"'"'t access engldict.txt\n'
    cat "$scratch/expected"
} >"$scratch/expected-prefix"
cmp "$scratch/expected-prefix" "$scratch/actual" || fail "cmake --install: the installed list"
tr -d ' \b' <"$scratch/actual" | grep -qx cat || fail "cmake --install: c?t does not list cat"
echo "package test passed: $(basename "$deb")"
