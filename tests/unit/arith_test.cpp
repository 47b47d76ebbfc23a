// Arithmetic helpers: integer part through one-decimal text, the 32-bit
// remainder, whole and real powers, rounding, and significand cutting.
#include "calc/arith.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

using namespace calc::arith;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::int64_t kMin64 = std::numeric_limits<std::int64_t>::min();
constexpr std::int32_t kMin32 = std::numeric_limits<std::int32_t>::min();

// Same value, NaN matching NaN and the sign of a zero counting.
bool sameValue(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

struct Case1 {
    double x;
    double want;
};
struct Case2 {
    double a;
    double b;
    double want;
};
struct CaseN {
    double x;
    std::int32_t n;
    double want;
};

TEST(Realint, CutsTheOneDecimalTextOfXPlusANudge) {
    const Case1 cases[] = {
        {2.5, 2},   {2.96, 3},          {2.94, 2},    {-2.7, -2},     {0, 0},
        {0.96, 1},  {2.9499, 2},        {2.95, 3},    {-1.96, -2},    {-1.94, -1},
        {-0.04, 0}, {123456.7, 123456}, {1e15, 1e15}, {-1e15, -1e15},
    };
    for (const Case1& c : cases) EXPECT_EQ(REALINT(c.x), c.want) << c.x;
}

TEST(Realint, ATextWithoutAPointKeepsTheValue) {
    // Infinities, NaN and magnitudes of 10^63 or more have no point in their text.
    for (double x : {kInf, -kInf, kNaN, 1e70, -1e70, 1e300}) {
        EXPECT_TRUE(sameValue(REALINT(x), x)) << x;
    }
}

TEST(Realmod, DividesTheLow32BitsUnsigned) {
    // A NaN dividend chops to the most negative value, whose low 32 bits are 0.
    const Case2 cases[] = {
        {17, 5, 2},     {-1, 10, 5},    {7.9, 2.9, 1}, {-7, 3, 0},           {4294967297.0, 10, 1},
        {730120, 7, 6}, {731417, 7, 1}, {kNaN, 7, 0},  {5, 4294967301.0, 0}, {-1, -1, 0},
    };
    for (const Case2& c : cases) EXPECT_EQ(REALMOD(c.a, c.b), c.want) << c.a << " MOD " << c.b;
}

TEST(Realmod, ADivisorWithLow32BitsZeroGivesNaN) {
    for (double b :
         {0.0, -0.0, 0.5, -0.99, kInf, -kInf, kNaN, 4294967296.0, -4294967296.0, 1e300}) {
        EXPECT_TRUE(std::isnan(REALMOD(17, b))) << b;
    }
}

TEST(Pwri, RaisesByRepeatedSquaring) {
    // 2^1074 overflows before the division; the square of the last pass of
    // 2^1023 overflows and is never used.
    const CaseN cases[] = {{2, 10, 1024}, {2, -2, 0.25},       {-2, 3, -8},
                           {0, 0, 1},     {10, 400, kInf},     {0, -1, kInf},
                           {kNaN, 0, 1},  {5, kMin32, 1},      {0.5, 3, 0.125},
                           {2, -1074, 0}, {2, 1023, 0x1p1023}, {-1, 2147483647, -1}};
    for (const CaseN& c : cases)
        EXPECT_TRUE(sameValue(PWRI(c.x, c.n), c.want)) << c.x << "**" << c.n;
}

TEST(Rndint, RoundsHalvesAwayFromZero) {
    struct Case {
        double x;
        std::int64_t want;
    };
    // 2^63 - 1024, the largest double below 2^63, is the last in range.
    const Case cases[] = {{2.5, 3},
                          {-2.5, -3},
                          {3.6, 4},
                          {-0.4, 0},
                          {0.49999999999999994, 0},
                          {-0.49999999999999994, 0},
                          {-0.0, 0},
                          {-0.5, -1},
                          {9223372036854774784.0, 9223372036854774784},
                          {9223372036854775808.0, kMin64},
                          {kNaN, kMin64},
                          {-kInf, kMin64},
                          {-1e300, kMin64}};
    for (const Case& c : cases) EXPECT_EQ(RNDINT(c.x), c.want) << c.x;
}

TEST(Truncplc, KeepsTheTopStoredSignificandBitForNOne) {
    const Case1 cases[] = {
        {7, 6}, {3.14159, 3}, {0.3, 0.25},  {-7, -6},     {5, 4},         {100, 96},
        {1, 1}, {0, 0},       {-0.0, -0.0}, {kInf, kInf}, {-kInf, -kInf}, {kNaN, kNaN},
    };
    for (const Case1& c : cases) EXPECT_TRUE(sameValue(TRUNCPLC(c.x, 1), c.want)) << c.x;
}

TEST(Truncplc, ClearsTheLowest52MinusNBits) {
    // n = -11 clears 63 bits and leaves only the sign; n = -12 and below clear
    // all 64 (no overflow in 52 - n for the most negative n).
    const CaseN cases[] = {{3.14159, 52, 3.14159},
                           {3.14159, 2147483647, 3.14159},
                           {7, 0, 4},
                           {-7, -11, -0.0},
                           {-7, -12, 0},
                           {-7, kMin32, 0},
                           {7, -11, 0}};
    for (const CaseN& c : cases) {
        EXPECT_TRUE(sameValue(TRUNCPLC(c.x, c.n), c.want)) << c.x << ", " << c.n;
    }
}

TEST(Power, PowabsIsTheMagnitudeOfYToTheX) {
    const Case2 cases[] = {
        {2, 3, 8},   {-2, 3, 8},      {0, 2, kNaN},  {0, 0, kNaN}, {1, 123.4, 1},
        {-1, -7, 1}, {10, 400, kInf}, {10, -400, 0}, {2, -1, 0.5}, {kInf, 2, kNaN},
    };
    for (const Case2& c : cases) {
        EXPECT_TRUE(sameValue(static_cast<double>(powAbs(c.a, c.b)), c.want)) << c.a << "^" << c.b;
    }
    // 2 ** 0.5 and 9 ** 0.5 from Python.
    EXPECT_DOUBLE_EQ(static_cast<double>(powAbs(2, 0.5)), 1.4142135623730951);
    EXPECT_DOUBLE_EQ(static_cast<double>(powAbs(-9, 0.5)), 3.0);
}

TEST(Power, Pow2splitScalesTheFractionalPower) {
    const Case1 cases[] = {{3, 8},       {-1, 0.5},     {0, 1},       {1e30, kInf}, {-1e30, 0},
                           {kInf, kNaN}, {-kInf, kNaN}, {kNaN, kNaN}, {2000, kInf}};
    for (const Case1& c : cases) {
        EXPECT_TRUE(sameValue(static_cast<double>(pow2Split(c.x)), c.want)) << c.x;
    }
    EXPECT_DOUBLE_EQ(static_cast<double>(pow2Split(-0.5)), 0.7071067811865476);
}

} // namespace
