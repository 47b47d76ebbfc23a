"""Writes the calculator's golden transcripts: NAME.in and its expected NAME.out.

Each dialogue is a list of steps: the line typed, what the calculator writes
before its result line (messages, HELP, DUMP), and the value X must hold after
the line. The values are worked out by hand from the calculator's rules (or
from Python's datetime and math for dates and constants); the number text is
rendered by the exact reference model in reference.py. Run it from this folder:

    python3 generate.py

and review the diff of the .out files before committing them.
"""
from datetime import date
import math

import reference as ref

PROMPT = " 21Jul03 Enter calc, or HELP: "
INF = math.inf
NAN = math.nan
PI = 3.141592653589793


def unrecognized_op(sym):
    return sym + " is an unrecognized operation.\r\n"


def unrecognized_word(word):
    return word + " is an unrecognized command.\r\n"


HELP = "".join(
    line + "\r\n"
    for line in [
        " This is an RPN style calculator as used by Marovec.",
        " SQRT,SQR -- X = sqrt(X) or sqr(X) register.",
        " STO,RCL  -- store/recall the X register to/from the memory register.",
        " SWAP,SWAPXY,<>,>< -- equivalent commands that swap the X and Y registers.",
        " LASTX -- put the value of the LASTX register back into the X register.",
        " ROLLDN -- roll the stack down one register.  X goes to T1.",
        " DUMP -- dump the stack to the screen.",
        " EXP,LN -- evaluate exp(X) or ln(X) and put result back into X.",
        " ^   -- evaluate ABS(Y) to the X power, put result in X and pop stack 1 reg.",
        ' **  -- like "^" but rounds X before calling the PWRI function.',
        " INT, ROUND, FRAC -- do what their names suggest.",
        " MOD -- evaluate Y MOD X, put result in X and pop stack 1 reg.",
        " SIN,COS,TAN,ARCTAN,ARCSIN,ARCCOS -- take a wild guess.  In radians.",
        " D2R -- perform degrees to radians conversion of the X register.",
        " R2D -- perform radians to degrees conversion of the X register.",
        " JUL -- Return Julian date number of Z month, Y day, X year.  Pop stack x2.",
        " TODAY- Return Julian date number of today's date.  Pop stack x2.",
        " GREG-- Return Z month, Y day, X year of Julian date number in X.",
        " DOW -- Return day number 1..7 of julian date number in X register.",
    ]
)


def day(y, m, d):
    """Day number: 1 January of year 1 is day 1 (Python's proleptic ordinal)."""
    return float(date(y, m, d).toordinal())


def FRAC(text):
    """FRAC of a typed number: x - REALINT(x) in extended precision, stored."""
    x = ref.texttoreal(text)
    return float(ref.ext(ref.F(x) - ref.F(ref.realint(x))))


def POW(base, n):
    """'**' of a typed base (its sign apart: a leading minus is 0 base -)."""
    y = ref.texttoreal(base.lstrip("-"))
    return ref.power_whole(-y if base.startswith("-") else y, n)


