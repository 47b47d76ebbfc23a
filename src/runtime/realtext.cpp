// Real text conversion: the digit generators FIXDIGITS and FLTDIGITS, the real
// writers WRTREAL and REALTOFIX, and the reader TEXTTOREAL.
//
// The digit generators follow the fixed steps (add the rounding term R[k],
// count or scale away the integer digits, truncate digit after digit), but
// each step is carried out on the exact value: plain double arithmetic shows
// whole numbers as ...99999 and puts some of them in the wrong number of
// digits. The values are held as exact sums of doubles (runtime/expansion.h)
// and their digits read off in chunks that are guessed in double arithmetic
// and confirmed by exact comparison (runtime/decdigits.h), so no rounding
// error ever reaches the text.
//
// TEXTTOREAL, in contrast, rounds each of its steps to double.
#include "runtime/realtext.h"

#include "runtime/console.h"
#include "runtime/decdigits.h"
#include "runtime/expansion.h"
#include "runtime/roundterms.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace runtime {
namespace {

using exact::compare;
using exact::digitChar;
using exact::DigitSource;
using exact::Expansion;
using exact::intDigits;

// R, the rounding terms: runtime/roundterms.h.

// P[k] = 10^(2^k), each the nearest double (P[5] and up are not exact).
constexpr std::array<double, 9> P = {1e1, 1e2, 1e4, 1e8, 1e16, 1e32, 1e64, 1e128, 1e256};

// Fixed-point text computes at most 14 integer digits and, after the point,
// digits up to the 15th in all; the others show as 0.
constexpr std::int64_t kFixIntComputed = 14;
constexpr std::int64_t kFixAllComputed = 15;

// Values of 2^64 and more are handled scaled by 2^-64, so that a power of ten
// a little above them cannot overflow; nothing underflows at that size.
constexpr double kTwo64 = 18446744073709551616.0;
constexpr double kTwoMinus64 = 1.0 / kTwo64;

// The work area of a digit generator: kWorkArea characters at `a`, those
// after the last dropped. It is a WORKAREA, or the place in a caller's array
// where REALTOFIX or WRTREAL want the text: building it there spares a copy
// (and a copy read back right after its bytes were stored one by one waits
// for them to reach the cache). Nothing but the text and its NUL is written.
struct Area {
    char* a;
    std::size_t len = 0;
    explicit Area(char* at) : a(at) {}
    void emit(char c) {
        if (len < kWorkArea) a[len++] = c;
    }
    bool full() const { return len >= kWorkArea; }
    void end() {
        if (len < kWorkArea) a[len] = '\0';
    }
};

void infinite(Area& out) {
    for (char c : std::string_view("Infinite")) out.emit(c);
}

// The unit a value near a is held in (see kTwoMinus64).
double unitFor(double a) { return a >= kTwo64 ? kTwoMinus64 : 1.0; }

// Writes |E| as three digits: hundreds, tens, units.
void emitExponent(Area& out, std::int32_t e) {
    out.emit('E');
    out.emit(e < 0 ? '-' : '+');
    std::uint32_t ae = e < 0 ? static_cast<std::uint32_t>(-static_cast<std::int64_t>(e))
                             : static_cast<std::uint32_t>(e);
    out.emit(digitChar(ae / 100));
    out.emit(digitChar(ae / 10));
    out.emit(digitChar(ae));
}

// The shortcuts of FIXDIGITS and FLTDIGITS, for the values nearly every
// line shows.
//
// A positive double is a dyadic fraction m / 2^s with a 53-bit significand
// m, and so is every entry of R. For the values below, the exact value the
// digit steps work on is x = v * 10^a + R[k] * 10^b (a power of ten that
// the steps apply exactly, and the rounding term), and the digits shown are
// those of floor(x), found in 128-bit integer arithmetic: the whole part of
// m * 10^a / 2^s, plus 1 when the two fractional parts add up to 1 or more,
// an exact comparison over the common denominator 2^max(s, t). The digits
// are those the general path reads off the same exact value; the shortcuts
// only spare the expansions, which cost far more than the rest of a line.
__extension__ using U128 = unsigned __int128;

struct Dyadic {
    std::uint64_t m = 0;
    int s = 0;
};

// A positive double as m / 2^s, or false when it needs s < 0 or s > 126.
constexpr bool toDyadic(double v, Dyadic& d) {
    // Read off the bits: v = (2^52 + fraction) * 2^(exponent - 1075) for a
    // normal double; subnormals take the general path.
    const auto bits = std::bit_cast<std::uint64_t>(v);
    const auto biased = static_cast<int>((bits >> 52) & 0x7FFu);
    if (biased == 0 || biased == 0x7FF) return false;
    d.m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    d.s = 1075 - biased;
    return d.s >= 0 && d.s <= 126;
}

// The entries of R as dyadic fractions (all of them are in range).
constexpr std::array<Dyadic, R.size()> kRDyadic = [] {
    std::array<Dyadic, R.size()> d{};
    for (std::size_t k = 0; k < R.size(); ++k) toDyadic(R[k], d[k]);
    return d;
}();

// 10^k for k = 0 to 22 as 128-bit integers (the largest below 2^74).
constexpr std::size_t kWidePowers = 23;
constexpr std::array<U128, kWidePowers> kPow10Wide = [] {
    std::array<U128, kWidePowers> p{};
    p[0] = 1;
    for (std::size_t k = 1; k < p.size(); ++k) p[k] = p[k - 1] * 10;
    return p;
}();

// floor(v * 10^a + r * 10^b) for v = m / 2^s and r = mr / 2^t, when
// r * 10^b < 1 and the result is below 2^64. With a <= 22 every product is
// below 2^53 * 10^22 < 2^127, and both fractional parts below 2^max(s, t).
std::uint64_t floorScaled(const Dyadic& v, std::size_t a, const Dyadic& r, std::size_t b) {
    const U128 n = U128{v.m} * kPow10Wide[a];
    const U128 whole = n >> v.s;
    const U128 frac = n - (whole << v.s);      // of 2^s
    const U128 rn = U128{r.m} * kPow10Wide[b]; // of 2^t, and below 2^t
    const int d = std::max(v.s, r.s);
    const U128 sum = (frac << (d - v.s)) + (rn << (d - r.s));
    return static_cast<std::uint64_t>(whole) + (sum >= (U128{1} << d) ? 1u : 0u);
}

// 10^k for k = 0 to 19, all that fit 64 bits.
constexpr std::array<std::uint64_t, 20> kPow10U64 = [] {
    std::array<std::uint64_t, 20> p{};
    p[0] = 1;
    for (std::size_t k = 1; k < p.size(); ++k) p[k] = p[k - 1] * 10;
    return p;
}();

// The number of decimal digits of n (1 for 0). The bit length times 1233 /
// 4096 (just above log10(2)) is the count less one or less two; one
// comparison settles which. Counting by divisions would take a loop whose
// length the branch predictor cannot know.
std::int32_t decimalDigits(std::uint64_t n) {
    const std::uint64_t m = n | 1; // as many digits as n, and 0 counts as 1
    const auto t = static_cast<std::size_t>(((64 - std::countl_zero(m)) * 1233) >> 12);
    return static_cast<std::int32_t>(t) + (m >= kPow10U64[t] ? 1 : 0);
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

// Writes the last count decimal digits of q so that they end just before
// end; returns what is left of q in front of them.
std::uint64_t putDigits(char* end, std::uint64_t q, std::int32_t count) {
    for (; count >= 2; count -= 2) {
        const std::size_t pair = static_cast<std::size_t>(q % 100) * 2;
        q /= 100;
        end -= 2;
        end[0] = kDigitPairs[pair];
        end[1] = kDigitPairs[pair + 1];
    }
    if (count == 1) {
        *--end = digitChar(q);
        q /= 10;
    }
    return q;
}

// FIXDIGITS of 0 < |v| < 10^14 with places up to 16 and at most 14 integer
// digits after rounding; false (nothing emitted) for everything else.
// Here x = |v| + R[places]: ndig counts the digits of floor(x), and the
// computed digits are those of floor(x * 10^k), k = computed - ndig.
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
    if (v < 0) out.emit('-');
    // The text is ndig digits, then (for places >= 0) the point and the
    // places: at most 14 + 1 + 16 characters, well inside the work area.
    // The computed places come first, right to left, then the integer
    // digits; places beyond the computed digits are zeros.
    const std::int32_t length = ndig + (places >= 0 ? 1 + shownPlaces : 0);
    char* text = out.a + out.len;
    for (std::int32_t i = computed; i < ndig + shownPlaces; ++i) text[i + 1] = '0';
    if (places >= 0) text[ndig] = '.';
    const std::uint64_t left = putDigits(text + computed + 1, q, static_cast<std::int32_t>(k));
    putDigits(text + ndig, left, ndig);
    out.len += static_cast<std::size_t>(length);
    return true;
}

// FLTDIGITS of 10^-15 <= |v| < 10 with 1 to 17 digits (n = 0 is 15);
// false (nothing emitted) for everything else. The scaling steps bring v into [1, 10) with
// powers of ten that doubles hold exactly (from 10^-15 on, the steps by
// 10^16 and up never apply), so the scaled value is v * 10^J exactly, and
// the digits are those of floor(v * 10^(J + n - 1) + R[n - 1] * 10^(n - 1)),
// one fewer when rounding reached 10.
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
            if (U128{dv.m} * kPow10Wide[J + step] <= one) J += step;
        }
        if (U128{dv.m} * kPow10Wide[J] < one) ++J;
    }
    const std::size_t places = n - 1;
    if (J + places >= kWidePowers) return false;
    std::uint64_t q = floorScaled(dv, J + places, kRDyadic[places], places);
    auto e = -static_cast<std::int32_t>(J);
    if (q >= kPow10Wide[n]) { // rounding reached 10: one digit fewer
        q /= 10;
        ++e;
    }
    // The sign, the digit, the point and n - 1 digits, then the exponent: at
    // most 19 + 5 characters, well inside the work area.
    if (value < 0) out.emit('-');
    char* text = out.a + out.len;
    const std::uint64_t first = putDigits(text + n + 1, q, static_cast<std::int32_t>(places));
    text[0] = digitChar(first);
    std::size_t length = 1;
    if (n > 1) {
        text[1] = '.';
        length = n + 1;
    }
    out.len += length;
    emitExponent(out, e);
    return true;
}

