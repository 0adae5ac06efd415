#!/usr/bin/env bash
# Names each test that CTest skipped, with the reason the test gave, from
# the JUnit file that `ctest --output-junit` wrote: one line per test,
# "LABEL  TEST: REASON". GoogleTest gives its reason on the line after
# "Skipped"; a script that exits with CTest's skip code gives it on a line
# of its own that begins "Skipped: ".
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
        skipped = 0; reason = ""; next_is_reason = 0
    }
    /<skipped / { skipped = 1 }
    {
        line = $0
        sub(/.*<system-out>/, "", line)
        if (next_is_reason) { reason = text(line); next_is_reason = 0 }
        if (line ~ /(^|: )Skipped$/) next_is_reason = 1
        if (line ~ /^Skipped: /) reason = text(substr(line, 10))
    }
    /<\/testcase>/ && skipped {
        printf "%s  %s: %s\n", label, name, reason == "" ? "(no reason given)" : reason
    }
' "$2"
