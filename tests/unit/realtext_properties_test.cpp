// The properties of the real text conversions (fuzz/realtext_checks.h and realread_checks.h, the
// fuzz target's own checks) on fixed inputs: every input the fuzz target
// kept, a seeded corpus of random inputs, and the values where a digit
// changes (the rounding term carrying into the next digit, a power of ten,
// the borders of the shortcut's ranges), a few units in the last place
// either side. Among them: the shortcut gives the general way's texts.
#include "realread_checks.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <random>

namespace {

using realtextcheck::checkFixdigits;
using realtextcheck::checkFltdigits;
using realtextcheck::roundingAdd;

// v and its neighbours up to four units in the last place away.
template <class F> void aroundValue(double v, F&& check) {
    double up = v;
    double down = v;
    check(v);
    for (int i = 0; i < 4; ++i) {
        up = std::nextafter(up, std::numeric_limits<double>::infinity());
        down = std::nextafter(down, -std::numeric_limits<double>::infinity());
        check(up);
        check(down);
    }
}

// The rounding term as a double (k below 0 rounds as k = 0 does).
double term(std::int32_t k) { return static_cast<double>(roundingAdd(std::max(k, 0))); }

class RealtextProperties : public ::testing::Test {
  protected:
    std::mt19937_64 rng{20250104u};
    void SetUp() override {
        testutil::freshStart();
        runtime::conUseMemory({});
    }
    void TearDown() override { runtime::conUseStdio(); }
    template <class T> T pick(T low, T high) {
        return std::uniform_int_distribution<T>(low, high)(rng);
    }
    double logUniform(double lowExp, double highExp) {
        return std::pow(10.0, std::uniform_real_distribution<double>(lowExp, highExp)(rng));
    }
};

TEST_F(RealtextProperties, HoldOnEveryKeptFuzzInput) {
    const char* data = std::getenv("RPNCALC_TESTDATA");
    ASSERT_NE(data, nullptr);
    int kept = 0;
    for (const auto& entry : std::filesystem::directory_iterator(
             std::filesystem::path(data) / ".." / "fuzz" / "regressions" / "realtext")) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                              std::istreambuf_iterator<char>());
        realtextcheck::checkInput(bytes.data(), bytes.size());
        ++kept;
    }
    EXPECT_GE(kept, 4);
}

TEST_F(RealtextProperties, HoldOnASeededCorpus) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 30000; ++i) {
        bytes.resize(pick<std::size_t>(1, 24));
        for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
        realtextcheck::checkInput(bytes.data(), bytes.size());
    }
}

TEST_F(RealtextProperties, HoldOnOrdinaryValuesOfEveryMagnitude) {
    for (int i = 0; i < 20000; ++i) {
        const double v = logUniform(-20, 16) * (i % 2 == 0 ? 1 : -1);
        checkFixdigits(v, pick<std::int32_t>(-3, 20));
        checkFltdigits(v, pick<std::uint32_t>(0, 20));
        realtextcheck::checkWrtreal(v, 15);
        realtextcheck::checkRealtofix(v, 15, 6, 80, 0);
    }
    for (double v : {0.0, -0.0, 1e14, -1e14, std::nextafter(1e14, 0.0), 0x1p-74, 0x1p-75, 1e-15,
                     10.0, 9.999999999999999, 1.0, 0.1, 9.9999999999999, 99999.99999999995,
                     0.99999999995, 1e13, 9999999999999.5, 1e-10, -0.000123}) {
        for (std::int32_t k = -2; k <= 18; ++k) {
            aroundValue(v, [&](double w) {
                checkFixdigits(w, k);
                checkFltdigits(w, static_cast<std::uint32_t>(k + 2));
            });
        }
        realtextcheck::checkWrtreal(v, 15);
    }
}

TEST_F(RealtextProperties, HoldAtFixedPointRoundingBorders) {
    // Where v + R[places] reaches the next unit of the last place computed:
    // v = M / 10^k - R[places] for a whole number M of ndig + k digits, with
    // ndig integer digits and k places computed (15 digits in all at most),
    // and where it reaches the next power of ten.
    for (int i = 0; i < 6000; ++i) {
        const auto places = pick<std::int32_t>(-1, 16);
        const auto ndig = pick<std::int32_t>(1, 15);
        const std::int32_t k = std::min(std::max(places, 0), std::max(0, 15 - ndig));
        const double low = std::pow(10.0, ndig + k - 1);
        const auto m = pick<std::uint64_t>(static_cast<std::uint64_t>(low),
                                           static_cast<std::uint64_t>(low * 10) - 1);
        const double border = static_cast<double>(m) / std::pow(10.0, k) - term(places);
        if (border > 0) aroundValue(border, [&](double v) { checkFixdigits(v, places); });
    }
    for (int e = -16; e <= 15; ++e) {
        for (std::int32_t places = -1; places <= 17; ++places) {
            aroundValue(std::pow(10.0, e) - term(places),
                        [&](double v) { checkFixdigits(v, places); });
        }
    }
}

TEST_F(RealtextProperties, HoldAtMantissaRoundingBorders) {
    // Where the scaled value plus R[n - 1] reaches the next unit of the n-th
    // digit: v = (M + 1 - R[n - 1] * 10^(n - 1)) * 10^(e - n + 1) for an
    // n-digit M, and where it reaches 10 (the exponent goes up by one).
    for (int i = 0; i < 6000; ++i) {
        const auto n = pick<std::uint32_t>(1, 17);
        const auto e = pick<int>(-16, 0);
        const double low = std::pow(10.0, static_cast<double>(n) - 1);
        const auto m = pick<std::uint64_t>(static_cast<std::uint64_t>(low),
                                           static_cast<std::uint64_t>(low * 10) - 1);
        const std::int32_t nm1 = static_cast<std::int32_t>(n) - 1;
        const double border =
            (static_cast<double>(m) + 1 - term(nm1) * low) * std::pow(10.0, e - nm1);
        aroundValue(border, [&](double v) { checkFltdigits(v, n); });
    }
    for (int e = -16; e <= 1; ++e) {
        for (std::uint32_t n = 1; n <= 17; ++n) {
            const std::int32_t nm1 = static_cast<std::int32_t>(n) - 1;
            aroundValue(std::pow(10.0, e) * (1 - term(nm1) * std::pow(10.0, nm1 - 1)),
                        [&](double v) { checkFltdigits(v, n); });
            aroundValue(std::pow(10.0, e), [&](double v) { checkFltdigits(v, n); });
        }
    }
}

} // namespace
