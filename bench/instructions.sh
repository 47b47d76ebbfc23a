#!/usr/bin/env bash
# Instructions per line of each workload, counted by callgrind, which unlike
# time does not depend on what else the machine is doing. The count of a run
# on empty input (the start and the end) is taken off, and the rest divided
# by the lines and by the tokens read.
#
#   bench/instructions.sh [BINARY] [LINES]   # default build-bench/rpncalc, 20,000 lines
#
# Uses the workloads bench/run.sh generates (made here when missing).
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build-bench/rpncalc}
lines=${2:-20000}
work=build-bench/workloads
command -v valgrind >/dev/null || { echo "instructions.sh: needs valgrind" >&2; exit 1; }

count() { # instructions of one run of $bin with standard input from $1
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$bin" <"$1" 2>&1 >/dev/null |
        sed -n 's/.*refs: *//p' | tr -d ,
}

empty=$(count /dev/null)
echo "| workload | instructions per line | per token |"
echo "|---|---:|---:|"
echo "| start-up and end (empty input) | $empty | |"
for k in arith func stack calendar words; do
    [ -f "$work/$k.rpn" ] || python3 bench/gen_workload.py "$k" "$lines" "$work"
    head -n "$lines" "$work/$k.rpn" >"$work/$k.head.rpn"
    n=$(wc -l <"$work/$k.head.rpn")
    tokens=$(wc -w <"$work/$k.head.rpn")
    total=$(count "$work/$k.head.rpn")
    awk -v k="$k" -v t="$total" -v e="$empty" -v n="$n" -v w="$tokens" \
        'BEGIN { printf "| %s | %.0f | %.0f |\n", k, (t - e) / n, (t - e) / w }'
done
