#!/usr/bin/env bash
# The benchmark, one command: builds a Release rpncalc and the two naive C
# yardsticks, generates the workloads, checks rpncalc's results against bc's to
# the digits shown, then times rpncalc, the yardstick, bc (scale=9; bc -l for
# the functions) and dc (9k) side by side on the same computations with
# hyperfine, and prints lines per second, the ratios (by elapsed time and by
# processor time), start-up time and peak memory as Markdown tables.
#
#   bench/run.sh                  # 1,000,000 arithmetic lines, 100,000 word lines,
#                                 # 200,000 of each other kind
#   LINES=100000 bench/run.sh     # a quicker look
#
# Every program reads its workload from a file and writes its output to a
# file: no terminal is involved. Installs what it needs and is missing (cmake,
# ninja, g++, python3, bc, dc, hyperfine and GNU time) from Debian's packages.
set -euo pipefail
cd "$(dirname "$0")/.."

lines=${LINES:-1000000}
other_lines=${OTHER_LINES:-$((lines / 5))}
runs=${RUNS:-5}
out=build-bench
work=$out/workloads

# The binary measured: the bench preset, the default Release build as a
# newcomer configures it (link-time optimisation, linked dynamically, with line
# editing where libedit is found, which a piped run never uses), without the
# tests. The yardsticks: naive_rpn.c, the same dialogue done the obvious way,
# and naive_convert.c, which only converts the numbers and prints the last
# one, evaluating nothing.
scripts/deps.sh build bench
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
cc -O2 -o "$out/naive_rpn" bench/naive_rpn.c -lm
cc -O2 -o "$out/naive_convert" bench/naive_convert.c

words_lines=${WORDS_LINES:-$((lines / 10))}
kinds=(arith func stack calendar words)
declare -A count=([arith]=$lines [func]=$other_lines [stack]=$other_lines [calendar]=$other_lines
                  [words]=$words_lines)
mkdir -p "$work"
for k in "${kinds[@]}"; do
    python3 bench/gen_workload.py "$k" "${count[$k]}" "$work"
done

bc_for() { if [ "$1" = func ]; then echo "bc -lq"; else echo "bc -q"; fi; }

echo "## Results against bc"
echo
status=0
for k in "${kinds[@]}"; do
    "$out/rpncalc" <"$work/$k.rpn" >"$work/$k.out"
    BC_LINE_LENGTH=0 $(bc_for "$k") "$work/$k.chk.bc" >"$work/$k.ref"
    echo -n "- $k: "
    python3 bench/check_results.py "$work/$k.out" "$work/$k.ref" "$work/$k.err" || status=1
done
echo

for k in "${kinds[@]}"; do
    cmds=(-n rpncalc "$out/rpncalc <$work/$k.rpn >$work/$k.t.rpncalc"
          -n naive-c "$out/naive_rpn <$work/$k.rpn >$work/$k.t.naive"
          -n naive-convert "$out/naive_convert <$work/$k.rpn >$work/$k.t.convert"
          -n bc "BC_LINE_LENGTH=0 $(bc_for "$k") $work/$k.bc >$work/$k.t.bc")
    if [ -f "$work/$k.dc" ]; then
        cmds+=(-n dc "dc $work/$k.dc >$work/$k.t.dc")
    fi
    # Each timed run writes a fresh file: truncating the previous run's output
    # (70 MiB for the arithmetic lines) is the file system's work, and would
    # cost the fastest program most.
    hyperfine --style basic --warmup 1 --runs "$runs" --prepare "rm -f $work/$k.t.*" \
        --export-json "$work/$k.json" "${cmds[@]}" \
        >"$work/$k.hyperfine.txt"
done

# Start-up: many starts of each program on an empty input from one shell, as
# a script calling it once per value would; /bin/true and dc in the same run.
starts=${STARTS:-1000}
loop() { echo "for i in \$(seq $starts); do $1 </dev/null >/dev/null; done"; }
hyperfine --style basic --warmup 1 --runs "$runs" --export-json "$work/startup.json" \
    -n rpncalc "$(loop "$out/rpncalc")" -n true "$(loop /bin/true)" -n dc "$(loop dc)" \
    >"$work/startup.hyperfine.txt"

# Peak memory (maximum resident set size) on the largest workload.
/usr/bin/time -f %M -o "$work/peak_kib" "$out/rpncalc" <"$work/arith.rpn" >/dev/null

python3 bench/summary.py "$work" \
    --starts="$starts" arith="${count[arith]}" func="${count[func]}" stack="${count[stack]}" \
    calendar="${count[calendar]}" words="${count[words]}"
exit $status
