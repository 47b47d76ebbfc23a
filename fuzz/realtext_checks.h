// The properties of the real text conversions, checked on one input: the
// fuzz target (realtext.cpp) runs them on arbitrary inputs, the unit tests
// (realtext_properties_test.cpp) on the kept inputs, a fixed seeded corpus
// and the values at every rounding border. The writers' checks are here, the
// reader's and the round trips in realread_checks.h. TEXTTOREAL reads arbitrary bytes
// from any start position; FIXDIGITS, FLTDIGITS, REALTOFIX and WRTREAL take
// every double bit pattern with arbitrary counts.
//
// Beyond "no crash", each call is checked from outside:
// - the text has its shape (sign, digits, point, exponent), fits its 64
//   characters and nothing is written past the caller's array;
// - the digits are those of the value: the text differs from it by no more
//   than the rounding table and truncation allow (one unit in the last place
//   that the algorithm computes, the 15-digit limit of fixed-point text
//   included), read back in long double;
// - FIXDIGITS and FLTDIGITS give the same work area as their general paths
//   (without the shortcut for ordinary values, which WRTREAL, REALTOFIX and
//   the result line take through them);
// - REALTOFIX writes exactly the FIXDIGITS text, with ok and pos as its writing
//   rule says; WRTREAL(v, 0) is a blank and the FLTDIGITS text;
// - round trips: the nine-place fixed text of a value from 1 to 10^12, and the
//   17-digit mantissa text of any normal value, read back by TEXTTOREAL land
//   within the last place shown (plus TEXTTOREAL's own step-wise rounding).
#pragma once

#include "bytesource.h"
#include "fuzzcheck.h"

