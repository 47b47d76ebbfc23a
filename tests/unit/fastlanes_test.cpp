// The rendering lane against the general way on the same inputs: fixed-point,
// mantissa and field texts, a few units in the last place either side of
// every rounding threshold. (The whole-line lane's differential property is
// fuzz/dialogue_property.h's, run in fuzz_properties_test.cpp.)
#include "calc/cmdloop.h"
#include "calc/fastresult.h"
#include "runtime/fastreal.h"
#include "runtime/realtables.h"
#include "runtime/realtext.h"
#include "runtime/realtext_testing.h"
#include "testutil.h"
#include "text/numtext.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

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
