// Fuzz target: the integer text conversions. TEXTTOINT reads arbitrary bytes
// from an arbitrary position; INTTOTEXT writes any 64-bit value with any width
// into an array of any capacity from any position.
//
// Each call is compared with a model worked out here in unsigned 64-bit arithmetic
// (value, ok and position, and every byte of the array), and every value
// written with room to spare reads back as itself.
#include "fuzzcheck.h"

#include "realtext/inttext.h"
#include "runtime/failure.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

namespace {

using fuzzcheck::require;

struct IntRead {
    std::int64_t value = 0;
    bool ok = false;
    std::uint32_t pos = 0;
};

IntRead modelTextToInt(const std::vector<char>& text, std::uint32_t pos) {
    auto at = [&](std::uint32_t i) { return i < text.size() ? text[i] : '\0'; };
    while (pos < text.size() && text[pos] == ' ') ++pos;
    bool negative = false;
    if (at(pos) == '+' || at(pos) == '-') negative = text[pos++] == '-';
    const std::uint64_t limit = negative ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
    std::uint64_t a = 0;
    bool seen = false;
    IntRead r;
    for (;;) {
        char c = at(pos);
        bool digit = pos < text.size() && fuzzcheck::isDigit(c);
        std::uint64_t d = digit ? static_cast<std::uint64_t>(c - '0') : 0;
        // a * 10 + d > limit, asked without overflowing
        if (!digit || a > (limit - d) / 10) {
            r.ok = digit ? false : seen;
            r.value = static_cast<std::int64_t>(negative ? 0u - a : a); // modular: -2^63 fits
            r.pos = pos;
            return r;
        }
        a = a * 10 + d;
        seen = true;
        ++pos;
    }
}

void checkTextToInt(const std::vector<char>& text, std::uint32_t pos0) {
    IntRead got;
    got.pos = pos0;
    got.value = 99;
    got.ok = false;
    realtext::TEXTTOINT(text, got.pos, got.value, got.ok);
    IntRead want = modelTextToInt(text, pos0);
    std::string what = "TEXTTOINT at " + fuzzcheck::decimal(std::uint64_t{pos0}) + " of [" +
                       std::string(text.begin(), text.end()) + "] gave " +
                       fuzzcheck::decimal(got.value);
    require(got.ok == want.ok, "TEXTTOINT ok", what);
    require(got.value == want.value, "TEXTTOINT value", what);
    require(got.pos == want.pos, "TEXTTOINT position", what);
}

void checkIntToText(std::int64_t value, std::int32_t width, std::size_t cap, std::uint32_t pos0) {
    std::vector<char> buf(cap, 'Z');
    std::uint32_t pos = pos0;
    bool ok = false;
    realtext::INTTOTEXT(value, width, buf, pos, ok);

    std::string digits;
    std::uint64_t mag =
        value < 0 ? 0u - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(mag % 10)));
        mag /= 10;
    } while (mag != 0);
    std::vector<char> want(cap, 'Z');
    std::uint32_t wpos = pos0;
    bool wok = true;
    const bool negative = value < 0;
    std::int64_t blanks =
        std::int64_t{width} - static_cast<std::int64_t>(digits.size()) - (negative ? 1 : 0);
    // Blanks and the sign are dropped where there is no room; only the blanks
    // that land matter, so the count is bounded by the capacity.
    for (std::int64_t b = 0; b < blanks && wpos < cap; ++b) want[wpos++] = ' ';
    if (negative && wpos < cap) want[wpos++] = '-';
    for (char d : digits) {
        if (wpos < cap) {
            want[wpos++] = d;
        } else {
            wok = false;
        }
    }
    if (wpos < cap) want[wpos] = '\0';
    std::string what = "INTTOTEXT(" + fuzzcheck::decimal(value) + ", " +
                       fuzzcheck::decimal(std::int64_t{width}) + ") cap " +
                       fuzzcheck::decimal(std::uint64_t{cap}) + " pos " +
                       fuzzcheck::decimal(std::uint64_t{pos0});
    require(pos == wpos, "INTTOTEXT position", what);
    require(ok == wok, "INTTOTEXT ok", what);
    require(buf == want, "INTTOTEXT text", what + " got " + std::string(buf.begin(), buf.end()));
}

void checkRoundTrip(std::int64_t value, std::int32_t width) {
    std::vector<char> buf(64, 'Z');
    std::uint32_t pos = 0;
    bool ok = false;
    realtext::INTTOTEXT(value, width, buf, pos, ok);
    std::string what = "round trip of " + fuzzcheck::decimal(value) + " width " +
                       fuzzcheck::decimal(std::int64_t{width});
    require(ok, "INTTOTEXT with room is ok", what);
    std::uint32_t end = pos;
    std::uint32_t back = 0;
    std::int64_t r = 0;
    bool rok = false;
    realtext::TEXTTOINT(buf, back, r, rok);
    require(rok && r == value, "the text reads back as the value", what);
    require(back == end, "TEXTTOINT stops where INTTOTEXT ended", what);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzcheck::freshStart();
    fuzzcheck::catchFailureReports();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider fdp(data, size);
    switch (fdp.ConsumeIntegralInRange<int>(0, 2)) {
    case 0: {
        std::uint32_t pos0 = fdp.ConsumeIntegralInRange<std::uint32_t>(0, 8);
        std::string rest = fdp.ConsumeRemainingBytesAsString();
        checkTextToInt(std::vector<char>(rest.begin(), rest.end()), pos0);
        break;
    }
    case 1: {
        std::int64_t value = fdp.ConsumeIntegral<std::int64_t>();
        std::int32_t width = fdp.ConsumeBool() ? fdp.ConsumeIntegral<std::int32_t>()
                                               : fdp.ConsumeIntegralInRange<std::int32_t>(-3, 30);
        std::size_t cap = fdp.ConsumeIntegralInRange<std::size_t>(0, 40);
        checkIntToText(value, width, cap, fdp.ConsumeIntegralInRange<std::uint32_t>(0, 42));
        break;
    }
    default: {
        std::int64_t value = fdp.ConsumeIntegral<std::int64_t>();
        checkRoundTrip(value, fdp.ConsumeIntegralInRange<std::int32_t>(-5, 40));
        break;
    }
    }
    return 0;
}