# name: (steps, raw input ending or None). A step is (line, output before the
# result line, X after the line).
DIALOGUES = {
    "operators": [
        ("2 3 +", "", 5.0),
        ("LASTX", "", 3.0),
        ("2 3 -", "", -1.0),
        ("2 3 /", "", 2 / 3),
        ("10 4 *", "", 40.0),
        ("1 0 /", "", INF),
        ("0 0 /", "", NAN),
        ("0 1 - 0 /", "", -INF),
        ("2 3 ^", "", 8.0),
        ("0 2 - 3 ^", "", 8.0),
        ("0 2 - 3 **", "", -8.0),
        ("0 2 ^", "", NAN),
        ("0 2 **", "", 0.0),
        ("2 3.6 **", "", 16.0),
        ("2 2.5 **", "", 8.0),
        ("2 0 1 - **", "", 0.5),
        ("1 2 <>", "", 1.0),
        ("1 2 ><", "", 1.0),
        ("5 <", unrecognized_op("<"), 5.0),
        ("1 2 =", unrecognized_op("="), 2.0),
        ("3 >=", unrecognized_op(">="), 3.0),
        ("foo 2 3 +", unrecognized_word("FOO"), 5.0),
        ("2 3 y^x", unrecognized_word("Y") + unrecognized_word("X"), 8.0),
        ("2 3 'y^x'", "", 8.0),
        ("5 1E400 +", "", 5.0),
        ("1 2 3 4 5 6 7 8 9", "", 9.0),
        ("-5", "", -5.0),
        ("3-2", "", -2.0),
        ("5 -3 +", "", 2.0),
        ("1.5e3 2.5E-1 *", "", 375.0),
        (".5 1,2;+", "", 3.0),
        ("7 1 1 1 1 1 1 1 + + + + + + +", "", 14.0),
    ],
    "words": [
        ("2 SQRT", "", 1.4142135623730951),
        ("5 SQRT LASTX", "", 5.0),
        ("3 STO 4 RCL +", "", 7.0),
        ("RCL", "", 3.0),
        ("1 2 3 4 5 6 7 8 ROLLDN", "", 7.0),
        ("ROLLDN ROLLDN ROLLDN ROLLDN ROLLDN ROLLDN ROLLDN", "", 8.0),
        ("2.5 INT", "", 2.0),
        ("2.96 INT", "", 3.0),
        ("2.94 INT", "", 2.0),
        ("2.96 FRAC", "", 2.96 - 3.0),
        ("0 2.7 - INT", "", -2.0),
        ("2.45 ROUND", "", 3.0),
        ("2.44 ROUND", "", 2.0),
        ("0 2.5 - ROUND", "", -3.0),
        ("7 TRUNC", "", 6.0),
        ("100 TRUNC", "", 96.0),
        ("0.3 TRUNC", "", 0.25),
        ("1 TRUNC", "", 1.0),
        ("0 7 - TRUNC", "", -6.0),
        ("17 5 MOD", "", 2.0),
        ("0 1 - 10 MOD", "", 5.0),
        ("7.9 2.9 MOD", "", 1.0),
        ("5 0.5 MOD", "", NAN),
        ("7 21 2003 JUL", "", day(2003, 7, 21)),
        ("GREG", "", 2003.0),
        ("ROLLDN ROLLDN", "", 7.0),
        ("731417 DOW", "", 2.0),
        ("730120 DOW", "", 7.0),
        ("2 30 2003 JUL", "", day(2003, 3, 2)),
        ("13 1 2003 JUL", "", 0.0),
        ("1 1 0 JUL", "", day(2000, 1, 1)),
        ("12 31 99 JUL", "", day(1999, 12, 31)),
        ("612345 GREG", "", 0.0),
        ("4 sqrt", "", 2.0),
        ("4 SQRTX", unrecognized_word("SQRTX"), 4.0),
        ("9 Sqr", "", 81.0),
        ("HELP", HELP, 81.0),
        ("0.5 ARCCOS", "", 1.0471975511965976),
        ("0 0.5 - ARCCOS", "", -1.0471975511965976),
        ("0 ARCCOS", "", PI / 2),
        ("1 ARCSIN", "", PI / 2),
        ("0 1 - ARCSIN", "", -PI / 2),
        ("2 ARCSIN", "", NAN),
        ("1 ARCTAN", "", math.atan(1.0)),
        ("0 SIN", "", 0.0),
        ("0 COS", "", 1.0),
        ("0 TAN", "", 0.0),
        ("180 D2R", "", PI),
        ("R2D", "", 180.0),
        ("1 EXP", "", math.e),
        ("0 EXP", "", 1.0),
        ("1000000 EXP", "", INF),
        ("0 1000000 - EXP", "", 0.0),
        ("1 LN", "", 0.0),
        ("0 LN", "", -INF),
        ("0 1 - LN", "", NAN),
        ("0 1 - SQRT", "", NAN),
        ("2 10 'Y^X'", "", 1024.0),
        ("2 10 Y^X", unrecognized_word("Y") + unrecognized_word("X"), 1024.0),
        ("swap swapxy", "", 1024.0),
        ("TODAY 0 *", "", 0.0),
    ],
    "results": [
        ("5", "", 5.0),
        ("0", "", 0.0),
        ("0.5", "", 0.5),
        ("-2.5", "", -2.5),
        ("123.456", "", 123.456),
        ("1 3 /", "", 1 / 3),
        ("2 3 /", "", 2 / 3),
        ("1E-10", "", ref.texttoreal("1E-10")),
        ("86400 365 *", "", 31536000.0),
        ("9999999999999", "", 9999999999999.0),
        ("12345.678", "", ref.texttoreal("12345.678")),
        ("9.99999999999999", "", ref.texttoreal("9.99999999999999")),
        ("1E15", "", 1e15),
        ("1E60", "", ref.texttoreal("1E60")),
        ("1E70", "", ref.texttoreal("1E70")),
        ("0 1E70 -", "", -ref.texttoreal("1E70")),
        ("123456789012345.6", "", ref.texttoreal("123456789012345.6")),
        ("0 0.00001 -", "", -ref.texttoreal("0.00001")),
        ("1e-600", "", 0.0),
        ("0 0 -", "", 0.0),
    ],
    "dump": [
        ("DUMP", ref.dump_lines([0.0] * 8), 0.0),
        ("1 2 3 4 5 6 7 8 9", "", 9.0),
        ("DUMP", ref.dump_lines([9.0, 8.0, 7.0, 6.0, 5.0, 4.0, 3.0, 2.0]), 9.0),
        (
            "3.14 0 2.5 - 731417 1 0 / DUMP",
            ref.dump_lines([INF, 731417.0, -2.5, 3.14, 9.0, 8.0, 7.0, 7.0]),
            INF,
        ),
    ],
    "tokens": [
        # An overlong word ends the line; the tokens before it stay applied.
        (
            "4 " + "a" * 81 + " 5",
            "PARAM NAME TOO LONG, FIRST 80 CHAR'S ARE: " + "A" * 80 + "\r\n",
            4.0,
        ),
        # Quoted words keep their blanks and case-folded letters.
        ("'he lp'", unrecognized_word("HE LP"), 4.0),
        ("'sqr'x", unrecognized_word("X"), 16.0),
        ('"l"n', unrecognized_word("L") + unrecognized_word("N"), 16.0),
        ("2\t", unrecognized_word("\t"), 2.0),
        ("1.2.3", "", ref.texttoreal("01.2.3")),
        ("1EE5", "", 1.0),
        ("1234567890", "", 1234567890.0),
    ],
    # Each rule of the number edges, with its neighbours on both sides.
    "numeric_edges": [
        # Every digit counts: the re-scan text holds 255 characters behind
        # its "0"; the digits, fraction and exponent past them still count.
        ("1" * 255, "", ref.texttoreal("1" * 255)),
        ("1" * 256, "", ref.texttoreal("1" * 256)),
        ("1" + "0" * 249 + "E-200", "", ref.texttoreal("1" + "0" * 249 + "E-200")),
        ("1" + "0" * 250 + "E-200", "", ref.texttoreal("1" + "0" * 250 + "E-200")),
        ("0." + "0" * 253 + "1", "", ref.texttoreal("0." + "0" * 253 + "1")),
        ("-" + "1" * 255, "", -ref.texttoreal("1" * 255)),
        # INT, ROUND and FRAC keep every integer digit beyond the 14 that the
        # one-decimal text computes.
        ("123456789012345.6 INT 123456789012340 -", "", 5.0),
        ("123456789012345.6 FRAC", "", FRAC("123456789012345.6")),
        ("0 123456789012345.6 - INT 123456789012340 +", "", -5.0),
        ("123456789012345.6 ROUND 123456789012340 -", "", 6.0),
        ("99999999999999 INT", "", 99999999999999.0),
        ("99999999999999.96 INT 99999999999990 -", "", 10.0),
        ("100000000000000.5 INT", "", 1e14),
        ("100000000000000.5 FRAC", "", 0.5),
        ("100000000000000.96 INT 1E14 -", "", 1.0),
        ("2.96 INT", "", 3.0),
        ("1E70 INT", "", ref.texttoreal("1E70")),
        # Whole numbers beyond 32 bits are out of range, never wrapped.
        ("7 21 4294969299 JUL", "", 0.0),
        ("7 21 4294967296 JUL", "", 0.0),
        ("7 21 4294967295 JUL", "", 0.0),
        ("4294967303 21 2003 JUL", "", 0.0),
        ("0 4294967289 - 21 2003 JUL", "", 0.0),
        ("7 21 2003 JUL", "", day(2003, 7, 21)),
        ("731417 GREG + +", "", 2031.0),
        ("4295698713 GREG + +", "", 0.0),
        ("0 4294235879 - GREG + +", "", 0.0),
        ("2147483647 GREG + +", "", 0.0),
        ("2147483648 GREG + +", "", 0.0),
        ("2 4294967298 **", "", INF),
        ("2 2147483647 **", "", INF),
        ("2 2147483648 **", "", INF),
        ("0.5 2147483648 **", "", 0.0),
        ("2 0 2147483649 - **", "", 0.0),
        ("0 1 - 2147483649 **", "", -1.0),
        ("0 1 - 4294967296 **", "", 1.0),
        ("0 2 - 4294967297 **", "", -INF),
        ("2 1E300 **", "", INF),
        # An infinite exponent is the limit too; a NaN exponent gives NaN.
        ("2 1 0 / **", "", INF),
        ("0.5 0 1 - 0 / **", "", INF),
        ("2 0 0 / **", "", NAN),
        # Beyond 32 bits the squaring runs over the whole exponent: bases near 1
        # give finite powers (2^31, 2^32 - 1, 3e9 and its odd and negative
        # neighbours); from 2^63 on the exponent counts as even.
        ("1.0000001 3000000000 **", "", POW("1.0000001", 3000000000.0)),
        ("0.99999999995 3577532718 **", "", POW("0.99999999995", 3577532718.0)),
        ("1.0000000001 2147483648 **", "", POW("1.0000000001", 2147483648.0)),
        ("0.9999999999 4294967295 **", "", POW("0.9999999999", 4294967295.0)),
        ("0 1.0000001 - 3000000001 **", "", POW("-1.0000001", 3000000001.0)),
        ("1.0000001 0 3000000000 - **", "", POW("1.0000001", -3000000000.0)),
        ("1.0000000000000002 2 63 ** **", "", POW("1.0000000000000002", 2.0**63)),
        ("0.9999999999999999 0 2 63 ** - **", "", POW("0.9999999999999999", -(2.0**63))),
        ("0.9999999999999999 2 63 ** 1024 - **", "", POW("0.9999999999999999", 2.0**63 - 1024)),
        # Powers take ln a from one step, rounded once.
        ("1E15 3 ^", "", ref.power(1e15, 3)),
        ("18 39 ^", "", ref.power(18, 39)),
        ("10 15 ^", "", ref.power(10, 15)),
        ("10 22 ^", "", ref.power(10, 22)),
        ("10 0 5 - ^", "", ref.power(10, -5)),
        ("10 300 'Y^X'", "", ref.power(10, 300)),
        ("2 0.5 ^", "", ref.power(2, 0.5)),
        ("10 EXP", "", ref.exp(10)),
        ("10 LN", "", ref.ln(10)),
    ],
}