// FIXDIGITS the general way.
void fixDigitsGeneral(double v, std::int32_t places, Area& out) {
    if (v == 0.0) {
        out.emit('0');
        if (places > 0) out.emit('.');
        for (std::int32_t i = 0; i < places && !out.full(); ++i) out.emit('0');
        return;
    }
    if (!std::isfinite(v)) {
        infinite(out);
        return;
    }
    if (v < 0) {
        out.emit('-');
        v = -v;
    }
    // x = v + R[places], exactly; for places above 16 nothing is added.
    const double unit = unitFor(v);
    Expansion x(v * unit);
    if (places <= 16) x.add(R[static_cast<std::size_t>(places < 0 ? 0 : places)] * unit);

    // Dividing x by 10 until it is below 10 leaves x / 10^(ndig-1); the digit
    // steps then read off its decimal digits, the first few of them computed.
    Expansion low;
    const std::int32_t ndig = intDigits(x, unit, low);
    const std::int64_t shown = std::int64_t{ndig} + (places > 0 ? places : 0);
    std::int64_t computed = shown < kFixAllComputed ? shown : kFixAllComputed;
    if (ndig > kFixIntComputed) computed = kFixIntComputed;
    DigitSource digits(x, low, static_cast<std::uint64_t>(computed));

    for (std::int32_t i = 1; i <= ndig && !out.full(); ++i) out.emit(digits.next());
    if (places >= 0) {
        out.emit('.');
        for (std::int32_t i = 0; i < places && !out.full(); ++i) out.emit(digits.next());
    }
}

