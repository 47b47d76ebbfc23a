// Exact decimal digits for the real text conversion (internal): powers of
// ten as exact expansions, the count of integer digits of an exact value, and
// a source of the decimal digits of an exact quotient a / b.
//
// Digits come 15 at a time: the next chunk is guessed in double arithmetic
// and confirmed by exact comparisons, so a digit is never off by a rounding.
#pragma once

#include "realtext/expansion.h"
#include "realtext/realtables.h"

#include <array>
#include <cassert>
#include <cmath>
#include <cstdint>

namespace realtext::exact {

using digits::kPow10;
using digits::pow10u64;

// Digits are found 15 at a time: 10^15 is below 2^53, so a chunk and its
// double estimate are exact whole numbers.
inline constexpr std::uint32_t kChunk = 15;

// The character of the units digit of d.
inline char digitChar(std::uint64_t d) { return static_cast<char>('0' + static_cast<int>(d % 10)); }

// unit * 10^k exactly (0 <= k <= 308).
inline Expansion pow10(std::int32_t k, double unit) {
    assert(k >= 0 && k <= 308);
    Expansion x(unit);
    while (k > 22) {
        x.scale(kPow10[22].real);
        k -= 22;
    }
    x.scale(kPow10[static_cast<std::size_t>(k)].real);
    return x;
}

inline int compare(const Expansion& a, const Expansion& b) {
    Expansion d = a;
    d.sub(b);
    return d.sign();
}

// A whole number below 2^64 from a double estimate; out of range gives 0.
inline std::uint64_t wholeOf(double q) {
    if (!(q >= 0.0) || !(q < digits::kTwo64)) return 0;
    return static_cast<std::uint64_t>(q);
}

// The quotient floor(x / b) of two exact positive values, when it is below
// 10^15: guessed in double, then confirmed exactly. x becomes the remainder
// x - quotient * b, which lies in [0, b).
inline std::uint64_t floorQuotient(Expansion& x, const Expansion& b) {
    assert(x.sign() >= 0 && b.sign() > 0);
    std::uint64_t q = wholeOf(std::floor(x.approx() / b.approx()));
    if (q > pow10u64(kChunk)) q = pow10u64(kChunk);
    Expansion qb = b;
    qb.scale(static_cast<double>(q));
    x.sub(qb);
    // The guess is off by at most one or two units.
    while (x.sign() < 0 && q > 0) {
        x.add(b);
        --q;
    }
    for (;;) {
        Expansion next = x;
        next.sub(b);
        if (next.sign() < 0) break;
        x = next;
        ++q;
    }
    return q;
}

// Hands out the decimal digits of an exact value a / b in [0, 10), first the
// integer digit, then the fraction digits, each the truncation of the exact
// remainder times ten. `want` bounds how many will be asked for, so that no
// chunk computes digits that are never shown.
class DigitSource {
  public:
    DigitSource(const Expansion& a, const Expansion& b, std::uint64_t want)
        : rem_(a), den_(b), want_(want) {}

    char next() {
        if (pos_ == len_) refill();
        if (pos_ == len_) return '0'; // more digits than promised: none are computed
        return buf_[pos_++];
    }

  private:
    void refill() {
        if (given_ >= want_) return;
        std::uint64_t left = want_ - given_;
        std::uint32_t c = left < kChunk ? static_cast<std::uint32_t>(left) : kChunk;
        // The first chunk starts at the integer digit: one power of ten fewer.
        std::uint32_t shift = given_ == 0 ? c - 1 : c;
        rem_.scale(kPow10[shift].real);
        std::uint64_t q = floorQuotient(rem_, den_);
        for (std::uint32_t i = 0; i < c; ++i) buf_[i] = digitChar(q / pow10u64(c - 1 - i));
        pos_ = 0;
        len_ = c;
        given_ += c;
    }

    Expansion rem_;
    Expansion den_;
    std::uint64_t want_;
    std::uint64_t given_ = 0;
    std::array<char, kChunk> buf_{};
    std::uint32_t pos_ = 0;
    std::uint32_t len_ = 0;
};

// The number of integer digits of the exact value x (1 when it is below 10),
// x > 0 held scaled by `unit`; low becomes unit * 10^(digits - 1). Estimated
// from the binary exponent, then settled by exact comparisons with powers of
// ten (a logarithm alone miscounts near the powers).
inline std::int32_t intDigits(const Expansion& x, double unit, Expansion& low) {
    assert(x.sign() > 0);
    const double a = x.approx() / unit;
    std::int32_t d = 1;
    if (a >= 10.0) d = static_cast<std::int32_t>(std::ilogb(a) * 0.30102999566398120) + 1;
    if (d < 1) d = 1;
    low = pow10(d - 1, unit);
    while (d > 1 && compare(x, low) < 0) low = pow10(--d - 1, unit);
    // No double reaches 10^309, so 309 digits is the most there can be.
    while (d < 309) {
        Expansion high = low;
        high.scale(10.0);
        if (compare(x, high) < 0) break;
        low = high;
        ++d;
    }
    return d;
}

} // namespace realtext::exact
