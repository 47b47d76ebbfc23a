// The whole-line fast lane.
//
// What qualifies: the tokenizer has its default character sets, and the
// line (its COUNT characters) is made of tokens separated by blanks, commas
// and semicolons, each of them either
//   - a plain number: 1 to kMaxWhole decimal digits, optionally a point and
//     up to kMaxPlaces digits after it ("12", "0.5", "7."), or
//   - one of the symbols + - * / on its own, or
//   - one of the swaps <> and >< on its own.
// Anything else (a sign before a digit, a word, another operator, a NUL, a
// longer number) and the line is the general evaluator's; the lane then has
// changed nothing: it works on a copy of the registers and stores them only
// once the whole line has qualified.
//
// Why the result is the same:
//   - Reading: the tokenizer reads such a number with TEXTTOREAL's digit
//     steps, r := r * 10 + d rounded to double for each digit before the
//     point. Up to 15 digits every step is exact; with 16 the last step is
//     one rounding of the exact whole number (the product before it is an
//     even number below 2^54, and so exact). Either way r is the whole
//     number rounded once to double, which is what converting the 64-bit
//     whole number gives. Each digit after the point adds d / q, q stepping
//     10, 100, ... by rounded products; the table below holds those very
//     quotients, made by the same steps, so each addition is the same.
//   - Evaluating: a number is pushed (a lift, then X); an operator stores
//     X in LASTX, combines Y and X in long double, rounds to double into X
//     and drops, exactly as the evaluator's operators do; a swap exchanges
//     X and Y and leaves LASTX alone.
//   - The tokenizer: the general evaluator leaves it holding the line, its
//     position behind the end, the previous position where the last scan
//     (the one that met the end) began, and a NUL delimiter as the stop
//     record. The lane leaves the same (INITTKNBUF, then ENDOFLINE), so nothing read
//     afterwards can tell the two apart. The position where the last scan
//     begins follows the tokenizer's rules: a number consumes the delimiter
//     behind it, an operator or a swap hands it back.
#include "calc/fastline.h"

#include "calc/regstack.h"
#include "realtext/realtext.h"
#include "token/tokenizer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>

