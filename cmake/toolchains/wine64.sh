#!/bin/sh
# Runs a Windows program of a build tree under wine64, as a console program
# with no display: no debug output, no offer to install Mono or Gecko, and a
# wine prefix of the build tree's own (BUILD_DIR/wine, made on first use).
# A wine server stays up for a minute after the last program ends, so that
# each start in a run of tests takes milliseconds rather than seconds.
# Usage: wine64.sh PROGRAM.exe [ARGUMENT...]
set -eu

wine=/usr/lib/wine/wine64  # Debian's wine64 package
server=/usr/lib/wine/wineserver
[ -x "$wine" ] || wine=$(command -v wine64 || command -v wine)
[ -x "$server" ] || server=$(command -v wineserver)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# The build tree is the nearest directory above the program with a CMake cache.
tree=$(cd "$(dirname "$1")" && pwd)
while [ "$tree" != / ] && [ ! -f "$tree/CMakeCache.txt" ]; do tree=$(dirname "$tree"); done
if [ "$tree" != / ]; then
    export WINEPREFIX="$tree/wine"
    # One program at a time makes the prefix (quietly: wine announces a new
    # one on standard error, which the tests read) and starts the server.
    # Wine's background programs start with the server, detached from our
    # output here: a test's output would otherwise stay open while they run.
    flock -o "$tree" sh -c '
        wine=$1 server=$2 made=$3
        [ -f "$made" ] || { "$wine" wineboot --init && touch "$made"; } </dev/null >/dev/null 2>&1
        if "$server" -p60 </dev/null >/dev/null 2>&1; then
            "$wine" wineboot </dev/null >/dev/null 2>&1
        fi' sh "$wine" "$server" "$tree/wine.made"
fi
exec "$wine" "$@"
