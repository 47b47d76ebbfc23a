// Numeric text helpers: operations that work through number text (rounding to
// a whole number, a real power, cropping a number's text, whole numbers to and
// from reals by way of decimal text).
#pragma once

#include "text/textbuf.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace text::num {

// What the calculator uses: cropping the result text, and the whole digits
// behind INT.

// Removes trailing "0" characters and leading blanks from a number text in
// place; an empty or all-zero text becomes empty.
//   "  12.500" -> "12.5"    "100.0" -> "100."    "1000" -> "1"    "000" -> ""
void CROPNUM(std::span<char> s);
// CROPNUM for a fixed-point text: a text without a point (an infinity, or
// digits cut before their point) is left as it is, its zeros being digits.
//   "  12.500" -> "12.5"    "5.000" -> "5."    "1000" -> "1000"
void cropFixed(std::span<char> s);
// The length cropFixed leaves of a text without leading blanks (as REALTOFIX
// writes), for a writer that has the text's length at hand:
//   "12.500" -> 4    "0.000000000" -> 2    "infinity" -> 8
std::size_t croppedLength(std::span<const char> text);
// Writes x with one place after the point into buf and cuts the text just
// before its last point, leaving the sign and the integer digits (COUNT is
// their number). False, with the uncut text, when the text holds no point.
//   2.96 -> "3"    -0.04 -> "-0"    1e70 -> false
bool wholeDigits(double x, TEXTBUF& buf);

// The helpers below serve library callers; the calculator does not call
// them.

// x rounded to the nearest whole number, halves away from zero; the low 32
// bits of the 64-bit result.
//   2.5 -> 3    -2.5 -> -3    0.49999999999999994 -> 0
std::int32_t NEARINT(double x);
// base raised to exponent as 2^(exponent * log2 base); NaN for base <= 0.
//   (2, 10) -> 1024    (9, 0.5) -> 3    (10, 400) -> inf    (-8, 2) -> NaN
double PWRR(double base, double exponent);
// x with one place after the point, cropped as cropFixed does.
//   3.14 -> "3.1"    2.96 -> "3."    -0.04 -> "-0."    -inf -> "-infinity"
void GETCROPNUM(double x, std::span<char> s);
// A whole number to a real, through its decimal text, each step rounded.
//   42 -> 42.0    9007199254740993 -> 9007199254740992.0
//   123456789012345678 -> 123456789012345696.0
double INTTOREAL(std::int64_t n);
// The integer part of x rounded to one decimal, through its decimal text; the
// most negative value when that text holds no point (an infinity, a NaN, a
// magnitude of about 10^63 or more), as chopping such a value gives.
//   2.96 -> 3    2.94 -> 2    -0.04 -> 0    1e19 -> 10^18 (the digits read
//   before the overflow)    1e70 -> -2^63
std::int64_t REALTOINT(double x);

} // namespace text::num