#include "realtext/realtext.h"
#include "realtext/realtext_testing.h"
#include "runtime/console.h"

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace realtextcheck {

using fuzzcheck::fail;
using fuzzcheck::isDigit;
using fuzzcheck::pow10;
using fuzzcheck::require;

inline std::string textOf(const realtext::WorkArea& w) {
    std::size_t n = 0;
    while (n < w.size() && w[n] != '\0') ++n;
    return std::string(w.data(), n);
}

inline double fromBits(std::uint64_t bits) {
    double v = 0;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

// The rounding table as the texts define it: R[0] = 0.5, R[k] = 0.5 * 10^-k +
// 10^-16 for k = 1 to 14, 5 * 10^-16 and 5 * 10^-17.
inline long double roundingAdd(std::int64_t k) {
    if (k == 0) return 0.5L;
    if (k >= 1 && k <= 14) return 0.5L * pow10(static_cast<int>(-k)) + 1e-16L;
    if (k == 15) return 5e-16L;
    if (k == 16) return 5e-17L;
    return 0;
}

// Slack for reading a text back in long double (64-bit significand), which
// also covers digit steps done in double-double arithmetic, and for the table
// entries being the nearest doubles: far below any unit that is checked.
inline long double slack(long double v, long double add) {
    return std::fabs(v) * 0x1p-58L + add * 0x1p-50L + 1e-300L;
}

// Mantissa text scales by the entries of the power table, and from 10^32 on
// those are the doubles nearest the powers, not the powers: the scaled
// value, and so every digit from about the sixteenth on, carries their
// representation error (up to four of them, each within 2^-53).
inline long double powerTableSlack(long double a, int exponent) {
    return exponent >= 32 || exponent <= -32 ? a * 4 * 0x1p-53L : 0;
}

// A fixed-point text split at its point: sign, integer digits, fraction digits.
struct FixedParts {
    bool negative = false;
    std::string whole;
    bool point = false;
    std::string fraction;
};

inline FixedParts splitFixed(const std::string& t, std::string_view what) {
    FixedParts p;
    std::size_t i = 0;
    if (i < t.size() && t[i] == '-') {
        p.negative = true;
        ++i;
    }
    while (i < t.size() && isDigit(t[i])) p.whole.push_back(t[i++]);
    if (i < t.size() && t[i] == '.') {
        p.point = true;
        ++i;
        while (i < t.size() && isDigit(t[i])) p.fraction.push_back(t[i++]);
    }
    require(i == t.size(), "fixed-point text holds a stray character",
            std::string(what) + ": " + t);
    require(!p.whole.empty(), "fixed-point text without integer digits",
            std::string(what) + ": " + t);
    require(p.whole.size() == 1 || p.whole[0] != '0', "fixed-point text with a leading zero",
            std::string(what) + ": " + t);
    return p;
}

// The unit of the last digit that fixed-point text computes: fifteen
// significant digits in all, and at most fourteen integer digits.
inline long double fixedUnit(std::size_t ndig, std::int64_t places) {
    if (ndig >= 15) return pow10(static_cast<int>(ndig) - 14);
    std::int64_t computed =
        std::min<std::int64_t>(places < 0 ? 0 : places, 15 - static_cast<std::int64_t>(ndig));
    return pow10(static_cast<int>(-computed));
}

// Digits past the fourteenth integer digit, and past the fifteenth digit in
// all, are zeros.
inline void checkFifteenDigits(const FixedParts& p, std::string_view what) {
    for (std::size_t i = 14; i < p.whole.size(); ++i) {
        require(p.whole[i] == '0', "an integer digit past the fourteenth is not 0", what);
    }
    std::size_t ndig = p.whole.size();
    for (std::size_t c = ndig; c < ndig + p.fraction.size(); ++c) {
        if (c >= 15)
            require(p.fraction[c - ndig] == '0', "a digit past the fifteenth is not 0", what);
    }
}

inline void checkFixdigits(double v, std::int32_t places) {
    const realtext::WorkArea w = realtext::FIXDIGITS(v, places);
    std::string t = textOf(w);
    std::string what = "FIXDIGITS(" + fuzzcheck::bitsOf(v) + ", " +
                       fuzzcheck::decimal(std::int64_t{places}) + ") = " + t;
    require(w == realtext::general::FIXDIGITS(v, places),
            "the shortcut gives the general path's work area", what);
    if (v == 0) {
        std::string want = "0";
        if (places > 0) want += ".";
        for (std::int64_t i = 0; i < places && want.size() < realtext::kWorkArea; ++i) want += "0";
        require(t == want, "zero is 0, a point and the places", what);
        return;
    }
    if (!std::isfinite(v)) {
        require(t == "Infinite", "a non-finite value is Infinite", what);
        return;
    }
    const bool cut = t.size() == realtext::kWorkArea;
    FixedParts p = splitFixed(t, what);
    require(p.negative == (v < 0), "sign of the text", what);
    checkFifteenDigits(p, what);
    if (cut) return; // the tail is gone: no count or value to check
    require(p.point == (places >= 0), "a point exactly when places >= 0", what);
    if (places >= 0) {
        require(p.fraction.size() == static_cast<std::size_t>(places), "places after the point",
                what);
    }
    long double add = places < 0 ? 0.5L : roundingAdd(places);
    long double a = std::fabs(static_cast<long double>(v));
    auto T = fuzzcheck::readDecimal(t);
    require(T.has_value(), "fixed-point text reads back", what);
    long double diff = std::fabs(*T) - a;
    long double u = fixedUnit(p.whole.size(), places);
    long double eps = slack(a, add);
    // The digits are those of |v| + add, truncated at the last computed place.
    require(diff <= add + eps, "digits above the rounded value", what);
    require(diff > add - u - eps, "digits more than one unit below the rounded value", what);
}

// Mantissa-and-exponent text: sign, one digit, optional point and digits,
// "E", sign, three digits.
struct FloatParts {
    bool negative = false;
    std::string digits; // all mantissa digits, the point left out
    bool point = false;
    int exponent = 0;
};

inline FloatParts splitFloat(const std::string& t, std::string_view what) {
    FloatParts p;
    std::size_t i = 0;
    if (i < t.size() && t[i] == '-') {
        p.negative = true;
        ++i;
    }
    require(i < t.size() && isDigit(t[i]), "mantissa starts with a digit", what);
    p.digits.push_back(t[i++]);
    if (i < t.size() && t[i] == '.') {
        p.point = true;
        ++i;
        while (i < t.size() && isDigit(t[i])) p.digits.push_back(t[i++]);
    }
    require(i + 5 == t.size(), "exponent of E, a sign and three digits", what);
    require(t[i] == 'E' && (t[i + 1] == '+' || t[i + 1] == '-'), "exponent of E and a sign", what);
    for (std::size_t k = i + 2; k < t.size(); ++k) {
        require(isDigit(t[k]), "exponent digits", what);
        p.exponent = p.exponent * 10 + (t[k] - '0');
    }
    if (t[i + 1] == '-') p.exponent = -p.exponent;
    return p;
}

inline void checkFltdigits(double v, std::uint32_t n) {
    const realtext::WorkArea w = realtext::FLTDIGITS(v, n);
    std::string t = textOf(w);
    std::string what = "FLTDIGITS(" + fuzzcheck::bitsOf(v) + ", " +
                       fuzzcheck::decimal(std::uint64_t{n}) + ") = " + t;
    require(w == realtext::general::FLTDIGITS(v, n),
            "the shortcut gives the general path's work area", what);
    const bool cut = t.size() == realtext::kWorkArea;
    if (v == 0) {
        std::string want = "0.";
        for (std::uint32_t i = 1; i < n && want.size() < realtext::kWorkArea; ++i) want += "0";
        want += "E+000";
        if (want.size() > realtext::kWorkArea) want.resize(realtext::kWorkArea);
        require(t == want, "zero is 0., n - 1 zeros and E+000", what);
        return;
    }
    if (!std::isfinite(v)) {
        require(t == "Infinite", "a non-finite value is Infinite", what);
        return;
    }
    std::uint32_t digits = n == 0 ? 15 : n;
    if (cut) {
        require(t[0] == '-' || isDigit(t[0]), "a cut mantissa text starts with its sign or a digit",
                what);
        return;
    }
    FloatParts p = splitFloat(t, what);
    require(p.negative == (v < 0), "sign of the mantissa", what);
    require(p.digits[0] != '0', "first mantissa digit is not 0", what);
    require(p.digits.size() == digits, "number of mantissa digits", what);
    require(p.point == (digits > 1), "a point exactly when more than one digit", what);
    long double m = 0;
    for (char c : p.digits) m = m * 10 + (c - '0');
    // m is the mantissa in units of its last digit: value = m * 10^(e - digits + 1).
    long double unit = pow10(p.exponent - static_cast<int>(digits) + 1);
    long double T = m * unit;
    long double a = std::fabs(static_cast<long double>(v));
    long double add = digits <= 17 ? roundingAdd(static_cast<std::int64_t>(digits) - 1) : 0;
    long double eps = slack(a, 0) + T * 0x1p-58L + powerTableSlack(a, p.exponent);
    long double diff = T - a;
    // Digits of the scaled |v| plus the rounding add, truncated; when the add
    // carries, the scale went up by one, so the add counts at either scale.
    require(diff <= add * pow10(p.exponent) + eps, "mantissa above the rounded value", what);
    require(diff > -unit - eps, "mantissa more than one unit below the value", what);
}

inline void checkRealtofix(double v, std::uint32_t D, std::uint32_t I, std::size_t cap,
                           std::uint32_t pos0) {
    std::vector<char> buf(cap, 'Z');
    std::uint32_t pos = pos0;
    bool ok = false;
    realtext::REALTOFIX(v, D, I, buf, pos, ok);
    // The model: the sign, then "infinity" and its NUL or the FIXDIGITS text,
    // each character stored while there is room.
    std::vector<char> want(cap, 'Z');
    std::uint32_t wpos = pos0;
    bool wok = true;
    auto put = [&](char c) {
        if (wpos < cap) {
            want[wpos++] = c;
        } else if (c != '\0') {
            wok = false;
        }
    };
    double a = v;
    if (v < 0) {
        put('-');
        a = -v;
    }
    if (!std::isfinite(a)) {
        for (char c : std::string_view("infinity")) put(c);
        put('\0');
    } else {
        std::uint32_t d = std::min<std::uint32_t>(D, 16);
        std::uint32_t i = std::min(I, d);
        for (char c : textOf(realtext::FIXDIGITS(a, static_cast<std::int32_t>(d - i)))) put(c);
        if (wpos < cap) want[wpos] = '\0';
    }
    std::string what =
        "REALTOFIX(" + fuzzcheck::bitsOf(v) + ", " + fuzzcheck::decimal(std::uint64_t{D}) + ", " +
        fuzzcheck::decimal(std::uint64_t{I}) + ") cap " + fuzzcheck::decimal(std::uint64_t{cap}) +
        " pos " + fuzzcheck::decimal(std::uint64_t{pos0});
    require(pos == wpos, "REALTOFIX position", what);
    require(ok == wok, "REALTOFIX ok flag", what);
    require(buf == want, "REALTOFIX text", what + " got " + std::string(buf.begin(), buf.end()));
}

inline void checkWrtreal(double v, std::uint32_t width) {
    realtext::WRTREAL(v, width);
    std::string out = runtime::conTakeOutput();
    std::string what = "WRTREAL(" + fuzzcheck::bitsOf(v) + ", " +
                       fuzzcheck::decimal(std::uint64_t{width}) + ") = [" + out + "]";
    if (width == 0) {
        require(out == " " + textOf(realtext::FLTDIGITS(v, 0)),
                "width 0 is a blank and FLTDIGITS(v, 0)", what);
        return;
    }
    std::size_t blanks = 0;
    while (blanks < out.size() && out[blanks] == ' ') ++blanks;
    std::string t = out.substr(blanks);
    require(!t.empty(), "WRTREAL wrote a text", what);
    require(out.size() == std::max<std::size_t>(width, t.size()), "blanks fill the field exactly",
            what);
    if (!std::isfinite(v)) {
        require(t == "Infinite", "a non-finite value is Infinite", what);
        return;
    }
    if (width == 15) {
        require(out.size() == 15 || out.size() == 16, "width 15 gives 15 characters, 16 on a carry",
                what);
    }
    long double a = static_cast<long double>(v);
    long double T = 0;
    long double u = 0;
    if (t.find('E') != std::string::npos) {
        if (t.size() == realtext::kWorkArea) return; // cut: its exponent is gone
        FloatParts p = splitFloat(t, what);
        require(p.digits[0] != '0' || v == 0, "first mantissa digit is not 0", what);
        long double m = 0;
        for (char c : p.digits) m = m * 10 + (c - '0');
        u = pow10(p.exponent - static_cast<int>(p.digits.size()) + 1) +
            powerTableSlack(std::fabs(a), p.exponent);
        T = (p.negative ? -m : m) * pow10(p.exponent - static_cast<int>(p.digits.size()) + 1);
        if (width == 15)
            require(out.size() == 15, "mantissa form fills 15 characters exactly", what);
    } else {
        if (t.size() == realtext::kWorkArea) return;
        FixedParts p = splitFixed(t, what);
        require(p.point, "fixed-point form of WRTREAL has a point", what);
        checkFifteenDigits(p, what);
        auto r = fuzzcheck::readDecimal(t);
        require(r.has_value(), "WRTREAL text reads back", what);
        T = *r;
        u = fixedUnit(p.whole.size(), static_cast<std::int64_t>(p.fraction.size()));
    }
    require(std::fabs(T - a) <= u + slack(a, 0) + std::fabs(T) * 0x1p-58L,
            "WRTREAL text within one unit of its last computed digit", what);
}

} // namespace realtextcheck
