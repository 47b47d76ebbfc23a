#!/usr/bin/env python3
"""Deterministic workloads for the rpncalc benchmark.

Writes one workload in four forms that do the same computations:

  NAME.rpn    input lines for rpncalc (and for the naive C yardstick)
  NAME.bc     a bc program: "scale=9", then one expression per line
  NAME.chk.bc the same expressions at scale=40, the reference for the check
  NAME.dc     a dc program: "9k", then one RPN line per line that prints and
              pops its result (only where dc has the operations)
  NAME.err    per line, a bound on the error of computing it in doubles

Kinds:
  arith     arithmetic lines such as "1.5 2.25 + 3 * 7 /"
  func      function lines with SQRT, LN, EXP, SIN and "^"
  stack     stack-heavy lines of 30 tokens: pushes, operators and swaps,
            never more than eight values deep (rpncalc's eight registers)
  calendar  calendar lines: month day year JUL, with DOW on some
  words     lines of 20 to 40 tokens: pushes and + - * mixed with the stack
            and memory words (SWAP, SWAPXY, <>, ><, ROLLDN, LASTX, STO, RCL)
            in upper, lower and mixed case; never more than eight values
            deep, ROLLDN only on a full stack, LASTX and RCL only after this
            line set them, and a single value left at the end

The numbers come from a fixed 64-bit generator (splitmix64) seeded from the
kind, so a workload is the same on every machine and Python version. Every
line uses only the values it pushes, so the registers that rpncalc keeps
from line to line do not change its result.
"""

import argparse
import math
import os
import sys

MASK = (1 << 64) - 1


class Rng:
    """splitmix64: small, fixed and independent of Python's own generator."""

    def __init__(self, seed):
        self.state = seed & MASK

    def next(self):
        self.state = (self.state + 0x9E3779B97F4A7C15) & MASK
        z = self.state
        z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & MASK
        z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & MASK
        return z ^ (z >> 31)

    def below(self, n):
        return self.next() % n

    def pick(self, seq):
        return seq[self.below(len(seq))]


def number(rng, low=1, high=1000):
    """A decimal with up to three places, never zero."""
    places = rng.below(4)
    scale = 10 ** places
    v = low * scale + rng.below((high - low) * scale)
    whole, frac = divmod(v, scale)
    if places == 0:
        return str(whole)
    return f"{whole}.{frac:0{places}d}"


U = 2.0 ** -53  # unit roundoff of a double


class Line:
    """One line in three forms (RPN tokens, infix for bc, RPN for dc), with
    its value in double and a bound on the error of a double computation:
    each result is rounded once (rpncalc rounds every register value to a
    double), and the operands' errors carry through (first-order running
    error analysis). The check allows for this bound where a computation in
    doubles cannot agree with bc's exact value to the last digit shown."""

    def __init__(self):
        self.rpn = []
        self.dc = []
        self.stack = []  # (infix text, value, error bound) of each value on the stack

    def dc_add(self, token):
        if self.dc is not None:
            self.dc.append(token)

    def push(self, text):
        self.rpn.append(text)
        self.dc_add(text)
        v = float(text)
        # Reading rounds each digit step: a few units in the last place.
        self.stack.append((text, v, 8 * U * abs(v)))

    def binary(self, op):
        xt, x, ex = self.stack.pop()
        yt, y, ey = self.stack.pop()
        self.rpn.append(op)
        self.dc_add(op)
        if op == "+":
            v = y + x
            e = ex + ey
        elif op == "-":
            v = y - x
            e = ex + ey
        elif op == "*":
            v = y * x
            e = abs(y) * ex + abs(x) * ey + ex * ey
        else:
            v = y / x
            e = (ey + abs(v) * ex) / (abs(x) - ex)
        self.stack.append((f"({yt}{op}{xt})", v, e + abs(v) * U))

    def swap(self):
        self.rpn.append("<>")
        self.dc_add("r")
        self.stack[-1], self.stack[-2] = self.stack[-2], self.stack[-1]

    def unary(self, word, bc_form, value, error):
        """A function of X: value(x), error(x, ex) bounds the carried error."""
        xt, x, ex = self.stack.pop()
        self.rpn.append(word)
        self.dc = None  # dc has no such function
        v = value(x)
        self.stack.append((bc_form.format(x=xt), v, error(x, ex, v) + 4 * U * abs(v)))

    def value(self):
        return self.stack[-1][1]

    def error(self):
        return self.stack[-1][2]


