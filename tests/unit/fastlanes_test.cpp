// The fast lanes against the general way on the same inputs: the evaluator's
// whole-line lane (registers, LASTX, console output and tokenizer state after
// a line) and the rendering lane (fixed-point, mantissa and field texts, a
// few units in the last place either side of every rounding threshold).
#include "calc/cmdloop.h"
#include "calc/evaluator.h"
#include "calc/evaluator_testing.h"
#include "calc/fastline.h"
#include "calc/fastresult.h"
#include "calc/regstack.h"
#include "runtime/fastreal.h"
#include "runtime/realtables.h"
#include "runtime/realtext.h"
#include "runtime/realtext_testing.h"
#include "testutil.h"
#include "text/numtext.h"
#include "token/tokenizer.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using calc::stack::REGSTK;

// Everything a line leaves behind that a later step could read.
struct After {
    std::string out;
    std::array<std::uint64_t, 10> regs{}; // X..T1, LASTX, the returned X, as bits
    text::TEXTBUF tknbuf{};
    std::uint32_t cur = 0, prev = 0;
    char stop = 0;
    token::TOKENKIND stopKind{};
    bool operator==(const After& o) const {
        return out == o.out && regs == o.regs &&
               std::memcmp(&tknbuf, &o.tknbuf, sizeof tknbuf) == 0 && cur == o.cur &&
               prev == o.prev && stop == o.stop && stopKind == o.stopKind;
    }
};

template <class Eval>
After run(const std::array<double, 8>& start, const std::string& line, Eval eval) {
    REGSTK = start;
    calc::stack::LASTX = -7.25;
    testutil::CapturedConsole con;
    const double x = eval(testutil::makeBuf(line));
    After a;
    a.out = con.take();
    for (std::size_t k = 0; k < 8; ++k) a.regs[k] = std::bit_cast<std::uint64_t>(REGSTK[k]);
    a.regs[8] = std::bit_cast<std::uint64_t>(calc::stack::LASTX);
    a.regs[9] = std::bit_cast<std::uint64_t>(x);
    a.tknbuf = token::TKNBUF();
    a.cur = token::CURPOSN();
    a.prev = token::PREVPOSN();
    a.stop = token::STOPCHR;
    a.stopKind = token::STOPKIND;
    return a;
}

class FastLine : public ::testing::Test {
  protected:
    void SetUp() override { testutil::freshStart(); }

    // Runs line both ways from the same registers; returns whether the lane
    // took it.
    bool same(const std::string& line) {
        const std::array<double, 8> start = {1.5, -2, 3e300, 0.1, 5, 6, 7, 8};
        const After general = run(start, line, calc::eval::general::EVALLINE);
        const After fast = run(start, line, calc::eval::EVALLINE);
        EXPECT_TRUE(fast == general) << "[" << line << "]";
        text::TEXTBUF buf = testutil::makeBuf(line);
        text::TRMBUF(buf);
        REGSTK = start;
        return calc::fast::evalPlain(buf);
    }
};

// Each row: a line, and whether it is the lane's.
TEST_F(FastLine, TakesPlainArithmeticAndLeavesTheRest) {
    struct Case {
        std::string line;
        bool lane;
    };
    const Case cases[] = {
        {"224.9 418.35 - 361.3 + 717.37 * 245 +", true},
        {"1 3 /", true},
        {"1 0 /", true},            // an infinity, as the general way gives
        {"0 0 / 2 *", true},        // NaN
        {"  7.,;8 ;, *  ", true},   // other delimiters, a point without places
        {"9007199254740993", true}, // 16 digits above 2^53: rounded once
        {"9999999999999999 1 +", true},
        {"0.1000000000000000055511151231257827", false}, // more places than the table
        {"0.123456789012345678901234", true},            // 24 places
        {"99999999999999999", false},                    // 17 digits
        {"00000000000000001", false},
        {"1 2 + -", true}, // operators on the registers already there
        {"1 2,", true},    // the last scan begins behind the comma
        {"1 + ;", true},   // and here before the semicolon
        {"", true},
        {"-5 3 +", false}, // a signed number
        {"5 -", true},
        {"1+2", false},
        {"1 2 ++", false},
        {"2 SQRT", false},
        {"1E3", false},
        {".5", false},
        {"1..2", false},
        {"2 3 ^", false},
        {"1 2 <>", true}, // the swaps leave LASTX alone
        {"1 2 ><", true},
        {"<> 3 -", true},
        {"1 2 <>3", false},
        {"1 2 <><>", false}, // two swaps to the tokenizer
        {"1 2 <=", false},
        {"1 2 <", false},
        {"1 2 #", false},
        {std::string("1 \0 2", 5), true}, // cut at the NUL
    };
    for (const Case& c : cases) EXPECT_EQ(same(c.line), c.lane) << "[" << c.line << "]";
}

