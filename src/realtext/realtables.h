// The tables of the real text conversion (internal): the rounding terms R,
// the powers P the scaling steps use, the powers of ten every digit step
// reads, and 2^64, the size from which values are held scaled.
#pragma once

#include <array>
#include <bit>
#include <cassert>
#include <cstddef>
#include <cstdint>

namespace realtext::digits {

// Rounding terms: R[0] = 0.5, R[k] = 0.5e-k + 1e-16 for k = 1 to 14, then
// 5e-16 and 5e-17. Added to a non-negative value before truncation, R[k]
// rounds it to k places; each entry is the double nearest the value written.
constexpr std::array<double, 17> R = {0.5,
                                      0.0500000000000001,
                                      0.0050000000000001,
                                      0.0005000000000001,
                                      0.0000500000000001,
                                      0.0000050000000001,
                                      0.0000005000000001,
                                      0.0000000500000001,
                                      0.0000000050000001,
                                      0.0000000005000001,
                                      0.0000000000500001,
                                      0.0000000000050001,
                                      0.0000000000005001,
                                      0.0000000000000501,
                                      0.0000000000000051,
                                      5e-16,
                                      5e-17};

// P[k] = 10^(2^k), each the nearest double (P[5] and up are not exact).
constexpr std::array<double, 9> P = {1e1, 1e2, 1e4, 1e8, 1e16, 1e32, 1e64, 1e128, 1e256};

// Fixed-point text computes at most 14 integer digits and, after the point,
// digits up to the 15th in all; the others show as 0.
constexpr std::int64_t kFixIntComputed = 14;
constexpr std::int64_t kFixAllComputed = 15;

__extension__ using Uint128 = unsigned __int128;

// A positive double as the dyadic fraction m / 2^s, m its 53-bit significand.
struct Dyadic {
    std::uint64_t m = 0;
    int s = 0;
};

// |v| as a Dyadic, or false when v is no normal double or needs s < 0 or
// s > 126 (subnormals and the largest values take the general way).
constexpr bool toDyadic(double v, Dyadic& d) {
    // v = (2^52 + fraction) * 2^(exponent - 1075) for a normal double.
    const auto bits = std::bit_cast<std::uint64_t>(v);
    const auto biased = static_cast<int>((bits >> 52) & 0x7FFu);
    if (biased == 0 || biased == 0x7FF) return false;
    d.m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    d.s = 1075 - biased;
    return d.s >= 0 && d.s <= 126;
}

// 10^k for k = 0 to 22, as a 128-bit integer and as a double. Both are exact:
// 10^22 = 2^22 * 5^22 is below 2^74, and 5^22 is below 2^53.
struct Pow10 {
    Uint128 exact;
    double real;
};
constexpr std::size_t kPow10Count = 23;
constexpr std::array<Pow10, kPow10Count> kPow10 = [] {
    std::array<Pow10, kPow10Count> p{};
    p[0] = {1, 1.0};
    for (std::size_t k = 1; k < p.size(); ++k) p[k] = {p[k - 1].exact * 10, p[k - 1].real * 10.0};
    return p;
}();

// 10^k as a 64-bit integer: k from 0 to 19, all that fit.
constexpr std::uint64_t pow10u64(std::size_t k) {
    assert(k <= 19);
    return static_cast<std::uint64_t>(kPow10[k].exact);
}

// Values of 2^64 and more are handled scaled by 2^-64, so that a power of ten
// a little above them cannot overflow; nothing underflows at that size.
constexpr double kTwo64 = 18446744073709551616.0;
constexpr double kTwoMinus64 = 1.0 / kTwo64;

// The unit a value near a is held in (see kTwoMinus64).
inline double unitFor(double a) { return a >= kTwo64 ? kTwoMinus64 : 1.0; }

} // namespace realtext::digits
