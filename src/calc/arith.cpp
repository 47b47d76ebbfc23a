// Arithmetic helpers behind the operators and command words: integer part,
// whole and real powers, rounding and significand cutting.
// Intermediate results are long double (x87 extended) and are rounded to
// double where a value is stored, as the registers are.
#include "calc/arith.h"

#include "calc/x87.h"
#include "realtext/chop.h"
#include "realtext/realtext.h"
#include "text/numtext.h"

#include <bit>
#include <cmath>
#include <limits>

namespace calc::arith {
namespace {

static_assert(std::numeric_limits<double>::is_iec559,
              "a long double beyond the double range must round to an infinity");

// A value stored in a double: rounded once, to nearest; beyond the double
// range it becomes an infinity.
double stored(long double v) { return static_cast<double>(v); }

// No long double is scaled by more than about 2^16445 up or down before it
// becomes an infinity or zero; a larger exponent changes nothing.
constexpr long double kExpClamp = 20000.0L;

// The one-place rounding term of the fixed-point text, 0.05 and a little.
constexpr double kOnePlaceRound = 0.0500000000000001;
// The first whole number whose text has more integer digits than are computed.
constexpr double kTextWholeLimit = 1e14;

// The whole part of a + kOnePlaceRound for a >= 0, exactly: the fraction
// carries when (fraction - 1) + kOnePlaceRound >= 0. Near a carry the
// fraction lies in [0.5, 1), so fraction - 1 is exact, and a sum rounded to
// nearest has the sign of the exact sum. Infinities and NaN give NaN.
double roundedWhole(double a) {
    const double whole = std::floor(a);
    const double fraction = a - whole; // exact
    return (fraction - 1.0) + kOnePlaceRound >= 0.0 ? whole + 1.0 : whole;
}

} // namespace

double REALINT(double x) {
    // The small nudge lets a fraction of 0.94995 or more carry into the next
    // whole number once the text is rounded to one place.
    double t = stored(static_cast<long double>(x) + 0.00005);
    // The text computes 14 integer digits and shows the rest as zeros; from
    // 10^14 on (infinities included) the same rule is taken on the value itself.
    const double whole = roundedWhole(std::fabs(t));
    if (whole >= kTextWholeLimit) return std::signbit(t) ? -whole : whole;
    text::TEXTBUF buf{};
    // Only a NaN is left without a point in its text: it stays as it is.
    if (!text::num::wholeDigits(t, buf)) return x;
    std::uint32_t pos = 0;
    bool ok = false;
    double value = x;
    realtext::TEXTTOREAL(buf.CHARS, pos, value, ok); // the text holds a digit: value is set
    return value;
}

namespace {

// x to the power of the whole number magnitude (negated when neg), by
// repeated squaring: each product is stored as a double, and x is squared on
// every pass, the last one included (an overflow there is never used).
double squaring(double x, std::uint64_t magnitude, bool neg) {
    double result = 1.0;
    while (magnitude > 0) {
        if (magnitude % 2 != 0) result = stored(static_cast<long double>(result) * x);
        x = stored(static_cast<long double>(x) * x);
        magnitude /= 2;
    }
    if (neg) result = stored(1.0L / result);
    return result;
}

} // namespace

double PWRI(double x, std::int32_t n) {
    // The most negative n has no positive counterpart; it stays negative, the
    // loop does not run and the result is 1.
    if (n == std::numeric_limits<std::int32_t>::min()) return 1.0;
    const bool neg = n < 0;
    return squaring(x, static_cast<std::uint64_t>(neg ? -std::int64_t{n} : n), neg);
}

double powWhole(double y, double x) {
    const std::int64_t n = RNDINT(x);
    if (n >= std::numeric_limits<std::int32_t>::min() &&
        n <= std::numeric_limits<std::int32_t>::max()) {
        return PWRI(y, static_cast<std::int32_t>(n));
    }
    // Beyond 32 bits the same squaring runs over the whole 64-bit magnitude.
    // From 2^63 on (infinities included) the exponent is even, as every
    // double from 2^53 on is, and 2^63 stands for it: by the 63rd squaring
    // every |y| other than 1 has reached an infinity or 0 and stays there.
    if (std::isnan(x)) return std::numeric_limits<double>::quiet_NaN();
    const bool neg = x < 0.0;
    constexpr std::uint64_t kTopBit = std::uint64_t{1} << 63;
    std::uint64_t magnitude = kTopBit;
    if (n != realtext::kIntIndefinite) {
        magnitude =
            neg ? std::uint64_t{0} - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
    }
    return squaring(y, magnitude, neg);
}

std::int64_t RNDINT(double x) { return realtext::chopNearest(x); }

double TRUNCPLC(double x, std::int32_t n) {
    // Clears the lowest 52 - n bits: none when n >= 52, all 64 when 52 - n >= 64.
    const std::int64_t cleared = 52 - std::int64_t{n};
    std::uint64_t mask = ~std::uint64_t{0};
    if (cleared >= 64) {
        mask = 0;
    } else if (cleared > 0) {
        mask <<= cleared;
    }
    return std::bit_cast<double>(std::bit_cast<std::uint64_t>(x) & mask);
}

long double pow2Split(long double u) {
    // The fraction keeps the sign of u; an infinite or NaN u gives NaN.
    long double f = std::fmod(u, 1.0L);
    long double r = calc::x87::F2XM1(f) + 1.0L;
    long double whole = std::trunc(u);
    int scale = 0;
    if (whole >= kExpClamp) {
        scale = static_cast<int>(kExpClamp);
    } else if (whole <= -kExpClamp) {
        scale = -static_cast<int>(kExpClamp);
    } else if (!std::isnan(whole)) { // a NaN leaves the scale at 0; r is NaN then
        scale = static_cast<int>(whole);
    }
    return std::scalbn(r, scale);
}

long double powAbs(long double y, long double x) {
    long double a = std::fabs(y);
    long double t = x * calc::x87::FYL2X(kLn2, a); // ln a, rounded once
    long double u = t * kLog2E;
    return pow2Split(u);
}

} // namespace calc::arith
