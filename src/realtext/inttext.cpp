// Integer text conversion: signed 64-bit whole numbers to and from decimal
// text, for the numeric text helpers. Every index is checked against the
// capacity of the caller's array.
#include "realtext/inttext.h"

#include <array>
#include <cstddef>

namespace realtext {
namespace {

// (2^63 - 1) div 10: one more digit on a larger accumulator overflows.
constexpr std::uint64_t kLastSafe = 922337203685477580u;
// The most digits a signed 64-bit value has.
constexpr std::size_t kMaxDigits = 19;

bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }

std::uint32_t digitOf(char ch) { return static_cast<std::uint32_t>(ch - '0'); }

// The signed value of a magnitude; 2^63 with the sign is the most negative
// value (the conversion is modular since C++20).
std::int64_t signedOf(std::uint64_t a, bool negative) {
    return static_cast<std::int64_t>(negative ? 0u - a : a);
}

} // namespace

void TEXTTOINT(std::span<const char> text, std::uint32_t& pos, std::int64_t& value, bool& ok) {
    ok = true;
    while (pos < text.size() && text[pos] == ' ') ++pos;
    bool negative = false;
    if (pos < text.size()) {
        if (text[pos] == '+') {
            ++pos;
        } else if (text[pos] == '-') {
            ++pos;
            negative = true;
        }
    }
    std::uint64_t a = 0;
    bool seen = false;
    // The last digit may reach 7 (2^63 - 1) or, for a negative number, 8 (-2^63).
    const std::uint32_t lastMax = negative ? 8u : 7u;
    for (;;) {
        if (pos >= text.size() || !isDigit(text[pos])) {
            ok = seen;
            value = signedOf(a, negative);
            return;
        }
        std::uint32_t d = digitOf(text[pos]);
        if (a > kLastSafe || (a == kLastSafe && d > lastMax)) {
            ok = false;
            value = signedOf(a, negative); // the digits read before the overflow
            return;
        }
        a = a * 10u + d;
        seen = true;
        ++pos;
    }
}

void INTTOTEXT(std::int64_t value, std::int32_t width, std::span<char> text, std::uint32_t& pos,
               bool& ok) {
    // Digits from the least significant, by signed division, so that the most
    // negative value needs no negation.
    std::array<char, kMaxDigits> digits{};
    std::size_t k = 0;
    std::int64_t rest = value;
    do {
        std::int64_t r = rest % 10; // -9..9, with the sign of rest
        digits[k++] = static_cast<char>('0' + (r < 0 ? -r : r));
        rest /= 10;
    } while (rest != 0 && k < digits.size());

    const bool negative = value < 0;
    ok = true;
    std::int64_t blanks = std::int64_t{width} - static_cast<std::int64_t>(k) - (negative ? 1 : 0);
    // Blanks and the sign are dropped where there is no room.
    for (; blanks > 0 && pos < text.size(); --blanks) text[pos++] = ' ';
    if (negative && pos < text.size()) text[pos++] = '-';
    for (std::size_t i = k; i > 0; --i) {
        if (pos < text.size()) {
            text[pos++] = digits[i - 1];
        } else {
            ok = false;
        }
    }
    if (pos < text.size()) text[pos] = '\0';
}

} // namespace realtext
