// Arithmetic helpers behind the operators and command words. Pure functions;
// intermediate results are held in long double (x87 extended) where the
// callers compute in extended precision.
#pragma once

#include "realtext/chop.h"

#include <cstdint>
#include <numbers>

namespace calc::arith {

// ln 2 and log2 e in extended precision: logarithms and exponentials go
// through base 2.
inline constexpr long double kLn2 = std::numbers::ln2_v<long double>;
inline constexpr long double kLog2E = std::numbers::log2e_v<long double>;

// The integer part of x, read back from its one-decimal fixed-point text.
double REALINT(double x);
// The 32-bit remainder MOD and DOW use (realtext/chop.h).
using realtext::REALMOD;
// x to the whole power n by repeated squaring.
double PWRI(double x, std::int32_t n);
// y to the power of x rounded to a whole number: PWRI within the 32-bit
// range, beyond it the same squaring over the 64-bit magnitude (from 2^63 on,
// infinities included, the exponent counts as even); a NaN x gives NaN.
double powWhole(double y, double x);
// x rounded to a whole number, halves away from zero.
std::int64_t RNDINT(double x);
// x with its lowest 52 - n significand bits cleared.
double TRUNCPLC(double x, std::int32_t n);

// 2 to the power u, split into 2^(fraction of u) and a scaling by the whole
// part of u; the shared tail of "^", Y^X and EXP.
long double pow2Split(long double u);
// |y| to the power x by the log2 / exp2 route.
long double powAbs(long double y, long double x);

} // namespace calc::arith
