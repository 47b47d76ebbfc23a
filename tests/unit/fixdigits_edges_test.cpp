// FIXDIGITS at the edges of its integer fast path (values below 10^14 whose
// scale fits 128-bit arithmetic, up to 16 places) and just outside it, where
// the general path takes over. Both must give the digits of the exact value
// v + R[places], truncated, with 15 digits computed in all. The expected
// texts come from an exact rational model of the digit steps (Python's
// fractions), not from this code.
#include "realtext/realtext.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>

namespace {

struct Case {
    std::uint64_t bits; // the double, exactly
    std::int32_t places;
    const char* want;
};

TEST(FixdigitsEdges, FastPathAndItsBordersGiveTheExactDigits) {
    const Case cases[] = {
        // Just below 10^14: 14 integer digits, one place computed, the rest 0.
        {0x42d6bcc41e8fffff, 9, "99999999999999.900000000"},
        // The same value rounded at one place or none carries into a 15th
        // integer digit, which the general path writes as 0.
        {0x42d6bcc41e8fffff, 1, "100000000000000.0"},
        {0x42d6bcc41e8fffff, 0, "100000000000000."},
        {0x42d6bcc41e8fffe0, 0, "100000000000000."},
        // Halves round up at the last place; a negative count shows no point.
        {0x3fe0000000000000, 0, "1."},
        {0x4004000000000000, 0, "3."},
        {0x401e000000000000, -1, "8"},
        // Rounding carries into a new integer digit.
        {0x4023ffffffffffff, 13, "10.0000000000000"},
        {0x4023fffffffffffa, 13, "10.0000000000000"},
        // Ordinary values.
        {0x40fe240c9fbe76c9, 9, "123456.789000000"},
        {0x3fb999999999999a, 9, "0.100000000"},
        {0x3fd3333333333333, 16, "0.3000000000000000"},
        {0x3eb0000000000000, 16, "0.0000009536743100"},
        {0x4271f71fb04cb74f, 9, "1234567890123.450000000"},
        {0x42a2309ce5400000, 0, "10000000000000."},
        // 2^-74 is the smallest scale the fast path takes; 2^-75 and tinier
        // values, subnormals included, go the general way.
        {0x3b50000000000000, 16, "0.0000000000000000"},
        {0x3b58000000000000, 16, "0.0000000000000000"},
        {0x3b40000000000000, 16, "0.0000000000000000"},
        {0x01a56e1fc2f8f359, 9, "0.000000000"},
        {0x0000000000000001, 9, "0.000000000"},
        // At and above 10^14 the general path: 14 integer digits computed.
        {0x432fffffffffffff, 2, "4503599627370400.00"},
    };
    for (const Case& c : cases) {
        const double v = std::bit_cast<double>(c.bits);
        EXPECT_EQ(testutil::textOf(realtext::FIXDIGITS(v, c.places)), c.want)
            << std::hex << c.bits << std::dec << " places " << c.places;
        // The sign only puts a minus in front.
        EXPECT_EQ(testutil::textOf(realtext::FIXDIGITS(-v, c.places)), std::string("-") + c.want)
            << "-" << std::hex << c.bits;
    }
}

} // namespace