// FLTDIGITS the general way.
void fltDigitsGeneral(double v, std::uint32_t n, Area& out) {
    if (v == 0.0) {
        out.emit('0');
        out.emit('.');
        for (std::uint32_t i = 1; i < n && !out.full(); ++i) out.emit('0');
        for (char c : std::string_view("E+000")) out.emit(c);
        return;
    }
    if (!std::isfinite(v)) {
        infinite(out);
        return;
    }
    if (n == 0) n = 15;
    if (v < 0) {
        out.emit('-');
        v = -v;
    }

    // The value being scaled is a / b, held exactly. Every comparison of the
    // scaling steps is made on it, not on a rounded quotient or product.
    Expansion a(v);
    Expansion b(1.0);
    std::int32_t e = 0;
    if (v >= 10) {
        // Both scaled by 2^-exponent(v), so that P[k] * b never overflows.
        const int ev = std::ilogb(v);
        a = Expansion(std::ldexp(v, -ev));
        b = Expansion(std::ldexp(1.0, -ev));
        for (int k = 8; k >= 0; --k) {
            const double pk = P[static_cast<std::size_t>(k)];
            Expansion pb = b;
            pb.scale(pk);
            if (compare(pb, a) < 0) { // P[k] < a / b: divide by P[k]
                b = pb;
                e += 1 << k;
            }
        }
    } else if (v < 1) {
        const Expansion one(1.0);
        for (int k = 8; k >= 0; --k) {
            const double pk = P[static_cast<std::size_t>(k)];
            Expansion pa = a;
            pa.scale(pk);
            if (compare(pa, one) <= 0) { // 1 / P[k] is not less than a: multiply by P[k]
                a = pa;
                e -= 1 << k;
            }
        }
        if (compare(a, one) < 0) {
            a.scale(10.0);
            e -= 1;
        }
    }
    if (n <= 17) { // a / b + R[n-1] = (a + R[n-1] * b) / b
        Expansion rb = b;
        rb.scale(R[n - 1]);
        a.add(rb);
    }
    Expansion tenB = b;
    tenB.scale(10.0);
    if (compare(a, tenB) >= 0) {
        b = tenB;
        e += 1;
    }

    DigitSource digits(a, b, n);
    out.emit(digits.next());
    if (n > 1) {
        out.emit('.');
        for (std::uint32_t i = 1; i < n && !out.full(); ++i) out.emit(digits.next());
    }
    emitExponent(out, e);
}

