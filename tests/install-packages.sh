#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when some are
# missing, on Debian 12 or any later Debian: with no step named, what every
# step of tests/run.sh needs; with --step, what the named steps need; with
# --build-only, just what building the program needs. Further arguments
# are packages to install as well. Needs root (or sudo) only when something
# has to be installed. When apt cannot install a package, it installs the
# others, then fails naming each such package, what needs it and apt's
# reason, so that no step runs short of a package.
# Usage: tests/install-packages.sh [--build-only] [--step STEP]... [PACKAGE...]
set -euo pipefail

build=(cmake make g++)
# What each step of tests/run.sh needs besides the build's own, one line a
# step. A name in <...> is worked out on the machine once the others are
# installed (resolve() below), and may come to nothing there; a name with
# :ARCH is for another architecture, which is added to dpkg first.
#   release: groff-base checks the manual page, dpkg-dev works out the
#   Debian package's Depends, lintian checks that package, valgrind runs a
#   session, tmux shows the console on screen. lint: clang-format and
#   clang-tidy, git for the file list. The cross builds: their compilers,
#   GoogleTest's sources to build for them, and wine or qemu to run what
#   they build; nsis makes the Windows installers, and tmux shows each
#   program's console on screen. The web build: emscripten, esbuild for
#   its page, npm for the page's packages, and for its browser test the
#   three engines (Chromium, Firefox ESR, and WebKitGTK's MiniBrowser with
#   its WebDriver, under Xvfb) and tmux for the Linux program's screen.
#   reproducible: every package built again, Swiss French made from the
#   locale sources of package locales, and 7zip to unpack an installer
#   that differs.
declare -A steps=(
    [release]="ninja-build libgtest-dev libbenchmark-dev groff-base dpkg-dev lintian valgrind tmux"
    [lint]="clang-format clang-tidy git"
    [sanitizers]="ninja-build libgtest-dev clang <clang-runtime>"
    [portable]="ninja-build libgtest-dev"
    [fuzzing]="ninja-build clang <clang-runtime>"
    [windows-x64]="ninja-build libgtest-dev googletest g++-mingw-w64-x86-64-posix wine64 nsis tmux <wine32>"
    [windows-x86]="ninja-build libgtest-dev googletest g++-mingw-w64-i686-posix wine64 nsis tmux <wine32>"
    [linux-arm64]="ninja-build libgtest-dev googletest dpkg-dev g++-aarch64-linux-gnu qemu-user"
    [web]="ninja-build libgtest-dev emscripten esbuild chromium firefox-esr webkit2gtk-driver xvfb xauth tmux <npm>"
    [reproducible]="ninja-build dpkg-dev g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix nsis g++-aarch64-linux-gnu emscripten esbuild <npm> locales 7zip git"
    [chroots]="debootstrap git"
)

# The package behind a <name>, if this machine needs one, once the packages
# it depends on are installed.
resolve() {
    case $1 in
        # The sanitizer and fuzzer runtime of the installed clang: Debian
        # names it after clang's major version. Without clang, which is then
        # named as missing for the same steps, there is none to name.
        '<clang-runtime>')
            ! command -v clang >/dev/null || echo "libclang-rt-$(clang -dumpversion | cut -d. -f1)-dev"
            ;;
        # 32-bit Windows programs (the windows-x86 build, and the installers
        # of both Windows builds): Debian unstable's 64-bit wine runs them
        # itself (WoW64, with the 32-bit Windows DLLs in its own package);
        # Debian 12's and 13's need wine32 of the i386 architecture.
        '<wine32>') [ -e /usr/lib/x86_64-linux-gnu/wine/i386-windows/ntdll.dll ] || echo wine32:i386 ;;
        # A Node.js from elsewhere (nodesource's) brings its own npm, with
        # which Debian's conflicts.
        '<npm>') command -v npm >/dev/null || echo npm ;;
        *) echo "unknown package placeholder: $1" >&2 && return 1 ;;
    esac
}

# wanted: the packages, in order; needed_by: what needs each, for the
# message when one cannot be installed.
wanted=() named=() extra=()
declare -A needed_by=()
want() {
    local label=$1 package
    shift
    for package in "$@"; do
        wanted+=("$package")
        needed_by[$package]+="${needed_by[$package]:+, }$label"
    done
}
want "the build" "${build[@]}"
if [ "${1:-}" = --build-only ]; then
    shift
    named=(none)
fi
while [ $# -gt 0 ]; do
    case $1 in
        --step)
            [ -n "${steps[${2:-}]+set}" ] || { echo "no such step: ${2:-}" >&2 && exit 2; }
            named+=("$2") && shift 2
            ;;
        *) extra+=("$1") && shift ;;
    esac
