// The shortcut of the digit generators: the fixed-point and mantissa texts
// of the values nearly every line shows, planned by one 128-bit product and
// one comparison with a precomputed threshold, then written sixteen digits
// at a time. It says "no" to every other value; the general way
// (generaldigits.cpp) takes those.
//
// What it takes: fixed-point text of 0 < |v| < 10^14 with at most 16 places
// (any count below 0 too) and at most 14 integer digits after rounding;
// mantissa text of 10^-15 <= |v| < 10 with 1 to 17 digits (0 meaning 15);
// in both, v a normal double whose scale s (below) is at most 126.
//
// Why the text is the same: the general way reads off the digits of
// floor(|v| * 10^a + R[p] * 10^b) for the exact value (a = b = the places
// computed for the fixed-point text; a = J + n - 1, b = n - 1 after scaling
// by 10^J for the mantissa text, the scaling steps being exact for these
// powers), with R[p] * 10^b < 1. |v| is m / 2^s, so the first term is
// W + F / 2^s, W and F the whole part and remainder of m * 10^a / 2^s, and
//     floor(...) = W + (F / 2^s >= 1 - R[p] * 10^b).
// As 128-bit fractions (F shifted to the top of 128 bits, exact for s <=
// 128), the right-hand side is 2^128 - R[p] * 10^b * 2^128, a whole number
// since R[p]'s denominator is at most 2^107: the threshold T[p][b] below,
// computed exactly once.
#include "realtext/realdigits.h"
#include "realtext/realtables.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cmath>
#include <cstring>

#include <emmintrin.h>

namespace realtext::digits {
namespace {

constexpr std::size_t kPlaces = R.size(); // 0 to 16
constexpr auto kIntComputed = static_cast<std::size_t>(kFixIntComputed);
constexpr auto kAllComputed = static_cast<std::size_t>(kFixAllComputed);

// R[p] as m / 2^s: every entry is in toDyadic's range.
constexpr Dyadic dyadicOf(double r) {
    Dyadic d{};
    toDyadic(r, d);
    return d;
}

// T[p][b] = 2^128 - R[p] * 10^b * 2^128 for b <= p (where R[p] * 10^b < 1);
// 2^128 - y is -y in 128-bit arithmetic.
constexpr std::array<std::array<Uint128, kPlaces>, kPlaces> kThreshold = [] {
    std::array<std::array<Uint128, kPlaces>, kPlaces> t{};
    for (std::size_t p = 0; p < kPlaces; ++p) {
        const Dyadic r = dyadicOf(R[p]);
        for (std::size_t b = 0; b <= p; ++b) {
            const Uint128 y = (Uint128{r.m} * pow10u64(b)) << (128 - r.s);
            t[p][b] = -y;
        }
    }
    return t;
}();

// floor(m * 10^a / 2^s + R[p] * 10^b), as above, tenToA being 10^a. With a
// <= 22 the product is below 2^53 * 10^22 < 2^127; the whole part must fit
// 64 bits. (The fixed-point plans pass 10^a as a 64-bit word, which makes
// the product one multiplication.)
template <class Power>
std::uint64_t roundedScaled(const Dyadic& v, Power tenToA, std::size_t p, std::size_t b) {
    assert(p < kPlaces && b <= p);
    assert(v.s >= 1 && v.s <= 126);
    const Uint128 n = Uint128{v.m} * tenToA;
    const Uint128 frac = n << (128 - v.s);
    return static_cast<std::uint64_t>(n >> v.s) + (frac >= kThreshold[p][b] ? 1u : 0u);
}

// The sixteen decimal digits of n < 10^16 as characters, in text order:
// byte i of the 128-bit word is character i. The two halves of eight digits
// go through the vector unit side by side, each split into two groups of
// four (a multiplication by 2^45 / 10^4, rounded up, and a shift), each
// group spread over four 16-bit lanes; in each lane a high-half
// multiplication and a shift give the group's first one, two, three or four
// digits (by 1/1000, 1/100, 1/10 or 1, each exact below 10^4), and ten times
// the lane before, taken away, leaves one digit per lane.
Uint128 sixteenDigits(std::uint64_t n) {
    assert(n < pow10u64(16));
    const std::uint64_t hi = n / 100000000;
    const std::uint64_t lo = n - hi * 100000000;
    const __m128i x = _mm_set_epi64x(static_cast<long long>(lo), static_cast<long long>(hi));
    const __m128i div10000 = _mm_set1_epi32(static_cast<int>(0xD1B71759u)); // 2^45 / 10^4
    const __m128i first = _mm_srli_epi64(_mm_mul_epu32(x, div10000), 45);
    const __m128i second = _mm_sub_epi32(x, _mm_mul_epu32(first, _mm_set1_epi32(10000)));
    // Each group times 4 (below 2^16) in the 16-bit lanes 0 and 1 of its half.
    const __m128i groups = _mm_slli_epi64(_mm_or_si128(first, _mm_slli_epi64(second, 16)), 2);
    const auto digitLanes = [](__m128i pairs) {
        const __m128i g = _mm_unpacklo_epi32(pairs, pairs); // each group in four lanes
        const __m128i divisor =
            _mm_setr_epi16(8389, 5243, 13108, -32768, 8389, 5243, 13108, -32768);
        const __m128i shift = _mm_setr_epi16(128, 2048, 8192, -32768, 128, 2048, 8192, -32768);
        const __m128i lead = _mm_mulhi_epu16(_mm_mulhi_epu16(g, divisor), shift);
        // Ten times each lane but the last of a group, whose product the
        // shift drops (a multiplier that is not the same in every lane stays
        // one multiplication rather than shifts and additions).
        const __m128i ten = _mm_setr_epi16(10, 10, 10, 0, 10, 10, 10, 0);
        return _mm_sub_epi16(lead, _mm_slli_epi64(_mm_mullo_epi16(lead, ten), 16));
    };
    const __m128i high = digitLanes(_mm_unpacklo_epi16(groups, groups));
    const __m128i low = digitLanes(_mm_unpackhi_epi16(groups, groups));
    const __m128i chars = _mm_or_si128(_mm_packus_epi16(high, low), _mm_set1_epi8('0'));
    Uint128 w;
    std::memcpy(&w, &chars, sizeof w);
    return w;
}

// Stores the 16 bytes of w at `at`.
void store16(char* at, Uint128 w) { std::memcpy(at, &w, sizeof w); }

} // namespace

// The bit length times 1233 / 4096 (just above log10(2)) is the count less
// one or less two; one comparison settles which.
std::int32_t decimalDigits(std::uint64_t n) {
    const std::uint64_t m = n | 1; // as many digits as n, and 0 counts as 1
    const auto t = static_cast<std::size_t>(((64 - std::countl_zero(m)) * 1233) >> 12);
    return static_cast<std::int32_t>(t) + (m >= pow10u64(t) ? 1 : 0);
}

} // namespace realtext::digits

