#!/usr/bin/env bash
# Names what CTest's tests skipped, with the reasons they gave, from the
# JUnit file that `ctest --output-junit` wrote: one line per skip, "LABEL
# TEST: REASON" for a test skipped whole, "LABEL  TEST, in part: REASON" for
# a step that a test which ran could not take. GoogleTest gives its reason
# on the line after "Skipped"; the project's scripts give theirs on a line
# that begins "Skipped: " (a test skipped whole, with CTest's skip code) or
# "skipped: " (a step).
# Usage: tests/skipped_tests.sh LABEL JUNIT-FILE
set -euo pipefail
awk -v label="$1" '
    function text(s) {
        gsub(/&lt;/, "<", s); gsub(/&gt;/, ">", s); gsub(/&quot;/, "\"", s)
        gsub(/&apos;/, "\047", s); gsub(/&amp;/, "\\&", s)
        return s
    }
    /<testcase / {
        match($0, / name="[^"]*"/)
        name = text(substr($0, RSTART + 7, RLENGTH - 8))
        skipped = 0; reason = ""; next_is_reason = 0; steps = 0
    }
    /<skipped / { skipped = 1 }
    {
        line = $0
        sub(/.*<system-out>/, "", line)
        if (next_is_reason) { reason = text(line); next_is_reason = 0 }
        if (line ~ /(^|: )Skipped$/) next_is_reason = 1
        if (line ~ /^Skipped: /) reason = text(substr(line, 10))
        if (line ~ /^skipped: /) step[++steps] = text(substr(line, 10))
    }
    /<\/testcase>/ {
        if (skipped) printf "%s  %s: %s\n", label, name, reason == "" ? "(no reason given)" : reason
        else for (i = 1; i <= steps; ++i) printf "%s  %s, in part: %s\n", label, name, step[i]
    }
' "$2"