TEST_F(FastLine, GeneratedLinesAgreeWithTheGeneralWay) {
    std::mt19937_64 rng(20260803);
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    auto digits = [&](std::size_t n) {
        std::string s;
        for (std::size_t i = 0; i < n; ++i) s += static_cast<char>('0' + pick(10));
        return s;
    };
    const char* others[] = {"SQRT", "-3", "+4", "**", "<", "1E5", ".25", "X", "1.2.3", "/-"};
    const char* delims[] = {" ", "  ", ",", ";", " , "};
    std::size_t taken = 0;
    constexpr std::size_t kLines = 4000;
    for (std::size_t n = 0; n < kLines; ++n) {
        std::string line;
        const std::size_t tokens = 1 + pick(8);
        for (std::size_t t = 0; t < tokens; ++t) {
            if (t > 0) line += delims[pick(5)];
            const std::size_t kind = pick(100);
            if (kind < 45) {
                line += digits(1 + (pick(4) == 0 ? pick(18) : pick(4)));
                if (pick(2) == 0) line += "." + digits(pick(4) == 0 ? pick(27) : pick(4));
            } else if (kind < 90 || n % 3 != 0) {
                line += "+-*/"[pick(4)];
            } else if (kind < 98) {
                line += pick(2) == 0 ? "<>" : "><";
            } else {
                line += others[pick(10)];
            }
        }
        if (pick(3) == 0) line += delims[pick(5)]; // the tokenizer's last scan begins before it
        if (same(line)) ++taken;
    }
    EXPECT_GT(taken, kLines / 2); // the lane is really exercised
}

TEST_F(FastLine, OffOnceACharacterSetIsReplaced) {
    token::CharSet digits{};
    digits['0' / 8] = 0xFF;
    digits['8' / 8] = 0x03;
    token::SETDIGITSET(digits);
    EXPECT_FALSE(same("1 2 +"));
}

// The rendering lane.

std::string general(const runtime::WORKAREA& w) { return testutil::textOf(w); }

// Values either side of the thresholds where x + R[p] reaches a multiple
// of 10^-p (x = K / 10^p - R[p]), a few units in the last place apart,
// and log-uniform values of every magnitude the lane takes.
std::vector<double> values(std::int32_t p, std::mt19937_64& rng) {
    std::vector<double> vs;
    auto around = [&](double t) {
        double v = t;
        for (int i = 0; i < 4; ++i) v = std::nextafter(v, 0.0);
        for (int i = 0; i < 9; ++i, v = std::nextafter(v, 1e300)) {
            vs.push_back(v);
            vs.push_back(-v);
        }
    };
    const double scale = std::pow(10.0, p);
    for (int decade = -10; decade < 14; ++decade) {
        const double base = std::pow(10.0, decade);
        around(base);
        around(base - runtime::digits::R[static_cast<std::size_t>(p)]);
        for (int i = 0; i < 6; ++i) {
            const double k = std::floor(base * scale * (1 + static_cast<double>(rng() % 9000)));
            around(k / scale - runtime::digits::R[static_cast<std::size_t>(p)]);
            around((k + 0.5) / scale);
        }
    }
    std::uniform_real_distribution<double> exponent(-10, 14);
    for (int i = 0; i < 300; ++i) vs.push_back(std::pow(10.0, exponent(rng)));
    return vs;
}

TEST(RenderingLane, FixedTextIsTheGeneralText) {
    std::mt19937_64 rng(7);
    std::size_t taken = 0, tried = 0;
    for (std::int32_t p = 0; p <= 16; ++p) {
        for (double v : values(p, rng)) {
            std::array<char, runtime::fast::kRoom> lane{};
            const std::size_t len = runtime::fast::FIXEDTEXT(v, p, lane.data());
            ++tried;
            if (len == 0) continue;
            ++taken;
            ASSERT_EQ(std::string(lane.data(), len), general(runtime::general::FIXDIGITS(v, p)))
                << std::hexfloat << v << " " << p;
        }
    }
    EXPECT_GT(taken, tried * 3 / 4);
}

TEST(RenderingLane, MantissaTextIsTheGeneralText) {
    std::mt19937_64 rng(8);
    for (std::uint32_t n = 1; n <= 9; ++n) {
        for (double v : values(static_cast<std::int32_t>(n - 1), rng)) {
            std::array<char, runtime::fast::kRoom> lane{};
            const std::size_t len = runtime::fast::FLOATTEXT(v, n, lane.data());
            EXPECT_EQ(len != 0, std::fabs(v) >= 1e-10 && std::fabs(v) < 1);
            if (len == 0) continue;
            ASSERT_EQ(std::string(lane.data(), len), general(runtime::general::FLTDIGITS(v, n)))
                << std::hexfloat << v << " " << n;
        }
    }
}

TEST(RenderingLane, FieldAndResultLineAreTheGeneralOnes) {
    std::mt19937_64 rng(9);
    std::vector<double> vs = values(9, rng);
    for (std::int32_t p = 0; p <= 13; ++p) {
        std::vector<double> more = values(p, rng);
        vs.insert(vs.end(), more.begin(), more.end());
    }
    for (double v : {9.9999999999999, 99999.99999999995, 0.99999999995, 1e13, -1e13,
                     9999999999999.5, 1e-10, -0.000123}) {
        vs.push_back(v);
    }
    for (double v : vs) {
        testutil::CapturedConsole con;
        runtime::WRTREAL(v, 15);
        const std::string field = con.take();
        std::array<char, runtime::fast::kRoom> lane{};
        const std::size_t len = runtime::fast::FIELD15(v, lane.data());
        if (len != 0) {
            ASSERT_EQ(std::string(lane.data(), len), field) << std::hexfloat << v;
        }

        std::array<char, 256> fixed{};
        std::uint32_t pos = 0;
        bool ok = false;
        runtime::REALTOFIX(v, 15, 6, fixed, pos, ok);
        text::num::CROPFIXED(fixed);
        const std::string want =
            " Result =" + field + ",       " + testutil::textOf(fixed) + "\r\n";
        const bool took = calc::fast::WRTRESULT(v);
        EXPECT_EQ(took, len != 0);
        if (took) {
            ASSERT_EQ(con.take(), want) << std::hexfloat << v;
        }
    }
}

} // namespace