// The digit generators, the shortcut first.
void fixDigits(double v, std::int32_t places, Area& out) {
    if (!fixDigitsFast(v, places, out)) fixDigitsGeneral(v, places, out);
}
void fltDigits(double v, std::uint32_t n, Area& out) {
    if (!fltDigitsFast(v, n, out)) fltDigitsGeneral(v, n, out);
}

} // namespace

WORKAREA FIXDIGITS(double v, std::int32_t places) {
    WORKAREA w{};
    Area out(w.data());
    fixDigits(v, places, out);
    return w;
}

WORKAREA FLTDIGITS(double v, std::uint32_t n) {
    WORKAREA w{};
    Area out(w.data());
    fltDigits(v, n, out);
    return w;
}

WORKAREA general::FIXDIGITS(double v, std::int32_t places) {
    WORKAREA w{};
    Area out(w.data());
    fixDigitsGeneral(v, places, out);
    return w;
}

WORKAREA general::FLTDIGITS(double v, std::uint32_t n) {
    WORKAREA w{};
    Area out(w.data());
    fltDigitsGeneral(v, n, out);
    return w;
}

void WRTREAL(double v, std::uint32_t width) {
    if (width == 0) {
        WRTCHR(' ');
        WRTSTR(FLTDIGITS(v, 0));
        return;
    }
    // E: the number of integer digits of |v| less one, counted exactly (a
    // floating-point logarithm makes 1000 look like 999.99...).
    const double a = std::fabs(v);
    std::int64_t E = 0;
    if (a < 1) {
        E = width;                       // zero included
    } else if (a < 9007199254740992.0) { // below 2^53 the whole part converts exactly
        E = decimalDigits(static_cast<std::uint64_t>(a)) - 1;
    } else if (std::isfinite(a)) {
        const double unit = unitFor(a);
        Expansion low;
        E = intDigits(Expansion(a * unit), unit, low) - 1;
    } // an infinity or a NaN keeps E = 0
    if (v < 0) E += 1;

    // The work area's text, built here with its length known.
    std::array<char, kWorkArea> text;
    Area out(text.data());
    if (std::int64_t{width} >= E + 2) {
        // Places beyond the work area show nothing more, so the count is capped.
        std::int64_t places = std::int64_t{width} - 2 - E;
        if (places > std::numeric_limits<std::int32_t>::max())
            places = std::numeric_limits<std::int32_t>::max();
        fixDigits(v, static_cast<std::int32_t>(places), out);
    } else {
        std::uint32_t n = width;
        if (!(v < 0) && width > 6) {
            n = width - 6;
        } else if (v < 0 && width > 7) {
            n = width - 7;
        }
        fltDigits(v, n, out);
    }
    for (std::size_t i = out.len; i < width; ++i) WRTCHR(' ');
    WRTCHARS(std::span<const char>(text.data(), out.len));
}

