#!/usr/bin/env python3
"""Prints the benchmark's tables from hyperfine's JSON files.

  summary.py WORKDIR --starts=N KIND=LINES ...

For each workload: every program's mean time, lines per second, and how
many times rpncalc's lines per second that is, and the same ratio by
processor time (user and system, which another process on the machine
disturbs less than elapsed time); then start-up (N starts from one shell)
against /bin/true and dc, and rpncalc's peak memory.
"""

import json
import os
import platform
import sys


def means(path):
    with open(path) as f:
        data = json.load(f)
    return {r["command"]: (r["mean"], r["stddev"] or 0.0, r["user"] + r["system"], r["median"])
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
    starts = int(sys.argv[2].split("=", 1)[1])
    kinds = [a.split("=") for a in sys.argv[3:]]
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
        for cmd, (mean, sd, cpu, _) in m.items():
            lps = n / mean
            ratio = "—" if cmd == "rpncalc" else f"{ours / lps:.1f}"
            cpu_ratio = "—" if cmd == "rpncalc" else f"{cpu / our_cpu:.1f}"
            print(f"| {kind} | {n:,} | {cmd} | {mean:.3f} ± {sd:.3f} | {lps:,.0f} | {ratio} "
                  f"| {cpu:.3f} | {cpu_ratio} |")
    print()
    s = means(os.path.join(work, "startup.json"))
    print(f"| start-up ({starts:,} starts on empty input from one shell) | mean per start (ms) "
          "| × /bin/true | median per start (ms) | × /bin/true |")
    print("|---|---:|---:|---:|---:|")
    for cmd, label in (("rpncalc", "rpncalc"), ("true", "/bin/true"), ("dc", "dc")):
        mean, median = s[cmd][0], s[cmd][3]
        print(f"| {label} | {mean / starts * 1e3:.3f} | {mean / s['true'][0]:.2f} "
              f"| {median / starts * 1e3:.3f} | {median / s['true'][3]:.2f} |")
    print()
    with open(os.path.join(work, "peak_kib")) as f:
        kib = int(f.read().split()[-1])
    print(f"Peak memory (maximum resident set) of rpncalc on the arithmetic workload: "
          f"{kib / 1024:.2f} MiB")
    return 0


if __name__ == "__main__":
    sys.exit(main())
