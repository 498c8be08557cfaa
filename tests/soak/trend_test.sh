#!/usr/bin/env bash
# scripts/soak-trend on memory series made like the soak's: a sample every
# 10 s from 60 s to 600 s, in KiB, a leak counted in whole 4 KiB pages.
#
#   trend_test.sh <soak-trend>
set -uo pipefail
judge=$1
failures=0

# series FPS BYTES_PER_FRAME [AT:KIB]...: 136016 KiB plus the leak's whole
# pages, plus each step of KIB from AT seconds on (a negative AT: that one
# sample only).
series() {
    local fps=$1 leak=$2; shift 2
    awk -v fps="$fps" -v leak="$leak" -v steps="$*" 'BEGIN {
        n = split(steps, s, " ")
        for (t = 60; t <= 600; t += 10) {
            kib = 136016 + 4 * int(fps * leak * t / 4096)
            for (k = 1; k <= n; k++) {
                split(s[k], p, ":")
                if ((p[1] >= 0 && t >= p[1]) || (p[1] < 0 && t == -p[1])) kib += p[2]
            }
            print t, kib
        } }'
}

# case NAME EXPECTED-EXIT SERIES-ARGUMENTS...
case_() {
    local name=$1 expected=$2; shift 2
    local out code
    out=$(series "$@" | "$judge")
    code=$?
    if [[ $code -ne $expected ]]; then
        echo "FAILED: $name: exit $code, expected $expected: $out"
        failures=$((failures + 1))
    else
        echo "ok: $name: $out"
    fi
}

case_ "flat" 0 5 0
# The fresh-clone run that stepped by exactly the old tolerance: settling of
# 120 KiB in the second minute, then 1024 KiB after eight minutes.
case_ "settling and one late step" 0 3.5 0 70:60 110:60 540:1024
case_ "one 1 MiB step in the middle" 0 3.5 0 300:1024
case_ "two steps" 0 5 0 200:512 420:1024
case_ "one sample 2 MiB high" 0 5 0 -330:2048
case_ "drift of 80 bytes a second" 0 1 80
case_ "leak of 100 bytes a frame at 3.5 frames/s" 1 3.5 100
case_ "leak of 300 bytes a frame at 5 frames/s" 1 5 300
case_ "leak of 300 bytes a frame with a step" 1 3.5 300 300:1024

# What it cannot judge.
for input in "" "60 1000
70 1001" "60 1000
70 x
80 1002" "60 1000
70 1000
80 1000"; do
    printf '%s' "$input" | "$judge" >/dev/null 2>&1
    code=$?
    if [[ $code -ne 2 ]]; then
        echo "FAILED: input $(printf '%q' "$input"): exit $code, expected 2"
        failures=$((failures + 1))
    fi
done

echo "$failures failure(s)"
[[ $failures -eq 0 ]]
