// The real writers: the digit generators' work areas (FIXDIGITS, FLTDIGITS),
// the console writer WRTREAL and REALTOFIX into a caller's array. The digits
// come from runtime/realdigits.h; here is only the layout.
#include "runtime/console.h"
#include "realtext/realdigits.h"
#include "realtext/realtables.h"
#include "realtext/realtext.h"
#include "realtext/realtext_testing.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace realtext {

using digits::Area;
using digits::fixDigits;
using digits::fltDigits;
using exact::Expansion;
using exact::intDigits;

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
    digits::fixDigitsGeneral(v, places, out);
    return w;
}

WORKAREA general::FLTDIGITS(double v, std::uint32_t n) {
    WORKAREA w{};
    Area out(w.data());
    digits::fltDigitsGeneral(v, n, out);
    return w;
}

void WRTREAL(double v, std::uint32_t width) {
    if (width == 0) {
        runtime::WRTCHR(' ');
        runtime::WRTSTR(FLTDIGITS(v, 0));
        return;
    }
    // E: the number of integer digits of |v| less one, counted exactly (a
    // floating-point logarithm makes 1000 look like 999.99...).
    const double a = std::fabs(v);
    std::int64_t E = 0;
    if (a < 1) {
        E = width;                       // zero included
    } else if (a < 9007199254740992.0) { // below 2^53 the whole part converts exactly
        E = digits::decimalDigits(static_cast<std::uint64_t>(a)) - 1;
    } else if (std::isfinite(a)) {
        const double unit = digits::unitFor(a);
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
    for (std::size_t i = out.len; i < width; ++i) runtime::WRTCHR(' ');
    runtime::WRTCHARS(std::span<const char>(text.data(), out.len));
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

} // namespace realtext
