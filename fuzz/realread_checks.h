// The properties of TEXTTOREAL and the round trips through it (the other
// half of realtext_checks.h), and checkInput: every property of real text
// on one fuzz input.
#pragma once

#include "realtext_checks.h"

namespace realtextcheck {

// The nine-place fixed text of a value from 1 to 10^12 reads back within the
// last place it shows.
inline void checkFixedRoundTrip(std::uint64_t mantissa, int exp2) {
    double v = std::ldexp(1.0 + static_cast<double>(mantissa >> 12) * 0x1p-52, exp2);
    if (v > 1e12) return;
    std::array<char, 256> text{};
    std::uint32_t pos = 0;
    bool ok = false;
    realtext::REALTOFIX(v, 15, 6, text, pos, ok);
    std::string t(text.data(), pos);
    std::string what = "fixed round trip of " + fuzzcheck::bitsOf(v) + " via " + t;
    require(ok, "REALTOFIX into 256 characters is ok", what);
    FixedParts p = splitFixed(t, what);
    require(p.fraction.size() == 9, "nine places", what);
    std::uint32_t back = 0;
    double r = 0;
    bool rok = false;
    realtext::TEXTTOREAL(text, back, r, rok);
    require(rok, "TEXTTOREAL reads the fixed text", what);
    require(back == pos, "TEXTTOREAL stops at the end of the fixed text", what);
    long double u = fixedUnit(p.whole.size(), 9);
    long double tol = u + 8 * std::ldexp(1.0L, std::ilogb(v) - 52);
    require(std::fabs(static_cast<long double>(r) - v) <= tol,
            "fixed text reads back within its last place", what);
}

// The 17-digit mantissa text of a normal value reads back within its last
// place, give or take TEXTTOREAL's rounding of each step.
inline void checkFloatRoundTrip(double v) {
    if (!std::isfinite(v) || v == 0 || std::fabs(v) < 1e-290 || std::fabs(v) > 1e290) return;
    realtext::WorkArea w = realtext::FLTDIGITS(v, 17);
    std::string t = textOf(w);
    std::string what = "mantissa round trip of " + fuzzcheck::bitsOf(v) + " via " + t;
    std::uint32_t pos = 0;
    double r = 0;
    bool ok = false;
    realtext::TEXTTOREAL(w, pos, r, ok);
    require(ok, "TEXTTOREAL reads the mantissa text", what);
    require(pos == t.size(), "TEXTTOREAL reads the whole mantissa text", what);
    long double rel = std::fabs((static_cast<long double>(r) - v) / v);
    require(rel <= 5e-15L, "mantissa text reads back within its last place", what);
}

// TEXTTOREAL on arbitrary bytes from an arbitrary position. The number it
// accepts is found independently: blanks, a sign, digits, a point and digits,
// E with a sign and digits; its value is compared with the same text read in
// long double where every step of the step-wise reading stays in range.
inline void checkTexttoreal(const std::vector<char>& text, std::uint32_t pos0) {
    std::uint32_t pos = pos0;
    constexpr double kUntouched = -1234.5;
    double value = kUntouched;
    bool ok = true;
    realtext::TEXTTOREAL(text, pos, value, ok);
    std::string what = "TEXTTOREAL at " + fuzzcheck::decimal(std::uint64_t{pos0}) + " of [" +
                       std::string(text.begin(), text.end()) + "]";

    const std::size_t cap = text.size();
    auto at = [&](std::size_t i) { return i < cap && text[i] != '\0' ? text[i] : '\0'; };
    std::size_t i = pos0;
    while (at(i) == ' ') ++i;
    bool negative = false;
    if (at(i) == '-' || at(i) == '+') negative = at(i++) == '-';
    std::string whole;
    while (isDigit(at(i))) whole.push_back(at(i++));
    if (whole.empty()) {
        require(!ok, "no digit: not ok", what);
        require(value == kUntouched, "no digit: value unchanged", what);
        // Reading stops just past the last character read, or where it was
        // when the text had already ended there.
        std::size_t stop = at(i) == '\0' ? i : i + 1;
        require(pos == stop, "no digit: position just past the last character read", what);
        return;
    }
    std::string fraction;
    if (at(i) == '.') {
        ++i;
        while (isDigit(at(i))) fraction.push_back(at(i++));
    }
    std::uint32_t x = 0;
    bool eNegative = false;
    if (at(i) == 'E' || at(i) == 'e') {
        ++i;
        if (at(i) == '-' || at(i) == '+') eNegative = at(i++) == '-';
        while (isDigit(at(i))) {
            // The exponent's true value, held below a bound: any exponent of
            // 511 or more scales by 10^511 in all (a larger one never wraps
            // round to a small one).
            std::uint32_t d = static_cast<std::uint32_t>(at(i++) - '0');
            if (x < 100000) x = x * 10u + d;
        }
    }
    require(pos == i, "position just after the number", what);
    require(ok == std::isfinite(value), "ok exactly when the value is finite", what);
    // Read the same number in long double: mantissa, then 10^min(x, 511).
    long double m = 0;
    for (char c : whole) m = m * 10 + (c - '0');
    long double f = 0;
    long double q = 0.1L;
    for (char c : fraction) {
        f += (c - '0') * q;
        q /= 10;
    }
    m += f;
    int e = static_cast<int>(std::min<std::uint32_t>(x, 511));
    if (eNegative) e = -e;
    if (whole.size() > 300 || m == 0) return; // the step-wise sum can overflow, or is exact
    if (m < 1e-280L) return;
    long double want = m * pow10(e);
    if (!(want >= 1e-300L && want <= 1e300L)) return;
    long double got = std::fabs(static_cast<long double>(value));
    require(ok, "a number in range reads ok", what);
    require(std::signbit(value) == negative, "sign of the value", what);
    require(std::fabs(got - want) <= want * 1e-12L, "value of the number", what);
}

// One input: which check, then its arguments (the console must collect its
// output in memory).
inline void checkInput(const std::uint8_t* data, std::size_t size) {
    runtime::fpInit();
    fuzzcheck::ByteSource in(data, size);
    switch (in.inRange<int>(0, 6)) {
    case 0: {
        std::uint32_t pos0 = in.inRange<std::uint32_t>(0, 8);
        std::string rest = in.rest();
        std::vector<char> text(rest.begin(), rest.end()); // exactly its capacity
        checkTexttoreal(text, pos0);
        break;
    }
    case 1: {
        double v = fromBits(in.any<std::uint64_t>());
        std::int32_t places = in.flag() ? in.any<std::int32_t>() : in.inRange<std::int32_t>(-3, 40);
        checkFixdigits(v, places);
        break;
    }
    case 2: {
        double v = fromBits(in.any<std::uint64_t>());
        std::uint32_t n = in.flag() ? in.any<std::uint32_t>() : in.inRange<std::uint32_t>(0, 40);
        checkFltdigits(v, n);
        break;
    }
    case 3: {
        double v = fromBits(in.any<std::uint64_t>());
        std::uint32_t D = in.flag() ? in.any<std::uint32_t>() : in.inRange<std::uint32_t>(0, 20);
        std::uint32_t I = in.flag() ? in.any<std::uint32_t>() : in.inRange<std::uint32_t>(0, 20);
        std::size_t cap = in.inRange<std::size_t>(0, 80);
        std::uint32_t pos0 = in.inRange<std::uint32_t>(0, 82);
        checkRealtofix(v, D, I, cap, pos0);
        break;
    }
    case 4: {
        double v = fromBits(in.any<std::uint64_t>());
        std::uint32_t width = in.flag() ? 15 : in.inRange<std::uint32_t>(0, 80);
        checkWrtreal(v, width);
        break;
    }
    case 5: {
        std::uint64_t mantissa = in.any<std::uint64_t>();
        checkFixedRoundTrip(mantissa, in.inRange<int>(0, 39));
        break;
    }
    default:
        checkFloatRoundTrip(fromBits(in.any<std::uint64_t>()));
        break;
    }
}

} // namespace realtextcheck
