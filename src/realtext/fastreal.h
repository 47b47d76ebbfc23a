// The rendering lane of the real text conversion: the fixed-point and
// mantissa texts of ordinary values by one 128-bit product and one
// comparison with a precomputed threshold. Each procedure writes the same
// characters as the general way for the values it takes, and 0 characters
// (a "no") for every other value; the caller then takes the general way.
#pragma once

#include <cstddef>
#include <cstdint>

namespace realtext::fast {

// Room every procedure below may write into at `at`, whatever it returns.
constexpr std::size_t kRoom = 64;

// FIXDIGITS(v, places) for 10^-10 <= |v| < 10^14 and 0 <= places <= 16 (at
// most 14 integer digits after rounding): the text, without its NUL, and
// its length; *zeros, when given, how many "0" end it.
std::size_t FIXEDTEXT(double v, std::int32_t places, char* at, std::size_t* zeros = nullptr);
// FLTDIGITS(v, n) for 10^-10 <= |v| < 1 and 1 <= n <= 9.
std::size_t FLOATTEXT(double v, std::uint32_t n, char* at);
// What WRTREAL(v, 15) writes (blanks first) for 10^-10 <= |v| < 10^13.
std::size_t FIELD15(double v, char* at);

} // namespace realtext::fast
