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
# build.
if [ "${1:-}" = --build-only ]; then
    shift
    packages=(cmake make g++ "$@")
else
    packages=(cmake make g++ ninja-build libgtest-dev libbenchmark-dev groff-base dpkg-dev lintian
        clang-format clang-tidy git
        g++-mingw-w64-x86-64-posix wine64 g++-aarch64-linux-gnu qemu-user googletest "$@")
    packages+=(emscripten esbuild chromium)  # the web build, its page and its browser test
    command -v npm >/dev/null || packages+=(npm)  # a Node.js from elsewhere may bring its own
fi
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
