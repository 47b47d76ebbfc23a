// FIXDIGITS and FLTDIGITS take shortcuts in 128-bit integer arithmetic for
// ordinary values (fixed-point text below 10^14, mantissa text from 10^-15 to
// 10); general::FIXDIGITS and general::FLTDIGITS always go the general way
// with exact expansions. Both must give the same 64-character work area for
// every value and count: here on random values over and around the
// shortcuts' ranges and, above all, right at the places where a digit
// changes (the rounding term carrying into the next digit, a power of ten,
// the borders of the ranges), a few units in the last place either side.
#include "realtext/realtext.h"
#include "realtext/realtext_testing.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

namespace {

// R[k] as the digit steps use it (the nearest doubles are close enough to
// place a value within a few units of a rounding border).
double roundingTerm(std::int32_t k) {
    if (k <= 0) return 0.5;
    if (k <= 14) return 0.5 * std::pow(10.0, -k) + 1e-16;
    if (k == 15) return 5e-16;
    return 5e-17;
}

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

class DigitShortcut : public ::testing::Test {
  protected:
    std::mt19937_64 rng{20250104u};
    int failures = 0;

    double logUniform(double lowExp, double highExp) {
        return std::pow(10.0, std::uniform_real_distribution<double>(lowExp, highExp)(rng));
    }
    // Records a difference between the two paths (the first ten only).
    void compare(const realtext::WORKAREA& quick, const realtext::WORKAREA& general, const char* what,
                 double v, std::int64_t n) {
        if (quick == general || failures >= 10) return;
        ++failures;
        ADD_FAILURE() << what << " of " << std::hex << std::bit_cast<std::uint64_t>(v) << std::dec
                      << " with " << n << ": shortcut " << testutil::textOf(quick) << ", general "
                      << testutil::textOf(general);
    }
    void fix(double v, std::int32_t places) {
        compare(realtext::FIXDIGITS(v, places), realtext::general::FIXDIGITS(v, places), "FIXDIGITS",
                v, places);
    }
    void flt(double v, std::uint32_t n) {
        compare(realtext::FLTDIGITS(v, n), realtext::general::FLTDIGITS(v, n), "FLTDIGITS", v, n);
    }
};

TEST_F(DigitShortcut, FixedPointTextOfRandomValuesIsTheGeneralText) {
    for (int i = 0; i < 60000; ++i) {
        const double v = logUniform(-20, 16);
        const auto places = std::uniform_int_distribution<std::int32_t>(-3, 20)(rng);
        fix(v, places);
        fix(-v, places);
    }
    // Any bit pattern: subnormals, infinities, NaNs and huge values go the
    // general way and must not be taken by the shortcut wrongly.
    for (int i = 0; i < 20000; ++i) {
        fix(std::bit_cast<double>(rng()), std::uniform_int_distribution<std::int32_t>(-3, 20)(rng));
    }
    for (double v : {0.0, -0.0, 1e14, -1e14, std::nextafter(1e14, 0.0), 0x1p-74, 0x1p-75}) {
        for (std::int32_t places = -2; places <= 18; ++places) fix(v, places);
    }
}

TEST_F(DigitShortcut, FixedPointTextAtRoundingBordersIsTheGeneralText) {
    // Where v + R[places] reaches the next unit of the last place computed:
    // v = M / 10^k - R[places] for a whole number M of ndig + k digits, with
    // ndig integer digits and k places computed (15 digits in all at most),
    // and where it reaches the next power of ten.
    for (int i = 0; i < 25000; ++i) {
        const auto places = std::uniform_int_distribution<std::int32_t>(-1, 16)(rng);
        const auto ndig = std::uniform_int_distribution<std::int32_t>(1, 15)(rng);
        const std::int32_t k = std::min(std::max(places, 0), std::max(0, 15 - ndig));
        const double low = std::pow(10.0, ndig + k - 1);
        const auto m = std::uniform_int_distribution<std::uint64_t>(
            static_cast<std::uint64_t>(low), static_cast<std::uint64_t>(low * 10) - 1)(rng);
        const double border = static_cast<double>(m) / std::pow(10.0, k) - roundingTerm(places);
        if (border > 0) aroundValue(border, [&](double v) { fix(v, places); });
    }
    for (int e = -16; e <= 15; ++e) {
        for (std::int32_t places = -1; places <= 17; ++places) {
            aroundValue(std::pow(10.0, e) - roundingTerm(places),
                        [&](double v) { fix(v, places); });
            aroundValue(std::pow(10.0, e), [&](double v) { fix(v, places); });
        }
    }
}

TEST_F(DigitShortcut, MantissaTextOfRandomValuesIsTheGeneralText) {
    for (int i = 0; i < 60000; ++i) {
        const double v = logUniform(-17, 2);
        const auto n = std::uniform_int_distribution<std::uint32_t>(0, 20)(rng);
        flt(v, n);
        flt(-v, n);
    }
    for (int i = 0; i < 20000; ++i) {
        flt(std::bit_cast<double>(rng()), std::uniform_int_distribution<std::uint32_t>(0, 20)(rng));
    }
    for (double v : {0.0, -0.0, 1e-15, 10.0, 9.999999999999999, 1.0, 0.1}) {
        for (std::uint32_t n = 0; n <= 18; ++n) {
            aroundValue(v, [&](double w) { flt(w, n); });
        }
    }
}

TEST_F(DigitShortcut, MantissaTextAtRoundingBordersIsTheGeneralText) {
    // Where the scaled value plus R[n - 1] reaches the next unit of the n-th
    // digit: v = (M + 1 - R[n - 1] * 10^(n - 1)) * 10^(e - n + 1) for an
    // n-digit M, and where it reaches 10 (the exponent goes up by one).
    for (int i = 0; i < 25000; ++i) {
        const auto n = std::uniform_int_distribution<std::uint32_t>(1, 17)(rng);
        const auto e = std::uniform_int_distribution<int>(-16, 0)(rng);
        const double low = std::pow(10.0, static_cast<double>(n) - 1);
        const auto m = std::uniform_int_distribution<std::uint64_t>(
            static_cast<std::uint64_t>(low), static_cast<std::uint64_t>(low * 10) - 1)(rng);
        const std::int32_t nm1 = static_cast<std::int32_t>(n) - 1;
        const double border =
            (static_cast<double>(m) + 1 - roundingTerm(nm1) * low) * std::pow(10.0, e - nm1);
        aroundValue(border, [&](double v) { flt(v, n); });
    }
    for (int e = -16; e <= 1; ++e) {
        for (std::uint32_t n = 1; n <= 17; ++n) {
            const std::int32_t nm1 = static_cast<std::int32_t>(n) - 1;
            aroundValue(std::pow(10.0, e) * (1 - roundingTerm(nm1) * std::pow(10.0, nm1 - 1)),
                        [&](double v) { flt(v, n); });
            aroundValue(std::pow(10.0, e), [&](double v) { flt(v, n); });
        }
    }
}

} // namespace