namespace calc::fast {
namespace {

constexpr std::uint32_t kMaxWhole = 16;
constexpr std::uint32_t kMaxPlaces = 24;

enum Class : std::uint8_t { kOther, kDelim, kDigit, kPoint, kAngle, kAdd, kSub, kMul, kDiv };

constexpr std::array<std::uint8_t, 256> kClass = [] {
    std::array<std::uint8_t, 256> t{};
    t[' '] = t[','] = t[';'] = kDelim;
    for (char c = '0'; c <= '9'; ++c) t[static_cast<unsigned char>(c)] = kDigit;
    t['.'] = kPoint;
    t['+'] = kAdd;
    t['-'] = kSub;
    t['*'] = kMul;
    t['/'] = kDiv;
    t['<'] = t['>'] = kAngle;
    return t;
}();

// The quotient d / q TEXTTOREAL adds for digit d at place k + 1 after the
// point, made by its own step on 0 (0 + d / q is d / q).
// Column 10 is 0: adding it changes no value the reading makes (none is -0),
// which lets the first places be added without asking how many there are.
struct Places {
    std::array<std::array<double, 11>, kMaxPlaces> add{};
};
const Places kPlaces = [] {
    Places p;
    double q = realtext::RealFromDigits{}.q;
    for (auto& place : p.add) {
        realtext::RealFromDigits one{};
        for (std::size_t d = 0; d < 10; ++d) {
            one = realtext::RealFromDigits{0.0, q};
            one.afterPoint(static_cast<double>(d));
            place[d] = one.r;
        }
        q = one.q; // the next place's divisor, by the reading's own step
    }
    return p;
}();

// The characters of a number eight at a time: each byte xor "0" is its
// digit's value, 10 or more for any other character.
constexpr std::uint64_t kZeros = 0x3030303030303030ull;

std::uint64_t load8(const char* at) {
    std::uint64_t w = 0;
    std::memcpy(&w, at, sizeof w);
    return w ^ kZeros;
}

// How many of the eight bytes, first ones first, are digits. A byte of 10
// or more gets its top bit from the sum or from itself; a carry out of it
// only reaches bytes behind it.
std::uint32_t leadingDigits(std::uint64_t x) {
    const std::uint64_t other = ((x + 0x7676767676767676ull) | x) & 0x8080808080808080ull;
    return static_cast<std::uint32_t>(std::countr_zero(other)) / 8;
}

// The whole number the first len (1 to 8) digit bytes of x make: shifted so
// that the digits end the word, then pairs, fours and eights combined.
std::uint64_t wholeOf(std::uint64_t x, std::uint32_t len) {
    std::uint64_t v = x << (8 * (8 - len));
    v = v * 10 + (v >> 8);
    return ((v & 0x000000FF000000FFull) * (100 + (1000000ull << 32)) +
            ((v >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32))) >>
           32;
}

// A plain number from s[i] (a digit) to before n: its value and the index
// behind it; false for a number the lane does not take.
bool readNumber(const char* s, std::uint32_t i, std::uint32_t n, double& v, std::uint32_t& end) {
    // Up to seven digits, a point and up to seven places are read as two
    // words of eight characters, when both lie inside CHARS; longer numbers
    // one character at a time.
    if (i + 17 <= text::kTextCap) {
        const std::uint64_t x = load8(s + i);
        const std::uint32_t whole = std::min(leadingDigits(x), n - i);
        const std::uint32_t j = i + whole;
        // The places, none without a point. Bytes past them read as 10, the
        // column of zeros, so that the first four are added whatever their
        // number (a branch the processor could not foresee costs more).
        const bool point = j < n && s[j] == '.';
        const std::uint64_t y = load8(s + j + 1);
        const std::uint32_t places = point ? std::min(leadingDigits(y), n - j - 1) : 0;
        if (whole < 8 && places < 8) {
            const std::uint64_t kept = (std::uint64_t{1} << (8 * places)) - 1;
            const std::uint64_t p = (y & kept) | (0x0A0A0A0A0A0A0A0Aull & ~kept);
            v = static_cast<double>(wholeOf(x, whole));
            for (std::uint32_t k = 0; k < 4; ++k) v = v + kPlaces.add[k][(p >> (8 * k)) & 0xFF];
            for (std::uint32_t k = 4; k < places; ++k)
                v = v + kPlaces.add[k][(p >> (8 * k)) & 0xFF];
            end = j + (point ? 1 + places : 0);
            return true;
        }
    }
    auto digit = [&](std::uint32_t k) { return k < n && s[k] >= '0' && s[k] <= '9'; };
    std::uint64_t whole = 0;
    std::uint32_t j = i;
    for (; digit(j); ++j) {
        if (j - i == kMaxWhole) return false;
        whole = whole * 10 + static_cast<unsigned>(s[j] - '0');
    }
    v = static_cast<double>(whole);
    if (j < n && s[j] == '.') {
        const std::uint32_t first = ++j;
        for (; digit(j); ++j) {
            if (j - first == kMaxPlaces) return false;
            v = v + kPlaces.add[j - first][static_cast<unsigned>(s[j] - '0')];
        }
    }
    end = j;
    return true;
}

} // namespace

bool EVALPLAIN(const text::TEXTBUF& line) {
    if (!token::DEFAULTSETS()) return false;
    const std::uint32_t n = std::min<std::uint32_t>(line.COUNT, text::kTextCap);
    const char* s = line.CHARS.data();
    auto cls = [&](std::uint32_t i) { return kClass[static_cast<unsigned char>(s[i])]; };

    // The registers as a ring: X at ring[top], register k at ring[(top + k) & 7].
    // A push steps top back and overwrites T1; a drop steps it on and copies
    // T1 into the place X leaves, which becomes the new T1.
    static_assert(stack::kRegs == 8);
    std::array<double, stack::kRegs> ring = stack::REGSTK;
    std::uint32_t top = 0;
    double lastx = stack::LASTX;
    std::uint32_t i = 0;
    std::uint32_t start = 1; // where the scan after the last token begins
    for (;;) {
        while (i < n && cls(i) == kDelim) ++i;
        if (i == n) break;
        const std::uint8_t c = cls(i);
        if (c == kDigit) {
            double v = 0;
            std::uint32_t j = 0;
            if (!readNumber(s, i, n, v, j)) return false;
            if (j < n && cls(j) != kDelim) return false;
            top = (top - 1) & 7;
            ring[top] = v;
            // The delimiter behind it is consumed: the next scan begins
            // behind it, and so does the search for the next token.
            start = j < n ? j + 2 : j + 1;
            i = start - 1;
        } else if (c >= kAdd) {
            if (i + 1 < n && cls(i + 1) != kDelim) return false;
            const std::uint32_t below = (top + 1) & 7;
            lastx = ring[top];
            const long double x = ring[top];
            const long double y = ring[below];
            // All four results, each rounded to double as it is stored: the
            // one the symbol names into the register, the others aside. No
            // branch the processor could not foresee, and the next operation
            // waits only for its own operand. No exception traps.
            const std::uint32_t op = c - kAdd;
            std::array<double, 4> aside{};
            auto into = [&](std::uint32_t k) { return op == k ? &ring[below] : &aside[k]; };
            double* const sum = into(0);
            double* const difference = into(1);
            double* const product = into(2);
            double* const quotient = into(3);
            *sum = static_cast<double>(y + x);
            *difference = static_cast<double>(y - x);
            *product = static_cast<double>(y * x);
            *quotient = static_cast<double>(y / x);
            ring[top] = ring[(top + 7) & 7];
            top = below;
            // The delimiter behind it is handed back: the next scan begins
            // on it, the search for the next token behind it.
            start = i + 2;
            i = std::min(i + 2, n);
        } else if (c == kAngle) {
            // "<>" or "><": the other angle behind it, then a delimiter or the end.
            const char other = s[i] == '<' ? '>' : '<';
            if (i + 1 >= n || s[i + 1] != other) return false;
            if (i + 2 < n && cls(i + 2) != kDelim) return false;
            std::swap(ring[top], ring[(top + 1) & 7]);
            start = i + 3;
            i = std::min(i + 3, n);
        } else {
            return false;
        }
    }
    for (std::uint32_t k = 0; k < stack::kRegs; ++k) stack::REGSTK[k] = ring[(top + k) & 7];
    stack::LASTX = lastx;
    token::INITTKNBUF(line); // last: the copy reads the line long after it was written
    token::ENDOFLINE(start);
    return true;
}

} // namespace calc::fast
