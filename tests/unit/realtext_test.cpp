// Real text conversion: the WRTREAL and REALTOFIX renderings the calculator
// shows, the digit generators' edge rows, and TEXTTOREAL.
//
// Expected texts come from the documented tables or were computed offline
// with Python's fractions module (exact rationals, the same digit steps);
// those rows say so. The randomized check against the exact model is the
// test digits.exact (tests/transcripts/check_digits.py).
#include "realtext/realtext.h"

#include "testutil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

using realtext::FIXDIGITS;
using realtext::FLTDIGITS;
using testutil::textOf;

constexpr double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string wrtreal(double v, std::uint32_t width) {
    testutil::CapturedConsole con;
    realtext::WRTREAL(v, width);
    return con.take();
}

std::string realtofix(double v, std::uint32_t d, std::uint32_t i) {
    std::array<char, 256> buf{};
    buf.fill('#');
    std::uint32_t pos = 0;
    bool ok = false;
    realtext::REALTOFIX(v, d, i, buf, pos, ok);
    EXPECT_TRUE(ok);
    std::string text = textOf(buf);
    // pos ends on the NUL, or just past it after "infinity".
    EXPECT_TRUE(pos == text.size() || (pos == text.size() + 1 && !std::isfinite(v))) << v;
    return text;
}

double parse(const char* s) {
    std::uint32_t pos = 0;
    double v = 0;
    bool ok = false;
    realtext::TEXTTOREAL(std::span<const char>(s, std::strlen(s) + 1), pos, v, ok);
    EXPECT_TRUE(ok) << s;
    return v;
}

// A run of c, n long.
std::string rep(char c, std::size_t n) { return std::string(n, c); }

TEST(Wrtreal, Width15Table) {
    struct Case {
        double v;
        std::string text;
    };
    const Case cases[] = {
        {3.14, "3.1400000000000"},
        {-2.5, "-2.500000000000"},
        {1000, "1000.0000000000"},
        {12345.678, "12345.678000000"},
        {0.0, "0.00000000E+000"},
        {-0.0, "0.00000000E+000"},
        {0.1, "1.00000000E-001"},
        {0.5, "5.00000000E-001"},
        {-0.00001, "-1.0000000E-005"}, // 8 digits when negative
        {1e15, "1.00000000E+015"},
        {9.99999999999999, "10.0000000000000"}, // rounding carried: 16 characters
        {kInf, "       Infinite"},
        {-kInf, "       Infinite"},
        {kNaN, "       Infinite"},
    };
    for (const Case& c : cases) EXPECT_EQ(wrtreal(c.v, 15), c.text) << c.v;
}

// Whole numbers in plain double arithmetic came out as ...99999; the exact
// steps show them as they are. Texts computed offline (Python fractions).
TEST(Wrtreal, WholeNumbersAndFieldEdges) {
    struct Case {
        double v;
        std::string text;
    };
    const Case cases[] = {
        {86400.0 * 365.0, "31536000.000000"},
        {731417, "731417.00000000"},
        {9999999999999, "9999999999999.0"},
        {99999999999999, "99999999999999."}, // last fixed-point value: no places
        {1e14, "1.00000000E+014"},           // first mantissa-and-exponent value
        {-9999999999999, "-9999999999999."}, // negative: one digit less fits
        {-1e13, "-1.0000000E+013"},
        {1e23, "1.00000000E+023"},   // the double just below 10^23
        {5e-324, "4.94065646E-324"}, // smallest subnormal
        {std::numeric_limits<double>::max(), "1.79769313E+308"},
        {-std::numeric_limits<double>::max(), "-1.7976931E+308"},
    };
    for (const Case& c : cases) EXPECT_EQ(wrtreal(c.v, 15), c.text) << c.v;
}

