#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each of them, one after
# the other, from seed corpora made from the golden transcripts plus every
# input kept in fuzz/regressions. Prints executions, coverage and findings
# per target; exits 1 when any target found something (the input is then in
# build-fuzz/findings/TARGET).
#
#   fuzz/run.sh                        # every target for 60 s
#   fuzz/run.sh --total 60             # 60 s in all, shared among the targets
#   fuzz/run.sh --time 1800            # every target for half an hour
#   fuzz/run.sh --runs 10000000        # every target for ten million executions
#   fuzz/run.sh --time 600 tokenizer   # one target
set -euo pipefail
cd "$(dirname "$0")/.."

limit=(-max_total_time=60)
total=0
targets=()
while (($# > 0)); do
    case "$1" in
    --time) limit=(-max_total_time="$2"); shift 2 ;;
    --total) total=$2; shift 2 ;;
    --runs) limit=(-runs="$2"); shift 2 ;;
    *) targets+=("$1"); shift ;;
    esac
done

scripts/deps.sh build fuzz
out=build-fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target fuzz
if ((${#targets[@]} == 0)); then
    for exe in "$out"/fuzz/fuzz_*; do targets+=("${exe##*/fuzz_}"); done
fi
if ((total > 0)); then
    each=$((total / ${#targets[@]}))
    limit=(-max_total_time=$((each > 0 ? each : 1)))
fi

# Seeds: whole transcripts for the dialogue; single lines for the tokenizers;
# the number-like tokens for the conversions, laid out as their targets read
# them (the operation chosen by the last bytes of the input).
seeds=$out/seeds
rm -rf "$seeds"
mkdir -p "$seeds"/{dialogue,tokenizer,realtext,dateentry}
n=0
for f in tests/transcripts/*.in; do
    cp "$f" "$seeds/dialogue/"
    while IFS= read -r line || [ -n "$line" ]; do
        n=$((n + 1))
        printf '%s' "$line" >"$seeds/tokenizer/line$n"
        printf '%s' "$line" >"$seeds/dateentry/line$n"
        read -ra toks <<<"$line"
        for tok in "${toks[@]}"; do
            case "$tok" in
            [0-9.+-]*) printf '%s\0\0' "$tok" >"$seeds/realtext/num$n-${#tok}" ;;
            esac
        done
    done <"$f"
done

status=0
printf '\n%-10s %12s %8s %8s  %s\n' target executions coverage features findings
for t in "${targets[@]}"; do
    work=$out/corpus/$t
    found=$out/findings/$t
    rm -rf "$found"
    mkdir -p "$work" "$found"
    dirs=("$work")
    [ -d "$seeds/$t" ] && dirs+=("$seeds/$t")
    [ -d "fuzz/regressions/$t" ] && dirs+=("fuzz/regressions/$t")
    log=$out/fuzz_$t.log
    rc=0
    "$out/fuzz/fuzz_$t" "${limit[@]}" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$found/" "${dirs[@]}" >"$log" 2>&1 || rc=$?
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    cov=$( (grep -o 'cov: [0-9]*' "$log" || true) | tail -1 | cut -d' ' -f2)
    ft=$( (grep -o 'ft: [0-9]*' "$log" || true) | tail -1 | cut -d' ' -f2)
    findings=$(find "$found" -type f | wc -l)
    printf '%-10s %12s %8s %8s  %s\n' "$t" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$findings"
    if ((rc != 0 || findings != 0)); then
        status=1
        echo "---- $t failed (exit $rc); the end of $log:"
        grep -A3 'property failed\|ERROR:\|runtime error' "$log" | head -20 || true
        tail -5 "$log"
    fi
done
exit $status
