"""Exact reference model of the calculator's number text, used to write the
expected output of the golden transcripts.

It follows the digit algorithms with exact rational arithmetic (Python's
fractions), independently of the C++ code: typed numbers are read the way the
reader reads them (each step rounded to double), and values are shown the way
the writers show them. Only the transcripts' expected files come from here.
"""
from fractions import Fraction as F
import math

# Rounding table: 0.5, then 0.5e-k + 1e-16 for k = 1..14, 5e-16, 5e-17,
# each the double nearest that value (Python reads decimal literals exactly
# rounded).
R = [0.5] + [float(F(5, 10 ** (k + 1)) + F(1, 10 ** 16)) for k in range(1, 15)] + [5e-16, 5e-17]
P = [1e1, 1e2, 1e4, 1e8, 1e16, 1e32, 1e64, 1e128, 1e256]
WORK = 64


class Area:
    def __init__(self):
        self.chars = []

    def emit(self, c):
        if len(self.chars) < WORK:
            self.chars.append(c)

    def full(self):
        return len(self.chars) >= WORK

    def text(self):
        return "".join(self.chars)


def fixdigits(v, places):
    out = Area()
    if v == 0:
        out.emit("0")
        if places > 0:
            out.emit(".")
        for _ in range(min(max(places, 0), WORK)):
            out.emit("0")
        return out.text()
    if not math.isfinite(v):
        return "Infinite"
    if v < 0:
        out.emit("-")
        v = -v
    w = F(v)
    if places <= 16:
        w += F(R[max(places, 0)])
    ndig = 1
    while w >= 10:
        w /= 10
        ndig += 1
    for i in range(1, ndig + 1):
        t = math.floor(w)
        out.emit(str(t) if i < 15 else "0")
        w = (w - t) * 10
    if places >= 0:
        out.emit(".")
        for c in range(ndig, ndig + places):
            if out.full():
                break
            t = math.floor(w)
            out.emit(str(t) if c < 15 else "0")
            w = (w - t) * 10
    return out.text()


def fltdigits(v, n):
    out = Area()
    if v == 0:
        out.emit("0")
        out.emit(".")
        for _ in range(min(max(n - 1, 0), WORK)):
            out.emit("0")
        for c in "E+000":
            out.emit(c)
        return out.text()
    if not math.isfinite(v):
        return "Infinite"
    if n == 0:
        n = 15
    if v < 0:
        out.emit("-")
        v = -v
    w = F(v)
    e = 0
    if w >= 10:
        for k in range(8, -1, -1):
            if F(P[k]) < w:
                w /= F(P[k])
                e += 2 ** k
    elif w < 1:
        for k in range(8, -1, -1):
            if not (1 / F(P[k]) < w):
                w *= F(P[k])
                e -= 2 ** k
        if w < 1:
            w *= 10
            e -= 1
    if 1 <= n <= 17:
        w += F(R[n - 1])
    if w >= 10:
        w /= 10
        e += 1
    t = math.floor(w)
    out.emit(str(t))
    w = (w - t) * 10
    if n > 1:
        out.emit(".")
        for _ in range(n - 1):
            if out.full():
                break
            t = math.floor(w)
            out.emit(str(t))
            w = (w - t) * 10
    out.emit("E")
    out.emit("-" if e < 0 else "+")
    for c in "%03d" % (abs(e) % 1000):
        out.emit(c)
    return out.text()


def wrtreal(v, width=15):
    if width == 0:
        return " " + fltdigits(v, 0)
    a = abs(v)
    if a >= 1 or math.isnan(a):
        E = 0 if not math.isfinite(a) else len(str(math.floor(F(a)))) - 1
    else:
        E = width
    if v < 0:
        E += 1
    if width >= E + 2:
        text = fixdigits(v, width - 2 - E)
    else:
        if not (v < 0) and width > 6:
            n = width - 6
        elif v < 0 and width > 7:
            n = width - 7
        else:
            n = width
        text = fltdigits(v, n)
    return " " * max(width - len(text), 0) + text


def realtofix(v, places):
    sign = ""
    if v < 0:
        sign = "-"
        v = -v
    if not math.isfinite(v):
        return sign + "infinity"
    return sign + fixdigits(v, places)


def result_line(x):
    text = realtofix(x, 9)
    if "." in text:
        text = text.rstrip("0")
    return " Result =" + wrtreal(x, 15) + ",       " + text + "\r\n"


def dump_lines(regs):
    """The 17 lines of the register display; regs[0] is X, regs[7] is T1."""
    border = "+--------------------+" + " " * 10 + "+--------------------+\r\n"
    lines = []
    for r in reversed(regs):
        lines.append(border)
        lines.append("|  " + wrtreal(r, 15) + "   |" + " " * 10 + "|  " + realtofix(r, 10) + "   |\r\n")
    lines.append(border)
    return "".join(lines)


