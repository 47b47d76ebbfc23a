// Real text conversion: every number the calculator shows or reads passes
// through here.
//
// The digit generators (FIXDIGITS, FLTDIGITS) produce digits by repeated
// multiplication and truncation with a fixed rounding table R and power table
// P, into a 64-character work area; their steps are carried out without
// rounding error, as if on the exact value of the double. TEXTTOREAL rounds
// each of its steps to double. No printf or standard formatter is involved.
//
// Positions in caller arrays are 0-based indices that the operations advance.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <span>

namespace realtext {

constexpr std::size_t kWorkArea = 64;
// A digit generator's work area: the text followed by a NUL when shorter.
using WorkArea = std::array<char, kWorkArea>;

// Fixed-point text of v with the given places after the point: v + R[places]
// truncated, fifteen digits computed at most (fourteen before the point),
// the rest shown as 0; no point for places below 0, and "Infinite" for an
// infinity or a NaN.
//   (2.5, 0) -> "3."        (-1234.5678, -2) -> "-1235"    (0.5, 20) -> "0.50000000000000000000"
//   (7510.684884703186, 12) -> "7510.684884703180"          (-kInf, 9) -> "Infinite"
WorkArea FIXDIGITS(double v, std::int32_t places);
// Mantissa-and-exponent text of v with n significant digits (0 means 15),
// the exponent a sign and three digits.
//   (0.5, 0) -> "5.00000000000000E-001"    (2.5, 1) -> "3E+000"    (0.0, 3) -> "0.00E+000"
//   (9.9999999995, 9) -> "1.00000000E+001"  (123, 20) -> "1.2300000000000000000E+002"
WorkArea FLTDIGITS(double v, std::uint32_t n);

// Writes v on the console, right-aligned in at least width characters: the
// fixed-point text with as many places as leave room for the integer digits,
// the sign and the point, else the mantissa text of width - 6 digits (7 with
// a sign); width 0 writes a blank and FLTDIGITS(v, 0).
//   (3.14, 15) -> "3.1400000000000"     (-0.00001, 15) -> "-1.0000000E-005"
//   (9.99999999999999, 15) -> "10.0000000000000"  (rounding carried: 16 characters)
//   (1e20, 7) -> " 1E+020"    (kNaN, 15) -> "       Infinite"    (3.14, 0) ->
//   " 3.14000000000000E+000"
void WRTREAL(double v, std::uint32_t width);

// Fixed-point text of v with D - I places (D at most 16), written into text
// from pos on, then a NUL where there is room. ok becomes false only when a
// character did not fit.
//   (3.14, 15, 6) -> "3.140000000"    (123456789012345.6, 15, 6) -> "123456789012340.000000000"
//   (1e70, 15, 6) -> "1" and 63 zeros (no point left)    (-kInf, 15, 6) -> "-infinity"
void REALTOFIX(double v, std::uint32_t D, std::uint32_t I, std::span<char> text, std::uint32_t& pos,
               bool& ok);

// For a writer that builds its line in place (the command loop's result
// line, in the console's output buffer): the field of WRTREAL and the text
// of REALTOFIX written at `at`, which has room for fieldRoom(width) or
// kFixedRoom characters; each returns the length of what it wrote (no NUL),
// and the characters behind that are scratch. These are the layouts WRTREAL
// and REALTOFIX use themselves.
constexpr std::uint32_t kFieldWidthCap = 160;
constexpr std::size_t fieldRoom(std::uint32_t width) { return width + 1 + kWorkArea + 16; }
constexpr std::size_t kFixedRoom = 1 + kWorkArea + 16;
// The fixed-point text shown for X beside its field in the dialogue, and
// alone in the script mode: nine places (D - I) of at most fifteen digits.
constexpr std::uint32_t kShownD = 15;
constexpr std::uint32_t kShownI = 6;
// What WRTREAL(v, width) writes, for width <= kFieldWidthCap.
std::size_t writeField(double v, std::uint32_t width, char* at);
// What REALTOFIX(v, D, I) writes before its NUL, however long.
std::size_t writeFixedText(double v, std::uint32_t D, std::uint32_t I, char* at);

// A value as the fixed-point digit generator starts from it, worked out once
// for a writer that shows one value in several texts (the result line: the
// field and the fixed-point text of X): |v| as m / 2^s and the number of its
// integer digits, or taken = false where the generator's general way does
// all the work.
struct DigitBase {
    double v = 0.0;
    std::uint64_t m = 0;
    std::int32_t s = 0;
    std::int32_t ndig = 0; // integer digits of |v|, 1 below 1
    bool taken = false;
};
DigitBase digitBase(double v);
// writeField and writeFixedText of b.v, the same texts.
std::size_t writeField(const DigitBase& b, std::uint32_t width, char* at);
std::size_t writeFixedText(const DigitBase& b, std::uint32_t D, std::uint32_t I, char* at);

// Parses a real starting at text[pos]: blanks, a sign, digits, a point and
// digits, E with a sign and digits; each step rounded to double. pos ends
// after the number (after the last character read when there is none).
//   "   -2.5e3x" -> -2500, pos 9    "5." -> 5, pos 2    ".5" -> not ok, pos 1
//   "2e3.5" -> 2000, pos 3          "1E60" -> 1.0000000000000001e60 (rounded at each step)
void TEXTTOREAL(std::span<const char> text, std::uint32_t& pos, double& value, bool& ok);

// TEXTTOREAL's scaling of r by 10^x (down: by 10^-x), one step per bit of x
// with the powers 10^(2^k), each step rounded. Exponents of 511 and more
// scale by 10^511 in all.
constexpr std::uint32_t kTenExpCap = 511;
double scaleByTen(double r, std::uint32_t x, bool down);

// The digit steps of TEXTTOREAL, each rounded to double as it does. The
// tokenizer converts a plain number (digits, at most one point) with them
// while it reads it, instead of handing its text to TEXTTOREAL.
struct RealFromDigits {
    double r = 0.0;  // the value so far
    double q = 10.0; // what the next digit after the point is divided by

    // r * 10 + d with one rounding. Below 2^49 the result is a whole number
    // below 2^53 and so exact in plain arithmetic, which spares the library
    // call of fma on the digits of every ordinary number.
    void beforePoint(double d) { r = r < 0x1p49 ? r * 10.0 + d : std::fma(r, 10.0, d); }
    void afterPoint(double d) {
        r = r + d / q;
        q = q * 10.0;
    }
};

} // namespace realtext
