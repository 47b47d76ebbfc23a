// The evaluator and the command words as seen in the registers: LASTX, the
// registers above X, and the stack effects of the moves and calendar words.
// (What a line shows on the console is covered by the golden transcripts.)
#include "calc/cmdloop.h"
#include "calc/evaluator.h"
#include "calc/regstack.h"
#include "calc/words_testing.h"
#include "runtime/platform.h"
#include "testutil.h"
#include "token/tokenizer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using calc::stack::LASTX;
using calc::stack::MEMREG;
using calc::stack::REGSTK;

namespace {

using Regs = std::array<double, 8>;

class Evaluator : public ::testing::Test {
  protected:
    void SetUp() override { testutil::freshStart(); }
    void TearDown() override { runtime::platUnpin(); }

    // Evaluates a line and returns what it wrote on the console.
    std::string eval(const std::string& line) {
        testutil::CapturedConsole con;
        result = calc::eval::EVALLINE(testutil::makeBuf(line));
        return con.take();
    }
    // Registers X..T1 set to a0..a7 (a0 in X).
    void setRegs(const Regs& regs) { REGSTK = regs; }

    double result = 0;
};

const Regs kA = {10, 11, 12, 13, 14, 15, 16, 17};

TEST_F(Evaluator, LastxTakesTheRightHandOperand) {
    struct Case {
        std::string line;
        double x, lastx;
    };
    const Case cases[] = {
        {"2 3 +", 5, 3},
        {"2 3 -", -1, 3},
        {"10 4 *", 40, 4},
        {"1 4 /", 0.25, 4},
        {"2 3 ^", 8, 3},
        {"2 3.6 **", 16, 3.6},
        {"2 SQRT SQR", 2.0000000000000004, 1.4142135623730951},
        {"2 3 'Y^X'", 8, 3},
        {"17 5 MOD", 2, 5},
        {"7 3 STO", 3, 42},
    };
    for (const Case& c : cases) {
        LASTX = 42;
        eval(c.line);
        EXPECT_EQ(REGSTK[0], c.x) << c.line;
        EXPECT_EQ(result, c.x) << c.line;
        EXPECT_EQ(LASTX, c.lastx) << c.line;
    }
}

TEST_F(Evaluator, SwapsLeaveLastxAlone) {
    for (const char* line : {"1 2 <>", "1 2 ><", "1 2 SWAP", "1 2 swapxy"}) {
        LASTX = 42;
        eval(line);
        EXPECT_EQ(REGSTK[0], 1) << line;
        EXPECT_EQ(REGSTK[1], 2) << line;
        EXPECT_EQ(LASTX, 42) << line;
    }
}

TEST_F(Evaluator, UnrecognizedOperatorKeepsTheStackButCopiesRegister6IntoT1) {
    setRegs(kA);
    EXPECT_EQ(eval("<"), "< is an unrecognized operation.\r\n");
    EXPECT_EQ(REGSTK, (Regs{10, 11, 12, 13, 14, 15, 16, 16}));
    EXPECT_EQ(LASTX, 10);
}

TEST_F(Evaluator, UnrecognizedWordChangesNothing) {
    setRegs(kA);
    LASTX = 42;
    EXPECT_EQ(eval("foo"), "FOO is an unrecognized command.\r\n");
    EXPECT_EQ(REGSTK, kA);
    EXPECT_EQ(LASTX, 42);
}

TEST_F(Evaluator, StackMovesOfTheWords) {
    struct Case {
        std::string line;
        Regs after;
    };
    const Case cases[] = {
        {"ROLLDN", {11, 12, 13, 14, 15, 16, 17, 10}},
        {"+", {21, 12, 13, 14, 15, 16, 17, 17}},
        {"LASTX", {99, 10, 11, 12, 13, 14, 15, 16}},
        {"RCL", {5, 10, 11, 12, 13, 14, 15, 16}},
        {"1 2 3 4 5 6 7 8 9", {9, 8, 7, 6, 5, 4, 3, 2}},
        {"'Y^X'", {std::pow(11.0, 10.0), 12, 13, 14, 15, 16, 17, 17}},
    };
    for (const Case& c : cases) {
        setRegs(kA);
        LASTX = 99;
        MEMREG = 5;
        eval(c.line);
        EXPECT_EQ(REGSTK, c.after) << c.line;
    }
}

TEST_F(Evaluator, CalendarWordsStackEffects) {
    setRegs({2003, 21, 7, 13, 14, 15, 16, 17});
    eval("JUL");
    EXPECT_EQ(REGSTK, (Regs{731417, 13, 14, 15, 16, 17, 17, 17}));
    EXPECT_EQ(LASTX, 2003);

    setRegs({731417, 11, 12, 13, 14, 15, 16, 17});
    eval("GREG");
    EXPECT_EQ(REGSTK, (Regs{2003, 21, 7, 11, 12, 13, 14, 15}));

    setRegs({730120, 11, 12, 13, 14, 15, 16, 17});
    eval("DOW");
    EXPECT_EQ(REGSTK, (Regs{7, 11, 12, 13, 14, 15, 16, 17}));

    // A negative register becomes a huge unsigned field: an invalid date.
    setRegs({-2003, 21, 7, 13, 14, 15, 16, 17});
    eval("JUL");
    EXPECT_EQ(REGSTK[0], 0);
}

TEST_F(Evaluator, TodayPushesTodaysDayNumber) {
    runtime::platPinToday({2003, 7, 21});
    setRegs(kA);
    eval("TODAY");
    EXPECT_EQ(REGSTK, (Regs{731417, 10, 11, 12, 13, 14, 15, 16}));
    EXPECT_EQ(LASTX, 10);
}

TEST_F(Evaluator, ANumberTheReaderCannotConvertEndsTheLine) {
    setRegs(kA);
    eval("5 1E400 + 7");
    EXPECT_EQ(REGSTK, (Regs{5, 10, 11, 12, 13, 14, 15, 16}));
}

TEST_F(Evaluator, ModByAZeroDivisorGivesNaN) {
    for (const char* line :
         {"5 0.5 MOD", "5 0 MOD", "5 4294967296 MOD", "5 1 0 / MOD", "5 0 0 / MOD"}) {
        eval(line);
        EXPECT_TRUE(std::isnan(REGSTK[0])) << line;
    }
}

TEST_F(Evaluator, ResultsOfFunctionsWithExactValues) {
    struct Case {
        std::string line;
        double x;
    };
    const Case cases[] = {
        {"0.5 ARCCOS", 1.0471975511965976},
        {"0 0.5 - ARCCOS", -1.0471975511965976},
        {"1 ARCSIN", 1.5707963267948966},
        {"180 D2R", 3.141592653589793},
        {"3.141592653589793 R2D", 180},
        {"2.96 INT", 3},
        {"0 1.96 - INT", -2},
        {"0 1.94 - INT", -1},
        {"0.96 INT", 1},
        {"3.14159 TRUNC", 3},
        {"0 2.5 - ROUND", -3},
        {"0 1 - 10 MOD", 5},
        {"0 7 - 3 MOD", 0},
        {"10 400 **", INFINITY},
        {"0 0 1 - **", INFINITY},
        {"2 0 1 - **", 0.5},
        {"1 0 / INT", INFINITY},
    };
    for (const Case& c : cases) {
        eval(c.line);
        EXPECT_EQ(REGSTK[0], c.x) << c.line;
    }
}

TEST_F(Evaluator, FracAndRoundOfValuesWithoutAPointInTheirText) {
    eval("1E70");
    const double big = REGSTK[0];
    eval("1E70 INT");
    EXPECT_EQ(REGSTK[0], big); // no point in its one-decimal text: kept as it is
    eval("1 0 / FRAC");
    EXPECT_TRUE(std::isnan(REGSTK[0])); // inf - inf
    eval("1E70 FRAC");
    EXPECT_EQ(REGSTK[0], 0);
    eval("0 0 / ROUND");
    EXPECT_TRUE(std::isnan(REGSTK[0]));
}

// The word look-up against a plain search of the thirty words: every word in
// upper, lower and mixed case as the tokenizer hands it over, each word less
// its last letter and with one letter more, and texts with bytes behind their
// NUL. Only what comes before the NUL counts, in the case it is given.
TEST_F(Evaluator, WordLookupFindsExactlyTheWordTheTextNames) {
    const std::vector<std::string> words = {
        "SQRT", "SQR",    "HELP",   "STO",    "RCL",   "SWAP",  "SWAPXY", "LASTX", "ROLLDN", "DUMP",
        "EXP",  "LN",     "Y^X",    "INT",    "TRUNC", "ROUND", "FRAC",   "MOD",   "SIN",    "COS",
        "TAN",  "ARCTAN", "ARCSIN", "ARCCOS", "D2R",   "R2D",   "JUL",    "TODAY", "GREG",   "DOW"};
    const auto model = [&](const std::string& text) {
        for (const std::string& w : words) {
            if (w == text) return w;
        }
        return std::string();
    };
    const auto typed = [](std::string w, int variant) {
        for (std::size_t i = 0; i < w.size(); ++i) {
            const bool letter = w[i] >= 'A' && w[i] <= 'Z';
            if (letter && (variant == 1 || (variant == 2 && i % 2 == 1)))
                w[i] = static_cast<char>(w[i] - 'A' + 'a');
        }
        return "'" + w + "'";
    };
    struct Case {
        std::string line;
        std::string word;
    };
    std::vector<Case> cases;
    for (const std::string& w : words) {
        for (int variant = 0; variant < 3; ++variant) cases.push_back({typed(w, variant), w});
        const std::string prefix = w.substr(0, w.size() - 1);
        cases.push_back({"'" + prefix + "'", model(prefix)});
        cases.push_back({"'" + w + "Q'", ""});
        cases.push_back({"'" + w + " '", ""});
    }
    for (const Case& c : cases) {
        token::INITTKNBUF(testutil::makeBuf(c.line));
        text::TEXTBUF tkn{};
        token::TOKENKIND kind = token::TOKENKIND::DELIMITER;
        std::int64_t value = 0;
        std::uint32_t rc = 0;
        token::GETTKN(tkn, kind, value, rc);
        ASSERT_EQ(kind, token::TOKENKIND::WORD) << c.line;
        EXPECT_EQ(calc::words::testing::matchedWord(tkn), c.word) << c.line;
    }

    // Buffers as given, bytes behind the NUL included.
    const Case buffers[] = {
        {std::string("SQRT\0X", 6), "SQRT"},
        {std::string("SQR\0T", 5), "SQR"},
        {std::string("ARCCOS\0S", 8), "ARCCOS"},
        {std::string("\0SQRT", 5), ""},
        {std::string("SWAPXYZZ\0", 9), ""},
        {"sqrt", ""},
        {"", ""},
        {std::string(255, 'A'), ""},
    };
    for (const Case& c : buffers) {
        text::TEXTBUF tkn = testutil::makeBuf(c.line);
        EXPECT_EQ(calc::words::testing::matchedWord(tkn), c.word) << c.line;
    }
    text::TEXTBUF full{};
    full.CHARS.fill('X'); // no NUL at all
    EXPECT_EQ(calc::words::testing::matchedWord(full), "");
}

} // namespace