// E counts integer digits exactly: a logarithm makes 1000 look like 999.99...
// and would widen the field; just below a power of ten E stays one lower.
TEST(Wrtreal, ExponentCountsDigitsExactly) {
    double p = 1;
    for (std::size_t k = 0; k <= 13; ++k, p *= 10) {
        EXPECT_EQ(wrtreal(p, 15), "1" + rep('0', k) + "." + rep('0', 13 - k)) << k;
    }
    EXPECT_EQ(wrtreal(1000, 15).size(), 15u);
    // 999.99999999999989 has three integer digits; rounding at 11 places then
    // carries into a fourth, so the field widens (computed offline).
    EXPECT_EQ(wrtreal(std::nextafter(1000.0, 0.0), 15), "1000.00000000000");
    EXPECT_EQ(wrtreal(std::nextafter(10.0, 0.0), 15), "10.0000000000000");
}

TEST(Wrtreal, OtherWidths) {
    struct Case {
        double v;
        std::uint32_t width;
        std::string text;
    };
    // Computed offline (Python fractions) from the width rules.
    const Case cases[] = {
        {3.14, 0, " 3.14000000000000E+000"}, // width 0: a blank, then 15 digits
        {0.0, 0, " 0.E+000"},                // zero keeps n = 0: no digits after the point
        {3.14, 1, "3E+000"},
        {-3.14, 2, "-3.1E+000"},
        {3.14, 5, "3.140"},
        {-3.14, 6, "-3.140"},
        {1e20, 7, " 1E+020"}, // shorter than the field: blanks in front
        {0.0, 8, "0.0E+000"},
        {3.14, 20, "3.140000000000000000"},
        {1e20, 30, "100000000000000000000.00000000"},
    };
    for (const Case& c : cases) EXPECT_EQ(wrtreal(c.v, c.width), c.text) << c.v << " " << c.width;
}

TEST(Realtofix, NinePlacesTable) {
    struct Case {
        double v;
        std::string text;
    };
    const Case cases[] = {
        {3.14, "3.140000000"},
        {0.0, "0.000000000"},
        {-0.0, "0.000000000"},
        {-2.5, "-2.500000000"},
        {2.0 / 3.0, "0.666666667"},
        {123456789012345.6, "123456789012340.000000000"}, // the 15th integer digit is 0
        {parse("1E60"), "1" + rep('0', 60) + ".00"},      // cut at 64 characters
        {1e70, "1" + rep('0', 63)},                       // no point left
        {kInf, "infinity"},
        {kNaN, "infinity"},
        {-kInf, "-infinity"},
    };
    for (const Case& c : cases) EXPECT_EQ(realtofix(c.v, 15, 6), c.text) << c.v;
}

// The values plain arithmetic got wrong, and the tenth-power edge: typing
// 1E60 gives one unit above the double nearest 10^60, which itself is below
// 10^60 and truthfully shows fourteen nines. Texts computed offline.
TEST(Realtofix, ExactWholeNumbers) {
    EXPECT_EQ(parse("1E60"), std::nextafter(1e60, kInf));
    EXPECT_EQ(realtofix(86400.0 * 365.0, 15, 6), "31536000.000000000");
    EXPECT_EQ(realtofix(731417, 15, 5), "731417.0000000000"); // ten places, as the stack listing
    EXPECT_EQ(realtofix(9999999999999, 15, 6), "9999999999999.000000000");
    EXPECT_EQ(realtofix(1e60, 15, 6), rep('9', 14) + rep('0', 46) + ".000");
    EXPECT_EQ(realtofix(1e23, 15, 6), rep('9', 14) + rep('0', 9) + ".000000000");
    EXPECT_EQ(realtofix(0.05, 15, 14), "0.1"); // one place, rounded up by 0.0500000000000001
    EXPECT_EQ(realtofix(-0.04, 15, 14), "-0.0");
}

