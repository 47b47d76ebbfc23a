// The digit generators of the real text conversion (internal): one shortcut
// (fastdigits.cpp) that plans the texts of ordinary values and says "no" to
// anything else, and the general way (generaldigits.cpp) that takes every
// value and writes into an Area. fixDigitsAt and fltDigitsAt are the one
// dispatch between them.
#pragma once

#include "realtext/decdigits.h"
#include "realtext/realtext.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace realtext::digits {

// The work area of the general way: kWorkArea characters at `a`, those
// after the last dropped. Nothing but the text and its NUL is written.
struct Area {
    char* a;
    std::size_t len = 0;
    explicit Area(char* at) : a(at) {}
    void emit(char c) {
        if (len < kWorkArea) a[len++] = c;
    }
    bool full() const { return len >= kWorkArea; }
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

// The shortcut (fastdigits.cpp): a text planned (its digits computed, its
// length known) before it is written. A plan's writer writes its length()
// characters and may write up to kPlanScratch more behind them.
constexpr std::size_t kPlanScratch = 16;

struct FixedPlan {
    std::uint64_t digits = 0; // the computed digits, ndig + k of them
    std::size_t ndig = 0;     // integer digits
    std::size_t k = 0;        // computed places
    std::size_t shown = 0;    // places shown (those past k are zeros)
    bool point = true;        // false for a count of places below 0
    bool negative = false;
    std::size_t length() const { return (negative ? 1 : 0) + ndig + (point ? 1 + shown : 0); }
};
// FIXDIGITS(b.v, places) as a plan, b being digitBase(b.v); false for values
// the shortcut does not take.
bool planFixed(const DigitBase& b, std::int32_t places, FixedPlan& f);
void writeFixed(const FixedPlan& f, char* at);

struct FloatPlan {
    std::uint64_t digits = 0; // n digits
    std::size_t n = 0;
    std::int32_t exponent = 0;
    bool negative = false;
    std::size_t length() const { return (negative ? 1 : 0) + (n > 1 ? n + 1 : 1) + 5; }
};
// FLTDIGITS(v, n) as a plan; false for values the shortcut does not take.
bool planFloat(double v, std::uint32_t n, FloatPlan& f);
void writeFloat(const FloatPlan& f, char* at);

// The longest planned texts: a sign, 14 integer digits, the point and 16
// places; a sign, 17 digits, the point and the exponent. With the writers'
// scratch they stay inside a work area.
static_assert(1 + 14 + 1 + 16 + kPlanScratch <= kWorkArea);
static_assert(1 + 17 + 1 + 5 + kPlanScratch <= kWorkArea);

// FIXDIGITS and FLTDIGITS the general way: every value.
void fixDigitsGeneral(double v, std::int32_t places, Area& out);
void fltDigitsGeneral(double v, std::uint32_t n, Area& out);

// The digit generators, the shortcut first, writing at `at`, which has room
// for kWorkArea + kPlanScratch characters; the characters behind the text
// are scratch. Return the length of the text (at most kWorkArea).
std::size_t fixDigitsAt(double v, std::int32_t places, char* at);
std::size_t fixDigitsAt(const DigitBase& b, std::int32_t places, char* at); // b = digitBase(b.v)
std::size_t fltDigitsAt(double v, std::uint32_t n, char* at);
constexpr std::size_t kDigitsRoom = kWorkArea + kPlanScratch;
// The public rooms (realtext.h) leave the digit generators theirs.
static_assert(fieldRoom(0) >= 1 + kDigitsRoom); // width 0: a blank, then the text
static_assert(kFixedRoom >= 1 + kDigitsRoom);

} // namespace realtext::digits
