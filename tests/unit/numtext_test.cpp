// Numeric text helpers: rounding, the real power, cropping number text, the
// short one-place text with its message, and whole numbers to and from reals
// through decimal text.
#include "testutil.h"
#include "text/numtext.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>

using namespace text::num;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::int64_t kMin64 = INT64_MIN;

TEST(Nearint, RoundsHalvesAwayFromZeroToTheLow32Bits) {
    struct Case {
        double x;
        std::int32_t want;
    };
    const Case cases[] = {
        {0.5, 1},
        {-0.5, -1},
        {0.49999999999999994, 0},
        {2.5, 3},
        {-2.5, -3},
        {0, 0},
        {-0.0, 0},
        {4294967301.0, 5},
        {2147483648.0, INT32_MIN},
        {-4294967297.4, -1},
        {kNaN, 0}, // the most negative 64-bit value has low bits 0
    };
    for (const Case& c : cases) EXPECT_EQ(NEARINT(c.x), c.want) << c.x;
}

TEST(Pwrr, RaisesAPositiveBaseAndGivesNaNOtherwise) {
    struct Case {
        double base, exponent, want;
    };
    const Case cases[] = {
        {2, 10, 1024}, {9, 0.5, 3}, {2, -1, 0.5}, {10, 400, kInf}, {10, -400, 0}, {1, 1e300, 1},
    };
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(PWRR(c.base, c.exponent), c.want) << c.base;
    for (double base : {0.0, -0.0, -8.0, -kInf, kNaN}) EXPECT_TRUE(std::isnan(PWRR(base, 2)));
}

struct CropCase {
    std::string in; // NUL-terminated unless it fills the array
    std::size_t cap;
    std::string want;
};

void checkCrop(void (*crop)(std::span<char>), const CropCase& c) {
    std::array<char, 64> s;
    s.fill('#');
    for (std::size_t i = 0; i < c.in.size(); ++i) s[i] = c.in[i];
    if (c.in.size() < c.cap) s[c.in.size()] = '\0';
    crop(std::span<char>(s.data(), c.cap));
    EXPECT_EQ(testutil::textOf(std::span<char>(s.data(), c.cap)), c.want) << '"' << c.in << '"';
    EXPECT_EQ(s[c.cap], '#') << "wrote past the array";
}

TEST(Cropnum, RemovesTrailingZerosAndLeadingBlanks) {
    const CropCase cases[] = {
        {"  12.500", 16, "12.5"},
        {"100.0", 16, "100."},
        {"3.100", 16, "3.1"},
        {"5.000", 16, "5."},
        {"-0.0", 16, "-0."},
        {"1000", 16, "1"},
        {"", 16, ""},
        {"000", 16, ""},
        {"000", 3, ""},
        {"  ", 16, ""}, // blanks only: p = 2 and q = 3 leave an empty
                        // text
        {"12.50", 5, "12.5"},
        {"1.0", 3, "1."},
        {"", 0, ""},
    };
    for (const CropCase& c : cases) checkCrop(CROPNUM, c);
}

TEST(Cropnum, CropfixedLeavesATextWithoutAPoint) {
    const CropCase cases[] = {
        {"1000", 16, "1000"},
        {"infinity", 16, "infinity"},
        {"  12.500", 16, "12.5"},
        {"", 16, ""},
    };
    for (const CropCase& c : cases) checkCrop(cropFixed, c);
}

// croppedLength reads eight characters at once: zero runs and points on
// either side of a word's edge, and texts shorter than a word, each cropped
// as cropFixed crops the same text.
TEST(Cropnum, CroppedLengthIsWhatCropfixedLeaves) {
    const std::string texts[] = {
        "12.500",
        "0.000000000",
        "infinity",
        "1000",
        "",
        "0",
        "5.",
        "120655.5545000000",
        "1.00000000",
        "1.000000000",
        "12345678.0000000",
        "1234567.00000000",
        "123456789000000",
        "9.100000000000000000",
        "-0.000000001",
        "100000000.",
        "7.0000000000000000000000000",
        "1234567890123456789.5",
    };
    for (const std::string& t : texts) {
        std::array<char, 64> s{};
        std::copy(t.begin(), t.end(), s.begin());
        cropFixed(s);
        EXPECT_EQ(croppedLength(t), testutil::textOf(std::span<char>(s)).size()) << '"' << t << '"';
    }
}

TEST(Getcropnum, WritesOnePlaceAndCrops) {
    struct Case {
        double x;
        std::string want;
    };
    const Case cases[] = {
        {3.14, "3.1"},
        {2.96, "3."},
        {0, "0."},
        {-0.04, "-0."},
        {1234.56, "1234.6"},
        {kInf, "infinity"},
        {-kInf, "-infinity"},
        {1e70, "1" + std::string(63, '0')}, // digits cut before the point keep their zeros
    };
    for (const Case& c : cases) {
        testutil::CapturedConsole console;
        std::array<char, 256> s{};
        GETCROPNUM(c.x, s);
        EXPECT_EQ(testutil::textOf(s), c.want) << c.x;
        EXPECT_EQ(console.take(), "") << c.x;
    }
}

TEST(Getcropnum, ReportsATextThatDidNotFitInTwoLines) {
    const std::string message = " Error while converting real to string in GETCROPNUM,\r\n"
                                " probably because string was too small.\r\n";
    struct Case {
        double x;
        std::size_t cap;
        std::string want;
        std::string said;
    };
    const Case cases[] = {
        {1234.56, 4, "1234", message},
        {100, 3, "100", message},   // no point came through: the zeros stay
        {1234.56, 6, "1234.6", ""}, // exactly full: no NUL, and no message
    };
    for (const Case& c : cases) {
        testutil::CapturedConsole console;
        std::array<char, 16> s;
        s.fill('#');
        GETCROPNUM(c.x, std::span<char>(s.data(), c.cap));
        EXPECT_EQ(std::string(s.data(), c.cap), c.want) << c.x;
        EXPECT_EQ(s[c.cap], '#') << "wrote past the array";
        EXPECT_EQ(console.take(), c.said) << c.x;
    }
}

TEST(Inttoreal, AccumulatesTheDigitsRoundingEachStep) {
    struct Case {
        std::int64_t n;
        double want;
    };
    // The rounded values come from Python, rounding r * 10 + d to double at each digit.
    const Case cases[] = {
        {0, 0},
        {42, 42},
        {-42, -42},
        {9007199254740993, 9007199254740992.0},
        {INT64_MAX, 9223372036854777856.0},
        {kMin64, -9223372036854777856.0},
        {123456789012345678, 123456789012345696.0},
    };
    for (const Case& c : cases) EXPECT_EQ(INTTOREAL(c.n), c.want) << c.n;
}

TEST(Realtoint, TakesTheIntegerPartOfTheOnePlaceText) {
    struct Case {
        double x;
        std::int64_t want;
    };
    const Case cases[] = {
        {2.96, 3},
        {2.94, 2},
        {-2.96, -3},
        {0.97, 1},
        {-0.04, 0},
        {123.44, 123},
        {1e18, 1000000000000000000},
        {1e19, 1000000000000000000}, // the digits read before the overflow
        // No point in the text: the most negative value, as chopping gives.
        {kInf, kMin64},
        {-kInf, kMin64},
        {kNaN, kMin64},
        {1e70, kMin64},
        {-1e70, kMin64},
    };
    for (const Case& c : cases) EXPECT_EQ(REALTOINT(c.x), c.want) << c.x;
}

} // namespace
