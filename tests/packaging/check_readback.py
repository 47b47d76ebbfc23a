"""Every text the script mode writes for X reads back the same with the C
library's strtod, with awk and with Python's float: the values of the
script_values transcript, which cover every text form and its borders."""
import argparse
import ctypes
import math
import pathlib
import struct
import subprocess
import sys


def bits(v):
    return "nan" if math.isnan(v) else struct.pack("<d", v).hex()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--calc", required=True)
    parser.add_argument("--input", required=True)
    args = parser.parse_args()

    lines = subprocess.run([args.calc, "-s", args.input], capture_output=True, text=True,
                           check=True).stdout.splitlines()
    libc = ctypes.CDLL(None)
    libc.strtod.restype = ctypes.c_double
    libc.strtod.argtypes = [ctypes.c_char_p, ctypes.POINTER(ctypes.c_char_p)]
    awk = subprocess.run(["awk", '{ printf "%.17g\\n", $1 + 0 }'], input="\n".join(lines) + "\n",
                         capture_output=True, text=True, check=True).stdout.splitlines()
    failed = False
    for text, by_awk in zip(lines, awk, strict=True):
        raw = text.encode()
        buf = ctypes.create_string_buffer(raw)
        end = ctypes.c_char_p()
        by_strtod = libc.strtod(ctypes.cast(buf, ctypes.c_char_p), ctypes.byref(end))
        consumed = ctypes.cast(end, ctypes.c_void_p).value - ctypes.addressof(buf)
        by_float = float(text)
        views = {bits(by_strtod), bits(by_float), bits(float(by_awk))}
        if consumed != len(raw) or len(views) != 1:
            failed = True
            print(f"{text!r}: strtod {by_strtod!r} ({consumed} of {len(raw)} characters), "
                  f"float {by_float!r}, awk {by_awk!r}")
    if len(lines) < 20:
        failed = True
        print(f"only {len(lines)} lines from {args.input}")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
