"""Writes the golden transcripts of the command line: options, file operands,
-e and the script mode (NAME.args, NAME.in, NAME.out, NAME.err, NAME.status,
and the data files the operands name).

The script mode's text of X is modelled here from its stated rules: 0 as 0;
10^-9 <= |X| < 10^14 as the dialogue's fixed-point column (reference.py)
without its trailing point; any other finite X in C's scientific form with
15 significant digits (Python's own %e formatting) without trailing zeros;
inf, -inf, nan. Run it from this folder:

    python3 generate_cli.py

and review the diff before committing.
"""
import math
import sys

sys.dont_write_bytecode = True  # imports from this folder leave no cache here

import generate as dialogue  # noqa: E402
import reference as ref  # noqa: E402

HINT = "Try 'rpncalc --help' for more information.\n"

HELP = """Usage: rpncalc [-s] [-e EXPR]... [FILE]...
A calculator in reverse Polish notation. Without arguments it holds its
dialogue on standard input and output. FILE operands are read in order as
one input ('-' is standard input).

  -e, --expression=EXPR  take EXPR as one input line (repeatable, before any
                         FILE); implies -s; without FILE, standard input is
                         not read
  -s, --script           script mode: no prompt; for each non-blank line, X
                         alone on one line; tabs separate tokens; messages
                         on standard error as 'rpncalc: SOURCE:LINE: text'
  -h, --help             show this help and exit
  -V, --version          show the version and exit

Exit status: 0 on success, 1 when the script mode wrote a message, 2 for a
usage error or a file that cannot be read, 255 after a failure.
The commands and the output rules are in rpncalc(1).
"""


def script_text(x):
    if math.isnan(x):
        return "nan"
    if math.isinf(x):
        return "-inf" if x < 0 else "inf"
    if x == 0:
        return "0"
    if 1e-9 <= abs(x) < 1e14:
        return ref.realtofix(x, 9).rstrip("0").rstrip(".")
    mantissa, exponent = ("%.14e" % x).split("e")
    if "." in mantissa:
        mantissa = mantissa.rstrip("0").rstrip(".")
    return mantissa + "e" + exponent


def message(source, line, text):
    return "rpncalc: %s:%d: %s\n" % (source, line, text)


T = ref.texttoreal
INF = math.inf

# The script mode on a table of values: every text form and its borders.
# (line typed, X after it)
VALUES = [
    ("0", 0.0),
    ("0 1 - 0 *", -0.0),
    ("1E-9", T("1E-9")),  # the lowest fixed-point value
    ("0 1E-9 -", -T("1E-9")),
    ("9.99E-10", T("9.99E-10")),  # just below it: scientific
    ("1E-12", T("1E-12")),
    ("1E-300", T("1E-300")),  # a tiny nonzero
    ("99999999999999", 99999999999999.0),  # the highest whole fixed-point value
    ("0 99999999999999 -", -99999999999999.0),
    ("100000000000000", 1e14),  # 10^14: scientific
    ("1E63", T("1E63")),
    ("123456789012345678901", T("123456789012345678901")),
    ("0 1.5E-20 -", -T("1.5E-20")),
    ("5", 5.0),
    ("0 2.5 -", -2.5),
    ("1 3 /", 1 / 3),
    ("2 3 /", 2 / 3),
    ("123.456", T("123.456")),
    ("0.5", 0.5),
    ("1 0 /", INF),
    ("0 1 - 0 /", -INF),
    ("0 0 /", math.nan),
]

# Blank lines are skipped (spaces, tabs, nothing), tabs separate tokens.
TABS = [
    ("1\t2\t+", 3.0),
    ("", None),
    ("   ", None),
    ("\t \t", None),
    ("\t4 *\t", 12.0),
    ("2,3;+", 5.0),
]


def lines_of(steps):
    return "".join(line + "\n" for line, _x in steps)


def outputs_of(steps):
    return "".join(script_text(x) + "\n" for _line, x in steps if x is not None)


def write(name, args=None, text_in="", out="", err=None, status=0, data=None):
    def put(path, text):
        with open(path, "w", newline="") as f:
            f.write(text)

    put(name + ".in", text_in)
    put(name + ".out", out)
    if args is not None:
        put(name + ".args", "".join(a + "\n" for a in args))
    if err is not None:
        put(name + ".err", err)
    if status != 0:
        put(name + ".status", "%d\n" % status)
    for path, text in (data or {}).items():
        put(path, text)


def main():
    write("script_values", ["-s"], lines_of(VALUES), outputs_of(VALUES), err="")
    write("script_tabs_blanks", ["--script"], lines_of(TABS), outputs_of(TABS), err="")

    # Messages name the source and the line (blank lines count), go to
    # standard error, and make the status 1; HELP keeps its dialogue text.
    write(
        "script_messages",
        ["-s"],
        "2 3 +\n\nfoo 1 +\n5 <\nHELP\n",
        "5\n6\n5\n" + dialogue.HELP + "5\n",
        err=message("-", 3, "FOO is an unrecognized command.")
        + message("-", 4, "< is an unrecognized operation."),
        status=1,
    )

    # -e is repeatable, implies the script mode and leaves standard input
    # unread; its lines are numbered together.
    write(
        "expressions",
        ["-e", "2 3 +", "--expression=4 *", "-e", "bar 1 -"],
        "100\n",
        "5\n20\n19\n",
        err=message("-e", 3, "BAR is an unrecognized command."),
        status=1,
    )

    # File operands in order as one input, "-" among them; a file without a
    # final line end does not run into the next source.
    column = "10\n20 +\n30 +\n"
    write(
        "file_operands",
        ["-s", "column.txt", "no_final_eol.txt", "-", "column.txt"],
        "5 +\nbogus\n",
        "10\n30\n60\n120\n125\n125\n10\n30\n60\n",
        err=message("-", 2, "BOGUS is an unrecognized command."),
        status=1,
        data={"column.txt": column, "no_final_eol.txt": "2 *"},
    )
    # -e texts come before the files, wherever they stand.
    write("expression_then_file", ["column.txt", "-e", "1"], "", "1\n10\n30\n60\n", err="")

    # A file operand without -s: the dialogue, reading the file.
    steps = [("", "", 10.0), ("", "", 30.0), ("", "", 60.0)]
    write("dialogue_file", ["column.txt"], "7\n", dialogue.expected(steps), err="")

    # A file that cannot be read: what came before stays written, status 2.
    write(
        "missing_file",
        ["-e", "7", "missing.txt", "column.txt"],
        "",
        "7\n",
        err="rpncalc: missing.txt: No such file or directory\n",
        status=2,
    )
    write("directory_operand", ["-s", "."], "", "", err="rpncalc: .: Is a directory\n", status=2)

    write("help", ["--help"], "2 3 +\n", HELP, err="")
    write("help_short", ["-s", "-h"], "2 3 +\n", HELP, err="")
    for name, args, error in [
        ("bad_long_option", ["--bogus"], "unrecognized option '--bogus'"),
        ("bad_short_option", ["-sx"], "invalid option -- 'x'"),
        ("missing_argument", ["-e"], "option requires an argument -- 'e'"),
        ("missing_long_argument", ["--expression"], "option '--expression' requires an argument"),
        ("unwanted_argument", ["--script=1"], "option '--script' doesn't allow an argument"),
    ]:
        write(name, args, "2 3 +\n", "", err="rpncalc: " + error + "\n" + HINT, status=2)


if __name__ == "__main__":
    main()
