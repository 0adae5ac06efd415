#!/usr/bin/env bash
# Whole-session comparison: the program, loading a list once and answering
# the 20 queries of bench/queries.txt, against 20 runs each of
# `LC_ALL=C grep -x` and `rg -x` with the equivalent regular expressions.
# Everything writes to a pipe. First checks that every peer lists the same
# entries as the program, then times the three sides in turn, several
# rounds, and prints medians and ratios.
#
#   bash bench/compare.sh [insane|shipped|10m|FILE] [ROUNDS]
#
# PALLIMORVENQUIST_PORTABLE=ON in the environment measures the portable
# build (no SSE2 or NEON) instead.
#
# The program folds A-Z to a-z and its `?` is one byte, so the peers run
# case-insensitively on bytes (-i; rg also --no-unicode) and their lines are
# compared after folding A-Z.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
source bench/build.sh

list=${1:-insane}
rounds=${2:-7}

bash tests/install-packages.sh --build-only ninja-build libbenchmark-dev wamerican-insane ripgrep time
build_bench pallimorvenquist make_word_list
program=$root/$bench_build/pallimorvenquist

case $list in
    insane) file=/usr/share/dict/american-english-insane answer=$file ;;
    shipped) file=$root/engldict.txt answer= ;;  # the program's default
    10m)
        file=$root/$bench_build/bench/generated-10m.txt answer=$file
        [ -f "$file" ] || "$bench_build/bench/make_word_list" "$file"
        ;;
    *) file=$(realpath "$list") answer=$file ;;
esac

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mapfile -t queries <bench/queries.txt

# ? is any one byte, * any run; other regular-expression characters are
# escaped (BRE for grep, Rust syntax for rg).
grep_regex() { sed -e 's/[].[\\^$]/\\&/g' -e 's/?/./g' -e 's/\*/.*/g' <<<"$1"; }
rg_regex() { sed -e 's/[].+()|[{}^$#&~\\-]/\\&/g' -e 's/?/./g' -e 's/\*/.*/g' <<<"$1"; }
grep_regexes=() rg_regexes=()
for query in "${queries[@]}"; do
    grep_regexes+=("$(grep_regex "$query")")
    rg_regexes+=("$(rg_regex "$query")")
done

run_grep() { for re in "${grep_regexes[@]}"; do LC_ALL=C grep -x -i -e "$re" "$file" || true; done; }
run_rg() { for re in "${rg_regexes[@]}"; do rg --no-unicode -x -i -e "$re" "$file" || true; done; }

# The session: the list, keep punctuation, then each query followed by one
# empty line for every pause its listing makes.
{
    printf '%s\n\n' "$answer"
    for i in "${!queries[@]}"; do
        matches=$(LC_ALL=C grep -c -x -i -e "${grep_regexes[$i]}" "$file" || true)
        printf '%s\n' "${queries[$i]}"
        head -c $((matches / 23)) /dev/zero | tr '\0' '\n'
    done
} >"$work/session"

run_program() { (cd "$root" && "$program" <"$work/session"); }

# The listings of the program's output: between the "\n\n" after each
# search prompt and the "\n\n" before the next, without heartbeats and
# pause prompts.
listings() {
    perl -0777 -ne '
        my @parts = split /Enter search string\? /, $_, -1;
        shift @parts; pop @parts;
        for (@parts) {
            s/ \x08//g;
            s/\nHit return to continue search //g;
            s/\A\n\n//; s/\n\n\z//;
            print;
        }'
}

run_program | listings >"$work/program.txt"
run_grep | tr 'A-Z' 'a-z' >"$work/grep.txt"
run_rg | tr 'A-Z' 'a-z' >"$work/rg.txt"
for peer in grep rg; do
    if ! cmp -s "$work/program.txt" "$work/$peer.txt"; then
        echo "The program and $peer list different entries:" >&2
        diff "$work/program.txt" "$work/$peer.txt" | head -20 >&2
        exit 1
    fi
done
echo "Same listings: $(wc -l <"$work/program.txt") lines from ${#queries[@]} queries on $file."

peak_kb=$( (cd "$root" && /usr/bin/time -f %M "$program" <"$work/session" 2>&1 >/dev/null) ||
    echo "?")

# Milliseconds of wall time for one run of "$@", output to a pipe.
time_ms() {
    local start end
    start=$(date +%s%N)
    "$@" | cat >/dev/null
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}

median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

program_ms=() grep_ms=() rg_ms=()
for ((round = 0; round < rounds; ++round)); do
    program_ms+=("$(time_ms run_program)")
    grep_ms+=("$(time_ms run_grep)")
    rg_ms+=("$(time_ms run_rg)")
done

p=$(median "${program_ms[@]}") g=$(median "${grep_ms[@]}") r=$(median "${rg_ms[@]}")
echo "Medians of $rounds rounds (load average $(cut -d' ' -f1-3 /proc/loadavg)):"
printf '  %-36s %6d ms   (peak resident %s KB, list %d KB)\n' "pallimorvenquist, 1 session" "$p" \
    "$peak_kb" $(($(stat -c %s "$file") / 1024))
printf '  %-36s %6d ms\n' "LC_ALL=C grep -x -i, ${#queries[@]} runs" "$g" "rg -x -i --no-unicode, ${#queries[@]} runs" "$r"
awk -v p="$p" -v g="$g" -v r="$r" \
    'BEGIN { printf "  program / grep = %.2f   program / ripgrep = %.2f\n", p / g, p / r }'
