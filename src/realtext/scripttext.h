// The text of a real in the script mode: one plain number that strtod, awk
// and Python's float all read back, never a wrong one.
//
//   0, -0                      -> 0
//   10^-9 <= |x| < 10^14       -> the fixed-point text with nine places, its
//                                 trailing zeros and point dropped
//     5 -> 5     -2.5 -> -2.5     1/3 -> 0.333333333     1e-9 -> 0.000000001
//     99999999999999 -> 99999999999999     123.456 -> 123.456
//   any other finite x         -> 15 significant digits in C's scientific
//                                 form, trailing zeros dropped, an exponent
//                                 of at least two digits with its sign
//     1e-12 -> 1e-12     1e14 -> 1e+14     1.2345678901234568e20 ->
//     1.23456789012346e+20     -2.5e-10 -> -2.5e-10     5e-324 ->
//     4.94065645841247e-324
//   infinities, NaN            -> inf, -inf, nan
//
// The digits are the real text conversion's own (REALTOFIX, FLTDIGITS).
#pragma once

#include <array>
#include <cstddef>

namespace realtext {

// Longest text: a sign, 15 digits, the point, "e-", three exponent digits.
constexpr std::size_t kScriptTextCap = 32;
using ScriptText = std::array<char, kScriptTextCap>;

// Writes the text of x into text; returns its length (no NUL is written).
std::size_t scriptText(double x, ScriptText& text);

} // namespace realtext
