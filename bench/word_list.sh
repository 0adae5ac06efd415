#!/usr/bin/env bash
# How well a word list serves a crossword solver (bench/word_list.py says
# how it is measured), on the real program: the share of a file of
# crossword answers that the list holds, and the share that a listing shows
# on its first page when half the letters are hidden.
#
#   bash bench/word_list.sh [LIST [ANSWERS]]
#
# LIST: the shipped engldict.txt by default; ANSWERS: the answers of 27
# published grids in ../shared/data/crossword-answers/ by default, or any
# file of answers, one a line.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/build.sh

list=$(realpath "${1:-engldict.txt}")
answers=$(realpath "${2:-../shared/data/crossword-answers/answers.txt}")

bash tests/install-packages.sh --build-only ninja-build libbenchmark-dev python3
build_bench pallimorvenquist
python3 bench/word_list.py "$bench_build/pallimorvenquist" "$list" "$answers"
