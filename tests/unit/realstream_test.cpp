// RealStream reads a number handed in character by character, for texts
// longer than any buffer; on a text that fits it must give exactly what
// TEXTTOREAL gives. Generated number texts of every shape the tokenizer's
// re-scan passes on (digits, points, "E" or "e", signs, other characters)
// are read both ways and compared bit for bit.
#include "realtext/realstream.h"
#include "realtext/realtext.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 16> kPieces = {
    "0", "7", "12",   "999999999", "31415926535", ".",     "E", "e",
    "-", "+", "5E-3", "1e300",     "E600",        "E-400", "x", "4294967301",
};

std::string randomNumber(std::mt19937& rng) {
    std::uniform_int_distribution<std::size_t> pick(0, kPieces.size() - 1);
    std::string s(1, static_cast<char>('0' + std::uniform_int_distribution<int>(0, 9)(rng)));
    const int pieces = std::uniform_int_distribution<int>(0, 12)(rng);
    for (int i = 0; i < pieces; ++i) s.append(kPieces[pick(rng)]);
    if (std::uniform_int_distribution<int>(0, 9)(rng) == 0) s.append(200, '9');
    return s;
}

TEST(RealStream, GivesWhatTextToRealGivesOnATextThatFits) {
    std::mt19937 rng(20261208);
    for (int i = 0; i < 20000; ++i) {
        const std::string s = randomNumber(rng);
        std::uint32_t pos = 0;
        double expected = -1.0;
        bool expectedOk = false;
        realtext::TEXTTOREAL(std::span<const char>(s.c_str(), s.size() + 1), pos, expected,
                             expectedOk);
        realtext::RealStream stream;
        for (char c : s) stream.put(c);
        double value = -1.0;
        bool ok = false;
        stream.result(value, ok);
        ASSERT_EQ(std::bit_cast<std::uint64_t>(value), std::bit_cast<std::uint64_t>(expected)) << s;
        ASSERT_EQ(ok, expectedOk) << s;
    }
}

} // namespace