def arith_line(rng):
    """Three to five numbers and + - * /, at most three values deep."""
    line = Line()
    line.push(number(rng))
    line.push(number(rng))
    line.binary(rng.pick("+-*/"))
    for _ in range(rng.below(3) + 1):
        line.push(number(rng))
        line.binary(rng.pick("+-*/"))
    return line


def func_line(rng):
    """A function of one or two numbers, sometimes combined further. Every
    argument of SQRT and LN is positive; powers and EXP stay in range."""
    line = Line()
    kind = rng.below(5)
    if kind == 0:
        line.push(number(rng))
        line.unary("SQRT", "sqrt({x})", math.sqrt, lambda x, ex, v: ex / (2 * math.sqrt(max(x - ex, 0.0)) or 1))
    elif kind == 1:
        line.push(number(rng))
        line.push(number(rng))
        line.binary("+")
        line.unary("LN", "l({x})", math.log, lambda x, ex, v: ex / (x - ex) + 2 * U)
    elif kind == 2:
        line.push(number(rng, 0, 20))
        line.unary("EXP", "e({x})", math.exp, lambda x, ex, v: v * math.expm1(ex) + 64 * U * v)
    elif kind == 3:
        line.push(number(rng, 0, 7))
        line.unary("SIN", "s({x})", math.sin, lambda x, ex, v: ex + 2 * U)
    else:
        # |Y|^X with Y positive: e(X * l(Y)) in bc, whose ^ takes whole exponents only.
        y = number(rng, 1, 50)
        x = number(rng, 0, 4)
        line.rpn += [y, x, "^"]
        line.dc = None
        yv, xv = float(y), float(x)
        v = yv ** xv
        # Operand errors (relative 8u each) and the power's own, computed
        # through 2^(x log2 y) in extended precision.
        e = v * (abs(xv) * 8 * U + abs(math.log(yv)) * 8 * U * xv + 64 * U)
        line.stack.append((f"e({x}*l({y}))", v, e))
    if rng.below(2):
        line.push(number(rng))
        line.binary(rng.pick("+*"))
    return line


def stack_moves(depth, left):
    """The moves (push, op, swap) after which a line of `left` more tokens can
    still end with exactly one value, never more than eight deep."""
    def feasible(d, l):
        if l == 0:
            return d == 1
        return any(feasible(nd, l - 1) for nd in next_depths(d))

    def next_depths(d):
        out = []
        if d < 8:
            out.append(d + 1)
        if d >= 2:
            out += [d - 1, d]
        return out

    moves = []
    if depth < 8 and feasible(depth + 1, left - 1):
        moves += ["push"] * 3
    if depth >= 2 and feasible(depth - 1, left - 1):
        moves += ["op"] * 2
    if depth >= 2 and feasible(depth, left - 1):
        moves.append("swap")
    return moves


def stack_line(rng):
    """Exactly 30 tokens: pushes, binary operators and swaps, with the stack
    between one and eight values deep and a single value left at the end."""
    line = Line()
    tokens = 30
    while len(line.rpn) < tokens:
        what = rng.pick(STACK_MOVES[(len(line.stack), tokens - len(line.rpn))])
        if what == "push":
            line.push(number(rng, 1, 100))
        elif what == "op":
            line.binary(rng.pick("+-*"))
        else:
            line.swap()
    assert len(line.stack) == 1, line.rpn
    return line


STACK_MOVES = {(d, l): stack_moves(d, l) for d in range(0, 9) for l in range(1, 31)}


def spelled(rng, word):
    """A word in upper case, lower case or a mix, each a third of the time."""
    style = rng.below(3)
    if style == 0:
        return word
    if style == 1:
        return word.lower()
    return "".join(c.lower() if rng.below(2) else c for c in word)


SHORT = 60  # LASTX and RCL copy only values whose bc text is this short


