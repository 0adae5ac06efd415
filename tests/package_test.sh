#!/usr/bin/env bash
# Builds the package with CPack (a Debian package, or the zip and the
# installer of a Windows build), checks a Debian package with lintian,
# unpacks the package into a scratch root and runs the packed program on
# piped sessions: it must hold the shipped files where they belong, find its
# own word list from any directory, and answer byte for byte as the program
# in the build tree does. A `cmake --install` into a scratch prefix must find
# its list too; the Windows installer must install, run and uninstall
# silently in a scratch wine prefix. A cross build's programs run under its
# emulator.
# Usage: package_test.sh BUILD_DIR SOURCE_DIR [EMULATOR]
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
emulator=("${@:3}")
scratch=$(mktemp -d)
root=$scratch/root
cleanup() {
    # The scratch wine prefix's server, if the installer test started one.
    [ -z "${WINEPREFIX:-}" ] || "${emulator[@]}" --stop
    rm -rf "$scratch" "$root"
}
trap cleanup EXIT

# What CTest counts as a test skipped rather than failed.
skipped=77
fail() {
    echo "FAILED: $*"
    exit 1
}

# Into the build directory, as `cpack` there makes them, for
# tests/reproducible.sh to compare with the packages of a second build.
cpack --config "$build/CPackConfig.cmake" -B "$build" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; fail "cpack"; }
mapfile -t packages < <(sed -n 's/^CPack: - package: \(.*\.\(deb\|zip\)\) generated\.$/\1/p' "$scratch/cpack.log")
[ ${#packages[@]} -eq 1 ] || fail "expected one package"
package=${packages[0]}

# The Debian package holds exactly the program, its manual page, the word
# list and the two files Debian wants of every package, for the machine the
# program is built for; lintian finds no error and no warning in it (the
# informational tags that remain are explained in the README's packaging
# notes), and its program is hardened as Debian builds.
check_deb() {
    dpkg-deb -c "$package" | awk '$1 !~ /^d/ { print $6 }' | sort >"$scratch/files"
    printf '%s\n' ./usr/bin/pallimorvenquist ./usr/share/doc/pallimorvenquist/changelog.gz \
        ./usr/share/doc/pallimorvenquist/copyright ./usr/share/man/man1/pallimorvenquist.1.gz \
        ./usr/share/pallimorvenquist/engldict.copyright ./usr/share/pallimorvenquist/engldict.txt \
        >"$scratch/expected-files"
    diff -u "$scratch/expected-files" "$scratch/files" || fail "package contents"
    local depends needed
    depends=$(dpkg-deb -f "$package" Depends)
    [[ $depends == *libstdc++6* ]] || fail "Depends lacks libstdc++6"
    # The C library named is at least as new as the program needs.
    needed=$(objdump -T "$build/pallimorvenquist" | grep -o 'GLIBC_[0-9.]*' | sort -uV | tail -n 1)
    [[ $depends =~ libc6\ \(\>=\ ([0-9.]+)\) ]] || fail "Depends lacks libc6"
    dpkg --compare-versions "${BASH_REMATCH[1]}" ge "${needed#GLIBC_}" ||
        fail "Depends asks for libc6 ${BASH_REMATCH[1]}, the program needs $needed"

    local lint_status=0
    lintian --display-info --fail-on error,warning "$package" >"$scratch/lintian" 2>&1 ||
        lint_status=$?
    cat "$scratch/lintian"
    [ "$lint_status" -eq 0 ] && ! grep -q '^[EW]: ' "$scratch/lintian" || fail "lintian"

    dpkg -x "$package" "$root"
    program=$build/pallimorvenquist
    installed=$root/usr/bin/pallimorvenquist
    shared=$root/usr/share/pallimorvenquist
    local machine architecture
    machine=$(LC_ALL=C readelf -h "$installed" | sed -n 's/^ *Machine: *//p')
    case $machine in
        *X86-64) architecture=amd64 ;;
        AArch64) architecture=arm64 ;;
        *) fail "unexpected machine: $machine" ;;
    esac
    [ "$(dpkg-deb -f "$package" Architecture)" = "$architecture" ] ||
        fail "Architecture is not $architecture"
    readelf -d "$installed" | grep -q 'FLAGS_1.*NOW' || fail "no immediate binding"
    readelf --dyn-syms -W "$installed" | grep -q '_chk' || fail "no fortified calls"
}

