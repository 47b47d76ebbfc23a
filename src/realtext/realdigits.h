// The digit generators of the real text conversion (internal), each beside
// the one it stands for: the shortcuts (fastdigits.cpp) say "no" to anything
// outside their subset and the general way (generaldigits.cpp) takes every
// value; both write into an Area.
#pragma once

#include "realtext/decdigits.h"
#include "realtext/realtext.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace realtext::digits {

// The work area of a digit generator: kWorkArea characters at `a`, those
// after the last dropped. It is a WORKAREA, or the place in a caller's array
// where REALTOFIX or WRTREAL want the text. Nothing but the text and its NUL
// is written.
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
    // The next n characters, taken as written; empty (and nothing taken)
    // when fewer than n are left.
    std::span<char> reserve(std::size_t n) {
        if (n > kWorkArea - len) return {};
        const std::span<char> s(a + len, n);
        len += n;
        return s;
    }
};

inline void infinite(Area& out) {
    for (char c : std::string_view("Infinite")) out.emit(c);
}

// Writes |E| as three digits: hundreds, tens, units.
inline void emitExponent(Area& out, std::int32_t e) {
    using exact::digitChar;
    out.emit('E');
    out.emit(e < 0 ? '-' : '+');
    std::uint32_t ae = e < 0 ? static_cast<std::uint32_t>(-static_cast<std::int64_t>(e))
                             : static_cast<std::uint32_t>(e);
    out.emit(digitChar(ae / 100));
    out.emit(digitChar(ae / 10));
    out.emit(digitChar(ae));
}

// The number of decimal digits of n (1 for 0).
std::int32_t decimalDigits(std::uint64_t n);

// FIXDIGITS and FLTDIGITS for ordinary values; false, with nothing emitted,
// for everything else.
bool fixDigitsFast(double v, std::int32_t places, Area& out);
bool fltDigitsFast(double value, std::uint32_t n, Area& out);

// FIXDIGITS and FLTDIGITS the general way: every value.
void fixDigitsGeneral(double v, std::int32_t places, Area& out);
void fltDigitsGeneral(double v, std::uint32_t n, Area& out);

// The digit generators, the shortcut first.
inline void fixDigits(double v, std::int32_t places, Area& out) {
    if (!fixDigitsFast(v, places, out)) fixDigitsGeneral(v, places, out);
}
inline void fltDigits(double v, std::uint32_t n, Area& out) {
    if (!fltDigitsFast(v, n, out)) fltDigitsGeneral(v, n, out);
}

} // namespace realtext::digits
