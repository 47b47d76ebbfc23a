// Register stack: the start state, the stack moves (lift, drop, push, swap),
// the copy out with its size check, and the seventeen DUMP lines.
#include "calc/regstack.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using calc::stack::REGSTK;
using Regs = std::array<double, calc::stack::kRegs>;

// a0..a7 with a0 in X: distinct values, so every misplaced move shows.
constexpr Regs kA = {10, 11, 12, 13, 14, 15, 16, 17};

class RegStack : public testing::Test {
  protected:
    void SetUp() override { testutil::freshStart(); }
};

TEST_F(RegStack, StartSetsEverythingToZero) {
    REGSTK = kA;
    calc::stack::LASTX = 5;
    calc::stack::MEMREG = 6;
    calc::stack::STKINIT();
    EXPECT_EQ(REGSTK, Regs{});
    EXPECT_EQ(calc::stack::LASTX, 0.0);
    EXPECT_EQ(calc::stack::MEMREG, 0.0);
}

TEST_F(RegStack, MovesOnA0ToA7) {
    struct Case {
        const char* what;
        void (*move)();
        Regs after;
    };
    const Case cases[] = {
        // T1 is lost; X stays, so X and Y are equal.
        {"lift", [] { calc::stack::STKLIFT(); }, {10, 10, 11, 12, 13, 14, 15, 16}},
        // Y is lost; X stays; T1 stays, so registers 6 and 7 are equal.
        {"drop", [] { calc::stack::STKDROP(); }, {10, 12, 13, 14, 15, 16, 17, 17}},
        // 0..6 as before, T1 takes register 6: the old T1 is lost.
        {"lift then drop",
         [] {
             calc::stack::STKLIFT();
             calc::stack::STKDROP();
         },
         {10, 11, 12, 13, 14, 15, 16, 16}},
        {"drop then lift",
         [] {
             calc::stack::STKDROP();
             calc::stack::STKLIFT();
         },
         {10, 10, 12, 13, 14, 15, 16, 17}},
        {"swap", [] { calc::stack::STKSWAP(); }, {11, 10, 12, 13, 14, 15, 16, 17}},
        {"push", [] { calc::stack::STKPUSH(-1.5); }, {-1.5, 10, 11, 12, 13, 14, 15, 16}},
    };
    for (const Case& c : cases) {
        REGSTK = kA;
        c.move();
        EXPECT_EQ(REGSTK, c.after) << c.what;
    }
}

TEST_F(RegStack, NinePushesLoseTheFirst) {
    for (int i = 1; i <= 8; ++i) calc::stack::STKPUSH(i);
    EXPECT_EQ(REGSTK, (Regs{8, 7, 6, 5, 4, 3, 2, 1}));
    calc::stack::STKPUSH(9);
    EXPECT_EQ(REGSTK, (Regs{9, 8, 7, 6, 5, 4, 3, 2}));
    EXPECT_EQ(calc::stack::STKGETX(), 9.0);
}

TEST_F(RegStack, CopyNeedsRoomForEightRegisters) {
    struct Case {
        std::size_t size;
        std::uint32_t err;
    };
    const Case cases[] = {{0, 1}, {7, 1}, {8, 0}, {10, 0}};
    for (const Case& c : cases) {
        REGSTK = kA;
        std::vector<double> regs(c.size, -99.0);
        std::uint32_t err = 77;
        calc::stack::STKCOPY(regs, err);
        EXPECT_EQ(err, c.err) << c.size;
        for (std::size_t i = 0; i < c.size; ++i) {
            // X into element 0, T1 into 7; nothing when too small, nothing past 7.
            double want = (c.err == 0 && i < 8) ? kA[i] : -99.0;
            EXPECT_EQ(regs[i], want) << c.size << " element " << i;
        }
    }
}

// Built from the pieces the display is made of: 22 + 10 + 22 characters.
const std::string kBorder = "+--------------------+          +--------------------+\r\n";

std::string valueLine(const std::string& left15, const std::string& right) {
    return "|  " + left15 + "   |          |  " + right + "   |\r\n";
}

TEST_F(RegStack, DumpRightAfterStart) {
    ASSERT_EQ(kBorder.size(), 22u + 10u + 22u + 2u);
    const std::string zero = valueLine("0.00000000E+000", "0.0000000000");
    std::string want;
    for (int i = 0; i < 8; ++i) want += kBorder + zero;
    want += kBorder;

    testutil::CapturedConsole con;
    calc::stack::STKDUMP();
    const std::string got = con.take();
    EXPECT_EQ(got, want);
    // The left box is 22 characters wide like the border, the right one 19.
    EXPECT_EQ(zero.find('|', 1), 21u);
    EXPECT_EQ(zero.size() - 2 - zero.find('|', 22), 19u);
}

TEST_F(RegStack, DumpShowsT1AtTheTopAndXAtTheBottom) {
    REGSTK = Regs{3.14, -2.5, 12345.678, 0, 0, 0, 0, 0};
    const std::string zero = valueLine("0.00000000E+000", "0.0000000000");
    std::string want;
    for (int i = 0; i < 5; ++i) want += kBorder + zero;
    want += kBorder + valueLine("12345.678000000", "12345.6780000000");
    want += kBorder + valueLine("-2.500000000000", "-2.5000000000");
    want += kBorder + valueLine("3.1400000000000", "3.1400000000");
    want += kBorder;

    testutil::CapturedConsole con;
    calc::stack::STKDUMP();
    EXPECT_EQ(con.take(), want);
}

// A floating-point logarithm of 1000 comes out just under 3 and would widen
// the left text to 16 characters.
TEST_F(RegStack, DumpOfAPowerOfTenFillsTheBoxExactly) {
    REGSTK = Regs{1000, 0, 0, 0, 0, 0, 0, 0};
    testutil::CapturedConsole con;
    calc::stack::STKDUMP();
    const std::string got = con.take();
    const std::string last = kBorder + valueLine("1000.0000000000", "1000.0000000000") + kBorder;
    ASSERT_GE(got.size(), last.size());
    EXPECT_EQ(got.substr(got.size() - last.size()), last);
}

} // namespace
