// The command loop's result line: the label, X in a field of 15 characters,
// the separator and the fixed-point text of X with nine places, cropped.
#include "calc/cmdloop.h"
#include "calc/cmdloop_testing.h"

#include "testutil.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace {

std::string resultLine(double x) {
    testutil::CapturedConsole con;
    calc::loop::writeResult(x);
    return con.take();
}

std::string line(const std::string& field, const std::string& fixed) {
    return " Result =" + field + ",       " + fixed + "\r\n";
}

TEST(ResultLine, DocumentedValues) {
    struct Case {
        double x;
        std::string field;
        std::string fixed;
    };
    const Case cases[] = {
        {5, "5.0000000000000", "5."}, // a whole number keeps its point
        {0, "0.00000000E+000", "0."},
        {0.5, "5.00000000E-001", "0.5"},
        {-2.5, "-2.500000000000", "-2.5"},
        {123.456, "123.45600000000", "123.456"},
        {1.0 / 3.0, "3.33333333E-001", "0.333333333"},
        {2.0 / 3.0, "6.66666667E-001", "0.666666667"}, // rounded at the ninth place
        {1e-10, "1.00000000E-010", "0."},              // rounds to zero at nine places
    };
    for (const Case& c : cases) EXPECT_EQ(resultLine(c.x), line(c.field, c.fixed)) << c.x;
}

// Texts without a point keep every character: "infinity" ends in no zero,
// and the 64 digits of a value of 10^63 or more are all integer digits.
TEST(ResultLine, TextsWithoutAPointAreNotCropped) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(resultLine(inf), line("       Infinite", "infinity"));
    EXPECT_EQ(resultLine(-inf), line("       Infinite", "-infinity"));
    EXPECT_EQ(resultLine(std::numeric_limits<double>::quiet_NaN()),
              line("       Infinite", "infinity"));
    EXPECT_EQ(resultLine(1e70), line("1.00000000E+070", "1" + std::string(63, '0')));
    EXPECT_EQ(resultLine(-1e70), line("-1.0000000E+070", "-1" + std::string(63, '0')));
    // 1e63 is a little above 10^63: 64 integer digits, 14 of them computed.
    EXPECT_EQ(resultLine(1e63), line("1.00000000E+063", "1" + std::string(63, '0')));
}

// Whole numbers that plain double arithmetic showed with trailing nines, and
// integer zeros ahead of the point that cropping must not touch.
TEST(ResultLine, WholeNumbersStayWhole) {
    EXPECT_EQ(resultLine(86400.0 * 365.0), line("31536000.000000", "31536000."));
    EXPECT_EQ(resultLine(9999999999999), line("9999999999999.0", "9999999999999."));
    EXPECT_EQ(resultLine(1e20), line("1.00000000E+020", "100000000000000000000."));
    EXPECT_EQ(resultLine(-1000), line("-1000.000000000", "-1000."));
}

} // namespace
