// The rendering lane.
//
// What qualifies: a finite v with 10^-10 <= |v| < 10^14 (below 1 for the
// mantissa text, below 10^13 for the field), at most 16 places and at most
// 9 mantissa digits. Everything else gets 0 characters.
//
// Why the text is the same: the general way reads off the digits of
// floor(|v| * 10^a + R[p] * 10^b) for the exact value (a = b = the places
// computed for the fixed-point text; a = J + n - 1, b = n - 1 after scaling
// by 10^J for the mantissa text), with R[p] * 10^b < 1. |v| is m / 2^s
// (s between 6 and 87 in this range), so the first term is W + F / 2^s,
// W and F the whole part and remainder of m * 10^a / 2^s, and
//     floor(...) = W + (F / 2^s >= 1 - R[p] * 10^b).
// As 128-bit fractions (F shifted to the top of 128 bits, exact for s <=
// 128), the right-hand side is 2^128 - R[p] * 10^b * 2^128, a whole number
// since R[p]'s denominator is at most 2^107: the threshold T[p][b] below,
// computed exactly once. Each text then costs one 64 x 64-bit product and
// one comparison; its digits are written eight at a time.
#include "realtext/fastreal.h"

#include "realtext/realdigits.h"
#include "realtext/realtables.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>

namespace realtext::fast {
namespace {

using digits::R;

using digits::Dyadic;
using digits::pow10u64;
using digits::U128;

// A value of the lane's range (or an entry of R) as m / 2^s: always in
// toDyadic's range there.
constexpr Dyadic toDyadic(double v) {
    Dyadic d{};
    digits::toDyadic(v, d);
    return d;
}

constexpr std::size_t kPlaces = R.size(); // 0 to 16

// T[p][b] = 2^128 - R[p] * 10^b * 2^128 for b <= p (where R[p] * 10^b < 1);
// 2^128 - y is -y in 128-bit arithmetic.
constexpr std::array<std::array<U128, kPlaces>, kPlaces> kThreshold = [] {
    std::array<std::array<U128, kPlaces>, kPlaces> t{};
    for (std::size_t p = 0; p < kPlaces; ++p) {
        const Dyadic r = toDyadic(R[p]);
        for (std::size_t b = 0; b <= p; ++b) {
            const U128 y = (U128{r.m} * pow10u64(b)) << (128 - r.s);
            t[p][b] = -y;
        }
    }
    return t;
}();

// floor(m * 10^a / 2^s + R[p] * 10^b), as above (a <= 19, 6 <= s <= 127).
std::uint64_t roundedScaled(const Dyadic& v, std::size_t a, std::size_t p, std::size_t b) {
    const U128 n = U128{v.m} * pow10u64(a);
    const U128 frac = n << (128 - v.s);
    return static_cast<std::uint64_t>(n >> v.s) + (frac >= kThreshold[p][b] ? 1u : 0u);
}

// The number of decimal digits of n (1 for 0).
std::size_t decimalDigits(std::uint64_t n) {
    return static_cast<std::size_t>(digits::decimalDigits(n));
}

// The eight decimal digits of n < 10^8 as characters, in text order in
// memory: halves, then pairs, then single digits split in every lane at once.
std::uint64_t eightDigits(std::uint64_t n) {
    std::uint64_t v = (n / 10000) | ((n % 10000) << 32);
    const std::uint64_t hundreds = ((v * 5243) >> 19) & 0x0000007F0000007Full;
    v = hundreds | ((v - hundreds * 100) << 16);
    const std::uint64_t tens = ((v * 103) >> 10) & 0x000F000F000F000Full;
    v = tens | ((v - tens * 10) << 8);
    return v | 0x3030303030303030ull;
}

constexpr std::uint64_t kZeroChars = 0x3030303030303030ull;

// The sixteen decimal digits of n < 10^16 as characters, in text order:
// byte i of the 128-bit word is character i.
U128 sixteenDigits(std::uint64_t n) {
    return U128{eightDigits(n / 100000000)} | (U128{eightDigits(n % 100000000)} << 64);
}

// Stores the 16 bytes of w at `at`.
void store16(char* at, U128 w) { std::memcpy(at, &w, sizeof w); }

// How many characters at the end of the sixteen are "0".
std::size_t zerosAtEnd(U128 digits) {
    const auto low = static_cast<std::uint64_t>(digits) ^ kZeroChars;
    const auto high = static_cast<std::uint64_t>(digits >> 64) ^ kZeroChars;
    const auto z = static_cast<std::size_t>(std::countl_zero(high)) / 8;
    return z < 8 ? z : 8 + static_cast<std::size_t>(std::countl_zero(low)) / 8;
}

bool inRange(double a, double high) { return a >= 1e-10 && a < high; }

// A fixed-point text before it is written: its computed digits and where
// they go.
struct FixedPlan {
    std::uint64_t digits = 0; // the computed digits, ndig + k of them
    std::size_t ndig = 0;     // integer digits
    std::size_t k = 0;        // computed places
    std::size_t shown = 0;    // places shown (the rest are zeros)
    bool negative = false;
    std::size_t length() const { return (negative ? 1 : 0) + ndig + 1 + shown; }
};

bool planFixed(double v, std::int32_t places, FixedPlan& f) {
    const double a = std::fabs(v);
    if (!inRange(a, 1e14) || places < 0 || places >= static_cast<std::int32_t>(kPlaces))
        return false;
    const auto p = static_cast<std::size_t>(places);
    const Dyadic d = toDyadic(a);
    // ndig: the integer digits of |v| + R[p], those of |v| or, when the
    // rounding carries into a new digit, one more; the computed digits then
    // reach 10^computed, and are computed again with the digit counted.
    std::size_t ndig = decimalDigits(a < 1 ? 0 : static_cast<std::uint64_t>(a));
    std::size_t computed = std::min<std::size_t>(ndig + p, 15);
    std::size_t k = computed - ndig;
    std::uint64_t q = roundedScaled(d, k, p, k);
    if (q >= pow10u64(computed)) {
        ++ndig;
        if (ndig > 14) return false;
        computed = std::min<std::size_t>(ndig + p, 15);
        k = computed - ndig;
        q = roundedScaled(d, k, p, k);
    }
    f.digits = q;
    f.ndig = ndig;
    f.k = k;
    f.shown = p;
    f.negative = v < 0;
    return true;
}

// Writes the planned text (and up to 16 bytes behind it); returns how many
// "0" end it. The sixteen digit characters are shifted in registers so that
// the integer digits, then the places, start a 16-byte store.
std::size_t writeFixed(const FixedPlan& f, char* at) {
    const U128 chars = sixteenDigits(f.digits);
    const std::size_t computed = f.ndig + f.k;
    *at = '-';
    at += f.negative ? 1 : 0;
    store16(at, chars >> (8 * (16 - computed)));
    at += f.ndig;
    *at++ = '.';
    if (f.k > 0) store16(at, chars >> (8 * (16 - f.k)));
    at += f.k;
    std::memset(at, '0', 16);
    // The zeros behind the computed places, and those among them (all of
    // them at most: the point stops the count).
    return f.shown - f.k + std::min(zerosAtEnd(chars), f.k);
}

// A mantissa text before it is written.
struct FloatPlan {
    std::uint64_t digits = 0; // n digits
    std::size_t n = 0;
    std::uint32_t exponent = 0; // its magnitude; the sign is "-" unless 0
    bool negative = false;
    std::size_t length() const { return (negative ? 1 : 0) + (n > 1 ? n + 1 : 1) + 5; }
};

bool planFloat(double v, std::uint32_t n, FloatPlan& f) {
    const double a = std::fabs(v);
    if (!inRange(a, 1.0) || n < 1 || n > 9) return false;
    const Dyadic d = toDyadic(a);
    // J: the least power of ten that brings |v| to 1 or more (never exactly
    // 1: 10^J / 2^s is no power of two), at most 10 in this range.
    const U128 one = U128{1} << d.s;
    std::size_t J = 1;
    while (U128{d.m} * pow10u64(J) < one) ++J;
    const std::size_t places = n - 1;
    std::uint64_t q = roundedScaled(d, J + places, places, places);
    if (q >= pow10u64(n)) { // rounding reached 10: one digit fewer
        q /= 10;
        --J;
    }
    f.digits = q;
    f.n = n;
    f.exponent = static_cast<std::uint32_t>(J);
    f.negative = v < 0;
    return true;
}

void writeFloat(const FloatPlan& f, char* at) {
    const U128 chars = sixteenDigits(f.digits) >> (8 * (16 - f.n));
    *at = '-';
    at += f.negative ? 1 : 0;
    *at++ = static_cast<char>(chars);
    if (f.n > 1) {
        *at++ = '.';
        store16(at, chars >> 8);
        at += f.n - 1;
    }
    at[0] = 'E';
    at[1] = f.exponent != 0 ? '-' : '+';
    at[2] = '0';
    at[3] = static_cast<char>('0' + f.exponent / 10);
    at[4] = static_cast<char>('0' + f.exponent % 10);
}

} // namespace

std::size_t FIXEDTEXT(double v, std::int32_t places, char* at, std::size_t* zeros) {
    FixedPlan f;
    if (!planFixed(v, places, f)) return 0;
    const std::size_t z = writeFixed(f, at);
    if (zeros != nullptr) *zeros = z;
    return f.length();
}

std::size_t FLOATTEXT(double v, std::uint32_t n, char* at) {
    FloatPlan f;
    if (!planFloat(v, n, f)) return 0;
    writeFloat(f, at);
    return f.length();
}

std::size_t FIELD15(double v, char* at) {
    constexpr std::size_t kWidth = 15;
    const double a = std::fabs(v);
    if (!inRange(a, 1e13)) return 0;
    const bool negative = v < 0;
    // Blanks first, then the text over them from where it ends the field; a
    // text one longer (rounding carried into a new digit) has none.
    std::memset(at, ' ', 16);
    if (a < 1) {
        // The mantissa text: the field's width less 6 digits (7 with a sign).
        FloatPlan f;
        if (!planFloat(v, negative ? 8 : 9, f)) return 0;
        const std::size_t len = f.length();
        writeFloat(f, at + kWidth - len);
        return kWidth;
    }
    // As many places as leave room for the integer digits of |v| (below
    // 2^53 its whole part converts exactly), the sign and the point.
    const std::size_t E = decimalDigits(static_cast<std::uint64_t>(a)) - 1 + (negative ? 1 : 0);
    FixedPlan f;
    if (!planFixed(v, static_cast<std::int32_t>(kWidth - 2 - E), f)) return 0;
    const std::size_t len = f.length();
    const std::size_t pad = len < kWidth ? kWidth - len : 0;
    writeFixed(f, at + pad);
    return pad + len;
}

} // namespace realtext::fast