def texttoreal(s):
    """Reads a number the way the calculator's reader does: each step rounded
    to double, r * 10 + d rounded once. Returns None when no digit is read."""
    i = 0
    n = len(s)

    def cur():
        return s[i] if i < n else ""

    while cur() == " ":
        i += 1
    sign = 1.0
    if cur() == "-":
        sign = -1.0
        i += 1
    elif cur() == "+":
        i += 1
    r = 0.0
    seen = False
    while cur().isdigit():
        seen = True
        r = float(F(r) * 10 + int(cur()))
        i += 1
    if not seen:
        return None
    if cur() == ".":
        i += 1
        q = 10.0
        while cur().isdigit():
            r = r + int(cur()) / q
            q = q * 10.0
            i += 1
    r = r * sign
    if cur() in ("E", "e"):
        i += 1
        t = 1
        if cur() == "-":
            t = -1
            i += 1
        elif cur() == "+":
            i += 1
        x = 0
        while cur().isdigit():
            if x < 511:  # from 511 up the scaling is 10^511 in all
                x = x * 10 + int(cur())
            i += 1
        for k in range(8, -1, -1):
            if x >= 2 ** k:
                try:
                    r = r * P[k] if t > 0 else r / P[k]
                except OverflowError:
                    r = math.copysign(math.inf, r)
                x -= 2 ** k
    return r


# The x87 extended format: a 64-bit significand, rounded to nearest, ties to
# even; its exponent range is wide enough for every value met here.
def ext(v):
    v = F(v)
    if v == 0:
        return v
    m = abs(v)
    e = m.numerator.bit_length() - m.denominator.bit_length()
    if F(2) ** e > m:
        e -= 1
    unit = F(2) ** (e - 63)  # the last place of a 64-bit significand
    q, rem = divmod(m, unit)
    if rem * 2 > unit or (rem * 2 == unit and q % 2 == 1):
        q += 1
    return q * unit if v > 0 else -q * unit


def _dec(v, prec):
    import decimal

    ctx = decimal.Context(prec=prec)
    v = F(v)
    return ctx.divide(decimal.Decimal(v.numerator), decimal.Decimal(v.denominator)), ctx


LN2 = None
LOG2E = None


def _constants():
    global LN2, LOG2E
    if LN2 is None:
        import decimal

        ctx = decimal.Context(prec=90)
        ln2 = ctx.ln(decimal.Decimal(2))
        LN2 = ext(F(ln2))
        LOG2E = ext(F(ctx.divide(decimal.Decimal(1), ln2)))


def _split(u):
    """(2^f - 1) + 1 scaled by 2^trunc(u), f = u - trunc(u), stored as a double."""
    whole = math.trunc(u)
    f = u - whole
    fd, ctx = _dec(f, 90)
    p = ext(F(ctx.subtract(ctx.exp(ctx.multiply(fd, ctx.ln(2))), 1)))
    r = ext(p + 1) * F(2) ** whole
    try:
        return float(r)
    except OverflowError:
        return math.inf


def _ln(a):
    """ln a as the unit gives it: ln 2 × log2 a in one step, rounded once."""
    _constants()
    d, ctx = _dec(a, 90)
    return ext(F(ctx.multiply(_dec(LN2, 90)[0], ctx.divide(ctx.ln(d), ctx.ln(2)))))


def power(y, x):
    """|y| to the power x by the unit's route, each step rounded once to the
    extended format: ln a as ln 2 × log2 a in one step, t = x × ln a,
    u = t × log2 e, then (2^f − 1) + 1 scaled by 2^trunc(u), and the result
    stored as a double. Finite nonzero y only."""
    t = ext(F(x) * _ln(abs(F(y))))
    return _split(ext(t * LOG2E))


def exp(x):
    """e^x: 2 to the power x × log2 e, split as for the power."""
    _constants()
    return _split(ext(F(x) * LOG2E))


def ln(x):
    """LN of a finite positive x, stored as a double."""
    return float(_ln(F(x)))


def realint(x):
    """The integer part that INT, ROUND and FRAC use: t = x + 0.00005 rounded
    to the extended format and stored; then the whole part of |t| + R[1]
    (the one-decimal rounding), exactly, with the sign of t."""
    t = float(ext(F(x) + F(0.00005)))
    w = math.floor(abs(F(t)) + F(R[1]))
    return float(-w if t < 0 else w)


def _stored(v):
    """An extended-format value stored in a double (an infinity beyond range)."""
    try:
        return float(v)
    except OverflowError:
        return math.inf if v > 0 else -math.inf


def _times(a, b):
    """a × b in the extended format, stored; IEEE rules for infinities and 0."""
    if not (math.isfinite(a) and math.isfinite(b)) or a == 0 or b == 0:
        return a * b
    return _stored(ext(F(a) * F(b)))


def power_whole(y, x):
    """'**': x rounded to a whole number n, halves away from zero (from 2^63
    on, infinities included, n is 2^63 with the sign of x); y to the power |n|
    by repeated squaring, then 1 / result for a negative n. A NaN x gives NaN;
    n = -2^31 gives 1."""
    if math.isnan(x):
        return math.nan
    if math.isinf(x) or abs(x) >= 2 ** 63:
        n = 2 ** 63
    else:
        n = math.floor(abs(F(x)) + F(1, 2))
    if x < 0:
        n = -n
    if n == -(2 ** 31):
        return 1.0
    result, sq, mag = 1.0, y, abs(n)
    while mag > 0:
        if mag % 2:
            result = _times(result, sq)
        sq = _times(sq, sq)
        mag //= 2
    if n >= 0 or math.isnan(result):
        return result
    if result == 0 or math.isinf(result):
        return math.copysign(0.0 if result else math.inf, result)
    return _stored(ext(1 / F(result)))
