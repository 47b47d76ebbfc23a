// The whole-line fast lane.
//
// What qualifies: the tokenizer has its default character sets, and the
// line (its COUNT characters) is made of tokens separated by blanks, commas
// and semicolons, each of them either
//   - a plain number: 1 to kMaxWhole decimal digits, optionally a point and
//     up to kMaxPlaces digits after it ("12", "0.5", "7."), or
//   - one of the symbols + - * / on its own.
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
//     and drops, exactly as the evaluator's operators do.
//   - The tokenizer: the general evaluator leaves it holding the line, its
//     position behind the end, the previous position where the last scan
//     (the one that met the end) began, and a NUL delimiter as the stop
//     record. The lane leaves the same (ENDOFLINE), so nothing read
//     afterwards can tell the two apart. The position where the last scan
//     begins follows the tokenizer's rules: a number consumes the delimiter
//     behind it, an operator hands it back.
#include "calc/fastline.h"

#include "calc/regstack.h"
#include "runtime/realtext.h"
#include "token/tokenizer.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace calc::fast {
namespace {

constexpr std::uint32_t kMaxWhole = 16;
constexpr std::uint32_t kMaxPlaces = 24;

enum Class : std::uint8_t { kOther, kDelim, kDigit, kPoint, kAdd, kSub, kMul, kDiv };

constexpr std::array<std::uint8_t, 256> kClass = [] {
    std::array<std::uint8_t, 256> t{};
    t[' '] = t[','] = t[';'] = kDelim;
    for (char c = '0'; c <= '9'; ++c) t[static_cast<unsigned char>(c)] = kDigit;
    t['.'] = kPoint;
    t['+'] = kAdd;
    t['-'] = kSub;
    t['*'] = kMul;
    t['/'] = kDiv;
    return t;
}();

// The quotient d / q TEXTTOREAL adds for digit d at place k + 1 after the
// point, made by its own step on 0 (0 + d / q is d / q).
struct Places {
    std::array<std::array<double, 10>, kMaxPlaces> add{};
};
const Places kPlaces = [] {
    Places p;
    double q = runtime::RealFromDigits{}.q;
    for (auto& place : p.add) {
        runtime::RealFromDigits one{};
        for (std::size_t d = 0; d < place.size(); ++d) {
            one = runtime::RealFromDigits{0.0, q};
            one.afterPoint(static_cast<double>(d));
            place[d] = one.r;
        }
        q = one.q; // the next place's divisor, by the reading's own step
    }
    return p;
}();

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
            std::uint64_t whole = 0;
            std::uint32_t j = i;
            for (; j < n && cls(j) == kDigit; ++j)
                whole = whole * 10 + static_cast<unsigned>(s[j] - '0');
            if (j - i > kMaxWhole) return false;
            double v = static_cast<double>(whole);
            if (j < n && cls(j) == kPoint) {
                const std::uint32_t first = ++j;
                for (; j < n && cls(j) == kDigit; ++j) {
                    if (j - first >= kMaxPlaces) return false;
                    v = v + kPlaces.add[j - first][static_cast<unsigned>(s[j] - '0')];
                }
            }
            if (j < n && cls(j) != kDelim) return false;
            top = (top - 1) & 7;
            ring[top] = v;
            i = j;
            start = j < n ? j + 2 : j + 1;
        } else if (c >= kAdd) {
            if (i + 1 < n && cls(i + 1) != kDelim) return false;
            const std::uint32_t below = (top + 1) & 7;
            lastx = ring[top];
            const long double x = ring[top];
            const long double y = ring[below];
            long double z = 0;
            switch (c) {
            case kAdd:
                z = y + x;
                break;
            case kSub:
                z = y - x;
                break;
            case kMul:
                z = y * x;
                break;
            default:
                z = y / x;
                break;
            }
            ring[below] = static_cast<double>(z);
            ring[top] = ring[(top + 7) & 7];
            top = below;
            ++i;
            start = i + 1;
        } else {
            return false;
        }
    }
    for (std::uint32_t k = 0; k < stack::kRegs; ++k) stack::REGSTK[k] = ring[(top + k) & 7];
    stack::LASTX = lastx;
    token::ENDOFLINE(start);
    return true;
}

} // namespace calc::fast
