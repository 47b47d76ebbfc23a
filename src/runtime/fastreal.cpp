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
#include "runtime/fastreal.h"

#include "runtime/roundterms.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>

namespace runtime::fast {
namespace {

__extension__ using U128 = unsigned __int128;

struct Dyadic {
    std::uint64_t m = 0;
    int s = 0;
};

// A positive normal double as m / 2^s with its 53-bit significand.
constexpr Dyadic toDyadic(double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    const auto biased = static_cast<int>((bits >> 52) & 0x7FFu);
    return {(bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52), 1075 - biased};
}

constexpr std::size_t kPlaces = R.size(); // 0 to 16

constexpr std::array<std::uint64_t, 20> kPow10 = [] {
    std::array<std::uint64_t, 20> p{};
    p[0] = 1;
    for (std::size_t k = 1; k < p.size(); ++k) p[k] = p[k - 1] * 10;
    return p;
}();

// T[p][b] = 2^128 - R[p] * 10^b * 2^128 for b <= p (where R[p] * 10^b < 1);
// 2^128 - y is -y in 128-bit arithmetic.
constexpr std::array<std::array<U128, kPlaces>, kPlaces> kThreshold = [] {
    std::array<std::array<U128, kPlaces>, kPlaces> t{};
    for (std::size_t p = 0; p < kPlaces; ++p) {
        const Dyadic r = toDyadic(R[p]);
        for (std::size_t b = 0; b <= p; ++b) {
            const U128 y = (U128{r.m} * kPow10[b]) << (128 - r.s);
            t[p][b] = -y;
        }
    }
    return t;
}();

// floor(m * 10^a / 2^s + R[p] * 10^b), as above (a <= 19, 6 <= s <= 127).
std::uint64_t roundedScaled(const Dyadic& v, std::size_t a, std::size_t p, std::size_t b) {
    const U128 n = U128{v.m} * kPow10[a];
    const U128 frac = n << (128 - v.s);
    return static_cast<std::uint64_t>(n >> v.s) + (frac >= kThreshold[p][b] ? 1u : 0u);
}

// The number of decimal digits of n (1 for 0): the bit length times 1233 /
// 4096 is the count less one or two; one comparison settles which.
std::size_t decimalDigits(std::uint64_t n) {
    const std::uint64_t m = n | 1;
    const auto t = static_cast<std::size_t>(((64 - std::countl_zero(m)) * 1233) >> 12);
    return t + (m >= kPow10[t] ? 1 : 0);
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

// The sixteen decimal digits of n < 10^16, leading zeros included, and 16
// bytes of room behind them, so that any 16 bytes from a digit on can be
// copied at once.
struct Digits16 {
    std::array<char, 32> c{};
    explicit Digits16(std::uint64_t n) {
        const std::uint64_t hi = eightDigits(n / 100000000);
        const std::uint64_t lo = eightDigits(n % 100000000);
        std::memcpy(c.data(), &hi, 8);
        std::memcpy(c.data() + 8, &lo, 8);
    }
    // The last count digits (count <= 16) at `at`, and 16 bytes written.
    void put(char* at, std::size_t count) const { std::memcpy(at, c.data() + 16 - count, 16); }
};

bool inRange(double a, double high) { return a >= 1e-10 && a < high; }

} // namespace

std::size_t FIXEDTEXT(double v, std::int32_t places, char* at) {
    const double a = std::fabs(v);
    if (!inRange(a, 1e14) || places < 0 || places >= static_cast<std::int32_t>(kPlaces)) return 0;
    const auto p = static_cast<std::size_t>(places);
    const Dyadic d = toDyadic(a);
    // ndig: the integer digits of |v| + R[p], those of |v| or, when the
    // rounding carries into a new digit, one more; the computed digits then
    // reach 10^computed, and are computed again with the digit counted.
    std::size_t ndig = decimalDigits(a < 1 ? 0 : static_cast<std::uint64_t>(a));
    std::size_t computed = std::min<std::size_t>(ndig + p, 15);
    std::size_t k = computed - ndig;
    std::uint64_t digits = roundedScaled(d, k, p, k);
    if (digits >= kPow10[computed]) {
        ++ndig;
        if (ndig > 14) return 0;
        computed = std::min<std::size_t>(ndig + p, 15);
        k = computed - ndig;
        digits = roundedScaled(d, k, p, k);
    }
    const Digits16 q(digits);
    char* out = at;
    *out = '-';
    out += v < 0 ? 1 : 0;
    // The integer digits, the point, the computed places, zeros for the rest.
    q.put(out, computed);
    out += ndig;
    *out++ = '.';
    std::memcpy(out, q.c.data() + 16 - k, 16);
    out += k;
    std::memset(out, '0', 16);
    out += p - k;
    return static_cast<std::size_t>(out - at);
}

std::size_t FLOATTEXT(double v, std::uint32_t n, char* at) {
    const double a = std::fabs(v);
    if (!inRange(a, 1.0) || n < 1 || n > 9) return 0;
    const Dyadic d = toDyadic(a);
    // J: the least power of ten that brings |v| to 1 or more (never exactly
    // 1: 10^J / 2^s is no power of two), at most 10 in this range.
    const U128 one = U128{1} << d.s;
    std::size_t J = 1;
    while (U128{d.m} * kPow10[J] < one) ++J;
    const std::size_t places = n - 1;
    std::uint64_t q = roundedScaled(d, J + places, places, places);
    auto e = -static_cast<std::int32_t>(J);
    if (q >= kPow10[n]) { // rounding reached 10: one digit fewer
        q /= 10;
        ++e;
    }
    const Digits16 digits(q);
    char* out = at;
    *out = '-';
    out += v < 0 ? 1 : 0;
    *out++ = digits.c[16 - n];
    if (n > 1) {
        *out++ = '.';
        std::memcpy(out, digits.c.data() + 17 - n, 16);
        out += places;
    }
    const std::uint32_t ae = static_cast<std::uint32_t>(e < 0 ? -e : e);
    out[0] = 'E';
    out[1] = e < 0 ? '-' : '+';
    out[2] = '0';
    out[3] = static_cast<char>('0' + ae / 10);
    out[4] = static_cast<char>('0' + ae % 10);
    return static_cast<std::size_t>(out + 5 - at);
}

std::size_t FIELD15(double v, char* at) {
    constexpr std::size_t kWidth = 15;
    const double a = std::fabs(v);
    if (!inRange(a, 1e13)) return 0;
    const bool negative = v < 0;
    std::array<char, kRoom> text;
    std::size_t len = 0;
    if (a < 1) {
        // The mantissa text: the field's width less 6 digits (7 with a sign).
        len = FLOATTEXT(v, negative ? 8 : 9, text.data());
    } else {
        // As many places as leave room for the integer digits of |v| (below
        // 2^53 its whole part converts exactly), the sign and the point.
        const std::size_t E = decimalDigits(static_cast<std::uint64_t>(a)) - 1 + (negative ? 1 : 0);
        len = FIXEDTEXT(v, static_cast<std::int32_t>(kWidth - 2 - E), text.data());
    }
    if (len == 0) return 0;
    // Blanks in front up to the width; a text one longer (rounding carried
    // into a new digit) has none.
    const std::size_t pad = len < kWidth ? kWidth - len : 0;
    std::memset(at, ' ', 16);
    std::memcpy(at + pad, text.data(), 32);
    return pad + len;
}

} // namespace runtime::fast
