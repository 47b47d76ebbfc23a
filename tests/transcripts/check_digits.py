"""The digit generators against the exact reference model (reference.py).

Runs the test driver rpncalc_digits (given as the first argument) on doubles
of every magnitude and the shapes that catch rounding trouble, with the
counts the program uses and a spread of others, and compares every text with
the model's; checks that the program's tables R and P hold the doubles
nearest their stated values. Prints the first differences and fails on any.
"""
from fractions import Fraction as F
import math
import random
import struct
import subprocess
import sys

import reference as ref

INF = math.inf


def bits(v):
    return struct.unpack("<Q", struct.pack("<d", v))[0]


def double(b):
    return struct.unpack("<d", struct.pack("<Q", b))[0]


def values(count):
    """Doubles of every magnitude: any bit pattern, whole numbers, exact
    halves, short decimals, neighbours of powers of ten and of the P table,
    ties for one significant digit, ordinary calculator values."""
    gen = random.Random(20030721)
    out = []
    for i in range(count):
        kind = i % 10
        if kind in (0, 1):
            v = double(gen.getrandbits(63))
            if not math.isfinite(v):
                v = 1.5
        elif kind == 2:
            v = float(gen.randrange(1 << (1 + gen.randrange(57))))
        elif kind == 3:
            v = float(gen.randrange(1 << (1 + gen.randrange(49)))) + 0.5
        elif kind == 4:
            v = gen.randrange(1000000) / 10.0 ** gen.randrange(9)
        elif kind == 5:
            v = 10.0 ** (gen.randrange(617) - 308)
            for _ in range(gen.randrange(3)):
                v = math.nextafter(v, 0 if gen.random() < 0.5 else INF)
        elif kind == 6:
            v = ref.P[gen.randrange(9)] * (1.0 if gen.random() < 0.5 else 1.0 + gen.random())
            if gen.random() < 0.5:
                v = 1.0 / v
            v = math.nextafter(v, 0 if gen.random() < 0.5 else INF)
        elif kind == 7:
            v = (gen.randrange(10) + 0.5) * 10.0 ** (gen.randrange(30) - 5)
        elif kind == 8:
            v = float(gen.randrange(10 ** 15)) * 10.0 ** gen.randrange(23)
        else:
            v = (gen.random() * 2e5 - 1e5) * 10.0 ** (gen.randrange(41) - 20)
        out.append(-v if gen.random() < 0.2 else v)
    return out


def cases():
    pick = random.Random(7)
    places_list = [-3, -1, 0, 1, 2, 5, 9, 10, 13, 16, 17, 20, 70]
    n_list = [0, 1, 2, 8, 9, 15, 16, 17, 18, 25, 57]
    for v in values(4000):
        yield "F", v, pick.choice(places_list)
        yield "E", v, pick.choice(n_list)
        for places in (9, 10, 1):  # the counts the program itself uses
            yield "F", v, places
        yield "E", v, 8 if v < 0 else 9


def nearest(x, target):
    here = abs(F(x) - target)
    return all(here <= abs(F(math.nextafter(x, d)) - target) for d in (0.0, INF))


def main():
    driver = sys.argv[1]
    failures = []
    # The reference itself reproduces texts computed independently.
    offline = [
        (ref.fltdigits(0.1, 57), "1.00000000000000005551115123125782702118158340454101562500E-001"),
        (ref.fixdigits(1e60, 9), "9" * 14 + "0" * 46 + ".000"),
        (ref.fixdigits(12345678901234.5, 0), "12345678901235."),
        (ref.fltdigits(sys.float_info.max, 20), "1.7976931348623155575E+308"),
    ]
    failures += ["model: %s, offline %s" % pair for pair in offline if pair[0] != pair[1]]

    todo = list(cases())
    request = "R\nP\n" + "".join("%s %016x %d\n" % (k, bits(v), c) for k, v, c in todo)
    got = subprocess.run([driver], input=request, capture_output=True, text=True,
                         check=True).stdout.split("\n")
    tables, texts = got[:17 + 9], got[17 + 9:]
    r_want = [F(1, 2)] + [F(5, 10 ** (k + 1)) + F(1, 10 ** 16) for k in range(1, 15)]
    r_want += [F(5, 10 ** 16), F(5, 10 ** 17)]
    p_want = [F(10 ** (2 ** k)) for k in range(9)]
    for name, row, want in [("R", tables[:17], r_want), ("P", tables[17:], p_want)]:
        for k, (b, target) in enumerate(zip(row, want)):
            if not nearest(double(int(b, 16)), target):
                failures.append("%s[%d] is not the double nearest %s" % (name, k, target))

    for (kind, v, count), text in zip(todo, texts):
        want = ref.fixdigits(v, count) if kind == "F" else ref.fltdigits(v, count)
        if text != want:
            name = "FIXDIGITS" if kind == "F" else "FLTDIGITS"
            failures.append("%s(%r, %d) = %s, exact %s" % (name, v, count, text, want))
    for line in failures[:10]:
        print(line)
    print("%d texts and %d table entries checked, %d differ"
          % (len(todo), len(tables), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
