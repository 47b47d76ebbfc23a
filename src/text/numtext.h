// Numeric text helpers: operations that work through number text (rounding to
// a whole number, a real power, cropping a number's text, whole numbers to and
// from reals by way of decimal text).
#pragma once

#include <cstdint>
#include <span>

namespace text::num {

// x rounded to the nearest whole number, halves away from zero; the low 32
// bits of the 64-bit result.
std::int32_t NEARINT(double x);
// base raised to exponent as 2^(exponent * log2 base); NaN for base <= 0.
double PWRR(double base, double exponent);
// Removes trailing "0" characters and leading blanks from a number text in
// place; an empty or all-zero text becomes empty.
void CROPNUM(std::span<char> s);
// x with one place after the point, cropped.
void GETCROPNUM(double x, std::span<char> s);
// A whole number to a real, through its decimal text.
double INTTOREAL(std::int64_t n);
// The integer part of x rounded to one decimal, through its decimal text.
std::int64_t REALTOINT(double x);

} // namespace text::num
