#!/usr/bin/env python3
"""Checks rpncalc's results against bc's, line by line, to the digits shown.

  check_results.py RPNCALC_OUTPUT BC_OUTPUT ERROR_BOUNDS

RPNCALC_OUTPUT is rpncalc's standard output for a workload; BC_OUTPUT is
bc's output for the same workload's NAME.chk.bc (scale=40, with
BC_LINE_LENGTH=0), one value per line. Each result line shows X twice: in a
field of 15 characters and as nine-place text. Both must agree with bc's
value to within one unit of the last digit rpncalc computes there (fixed
text computes 15 significant digits, so a large value's last places are
zeros), plus twice the line's bound on the error of computing it in doubles
(ERROR_BOUNDS, from the workload generator): where a subtraction cancels,
no double computation can match bc's exact value to the last digit. The nine-place text is also compared with bc's value rounded to nine
places, and the exact matches are counted.

Prints a summary; the exit status is 1 when any line disagrees.
"""

import decimal
import sys
from decimal import Decimal

decimal.getcontext().prec = 80
PROMPT = " 21Jul03 Enter calc, or HELP: "
LABEL = " Result ="
SEPARATOR = ",       "


def results(path):
    with open(path, "rb") as f:
        data = f.read().decode("latin-1")
    for line in data.split("\r\n"):
        if line.startswith(LABEL):
            field, _, fixed = line[len(LABEL):].partition(SEPARATOR)
            yield field.strip(), fixed


def computed_unit(ndig, places):
    """The unit of the last digit fixed-point text computes: fifteen
    significant digits in all, at most fourteen of them before the point."""
    if ndig >= 15:
        return Decimal(1).scaleb(ndig - 14)
    return Decimal(1).scaleb(-min(places, 15 - ndig))


def unit_of_field(text):
    """One unit of the last digit the width-15 field computes."""
    if "E" in text:
        mantissa, exponent = text.split("E")
        places = len(mantissa.split(".")[1]) if "." in mantissa else 0
        return Decimal(1).scaleb(int(exponent) - places)
    whole, _, frac = text.lstrip("-").partition(".")
    return computed_unit(len(whole), len(frac))


def unit_of_fixed(text):
    """One unit of the last digit of the nine-place text (its zeros cropped)."""
    whole = text.lstrip("-").partition(".")[0]
    return computed_unit(len(whole), 9)


def fixed_value(text):
    return Decimal(text[:-1] if text.endswith(".") else text)


def main():
    rpn_path, bc_path, err_path = sys.argv[1], sys.argv[2], sys.argv[3]
    with open(bc_path) as f:
        ref = [Decimal(line.strip()) for line in f if line.strip()]
    with open(err_path) as f:
        bounds = [Decimal(line.strip()) for line in f if line.strip()]
    got = list(results(rpn_path))
    if len(got) != len(ref):
        print(f"FAIL: {len(got)} result lines from rpncalc, {len(ref)} values from bc")
        return 1
    bad = []
    exact = 0
    for i, ((field, fixed), b, bound) in enumerate(zip(got, ref, bounds), start=1):
        if field == "Infinite" or "infinity" in fixed:
            bad.append((i, field, fixed, b, "not finite"))
            continue
        slack = 2 * bound
        f_val = Decimal(field)
        x_val = fixed_value(fixed)
        if abs(f_val - b) > unit_of_field(field) + slack:
            bad.append((i, field, fixed, b, "field"))
        elif abs(x_val - b) > unit_of_fixed(fixed) + slack:
            bad.append((i, field, fixed, b, "nine-place text"))
        rounded = b.quantize(Decimal("1e-9"), rounding=decimal.ROUND_HALF_UP)
        if rounded == x_val:
            exact += 1
    n = len(ref)
    print(f"{n} lines checked against bc: {n - len(bad)} agree to the digits shown, "
          f"{exact} nine-place texts equal to bc's value rounded to nine places")
    for i, field, fixed, b, what in bad[:10]:
        print(f"  line {i}: {what}: rpncalc {field} / {fixed}, bc {b}")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
