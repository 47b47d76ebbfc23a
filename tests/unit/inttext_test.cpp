// Integer text conversion: parsing over the exact signed 64-bit range, and
// right-aligned writing with its capacity rule.
#include "realtext/inttext.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

using namespace realtext;

namespace {

constexpr std::int64_t kMax = INT64_MAX;
constexpr std::int64_t kMin = INT64_MIN;

TEST(TextToInt, ParsesASignedNumberAndStopsAfterIt) {
    struct Case {
        std::string text;
        std::uint32_t start;
        std::int64_t value;
        bool ok;
        std::uint32_t pos;
    };
    const Case cases[] = {
        {"   -42x", 0, -42, true, 6},
        {"9223372036854775807", 0, kMax, true, 19},
        {"-9223372036854775808", 0, kMin, true, 20},
        // Overflow: the digits read before it, pos at the digit that did not fit.
        {"9223372036854775808", 0, 922337203685477580, false, 18},
        {"-9223372036854775809", 0, -922337203685477580, false, 19},
        {"10000000000000000000", 0, 1000000000000000000, false, 19},
        {"+17 ", 0, 17, true, 3},
        {"007", 0, 7, true, 3},
        {"12,3", 0, 12, true, 2},
        {"ab 45", 2, 45, true, 5},
        {"- 5", 0, 0, false, 1},
        {"x", 0, 0, false, 0},
        {"  ", 0, 0, false, 2},
        {"", 0, 0, false, 0},
    };
    for (const Case& c : cases) {
        std::uint32_t pos = c.start;
        std::int64_t value = 99;
        bool ok = !c.ok;
        TEXTTOINT(std::span<const char>(c.text.c_str(), c.text.size() + 1), pos, value, ok);
        EXPECT_EQ(value, c.value) << '"' << c.text << '"';
        EXPECT_EQ(ok, c.ok) << '"' << c.text << '"';
        EXPECT_EQ(pos, c.pos) << '"' << c.text << '"';
    }
}

TEST(TextToInt, StopsAtTheCapacityWithoutANul) {
    const std::array<char, 3> digits = {'1', '2', '3'};
    std::uint32_t pos = 0;
    std::int64_t value = 0;
    bool ok = false;
    TEXTTOINT(digits, pos, value, ok);
    EXPECT_EQ(value, 123);
    EXPECT_TRUE(ok);
    EXPECT_EQ(pos, 3u);
}

TEST(IntToText, RightAlignsInTheWidthAndDropsWhatDoesNotFit) {
    struct Case {
        std::int64_t value;
        std::int32_t width;
        std::size_t cap;
        std::string text; // what is written, a NUL included where it fits
        bool ok;
        std::uint32_t pos;
    };
    const Case cases[] = {
        {-5, 4, 16, std::string("  -5\0", 5), true, 4},
        {-5, 0, 16, std::string("-5\0", 3), true, 2},
        {12345, 3, 16, std::string("12345\0", 6), true, 5},
        {0, 3, 16, std::string("  0\0", 4), true, 3},
        {-7, -100, 16, std::string("-7\0", 3), true, 2},
        {kMin, 0, 32, std::string("-9223372036854775808\0", 21), true, 20},
        {kMax, 21, 32, std::string("  9223372036854775807\0", 22), true, 21},
        // The digits fill the array: no NUL, and still ok.
        {-5, 0, 2, "-5", true, 2},
        // Too small: blanks and the sign are dropped without notice, digits are not.
        {12345, 0, 3, "123", false, 3},
        {-5, 10, 3, "   ", false, 3},
        {-5, 2147483647, 4, "    ", false, 4},
    };
    for (const Case& c : cases) {
        std::array<char, 32> text;
        text.fill('#');
        std::uint32_t pos = 0;
        bool ok = !c.ok;
        INTTOTEXT(c.value, c.width, std::span<char>(text.data(), c.cap), pos, ok);
        EXPECT_EQ(std::string(text.data(), c.text.size()), c.text) << c.value << ", " << c.width;
        EXPECT_EQ(text[c.text.size()], '#') << "wrote past the text";
        EXPECT_EQ(ok, c.ok) << c.value << ", " << c.width;
        EXPECT_EQ(pos, c.pos) << c.value << ", " << c.width;
    }
}

TEST(IntToText, WritesFromPosOn) {
    std::array<char, 16> text = {'a', 'b'};
    std::uint32_t pos = 2;
    bool ok = false;
    INTTOTEXT(42, 3, text, pos, ok);
    EXPECT_EQ(testutil::textOf(text), "ab 42");
    EXPECT_EQ(pos, 5u);
    EXPECT_TRUE(ok);
}

} // namespace