TEST(Realtofix, ArgumentsAndOverflow) {
    // D is capped at 16; 15 digits in all are computed (offline).
    EXPECT_EQ(realtofix(2.0 / 3.0, 40, 0), "0.6666666666666600");
    EXPECT_EQ(realtofix(2.5, 15, 20), "3.") << "I is capped at D: no places, R[0] rounds";
    EXPECT_EQ(realtofix(0.0, 15, 15), "0") << "zero with no places has no point";

    // Too small an array: what fits is stored, ok is false, no NUL follows.
    std::array<char, 4> small{};
    small.fill('#');
    std::uint32_t pos = 0;
    bool ok = true;
    realtext::REALTOFIX(-2.5, 15, 6, small, pos, ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(pos, 4u);
    EXPECT_EQ(std::string(small.data(), 4), "-2.5");

    // The text goes in from pos on; "infinity" advances pos over its NUL.
    std::array<char, 12> buf{};
    buf.fill('#');
    pos = 2;
    realtext::REALTOFIX(kInf, 15, 6, buf, pos, ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(pos, 11u);
    EXPECT_EQ(std::string(buf.data(), 11), std::string("##infinity") + '\0');

    // Exactly room for the text: ok, and the NUL is dropped silently.
    std::array<char, 4> exact{};
    exact.fill('#');
    pos = 0;
    realtext::REALTOFIX(3.14, 15, 13, exact, pos, ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(pos, 4u);
    EXPECT_EQ(std::string(exact.data(), 4), "3.14");
}

TEST(Fixdigits, ZeroNonFiniteAndWorkArea) {
    struct Case {
        double v;
        std::int32_t places;
        std::string text;
    };
    const Case cases[] = {
        {0.0, 0, "0"},
        {-0.0, 3, "0.000"},
        {0.0, -5, "0"},
        {kNaN, 9, "Infinite"},
        {-kInf, 9, "Infinite"},    // no sign
        {-1234.5678, -2, "-1235"}, // negative places: R[0], no point
        {1e23, -1, "99999999999999000000000"},
        {2.5, 0, "3."},                           // exact half: rounds up
        {12345678901234.5, 0, "12345678901235."}, // exact half, 14 digits
        {0.5, 20, "0.50000000000000000000"},      // above 16 places nothing is added
        {123, 20, "123.00000000000000000000"},
        {7510.684884703186, 12, "7510.684884703180"}, // 15 digits in all are computed
    };
    for (const Case& c : cases) EXPECT_EQ(textOf(FIXDIGITS(c.v, c.places)), c.text) << c.v;

    // 64 characters fill the area and no NUL follows; huge counts stop there.
    for (double v : {0.0, 1.5, 1e70}) {
        realtext::WorkArea w = FIXDIGITS(v, std::numeric_limits<std::int32_t>::max());
        EXPECT_NE(w.back(), '\0') << v;
        EXPECT_EQ(textOf(w).size(), 64u) << v;
    }
    EXPECT_EQ(textOf(FIXDIGITS(0.0, 100)), "0." + rep('0', 62));
}

TEST(Fltdigits, ZeroNonFiniteRoundingAndExponent) {
    struct Case {
        double v;
        std::uint32_t n;
        std::string text;
    };
    // Computed offline (Python fractions) where not obvious.
    const Case cases[] = {
        {0.0, 0, "0.E+000"},
        {-0.0, 1, "0.E+000"},
        {0.0, 3, "0.00E+000"},
        {kInf, 9, "Infinite"},
        {kNaN, 9, "Infinite"},
        {0.5, 0, "5.00000000000000E-001"}, // n = 0 means 15
        {2.5, 1, "3E+000"},                // R[0] = 0.5: an exact half rounds up
        {250, 1, "3E+002"},
        {0.25, 1, "3E-001"},
        {9.9999999995, 9, "1.00000000E+001"}, // the rounding carries into the exponent
        {1e-300, 9, "1.00000000E-300"},
        {5e-324, 17, "4.9406564584124657E-324"},
        {123, 20, "1.2300000000000000000E+002"}, // no rounding term above 17 digits
        {1e23, 25, "9.999999999999999161139200E+022"},
        // The exact value of the double 0.1, to the end of the area.
        {0.1, 57, "1.00000000000000005551115123125782702118158340454101562500E-001"},
        // Dividing by the double P[k], not by the power of ten.
        {1e32, 30, "1.00000000000000005366162204393E+032"},
        {1e-32, 30, "1.00000000000000005596730997624E-032"},
        {std::numeric_limits<double>::max(), 20, "1.7976931348623155575E+308"},
    };
    for (const Case& c : cases) EXPECT_EQ(textOf(FLTDIGITS(c.v, c.n)), c.text) << c.v << " " << c.n;

    realtext::WorkArea w = FLTDIGITS(1.0 / 3.0, std::numeric_limits<std::uint32_t>::max());
    EXPECT_NE(w.back(), '\0') << "the area is full; the exponent is cut off";
    EXPECT_EQ(textOf(w).substr(0, 4), "3.33");
}

struct ParseResult {
    std::uint32_t pos;
    double value;
    bool ok;
};

ParseResult parseAt(std::span<const char> text, std::uint32_t pos, double start = -99.0) {
    ParseResult r{pos, start, false};
    realtext::TEXTTOREAL(text, r.pos, r.value, r.ok);
    return r;
}
ParseResult parseText(const char* s) {
    return parseAt(std::span<const char>(s, std::strlen(s) + 1), 0);
}

TEST(Texttoreal, Examples) {
    struct Case {
        const char* text;
        double value; // -99 where it must stay unchanged
        std::uint32_t pos;
        bool ok;
    };
    const Case cases[] = {
        {"   -2.5e3x", -2500, 9, true}, // pos at the x
        {"5.", 5, 2, true},             // pos after the point
        {".5", -99, 1, false},          // no digit before the point
        {"1E", 1, 2, true},             // the E is consumed
        {"1e-600", 0, 6, true},
        {"007", 7, 3, true},
        {"- 5", -99, 2, false}, // no blank after the sign
        {"", -99, 0, false},    // pos unchanged
        {"12,3", 12, 2, true},  // pos at the comma
        {"+5", 5, 2, true},
        {"  0", 0, 3, true},
        {"1.5E+2", 150, 6, true},
        {"2e3.5", 2000, 3, true}, // the exponent takes no point
    };
    for (const Case& c : cases) {
        ParseResult r = parseText(c.text);
        EXPECT_EQ(r.value, c.value) << c.text;
        EXPECT_EQ(r.pos, c.pos) << c.text;
        EXPECT_EQ(r.ok, c.ok) << c.text;
    }
}

TEST(Texttoreal, OverflowAndHugeExponents) {
    ParseResult r = parseText("1e400");
    EXPECT_EQ(r.value, kInf);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.pos, 5u);
    EXPECT_EQ(parseText("-1e400").value, -kInf);
    // Exponents of 511 and more all scale by 10^511: 0 times that is 0.
    r = parseText("0e99999");
    EXPECT_EQ(r.value, 0.0);
    EXPECT_TRUE(r.ok);
    // An exponent past 2^32 does not wrap round to a small one.
    r = parseText("1e4294967296");
    EXPECT_EQ(r.value, kInf);
    EXPECT_FALSE(r.ok);
    r = parseText("1e-4294967297");
    EXPECT_EQ(r.value, 0.0);
    EXPECT_TRUE(r.ok);
}

// Each step rounds to double, with r * 10 + d rounded once; expected values
// from Python simulating exactly those steps.
TEST(Texttoreal, RoundsEachStep) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"108010135235158442", 1.0801013523515845e+17}, // two roundings give ...43e+17
        {"9.999999999999999999", 10.000000000000004},   // the fraction digits add up
        {"123.456", 123.456},
        {"0.1", 0.1},
        {"1E60", 1.0000000000000001e60}, // 1 * 1e32 * 1e16 * 1e8 * 1e4, rounded at each
        {"1e-5", 1e-5},
    };
    for (const Case& c : cases) EXPECT_EQ(parse(c.text), c.value) << c.text;
}

TEST(Texttoreal, StopsAtCapacityAndStartsAtPos) {
    const std::array<char, 2> noNul = {'1', '2'};
    ParseResult r = parseAt(noNul, 0);
    EXPECT_EQ(r.value, 12);
    EXPECT_EQ(r.pos, 2u);
    const char text[] = "ab 42 x";
    r = parseAt(text, 2);
    EXPECT_EQ(r.value, 42);
    EXPECT_EQ(r.pos, 5u);
    r = parseAt(text, 200); // past the capacity: nothing to read
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.pos, 200u);
}

} // namespace
