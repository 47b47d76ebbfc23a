// Two instructions of the x87 unit, each giving its result rounded once to
// the extended format: y × log2 x (FYL2X) and 2^f − 1 (F2XM1). The logarithm
// and the power are built on them so that ln a comes out of one instruction
// with ln 2 as its multiplier, not from log2 a rounded and then multiplied by
// ln 2 and rounded again; the second rounding changes the last bit of about
// one power in fifty once stored as a double.
#pragma once

#include <limits>

namespace calc::x87 {

static_assert(std::numeric_limits<long double>::digits == 64,
              "the helpers below work on the x87 extended format");

// y × log2 x. x = 0 gives −∞ (times the sign of y), a negative x NaN, with the
// unit's exceptions masked.
inline long double FYL2X(long double y, long double x) {
    long double r;
    asm("fyl2x" : "=t"(r) : "0"(x), "u"(y) : "st(1)");
    return r;
}

// 2^f − 1 for −1 <= f <= 1 (outside that range the instruction's result is
// undefined); a NaN stays a NaN.
inline long double F2XM1(long double f) {
    asm("f2xm1" : "+t"(f));
    return f;
}

} // namespace calc::x87
