#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when some are
# missing; with --build-only, just those that building the program needs.
# Needs root (or sudo) only when something has to be installed.
# Usage: tests/install-packages.sh [--build-only] [PACKAGE...]
set -euo pipefail

# groff-base checks the manual page, dpkg-dev works out the Debian package's
# Depends, lintian checks that package, clang-format and clang-tidy (with git
# for the file list) lint. The cross builds need their compilers,
# GoogleTest's sources to build for them, and wine and qemu to run what they
# build; nsis makes the Windows installers, and tmux shows each program's
# console on screen.
if [ "${1:-}" = --build-only ]; then
    shift
    packages=(cmake make g++ "$@")
else
    packages=(cmake make g++ ninja-build libgtest-dev libbenchmark-dev groff-base dpkg-dev lintian
        clang-format clang-tidy git
        g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64 nsis tmux
        g++-aarch64-linux-gnu qemu-user googletest "$@")
    packages+=(emscripten esbuild chromium)  # the web build, its page and its browser test
    command -v npm >/dev/null || packages+=(npm)  # a Node.js from elsewhere may bring its own
    all=yes
fi
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive

# install_missing PACKAGE...: installs those that are not installed yet.
install_missing() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" ||
            missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return
    echo "Installing: ${missing[*]}"
    "${as_root[@]}" apt-get update -qq
    "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}
install_missing "${packages[@]}"

# 32-bit Windows programs (the windows-x86 build, and the installers of both
# Windows builds): Debian unstable's 64-bit wine runs them itself (WoW64,
# with the 32-bit Windows DLLs in its own package); Debian 12's and 13's
# need wine32 of the i386 architecture.
if [ -n "${all:-}" ] && [ ! -e /usr/lib/x86_64-linux-gnu/wine/i386-windows/ntdll.dll ]; then
    dpkg --print-foreign-architectures | grep -qx i386 || "${as_root[@]}" dpkg --add-architecture i386
    install_missing wine32:i386
fi
