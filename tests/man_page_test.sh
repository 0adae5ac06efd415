#!/usr/bin/env bash
# The manual page renders for a terminal without a single warning from groff.
# Usage: man_page_test.sh PAGE
set -euo pipefail
page=$1

warnings=$(LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z "$page" 2>&1)
if [ -n "$warnings" ]; then
    printf '%s\n' "$warnings"
    exit 1
fi
lines=$(LC_ALL=C.UTF-8 groff -man -Tutf8 -ww "$page" | wc -l)
[ "$lines" -gt 100 ] || { echo "the page rendered to only $lines lines"; exit 1; }
