// The real reader TEXTTOREAL: blanks, a sign, digits with at most one point,
// and an exponent after "E". Unlike the writers, it rounds each of its steps
// to double.
#include "realtext/realtables.h"
#include "realtext/realtext.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace realtext {

using digits::P;

double scaleByTen(double r, std::uint32_t x, bool down) {
    for (int k = 8; k >= 0; --k) {
        const std::uint32_t b = 1u << k;
        if (x >= b) {
            const double pk = P[static_cast<std::size_t>(k)];
            r = down ? r / pk : r * pk;
            x -= b;
        }
    }
    return r;
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
        std::uint32_t x = 0;
        bool negative = false;
        if (cur == '-') {
            negative = true;
            next();
        } else if (cur == '+') {
            next();
        }
        while (digit()) {
            if (x < kTenExpCap) x = x * 10u + static_cast<std::uint32_t>(cur - '0');
            next();
        }
        r = scaleByTen(r, x, negative);
    }
    value = r;
    if (!std::isfinite(r)) ok = false;
    if (!atEnd) --at;
    pos = at;
}

} // namespace realtext
