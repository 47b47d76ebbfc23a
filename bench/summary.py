#!/usr/bin/env python3
"""Prints the benchmark's tables from hyperfine's JSON files.

  summary.py WORKDIR KIND=LINES ...

For each workload: every program's mean time, lines per second, and how
many times rpncalc's lines per second that is, and the same ratio by
processor time (user and system, which another process on the machine
disturbs less than elapsed time); then start-up against /bin/true and
rpncalc's peak memory.
"""

import json
import os
import platform
import sys


def means(path):
    with open(path) as f:
        data = json.load(f)
    return {r["command"]: (r["mean"], r["stddev"] or 0.0, r["user"] + r["system"])
            for r in data["results"]}


def cpu_name():
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return platform.processor() or "unknown"


def main():
    work = sys.argv[1]
    kinds = [a.split("=") for a in sys.argv[2:]]
    print(f"Machine: {cpu_name()}, {os.cpu_count()} cores")
    print()
    print("| workload | lines | program | mean time (s) | lines/s | rpncalc is × faster "
          "| processor time (s) | × by processor time |")
    print("|---|---:|---|---:|---:|---:|---:|---:|")
    for kind, n in kinds:
        n = int(n)
        m = means(os.path.join(work, f"{kind}.json"))
        ours = n / m["rpncalc"][0]
        our_cpu = m["rpncalc"][2]
        for cmd, (mean, sd, cpu) in m.items():
            lps = n / mean
            ratio = "—" if cmd == "rpncalc" else f"{ours / lps:.1f}"
            cpu_ratio = "—" if cmd == "rpncalc" else f"{cpu / our_cpu:.1f}"
            print(f"| {kind} | {n:,} | {cmd} | {mean:.3f} ± {sd:.3f} | {lps:,.0f} | {ratio} "
                  f"| {cpu:.3f} | {cpu_ratio} |")
    print()
    s = means(os.path.join(work, "startup.json"))
    t = s["true"][0]
    print("| start-up (empty input) | mean (ms) | × /bin/true |")
    print("|---|---:|---:|")
    for cmd, label in (("rpncalc", "rpncalc (as measured above: dynamic, libedit)"),
                       ("true", "/bin/true")):
        print(f"| {label} | {s[cmd][0] * 1e3:.3f} | {s[cmd][0] / t:.2f} |")
    print()
    with open(os.path.join(work, "peak_kib")) as f:
        kib = int(f.read().split()[-1])
    print(f"Peak memory (maximum resident set) of rpncalc on the arithmetic workload: "
          f"{kib / 1024:.2f} MiB")
    return 0


if __name__ == "__main__":
    sys.exit(main())
