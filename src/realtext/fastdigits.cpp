// The shortcuts of FIXDIGITS and FLTDIGITS, for the values nearly every line
// shows.
//
// A positive double is a dyadic fraction m / 2^s with a 53-bit significand
// m, and so is every entry of R. For the values below, the exact value the
// digit steps work on is x = v * 10^a + R[k] * 10^b (a power of ten that
// the steps apply exactly, and the rounding term), and the digits shown are
// those of floor(x), found in 128-bit integer arithmetic: the whole part of
// m * 10^a / 2^s, plus 1 when the two fractional parts add up to 1 or more,
// an exact comparison over the common denominator 2^max(s, t). The digits
// are those the general path reads off the same exact value; the shortcuts
// only spare the expansions.
#include "realtext/realdigits.h"
#include "realtext/realtables.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cmath>

namespace realtext::digits {
namespace {

using exact::digitChar;

// The entries of R as dyadic fractions (all of them are in range).
constexpr std::array<Dyadic, R.size()> kRDyadic = [] {
    std::array<Dyadic, R.size()> d{};
    for (std::size_t k = 0; k < R.size(); ++k) toDyadic(R[k], d[k]);
    return d;
}();

// floor(v * 10^a + r * 10^b) for v = m / 2^s and r = mr / 2^t, when
// r * 10^b < 1 and the result is below 2^64. With a <= 22 every product is
// below 2^53 * 10^22 < 2^127, and both fractional parts below 2^max(s, t).
std::uint64_t floorScaled(const Dyadic& v, std::size_t a, const Dyadic& r, std::size_t b) {
    assert(a < kPow10Count && b < kPow10Count);
    assert(v.s >= 0 && v.s <= 126 && r.s >= 0 && r.s <= 126);
    const U128 n = U128{v.m} * kPow10[a].exact;
    const U128 whole = n >> v.s;
    const U128 frac = n - (whole << v.s);        // of 2^s
    const U128 rn = U128{r.m} * kPow10[b].exact; // of 2^t, and below 2^t
    assert(rn < (U128{1} << r.s));
    const int d = std::max(v.s, r.s);
    const U128 sum = (frac << (d - v.s)) + (rn << (d - r.s));
    return static_cast<std::uint64_t>(whole) + (sum >= (U128{1} << d) ? 1u : 0u);
}

// The pairs "00" to "99": putDigits writes two digits per division.
constexpr std::array<char, 200> kDigitPairs = [] {
    std::array<char, 200> t{};
    for (std::size_t i = 0; i < 100; ++i) {
        t[2 * i] = static_cast<char>('0' + i / 10);
        t[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return t;
}();

// Writes the last field.size() decimal digits of q into field; returns what
// is left of q in front of them.
std::uint64_t putDigits(std::span<char> field, std::uint64_t q) {
    std::size_t end = field.size();
    for (; end >= 2; end -= 2) {
        const std::size_t pair = static_cast<std::size_t>(q % 100) * 2;
        q /= 100;
        field[end - 2] = kDigitPairs[pair];
        field[end - 1] = kDigitPairs[pair + 1];
    }
    if (end == 1) {
        field[0] = digitChar(q);
        q /= 10;
    }
    return q;
}

} // namespace

// The bit length times 1233 / 4096 (just above log10(2)) is the count less
// one or less two; one comparison settles which.
std::int32_t decimalDigits(std::uint64_t n) {
    const std::uint64_t m = n | 1; // as many digits as n, and 0 counts as 1
    const auto t = static_cast<std::size_t>(((64 - std::countl_zero(m)) * 1233) >> 12);
    return static_cast<std::int32_t>(t) + (m >= pow10u64(t) ? 1 : 0);
}

// FIXDIGITS of 0 < |v| < 10^14 with places up to 16 and at most 14 integer
// digits after rounding. Here x = |v| + R[places]: ndig counts the digits of
// floor(x), and the computed digits are those of floor(x * 10^k),
// k = computed - ndig.
bool fixDigitsFast(double v, std::int32_t places, Area& out) {
    if (!(std::fabs(v) < 1e14) || places > 16) return false;
    Dyadic dv;
    if (!toDyadic(std::fabs(v), dv)) return false; // zero and subnormals too
    const Dyadic& dr = kRDyadic[static_cast<std::size_t>(places < 0 ? 0 : places)];
    const std::int32_t ndig = decimalDigits(floorScaled(dv, 0, dr, 0));
    if (ndig > kFixIntComputed) return false;
    const std::int32_t shownPlaces = places > 0 ? places : 0;
    const std::int32_t computed =
        std::min(ndig + shownPlaces, static_cast<std::int32_t>(kFixAllComputed));
    const auto k = static_cast<std::size_t>(computed - ndig);
    const std::uint64_t q = floorScaled(dv, k, dr, k);
    // The sign, then ndig digits and (for places >= 0) the point and the
    // places: the computed places come first, right to left, then the
    // integer digits; places beyond the computed digits are zeros.
    const std::size_t sign = v < 0 ? 1 : 0;
    const std::size_t length = static_cast<std::size_t>(ndig) +
                               (places >= 0 ? 1 + static_cast<std::size_t>(shownPlaces) : 0);
    std::span<char> text = out.reserve(sign + length);
    if (text.empty()) return false;
    if (sign != 0) text[0] = '-';
    text = text.subspan(sign);
    const auto intDigits = static_cast<std::size_t>(ndig);
    for (std::size_t i = static_cast<std::size_t>(computed); i < length - 1; ++i) text[i + 1] = '0';
    if (places >= 0) text[intDigits] = '.';
    const std::uint64_t left = k > 0 ? putDigits(text.subspan(intDigits + 1, k), q) : q;
    putDigits(text.first(intDigits), left);
    return true;
}

// FLTDIGITS of 10^-15 <= |v| < 10 with 1 to 17 digits (n = 0 is 15). The
// scaling steps bring v into [1, 10) with powers of ten that doubles hold
// exactly (from 10^-15 on, the steps by 10^16 and up never apply), so the
// scaled value is v * 10^J exactly, and the digits are those of
// floor(v * 10^(J + n - 1) + R[n - 1] * 10^(n - 1)), one fewer when
// rounding reached 10.
bool fltDigitsFast(double value, std::uint32_t n, Area& out) {
    const double v = std::fabs(value);
    if (n == 0) n = 15;
    if (!(v >= 1e-15 && v < 10) || n > 17) return false;
    Dyadic dv;
    if (!toDyadic(v, dv)) return false;
    // The steps for v < 1, on v * 10^j = m * 10^j / 2^s compared with 1
    // exactly: multiply by 10^8, 10^4, 10^2 and 10 while the product stays
    // at most 1 (j stays at most 15), then by 10 once more if below 1.
    const U128 one = U128{1} << dv.s;
    std::size_t J = 0;
    if (v < 1) {
        for (std::size_t step = 8; step >= 1; step /= 2) {
            if (U128{dv.m} * kPow10[J + step].exact <= one) J += step;
        }
        if (U128{dv.m} * kPow10[J].exact < one) ++J;
    }
    const std::size_t places = n - 1;
    if (J + places >= kPow10Count) return false;
    std::uint64_t q = floorScaled(dv, J + places, kRDyadic[places], places);
    auto e = -static_cast<std::int32_t>(J);
    if (q >= kPow10[n].exact) { // rounding reached 10: one digit fewer
        q /= 10;
        ++e;
    }
    // The sign, the digit, the point and n - 1 digits, then the exponent.
    const std::size_t sign = value < 0 ? 1 : 0;
    const std::size_t length = n > 1 ? n + 1 : 1;
    std::span<char> text = out.reserve(sign + length);
    if (text.empty()) return false;
    if (sign != 0) text[0] = '-';
    text = text.subspan(sign);
    const std::uint64_t first = places > 0 ? putDigits(text.subspan(2, places), q) : q;
    text[0] = digitChar(first);
    if (n > 1) text[1] = '.';
    emitExponent(out, e);
    return true;
}

} // namespace realtext::digits
