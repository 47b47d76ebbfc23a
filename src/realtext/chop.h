// Chop: a real truncated toward zero to a signed 64-bit integer. A value
// outside the 64-bit range, an infinity or a NaN gives the most negative
// value, as the x87 "integer indefinite" does. The range is checked before
// the conversion, because a raw cast of such a value is undefined behaviour.
// Beside it the low 32 bits of a chopped value and the remainder built on
// them (REALMOD), which both the calculator and the calendar use.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace realtext {

constexpr std::int64_t kIntIndefinite = std::numeric_limits<std::int64_t>::min();

constexpr std::int64_t chop(long double x) {
    // -2^63 is in range; 2^63 is the first value out. No long double lies
    // strictly between -2^63 - 1 and -2^63, so nothing below lo truncates into range.
    constexpr long double lo = -9223372036854775808.0L;
    constexpr long double hi = 9223372036854775808.0L;
    if (!(x >= lo && x < hi)) return kIntIndefinite; // NaN fails both tests
    return static_cast<std::int64_t>(x);             // truncates toward zero, in range
}

// x rounded to the nearest whole number, halves away from zero, then chopped.
// x - 0.5 or x + 0.5 is formed in long double and chopped as it stands, never
// rounded to double first: 0.49999999999999994 gives 0, not 1. For a double x
// the sum is exact wherever it could reach the next whole number. Zeros give
// 0 and a NaN gives the most negative value, whichever side they are put on.
constexpr std::int64_t chopNearest(long double x) { return chop(x < 0 ? x - 0.5L : x + 0.5L); }

// The low 32 bits of a 64-bit integer, as unsigned and as signed.
constexpr std::uint32_t low32(std::int64_t n) {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(n) & 0xFFFFFFFFu);
}
constexpr std::int32_t low32Signed(std::int64_t n) {
    return static_cast<std::int32_t>(low32(n)); // modular since C++20
}

// Unsigned 32-bit remainder of the chopped operands; NaN when the divisor's
// low 32 bits are 0 (|b| < 1, an infinity, a NaN, a multiple of 2^32): no
// remainder, and the calculator goes on.
inline double REALMOD(double a, double b) {
    std::uint32_t ia = low32(chop(a));
    std::uint32_t ib = low32(chop(b));
    if (ib == 0) return std::numeric_limits<double>::quiet_NaN();
    return static_cast<double>(ia % ib);
}

} // namespace realtext