def words_line(rng):
    """20 to 40 tokens, ending with a single value that every push of the
    line went into, as in the stack lines, so that bc's expression of it
    does the line's arithmetic. Every word uses only values this line
    pushed: swaps need two, ROLLDN all eight registers, LASTX an operator
    and RCL a STO of this line before them. Products take operands below
    10^6 only, so that the values stay far from overflow."""
    line = Line()
    line.dc = None
    lastx = mem = None
    tokens = 20 + rng.below(21)
    while len(line.rpn) < tokens:
        d = len(line.stack)
        left = tokens - len(line.rpn)  # tokens still to write, this one included
        moves = []
        if d < 8 and d + 1 <= left:  # room to combine one more value
            moves += ["push"] * 3
            if lastx is not None and len(lastx[0]) < SHORT:
                moves.append("lastx")
            if mem is not None and len(mem[0]) < SHORT:
                moves.append("rcl")
        if d >= 2:
            moves += ["op"] * 2
            if d <= left:
                moves += ["swap", "swap"]
        if d == 8 and d <= left:
            moves += ["rolldn"] * 2
        if d >= 1 and d <= left:
            moves.append("sto")
        if d - 1 == left:
            moves = ["op"]  # only the operators that combine what is left
        what = rng.pick(moves)
        if what == "push":
            line.push(number(rng, 1, 100))
        elif what == "op":
            small = abs(line.stack[-1][1]) < 1e6 and abs(line.stack[-2][1]) < 1e6
            lastx = line.stack[-1]
            line.binary(rng.pick("+-*" if small else "+-"))
        elif what == "swap":
            word = rng.pick(["SWAP", "SWAPXY", "<>", "><"])
            line.rpn.append(spelled(rng, word))
            line.stack[-1], line.stack[-2] = line.stack[-2], line.stack[-1]
        elif what == "rolldn":
            line.rpn.append(spelled(rng, "ROLLDN"))
            line.stack.insert(0, line.stack.pop())
        elif what == "lastx":
            line.rpn.append(spelled(rng, "LASTX"))
            line.stack.append(lastx)
        elif what == "sto":
            line.rpn.append(spelled(rng, "STO"))
            mem = line.stack[-1]
        else:
            line.rpn.append(spelled(rng, "RCL"))
            line.stack.append(mem)
    assert len(line.stack) == 1, line.rpn
    return line


# Days before each month in a common year, for the bc form of JUL.
CAL_BC = """define jul(m, d, y) {
  auto s, n, c, l
  s = scale; scale = 0
  if (y < 30) y = y + 2000
  if (y >= 30 && y < 100) y = y + 1900
  if (m < 1 || m > 12 || d < 1 || d > 31 || y < 1700 || y > 2500) { scale = s; return (0); }
  c[1]=0; c[2]=1; c[3]=-1; c[4]=0; c[5]=0; c[6]=1; c[7]=1; c[8]=2; c[9]=3; c[10]=3; c[11]=4; c[12]=4
  n = 365*(y-1) + (y-1)/4 - (y-1)/100 + (y-1)/400 + 30*(m-1) + c[m] + d
  l = 0
  if (y % 4 == 0 && y % 100 != 0) l = 1
  if (y % 400 == 0) l = 1
  if (l && m > 2) n = n + 1
  scale = s
  return (n)
}
define dow(n) {
  auto s, r
  s = scale; scale = 0
  r = n % 7 + 1
  scale = s
  return (r)
}
"""


def calendar_line(rng):
    line = Line()
    m = 1 + rng.below(12)
    d = 1 + rng.below(31)
    y = 1700 + rng.below(801)
    line.rpn += [str(m), str(d), str(y), "JUL"]
    line.stack.append((f"jul({m},{d},{y})", 0.0, 0.0))  # whole numbers: exact
    if rng.below(2):
        line.rpn.append("DOW")
        line.stack.append((f"dow({line.stack.pop()[0]})", 0.0, 0.0))
    line.dc = None
    return line


KINDS = {
    "arith": (arith_line, 1),
    "func": (func_line, 2),
    "stack": (stack_line, 3),
    "calendar": (calendar_line, 4),
    "words": (words_line, 5),
}


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("kind", choices=sorted(KINDS))
    ap.add_argument("lines", type=int)
    ap.add_argument("outdir")
    args = ap.parse_args()
    make, seed = KINDS[args.kind]
    rng = Rng(seed)
    os.makedirs(args.outdir, exist_ok=True)
    base = os.path.join(args.outdir, args.kind)
    with open(base + ".rpn", "w") as rpn, open(base + ".bc", "w") as bc, \
            open(base + ".chk.bc", "w") as chk, open(base + ".dc", "w") as dc, \
            open(base + ".err", "w") as err:
        header = CAL_BC if args.kind == "calendar" else ""
        bc.write(header + "scale=9\n")
        chk.write(header + "scale=40\n")
        dc.write("9k\n")
        dc_ok = True
        for _ in range(args.lines):
            line = make(rng)
            rpn.write(" ".join(line.rpn) + "\n")
            bc.write(line.stack[-1][0] + "\n")
            chk.write(line.stack[-1][0] + "\n")
            err.write(repr(line.error()) + "\n")
            if line.dc is None:
                dc_ok = False
            elif dc_ok:
                dc.write(" ".join(line.dc) + " p sx\n")
    if not dc_ok:
        os.remove(base + ".dc")  # dc lacks the functions or the calendar
    return 0


if __name__ == "__main__":
    sys.exit(main())