# Dialogues whose input is written byte for byte: (input bytes, expected).
RAW = {
    "tab_only": ("\t\n", [("", unrecognized_word("\t"), 0.0)]),
    "crlf_input": ("2 3 +\r\n4 *\r\n\r\n", [("", "", 5.0), ("", "", 20.0)]),
    "no_final_newline": ("2 3 +", [("", "", 5.0)]),
    "long_line": (" " * 255 + "5123 1 +\n" + "1 +\n", [("", "", 5.0), ("", "", 6.0)]),
    # 300 characters: only the first 256 (up to "1 2 + ") are evaluated.
    "line_300": (" " * 250 + "1 2 + " + "4 * " * 11 + "\n", [("", "", 3.0)]),
    "blank_line_ends": ("7\n   \n8\n", [("", "", 7.0)]),
}


def expected(steps):
    out = []
    for _line, before, x in steps:
        out.append(PROMPT + "\r\n" + before + ref.result_line(x))
    out.append(PROMPT + "\r\n")  # the empty line or the end of input
    return "".join(out)


def write(name, text_in, text_out):
    with open(name + ".in", "w", newline="") as f:
        f.write(text_in)
    with open(name + ".out", "w", newline="") as f:
        f.write(text_out)


def main():
    for name, steps in DIALOGUES.items():
        write(name, "".join(line + "\n" for line, _b, _x in steps), expected(steps))
    for name, (raw, steps) in RAW.items():
        write(name, raw, expected(steps))
    # Run with the wall clock at -1 seconds, 23:59:59 UTC on 31 December 1969.
    write("../clock/today_epoch_edge", "TODAY\n", expected([("TODAY", "", day(1969, 12, 31))]))


if __name__ == "__main__":
    main()