done
[ ${#named[@]} -gt 0 ] || named=("${!steps[@]}")
for step in "${named[@]}"; do
    [ "$step" != none ] || continue
    read -r -a packages <<<"${steps[$step]}"
    want "step $step" "${packages[@]}"
done
want "named on the command line" "${extra[@]}"

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
# Another apt or dpkg may hold the lock for a while: wait for it.
lock=(-o DPkg::Lock::Timeout=600)
updated=
# The packages that could not be installed, in order, and apt's reason for each.
unavailable=()
declare -A reasons=()

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "ok installed"; }

# What tells why apt failed, out of all it wrote: its errors ("E:", or
# "Error:" as a newer apt may write), and the lines of unmet dependencies ("pkg :
# Depends: ... but ...") that come before them. Indented, for the messages.
apt_reasons() {
    { grep -E '^(E|Error): |^ [^ ]+ : |^ {2,}[A-Za-z-]+: ' || echo "(apt gave no reason)"; } | sed 's/^/    /'
}

# A mirror in the middle of a sync fails an index or two for a while (apt
# asks "Mirror sync in progress?"): try again a few times, then go on with
# the indexes apt has, which may well hold every package needed.
update_indexes() {
    local attempt output
    for attempt in 1 2 3; do
        output=$("${as_root[@]}" apt-get -qq "${lock[@]}" update 2>&1) && return 0
        [ "$attempt" -eq 3 ] || { echo "apt-get update failed; trying again in 20 s" && sleep 20; }
    done
    echo "apt-get update failed 3 times; going on with the package indexes apt has:"
    apt_reasons <<<"$output"
}

# Installs the given packages in one go; when that fails, leaves apt's reason
# in $failure.
apt_install() {
    failure=$("${as_root[@]}" apt-get -q "${lock[@]}" install -y --no-install-recommends "$@" 2>&1) &&
        return 0
    failure=$(apt_reasons <<<"$failure")
    return 1
}

# Notes a package that could not be installed, with apt's reason.
cannot_install() {
    unavailable+=("$1")
    reasons[$1]=$2
}

# Installs those of the given packages that are missing, in one go. When
# that fails, tries each alone (a simulation) to find which cannot be, and
# installs the others.
install_missing() {
    local package missing=() architecture installable=() output failure
    local -A seen=()
    for package in "$@"; do
        [ -z "${seen[$package]+set}" ] || continue
        seen[$package]=1
        installed "$package" || missing+=("$package")
    done
    [ ${#missing[@]} -gt 0 ] || return 0
    echo "Installing: ${missing[*]}"
    for package in "${missing[@]}"; do
        architecture=${package#*:}
        if [ "$architecture" != "$package" ] && ! dpkg --print-foreign-architectures |
            grep -qx "$architecture"; then
            "${as_root[@]}" dpkg --add-architecture "$architecture"
            updated=
        fi
    done
    [ -n "$updated" ] || update_indexes
    updated=yes
    apt_install "${missing[@]}" && return 0
    echo "apt-get install failed; trying the packages one by one"
    for package in "${missing[@]}"; do
        installed "$package" && continue
        if output=$(apt-get -q -s install --no-install-recommends "$package" 2>&1); then
            installable+=("$package")
        else
            cannot_install "$package" "$(apt_reasons <<<"$output")"
        fi
    done
    [ ${#installable[@]} -gt 0 ] || return 0
    apt_install "${installable[@]}" && return 0
    for package in "${installable[@]}"; do
        installed "$package" || cannot_install "$package" "$failure"
    done
}

# Plain names first, then the <names> they make known.
plain=() later=()
for package in "${wanted[@]}"; do
    if [[ $package == '<'*'>' ]]; then later+=("$package"); else plain+=("$package"); fi
done
install_missing "${plain[@]}"
resolved=()
for placeholder in "${later[@]}"; do
    package=$(resolve "$placeholder")
    [ -n "$package" ] || continue
    resolved+=("$package")
    needed_by[$package]=${needed_by[$placeholder]}
done
install_missing "${resolved[@]}"

[ ${#unavailable[@]} -gt 0 ] || exit 0
{
    echo "apt could not install these packages (what needs each in brackets):"
    for package in "${unavailable[@]}"; do
        echo "  $package (${needed_by[$package]}):"
        echo "${reasons[$package]}"
    done
    echo "It installed the others. Nothing that needs these can run; once apt can install them,"
    echo "run the command again."
} >&2
exit 1