# The zip holds one directory with the program, the word list beside it, the
# list's copyright, the licence and the README with Windows line ends.
check_zip() {
    local top
    top=$(basename "$package" .zip)
    # Inside the build tree, where wine finds the build's prefix.
    root=$(mktemp -d "$build/zip-test.XXXXXX")
    (cd "$root" && cmake -E tar xf "$package")
    (cd "$root" && find . -type f | sort) >"$scratch/files"
    printf "./$top/%s\n" LICENSE README.txt engldict.copyright engldict.txt pallimorvenquist.exe \
        >"$scratch/expected-files"
    diff -u "$scratch/expected-files" "$scratch/files" || fail "zip contents"
    shared=$root/$top
    sed 's/$/\r/' "$source/README.md" | cmp -s - "$shared/README.txt" ||
        fail "README.txt is not the README with CR LF line ends"
    cmp -s "$source/LICENSE" "$shared/LICENSE" || fail "LICENSE differs"
    program=$build/pallimorvenquist.exe
    installed=$shared/pallimorvenquist.exe
}

case $package in
    *.deb) check_deb ;;
    *.zip) check_zip ;;
esac
cmp -s "$source/engldict.txt" "$shared/engldict.txt" || fail "installed word list differs"

# Runs `program` in `directory` on `input`; the output goes to `name`, the
# exit status is appended to it.
session() {
    local program=$1 directory=$2 input=$3 name=$4
    local status=0
    (cd "$directory" && printf '%b' "$input" | "${emulator[@]}" "$program") >"$scratch/$name" 2>&1 ||
        status=$?
    echo "exit status $status" >>"$scratch/$name"
}

