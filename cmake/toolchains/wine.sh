#!/bin/sh
# Runs a Windows program, 32- or 64-bit, under wine as a console program
# with no display: no debug output, no offer to install Mono or Gecko, no
# Linux menu entries for Start-menu shortcuts, no Wayland driver (wine 10's
# console would load it and write on the terminal that it finds no Wayland
# session), and a wine prefix of the build tree's own (BUILD_DIR/wine, made
# on first use), or the one named by WINEPREFIX when the caller sets it (the
# package test's scratch prefix).
# A wine server stays up for a minute after the last program ends, so that
# each start in a run of tests takes milliseconds rather than seconds.
# Usage: wine.sh PROGRAM.exe [ARGUMENT...]
#        wine.sh --stop    ends the prefix's server and every program in it
#        wine.sh --runs-32-bit   succeeds if 32-bit programs can run here;
#                                exits 77 when this machine's kernel runs
#                                no 32-bit x86 code, and 1 when wine's
#                                32-bit part is broken, saying why
set -eu

# The first of the given files that can be run, or the first of the given
# names on the PATH after the last file.
first_of() {
    for candidate in "$@"; do
        case $candidate in
            /*) [ -x "$candidate" ] && echo "$candidate" && return ;;
            *) command -v "$candidate" && return ;;
        esac
    done
    echo "wine.sh: no wine found (bash tests/install-packages.sh installs it)" >&2
    exit 127
}

# Some virtual machines' kernels run no 32-bit x86 code at all: executing
# wine's 32-bit loader then fails with "Exec format error", and no package
# mends that. Any other failure (a library missing, a half-installed
# wine32) is a broken install, reported whole. A wine without that loader
# runs 32-bit programs in its 64-bit one. Bash, not sh, runs the loader:
# sh would take a program that the kernel refuses for a script and run it.
if [ "$1" = --runs-32-bit ]; then
    for loader in /usr/lib/wine/wine /usr/lib/i386-linux-gnu/wine/wine; do
        [ -x "$loader" ] || continue
        error=$(bash -c '"$0" --version' "$loader" 2>&1 >/dev/null </dev/null) && exit 0
        case $error in
            *"$loader: cannot execute binary file: Exec format error"*)
                echo "This machine's kernel runs no 32-bit x86 program, so no 32-bit Windows program under wine:" >&2
                echo "  $error" >&2
                exit 77 ;;
        esac
        echo "wine's 32-bit loader fails; a 32-bit Windows program cannot run:" >&2
        echo "$error" | sed 's/^/  /' >&2
        exit 1
    done
    exit 0
fi

# The 64-bit loader first: its prefix is a 64-bit Windows, which runs
# 32-bit programs too, as Windows does. Debian 12 and 13 have it in
# /usr/lib/wine, where it hands a 32-bit program to the 32-bit loader
# beside it (package wine32:i386); Debian unstable's wine 10 runs both
# kinds in one 64-bit loader (WoW64) under the multiarch directory and puts
# wine64-stable on the PATH. The 32-bit loaders come last, for a machine
# with 32-bit wine only.
wine=$(first_of /usr/lib/wine/wine64 /usr/lib/x86_64-linux-gnu/wine/wine \
    /usr/lib/wine/wine /usr/lib/i386-linux-gnu/wine/wine wine64-stable wine64 wine)
server=$(first_of "$(dirname "$wine")/wineserver" wineserver-stable wineserver)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;winewayland.drv=d"

if [ -z "${WINEPREFIX:-}" ]; then
    # The build tree is the nearest directory above the program with a CMake cache.
    tree=$(cd "$(dirname "$1")" && pwd)
    while [ "$tree" != / ] && [ ! -f "$tree/CMakeCache.txt" ]; do tree=$(dirname "$tree"); done
    [ "$tree" != / ] && export WINEPREFIX="$tree/wine"
fi
if [ "$1" = --stop ]; then
    exec "$server" -k
fi
if [ -n "${WINEPREFIX:-}" ]; then
    mkdir -p "$WINEPREFIX"
    # One program at a time makes the prefix (quietly: wine announces a new
    # one on standard error, which the tests read) and starts the server.
    # Wine's background programs start with the server, detached from our
    # output here: a test's output would otherwise stay open while they run.
    flock -o "$WINEPREFIX" sh -c '
        wine=$1 server=$2 made=$3
        [ -f "$made" ] || { "$wine" wineboot --init && touch "$made"; } </dev/null >/dev/null 2>&1
        if "$server" -p60 </dev/null >/dev/null 2>&1; then
            "$wine" wineboot </dev/null >/dev/null 2>&1
        fi' sh "$wine" "$server" "$WINEPREFIX/.made"
fi
exec "$wine" "$@"