void REALTOFIX(double v, std::uint32_t D, std::uint32_t I, std::span<char> text, std::uint32_t& pos,
               bool& ok) {
    ok = true;
    auto put = [&](char c) {
        if (pos < text.size()) {
            text[pos++] = c;
        } else if (c != '\0') {
            ok = false;
        }
    };
    if (v < 0) {
        put('-');
        v = -v;
    }
    if (!std::isfinite(v)) {
        for (char c : std::string_view("infinity")) put(c);
        put('\0');
        return;
    }
    if (D > 16) D = 16;
    if (I > D) I = D;
    const auto places = static_cast<std::int32_t>(D - I);
    if (pos < text.size() && text.size() - pos > kWorkArea) {
        // Room for the whole work area and its NUL: the text is built where
        // it goes, the same characters without the copy.
        Area out(text.data() + pos);
        fixDigits(v, places, out);
        pos += static_cast<std::uint32_t>(out.len);
        text[pos] = '\0';
        return;
    }
    const WORKAREA w = FIXDIGITS(v, places);
    // The characters before the work area's NUL, as many as fit from pos on
    // (the same as writing them one by one by the rule above).
    const char* nul = std::char_traits<char>::find(w.data(), w.size(), '\0');
    const std::size_t len = nul != nullptr ? static_cast<std::size_t>(nul - w.data()) : w.size();
    const std::size_t room = pos < text.size() ? text.size() - pos : 0;
    const std::size_t fits = std::min(len, room);
    if (fits > 0) {
        std::copy_n(w.data(), fits, text.subspan(pos, fits).begin());
        pos += static_cast<std::uint32_t>(fits);
    }
    if (fits < len) ok = false;
    if (pos < text.size()) text[pos] = '\0';
}

void TEXTTOREAL(std::span<const char> text, std::uint32_t& pos, double& value, bool& ok) {
    // The reading position is a local, written back at the end. At the end
    // of the text the current character is NUL, which is no digit, point,
    // sign or "E": those tests need no end check of their own.
    const std::size_t size =
        std::min<std::size_t>(text.size(), std::numeric_limits<std::uint32_t>::max());
    std::uint32_t at = pos;
    char cur = '\0';
    bool atEnd = false;
    auto next = [&] {
        if (at < size && text[at] != '\0') {
            cur = text[at];
            ++at;
        } else {
            atEnd = true;
            cur = '\0';
        }
    };
    auto digit = [&] { return cur >= '0' && cur <= '9'; };
    auto digitValue = [&] { return static_cast<double>(cur - '0'); };

    ok = true;
    RealFromDigits digits;
    double sign = 1.0;
    do next();
    while (cur == ' ');
    if (cur == '-') {
        sign = -1.0;
        next();
    } else if (cur == '+') {
        next();
    }
    bool seen = false;
    while (cur == '0') {
        seen = true;
        next();
    }
    while (digit()) {
        seen = true;
        digits.beforePoint(digitValue());
        next();
    }
    if (!seen) {
        ok = false;
        pos = at;
        return;
    }
    if (cur == '.') {
        next();
        while (digit()) {
            digits.afterPoint(digitValue());
            next();
        }
    }
    double r = digits.r * sign;
    if (cur == 'E' || cur == 'e') {
        next();
        // Every exponent from 511 up scales by 10^511 in all, so the count
        // stops growing there instead of wrapping round to a small exponent.
        constexpr std::uint32_t kExpCap = 511;
        std::uint32_t x = 0;
        bool negative = false;
        if (cur == '-') {
            negative = true;
            next();
        } else if (cur == '+') {
            next();
        }
        while (digit()) {
            if (x < kExpCap) x = x * 10u + static_cast<std::uint32_t>(cur - '0');
            next();
        }
        for (int k = 8; k >= 0; --k) {
            const std::uint32_t b = 1u << k;
            if (x >= b) {
                const double pk = P[static_cast<std::size_t>(k)];
                r = negative ? r / pk : r * pk;
                x -= b;
            }
        }
    }
    value = r;
    if (!std::isfinite(r)) ok = false;
    if (!atEnd) --at;
    pos = at;
}

} // namespace runtime