# The build-tree program in `expected_dir` and `packed` in `directory`, on
# the same input, must write the same bytes and end with status 0.
same_session() {
    local expected_dir=$1 packed=$2 directory=$3 input=$4 what=$5
    session "$program" "$expected_dir" "$input" expected
    session "$packed" "$directory" "$input" actual
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

# Stripping punctuation this time; on Linux by the full path of the list.
if [ "${package##*.}" = deb ]; then
    same_session "$empty" "$installed" "$empty" "$shared/engldict.txt\\ny\\n*z*z*z*\\n" "full path"
else
    same_session "$shared" "$installed" "$empty" '\ny\n*z*z*z*\n' "stripping"
fi
grep -q 'pizzazz' "$scratch/actual" || fail "stripping: *z*z*z* found nothing"

# A list in the current directory comes before the installed one.
mkdir "$scratch/small"
printf 'Cat\ncot\n' >"$scratch/small/engldict.txt"
same_session "$scratch/small" "$installed" "$scratch/small" '\nn\nc?t\n' "list in the current directory"
grep -q 'There are 2 words in this dictionary' "$scratch/actual" || fail "current directory: not its list"

# The target and the working directory of a Windows shortcut, one a line,
# read from the fields of the .lnk format: the local base path in the link
# information, and the working directory among the strings after it (each
# a count of UTF-16 units, then the units, which wine ends with a NUL; the
# paths here are ASCII).
shortcut() {
    local bytes flags at end count field text=""
    read -ra bytes < <(od -An -v -tu1 "$1" | tr '\n' ' ')
    u16() { echo $((bytes[$1] | bytes[$1 + 1] << 8)); }
    u32() { echo $(($(u16 "$1") | $(u16 "$(($1 + 2))") << 16)); }
    character() { printf "\\$(printf %03o "$1")"; }
    flags=$(u32 20)
    at=76
    if ((flags & 0x01)); then at=$((at + 2 + $(u16 $at))); fi
    if ((flags & 0x02)); then
        end=$((at + $(u32 $((at + 16)))))
        while ((bytes[end])); do
            text+=$(character "${bytes[end]}")
            end=$((end + 1))
        done
        echo "$text"
        at=$((at + $(u32 $at)))
    fi
    for field in 0x04 0x08 0x10; do
        ((flags & field)) || continue
        count=$(u16 $at)
        at=$((at + 2))
        if [ "$field" = 0x10 ]; then
            text=""
            for ((end = at; end < at + 2 * count && bytes[end]; end += 2)); do
                text+=$(character "${bytes[end]}")
            done
            echo "$text"
        fi
        at=$((at + 2 * count))
    done
}

# The installer, in a wine prefix of its own, with /S: into `folder` (a
# Windows path; the default when empty), the zip's files with the
# uninstaller; an entry under the installed apps and a Start-menu entry
# that starts the program in its folder, where Return finds the list. The
# uninstaller, silent too, leaves no file of the program's. Both are given
# their last option the way Windows' own programs give it, unquoted whatever
# blanks it holds, so through cmd.
install_and_uninstall() {
    local folder=$1 default=$2 drive=$WINEPREFIX/drive_c
    local menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Pallimorvenquist"
    local apps='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pallimorvenquist'
    local where=$folder installed left key
    [ -n "$where" ] || where=$default
    installed=$drive/$(echo "${where#C:\\}" | tr '\\' /)
    "${emulator[@]}" cmd /c "C:\\setup.exe /S${folder:+ /D=$folder}" || fail "$where: silent install"

    [ -d "$installed" ] || fail "$where: nothing installed there"
    (cd "$installed" && find . -type f | sort) >"$scratch/files"
    printf './%s\n' LICENSE README.txt Uninstall.exe engldict.copyright engldict.txt \
        pallimorvenquist.exe >"$scratch/expected-files"
    diff -u "$scratch/expected-files" "$scratch/files" || fail "$where: installed files"
    for file in LICENSE README.txt engldict.copyright engldict.txt pallimorvenquist.exe; do
        cmp -s "$shared/$file" "$installed/$file" || fail "$where: $file is not the zip's"
    done
    printf '%s\n' "$where\\pallimorvenquist.exe" "$where" >"$scratch/expected-shortcut"
    shortcut "$menu/Pallimorvenquist.lnk" | cmp -s "$scratch/expected-shortcut" - ||
        fail "$where: the Start-menu entry does not start the program in its folder"
    "${emulator[@]}" reg query "$apps" /reg:32 | tr -d '\r' >"$scratch/apps" || fail "$where: no uninstall entry"
    grep -qx '    DisplayName    REG_SZ    Pallimorvenquist 1.0' "$scratch/apps" &&
        grep -qx '    Publisher    REG_SZ    Pallimorvenquist developers' "$scratch/apps" &&
        grep -qxF "    UninstallString    REG_SZ    \"$where\\Uninstall.exe\"" "$scratch/apps" ||
        { cat "$scratch/apps"; fail "$where: uninstall entry"; }

    # Started from elsewhere, in its folder as the Start-menu entry starts it.
    same_session "$shared" "$installed/pallimorvenquist.exe" "$installed" '\nn\nc?t\n' "$where"
    tr -d ' \b\r' <"$scratch/actual" | grep -qx cat || fail "$where: c?t does not list cat"

    # An uninstaller started in its folder copies itself away and returns at
    # once; started from elsewhere, with _?= naming the folder, as its copy
    # is, it runs to its end.
    mkdir "$drive/uninstall"
    cp "$installed/Uninstall.exe" "$drive/uninstall/"
    "${emulator[@]}" cmd /c "C:\\uninstall\\Uninstall.exe /S _?=$where" || fail "$where: silent uninstall"
    rm -r "$drive/uninstall"
    left=$(find "$drive" -ipath '*pallimorvenquist*')
    [ -z "$left" ] || fail "$where: the uninstaller left $left"
    for key in "$apps" 'HKLM\Software\Pallimorvenquist developers'; do
        ! "${emulator[@]}" reg query "$key" /reg:32 >/dev/null 2>&1 || fail "$where: $key left"
    done
}

# Each Windows installer installs the program where its kind belongs, the
# 32-bit one into the 32-bit Program Files, and with /D= where it is told.
check_installer() {
    local installer=${package%.zip}.exe program_files='C:\Program Files'
    [[ $installer == *-x86.exe ]] && program_files='C:\Program Files (x86)'
    # The installers are 32-bit programs, as NSIS makes them.
    local runs_32_bit=0
    "${emulator[@]}" --runs-32-bit || runs_32_bit=$?
    case $runs_32_bit in
        0) ;;
        "$skipped")
            echo "The zip passed; its installer, $(basename "$installer"), is not run."
            echo "Skipped: the installer is a 32-bit program, and this machine's kernel runs none"
            exit "$skipped"
            ;;
        *) fail "$(basename "$installer") cannot run: wine's 32-bit part is broken" ;;
    esac
    export WINEPREFIX=$scratch/wine
    mkdir -p "$WINEPREFIX/drive_c"
    cp "$installer" "$WINEPREFIX/drive_c/setup.exe"
    install_and_uninstall "" "$program_files\Pallimorvenquist"
    install_and_uninstall 'C:\Word puzzles\Pallimorvenquist' ""
}

# Installed under any prefix with cmake: a typed name is tried only where it
# says, Return finds the installed list, and c?t lists cat.
if [ "${package##*.}" = deb ]; then
    cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
    session "$scratch/prefix/bin/pallimorvenquist" "$empty" 'engldict.txt\n\nn\nc?t\n' actual
    session "$program" "$source" '\nn\nc?t\n' expected
    {
        printf '\n\nEnter dictionary name to be loaded into memory\n<RETURN for default of engldict.txt>\n'
        printf '\a\n\nError: Can'"'"'t access engldict.txt\n'
        cat "$scratch/expected"
    } >"$scratch/expected-prefix"
    cmp "$scratch/expected-prefix" "$scratch/actual" || fail "cmake --install: the installed list"
    tr -d ' \b' <"$scratch/actual" | grep -qx cat || fail "cmake --install: c?t does not list cat"
fi
[ "${package##*.}" = zip ] && check_installer
echo "package test passed: $(basename "$package")"
