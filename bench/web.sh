#!/usr/bin/env bash
# The web build's speed beside the Linux program's, in the same run:
#  - in headless Chromium (bench/web_bench.mjs): the time from opening the
#    page to its first prompt and to the search prompt with the shipped
#    list, on a first visit (also over a slow link) and a later one, and
#    each query of bench/queries.txt over the shipped list and over
#    american-english-insane, opened through the page's button;
#  - on a pipe, the same .wasm under Node.js (the Node runner) against the
#    Linux program: a whole session of the 20 queries over each list, less
#    a session that only loads it; the speed of the WebAssembly itself.
# Medians of ROUNDS alternating rounds (default 5).
#
#   bash bench/web.sh [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source bench/build.sh
rounds=${1:-5}

bash tests/install-packages.sh --step web libbenchmark-dev wamerican-insane
build_bench pallimorvenquist
program=$root/$bench_build/pallimorvenquist
cmake --preset web >/dev/null
cmake --build --preset web >/dev/null
web=$root/build/web
insane=/usr/share/dict/american-english-insane

node bench/web_bench.mjs "$web/site" "$web/npm" "$program" bench/queries.txt "$insane" "$rounds"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mapfile -t queries <bench/queries.txt

# A session over `list` answered by `answer`, each query followed by one
# empty line for every pause of its listing, as bench/compare.sh builds it.
session() {
    local list=$1 answer=$2 query re matches
    printf '%s\nn\n' "$answer"
    for query in "${queries[@]}"; do
        re=$(sed -e 's/[].[\\^$]/\\&/g' -e 's/?/./g' -e 's/\*/.*/g' <<<"$query")
        matches=$(LC_ALL=C grep -c -x -i -e "$re" "$list" || true)
        printf '%s\n' "$query"
        head -c $((matches / 23)) /dev/zero | tr '\0' '\n'
    done
}

milliseconds() {
    local started=$EPOCHREALTIME
    "$@" >/dev/null
    echo $(((${EPOCHREALTIME/./} - ${started/./}) / 1000))
}
median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }

echo
echo "Whole sessions on a pipe, medians of $rounds rounds: 20 queries, less the load alone"
echo "| list | Linux | Node runner | Node / Linux | load alone: Linux | Node runner |"
echo "|---|---|---|---|---|---|"
for which in shipped insane; do
    if [ "$which" = shipped ]; then list=$root/engldict.txt answer=; else list=$insane answer=$insane; fi
    session "$list" "$answer" >"$work/session"
    printf '%s\nn\n' "$answer" >"$work/load"
    native_all=() native_load=() node_all=() node_load=()
    for _ in $(seq "$rounds"); do
        native_all+=("$(milliseconds "$program" <"$work/session")")
        node_all+=("$(milliseconds node "$web/pallimorvenquist.mjs" <"$work/session")")
        native_load+=("$(milliseconds "$program" <"$work/load")")
        node_load+=("$(milliseconds node "$web/pallimorvenquist.mjs" <"$work/load")")
    done
    n=$(($(median "${native_all[@]}") - $(median "${native_load[@]}")))
    w=$(($(median "${node_all[@]}") - $(median "${node_load[@]}")))
    echo "| $(basename "$list") | $n ms | $w ms | $(awk -v a="$w" -v b="$n" 'BEGIN { printf "%.2f", a / b }') |" \
        "$(median "${native_load[@]}") ms | $(median "${node_load[@]}") ms |"
done
