// The real writers: the digit generators' work areas (FIXDIGITS, FLTDIGITS),
// the field of WRTREAL and the fixed-point text of REALTOFIX, each laid out
// here once. The digits come from realtext/realdigits.h.
#include "realtext/realdigits.h"
#include "realtext/realtables.h"
#include "realtext/realtext.h"
#include "runtime/console.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstring>
#include <limits>

namespace realtext {

using digits::kDigitsRoom;
using exact::Expansion;
using exact::intDigits;

static_assert(fieldRoom(kFieldWidthCap) <= runtime::kPlaceCap,
              "WRTREAL builds its field in the console's place");

namespace digits {
namespace {

// The one dispatch: the shortcut's plan when it took the value, written at
// `at`; else the general way. (The procedures are template arguments so
// that each dispatch is compiled with its own plan in registers.)
template <class Plan, auto write, auto general, class Count>
std::size_t shortcutFirst(bool planned, const Plan& p, double v, Count count, char* at) {
    if (planned) {
        write(p, at);
        return p.length();
    }
    Area out(at);
    general(v, count, out);
    return out.len;
}

} // namespace

std::size_t fixDigitsAt(double v, std::int32_t places, char* at) {
    return fixDigitsAt(digitBase(v), places, at);
}

std::size_t fixDigitsAt(const DigitBase& b, std::int32_t places, char* at) {
    FixedPlan p;
    const bool planned = planFixed(b, places, p);
    return shortcutFirst<FixedPlan, writeFixed, fixDigitsGeneral>(planned, p, b.v, places, at);
}

std::size_t fltDigitsAt(double v, std::uint32_t n, char* at) {
    FloatPlan p;
    const bool planned = planFloat(v, n, p);
    return shortcutFirst<FloatPlan, writeFloat, fltDigitsGeneral>(planned, p, v, n, at);
}

} // namespace digits

namespace {

// A work area holding the len characters at text, and a NUL when shorter.
WorkArea workArea(const char* text, std::size_t len) {
    WorkArea w{};
    std::memcpy(w.data(), text, len);
    return w;
}

// The text of a field of width > 0, without its blanks: the fixed-point text
// with as many places as leave room for the integer digits, the sign and the
// point, or, where there is no room for those, the mantissa text with the
// width less 6 digits (7 with a sign).
std::size_t fieldText(const DigitBase& b, std::uint32_t width, char* at) {
    // E: the number of integer digits of |v| less one, counted exactly (a
    // floating-point logarithm makes 1000 look like 999.99...).
    const double v = b.v;
    const double a = std::fabs(v);
    std::int64_t E = 0;
    if (a < 1) {
        E = width; // zero included
    } else if (b.taken) {
        E = b.ndig - 1;
    } else if (a < 9007199254740992.0) { // below 2^53 the whole part converts exactly
        E = digits::decimalDigits(static_cast<std::uint64_t>(a)) - 1;
    } else if (std::isfinite(a)) {
        const double unit = digits::unitFor(a);
        Expansion low;
        E = intDigits(Expansion(a * unit), unit, low) - 1;
    } // an infinity or a NaN keeps E = 0
    if (v < 0) E += 1;
    if (std::int64_t{width} >= E + 2) {
        // Places beyond the work area show nothing more, so the count is capped.
        const std::int64_t places = std::min<std::int64_t>(
            std::int64_t{width} - 2 - E, std::numeric_limits<std::int32_t>::max());
        return digits::fixDigitsAt(b, static_cast<std::int32_t>(places), at);
    }
    std::uint32_t n = width;
    if (!(v < 0) && width > 6) {
        n = width - 6;
    } else if (v < 0 && width > 7) {
        n = width - 7;
    }
    return digits::fltDigitsAt(v, n, at);
}

} // namespace

WorkArea FIXDIGITS(double v, std::int32_t places) {
    std::array<char, kDigitsRoom> text;
    return workArea(text.data(), digits::fixDigitsAt(v, places, text.data()));
}

WorkArea FLTDIGITS(double v, std::uint32_t n) {
    std::array<char, kDigitsRoom> text;
    return workArea(text.data(), digits::fltDigitsAt(v, n, text.data()));
}

std::size_t writeField(const DigitBase& b, std::uint32_t width, char* at) {
    assert(width <= kFieldWidthCap);
    if (width == 0) {
        at[0] = ' ';
        return 1 + digits::fltDigitsAt(b.v, 0, at + 1);
    }
    const std::size_t len = fieldText(b, width, at);
    if (len >= width) return len;
    // Blanks first: the text moves behind them (nearly every field of 15 is
    // filled by its text, so this is rare on the result line).
    const std::size_t pad = width - len;
    std::memmove(at + pad, at, len);
    std::memset(at, ' ', pad);
    return width;
}

std::size_t writeField(double v, std::uint32_t width, char* at) {
    return writeField(digitBase(v), width, at);
}

void WRTREAL(double v, std::uint32_t width) {
    if (width <= kFieldWidthCap) {
        char* const at = runtime::writePlace(fieldRoom(width));
        runtime::writePlaced(writeField(v, width, at));
        return;
    }
    std::array<char, kDigitsRoom> text;
    const std::size_t len = fieldText(digitBase(v), width, text.data());
    for (std::size_t i = len; i < width; ++i) runtime::writeChar(' ');
    runtime::writeChars(std::span<const char>(text.data(), len));
}

std::size_t writeFixedText(const DigitBase& b, std::uint32_t D, std::uint32_t I, char* at) {
    DigitBase positive = b; // the digits of |v|, after the sign
    std::size_t sign = 0;
    if (b.v < 0) {
        at[sign++] = '-';
        positive.v = -b.v;
    }
    if (!std::isfinite(positive.v)) {
        constexpr char kInfinity[] = "infinity";
        std::memcpy(at + sign, kInfinity, sizeof kInfinity - 1);
        return sign + sizeof kInfinity - 1;
    }
    D = std::min<std::uint32_t>(D, 16);
    I = std::min(I, D);
    return sign + digits::fixDigitsAt(positive, static_cast<std::int32_t>(D - I), at + sign);
}

std::size_t writeFixedText(double v, std::uint32_t D, std::uint32_t I, char* at) {
    return writeFixedText(digitBase(v), D, I, at);
}

void REALTOFIX(double v, std::uint32_t D, std::uint32_t I, std::span<char> text, std::uint32_t& pos,
               bool& ok) {
    // The characters of the text, as many as fit from pos on, then a NUL
    // where there is room: ok tells whether all of them fitted.
    std::array<char, kFixedRoom> fixed;
    const std::size_t len = writeFixedText(v, D, I, fixed.data());
    const std::size_t room = pos < text.size() ? text.size() - pos : 0;
    const std::size_t fits = std::min(len, room);
    if (fits > 0) {
        std::copy_n(fixed.data(), fits, text.subspan(pos, fits).begin());
        pos += static_cast<std::uint32_t>(fits);
    }
    ok = fits == len;
    if (pos < text.size()) {
        text[pos] = '\0';
        if (!std::isfinite(v)) ++pos; // the NUL after "infinity" is one of its characters
    }
}

} // namespace realtext