namespace realtext {

DigitBase digitBase(double v) {
    const double a = std::fabs(v);
    digits::Dyadic d;
    if (!(a < 1e14) || !digits::toDyadic(a, d))
        return DigitBase{v}; // zero, subnormals, infinities, NaNs
    // Below 10^14 the whole part converts exactly, as a signed number too.
    const auto whole = static_cast<std::uint64_t>(static_cast<std::int64_t>(a));
    return DigitBase{v, d.m, d.s, digits::decimalDigits(whole), true};
}

} // namespace realtext

namespace realtext::digits {

bool planFixed(const DigitBase& b, std::int32_t places, FixedPlan& f) {
    if (!b.taken || places >= static_cast<std::int32_t>(kPlaces)) return false;
    const Dyadic d{b.m, b.s};
    const std::size_t p = places > 0 ? static_cast<std::size_t>(places) : 0;
    // ndig: the integer digits of |v| + R[p], those of |v| or, when the
    // rounding carries into a new digit, one more; the computed digits then
    // reach 10^computed, and are computed again with the digit counted.
    auto ndig = static_cast<std::size_t>(b.ndig);
    std::size_t computed = std::min<std::size_t>(ndig + p, kAllComputed);
    std::size_t k = computed - ndig;
    std::uint64_t q = roundedScaled(d, pow10u64(k), p, k);
    if (q >= pow10u64(computed)) {
        ++ndig;
        if (ndig > kIntComputed) return false;
        computed = std::min<std::size_t>(ndig + p, kAllComputed);
        k = computed - ndig;
        q = roundedScaled(d, pow10u64(k), p, k);
    }
    f.digits = q;
    f.ndig = ndig;
    f.k = k;
    f.shown = p;
    f.point = places >= 0;
    f.negative = b.v < 0;
    return true;
}

// The computed digits times 10^(16 - computed) give sixteen characters that
// start with them: the integer digits are the first, the places follow
// (zeros behind them), and shifted in registers they start a second store
// that puts them behind the point.
void writeFixed(const FixedPlan& f, char* at) {
    const std::size_t computed = f.ndig + f.k;
    const Uint128 chars = sixteenDigits(f.digits * pow10u64(16 - computed));
    *at = '-';
    at += f.negative ? 1 : 0;
    store16(at, chars);
    at += f.ndig;
    if (!f.point) return;
    *at++ = '.';
    if (f.k > 0) store16(at, chars >> (8 * f.ndig));
    at += f.k;
    std::memset(at, '0', kPlanScratch); // the places past the computed digits
}

bool planFloat(double v, std::uint32_t n, FloatPlan& f) {
    const double a = std::fabs(v);
    if (n == 0) n = 15;
    Dyadic d;
    if (!(a >= 1e-15 && a < 10) || n > kPlaces || !toDyadic(a, d)) return false;
    // J: the least power of ten that brings |v| to 1 or more (never exactly
    // 1 when J > 0: 10^J / 2^s is no power of two), at most 15 here.
    const Uint128 one = Uint128{1} << d.s;
    std::size_t J = 0;
    while (Uint128{d.m} * kPow10[J].exact < one) ++J;
    const std::size_t places = n - 1;
    if (J + places >= kPow10Count) return false;
    std::uint64_t q = roundedScaled(d, kPow10[J + places].exact, places, places);
    auto e = -static_cast<std::int32_t>(J);
    if (q >= pow10u64(n)) { // rounding reached 10: one digit fewer
        q /= 10;
        ++e;
    }
    f.digits = q;
    f.n = n;
    f.exponent = e;
    f.negative = v < 0;
    return true;
}

void writeFloat(const FloatPlan& f, char* at) {
    const std::size_t tail = f.n - 1;
    const std::uint64_t lead = f.digits / pow10u64(tail);
    *at = '-';
    at += f.negative ? 1 : 0;
    *at++ = static_cast<char>('0' + lead);
    if (tail > 0) {
        *at++ = '.';
        store16(at, sixteenDigits(f.digits - lead * pow10u64(tail)) >> (8 * (16 - tail)));
        at += tail;
    }
    // |exponent| <= 15 here: its hundreds digit is 0.
    const std::uint32_t ae = f.exponent < 0 ? static_cast<std::uint32_t>(-f.exponent)
                                            : static_cast<std::uint32_t>(f.exponent);
    at[0] = 'E';
    at[1] = f.exponent < 0 ? '-' : '+';
    at[2] = '0';
    at[3] = static_cast<char>('0' + ae / 10);
    at[4] = static_cast<char>('0' + ae % 10);
}

} // namespace realtext::digits
