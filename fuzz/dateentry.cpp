// Fuzz target: the date entry with arbitrary numbers and lines. SERIALDAY
// takes any three values, SERIALDATE any double (far out of range, NaN and
// infinities included), DATETEXT any date into an array of any capacity,
// PARSEDATE any line, and ENTERDATE a whole dialogue of arbitrary bytes with
// the console in memory and today pinned.
//
// Checks besides "no crash, no hang":
// - SERIALDAY against a model built on a days-from-civil count: serials run
//   day by day, 1 March 1900 is 694,103, and before it the formula's 29
//   February 1900 makes them one less;
// - SERIALDATE inverts SERIALDAY on every whole serial of its range (giving a
//   real day of its month, or the formula's 29 February 1900) and refuses
//   everything else with year 0, month and day untouched;
// - DATETEXT writes the month, the day and the first four year digits with
//   their slashes and a NUL, never past the array;
// - PARSEDATE reads dates written with any separators, applies its window
//   and ranges, and writes nothing but its one message;
// - ENTERDATE returns for every input, writes only its prompts and message,
//   and settles either year 0 or a date in range.
#include "fuzzcheck.h"

#include "calendar/dateentry.h"
#include "calendar/daynum.h"
#include "runtime/console.h"
#include "runtime/failure.h"
#include "runtime/platform.h"
#include "text/textbuf.h"
#include "token/table_tokenizer.h"
#include "token/tokenizer.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

using fuzzcheck::decimal;
using fuzzcheck::require;
namespace entry = calendar::entry;

constexpr std::string_view kInvalid = " Invalid Input.  Operation Ignored.";
// The table-driven tokenizer's message for an overlong word, which the
// date entry's scans can meet.
constexpr std::string_view kTooLong = "PARAM NAME TOO LONG, FIRST 80 CHAR'S ARE: ";

// The lines of out, split at CR LF (a last line without one included).
std::vector<std::string_view> linesOf(const std::string& out) {
    std::vector<std::string_view> lines;
    std::size_t at = 0;
    while (at < out.size()) {
        std::size_t end = out.find("\r\n", at);
        if (end == std::string::npos) end = out.size();
        lines.emplace_back(out.data() + at, end - at);
        at = end + 2;
    }
    return lines;
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

std::int64_t daysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
}

std::int64_t monthLength(std::int64_t y, std::int64_t m) {
    return daysFromCivil(m == 12 ? y + 1 : y, m == 12 ? 1 : m + 1, 1) - daysFromCivil(y, m, 1);
}

// 1 March 1900 is 694,103; a day past the end of its month counts on; before
// 1 March 1900 the formula's extra 29 February makes every serial one less.
double modelSerial(std::uint32_t m, std::uint32_t d, std::uint32_t y) {
    if (m < 1 || m > 12 || d < 1 || d > 31 || y < 1900 || y > 2099) return 0.0;
    std::int64_t days = daysFromCivil(y, m, 1) + d - 1 - daysFromCivil(1900, 3, 1);
    std::int64_t early = (y == 1900 && m <= 2) ? 1 : 0;
    return static_cast<double>(694103 + days - early);
}

std::string dateText(std::uint32_t m, std::uint32_t d, std::uint32_t y) {
    return decimal(std::uint64_t{m}) + "/" + decimal(std::uint64_t{d}) + "/" +
           decimal(std::uint64_t{y});
}

void checkSerialday(std::uint32_t m, std::uint32_t d, std::uint32_t y) {
    double serial = -1;
    entry::SERIALDAY(m, d, y, serial);
    double want = modelSerial(m, d, y);
    require(serial == want, "SERIALDAY",
            dateText(m, d, y) + " gave " + decimal(static_cast<std::int64_t>(serial)));
}

void checkSerialdate(double serial) {
    constexpr std::uint32_t kUntouched = 4242;
    std::uint32_t m = kUntouched, d = kUntouched, y = kUntouched;
    entry::SERIALDATE(serial, m, d, y);
    std::string what = "SERIALDATE(" + fuzzcheck::bitsOf(serial) + ") gave " + dateText(m, d, y);
    if (!(serial >= 694043 && serial <= 767092)) {
        require(y == 0 && m == kUntouched && d == kUntouched,
                "out of range: year 0, month and day untouched", what);
        return;
    }
    if (serial != std::floor(serial)) return; // a fraction of a day: any date, but it returned
    require(y >= 1900 && y <= 2099 && m >= 1 && m <= 12, "SERIALDATE gives a date in range", what);
    const bool phantom = y == 1900 && m == 2 && d == 29;
    require(phantom || (d >= 1 && d <= monthLength(y, m)), "SERIALDATE gives a day of its month",
            what);
    double back = -1;
    entry::SERIALDAY(m, d, y, back);
    require(back == serial, "SERIALDATE inverts SERIALDAY", what);
}

void checkDatetext(std::uint32_t m, std::uint32_t d, std::uint32_t y, std::size_t cap) {
    std::vector<char> buf(cap, 'Z');
    entry::DATETEXT(m, d, y, buf);
    std::string full = decimal(std::uint64_t{m}) + "/" + decimal(std::uint64_t{d}) + "/" +
                       decimal(std::uint64_t{y}).substr(0, 4);
    full.push_back('\0');
    std::vector<char> want(cap, 'Z');
    for (std::size_t i = 0; i < full.size() && i < cap; ++i) want[i] = full[i];
    require(buf == want, "DATETEXT",
            dateText(m, d, y) + " cap " + decimal(std::uint64_t{cap}) + ": " +
                std::string(buf.begin(), buf.end()));
}

text::TEXTBUF lineOf(const std::string& s) {
    text::TEXTBUF b{};
    std::size_t n = std::min<std::size_t>(s.size(), b.CHARS.size());
    for (std::size_t i = 0; i < n; ++i) b.CHARS[i] = s[i];
    if (n < b.CHARS.size()) b.CHARS[n] = '\0';
    b.COUNT = static_cast<std::uint32_t>(n);
    b.ORIGCNT = b.COUNT;
    return b;
}

void checkParsedate(const std::string& s) {
    std::uint32_t m = 9, d = 9, y = 9;
    entry::PARSEDATE(lineOf(s), m, d, y);
    std::string out = runtime::conTakeOutput();
    std::string what = "PARSEDATE [" + s + "] gave " + dateText(m, d, y);
    bool invalid = false;
    // An echoed word could hold a line end of its own; such lines are not split.
    const bool split = s.find('\n') == std::string::npos;
    for (std::string_view line : split ? linesOf(out) : std::vector<std::string_view>{}) {
        invalid = invalid || line == kInvalid;
        require(line == kInvalid || startsWith(line, kTooLong), "PARSEDATE writes only its message",
                what + " wrote " + out);
    }
    require(out.empty() || out.substr(out.size() - 2) == "\r\n", "PARSEDATE ends its lines", what);
    if (invalid || out.find(kInvalid) != std::string::npos)
        require(y == 0, "the message comes with year 0", what);
    if (y != 0) {
        require(m >= 1 && m <= 12 && d >= 1 && d <= 31 && y >= 1900 && y <= 2500,
                "PARSEDATE accepts only dates in range", what);
    }
}

// A date written with arbitrary separators (no digits in them) reads back,
// with the window: below 50 is 20xx, below 100 is 19xx, else 1900..2500.
void checkParsedWritten(FuzzedDataProvider& fdp) {
    auto separator = [&](bool first) {
        std::string s;
        std::size_t n = fdp.ConsumeIntegralInRange<std::size_t>(first ? 0 : 1, 3);
        for (std::size_t i = 0; i < n; ++i) {
            char c = fdp.PickValueInArray({' ', '/', '-', '.', ',', ';', 'x', '\t'});
            if (first && c != ' ' && c != ',' && c != ';')
                c = ' '; // before the first number: delimiters only
            s.push_back(c);
        }
        return s;
    };
    std::uint32_t m = fdp.ConsumeIntegralInRange<std::uint32_t>(0, 14);
    std::uint32_t d = fdp.ConsumeIntegralInRange<std::uint32_t>(0, 33);
    std::uint32_t y = fdp.ConsumeBool() ? fdp.ConsumeIntegralInRange<std::uint32_t>(0, 120)
                                        : fdp.ConsumeIntegralInRange<std::uint32_t>(1850, 2600);
    std::string line = separator(true) + decimal(std::uint64_t{m}) + separator(false) +
                       decimal(std::uint64_t{d}) + separator(false) + decimal(std::uint64_t{y});
    std::uint32_t gm = 0, gd = 0, gy = 0;
    entry::PARSEDATE(lineOf(line), gm, gd, gy);
    require(runtime::conTakeOutput().empty(), "a written date gets no message", line);
    std::uint32_t wy = y < 50 ? y + 2000 : y < 100 ? y + 1900 : (y < 1900 || y > 2500) ? 0 : y;
    if (m < 1 || m > 12 || d < 1 || d > 31) wy = 0;
    require(gy == wy, "PARSEDATE year", line + " gave " + dateText(gm, gd, gy));
    if (wy != 0)
        require(gm == m && gd == d, "PARSEDATE month and day",
                line + " gave " + dateText(gm, gd, gy));
}

constexpr std::string_view kEntryLines[] = {
    " Current Day and Date is ",
    "a complete date : ",
    " Enter correct date for the study : ",
    " Invalid Input.  Operation Ignored.",
    kTooLong,
};

void checkEnterdate(const std::string& input) {
    runtime::conUseMemory(input);
    std::uint32_t m = 0, d = 0, y = 0;
    entry::ENTERDATE(m, d, y);
    std::string out = runtime::conTakeOutput();
    runtime::conUseMemory({});
    std::string what = "ENTERDATE gave " + dateText(m, d, y);
    if (y != 0) {
        require(m >= 1 && m <= 12 && d >= 1 && d <= 31 && y >= 1900 && y <= 2500,
                "ENTERDATE settles a date in range", what);
    }
    // Every line starts with one of the dialogue's own texts; prompts for a
    // correct date are answered on the same line, so several can follow.
    for (std::string_view line : linesOf(out)) {
        bool known = line.empty();
        for (std::string_view t : kEntryLines) known = known || startsWith(line, t);
        require(known, "ENTERDATE wrote a line of its own", what + ": " + std::string(line));
    }
    require(out.size() <= 400 + 200 * input.size(),
            "ENTERDATE output out of proportion to its input", what);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzcheck::catchFailureReports();
    runtime::platPinToday(runtime::LocalDate{2003, 7, 21});
    runtime::conUseMemory({});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzcheck::freshStart();
    FuzzedDataProvider fdp(data, size);
    // A plain line is a seed as it is: the last byte (none: 0) picks the operation.
    switch (fdp.ConsumeIntegralInRange<int>(0, 7)) {
    case 0: {
        std::string line = fdp.ConsumeRemainingBytesAsString();
        checkParsedate(line);
        break;
    }
    case 1: {
        std::uint32_t m = fdp.ConsumeIntegralInRange<std::uint32_t>(0, 13);
        std::uint32_t d = fdp.ConsumeIntegralInRange<std::uint32_t>(0, 32);
        checkSerialday(m, d, fdp.ConsumeIntegralInRange<std::uint32_t>(1890, 2110));
        break;
    }
    case 2: {
        std::uint32_t m = fdp.ConsumeIntegral<std::uint32_t>();
        std::uint32_t d = fdp.ConsumeIntegral<std::uint32_t>();
        checkSerialday(m, d, fdp.ConsumeIntegral<std::uint32_t>());
        break;
    }
    case 3:
        checkSerialdate(
            static_cast<double>(fdp.ConsumeIntegralInRange<std::int64_t>(694000, 767200)));
        break;
    case 4: {
        std::uint64_t bits = fdp.ConsumeIntegral<std::uint64_t>();
        double v = 0;
        std::memcpy(&v, &bits, sizeof v);
        checkSerialdate(v);
        break;
    }
    case 5: {
        std::uint32_t m = fdp.ConsumeBool() ? fdp.ConsumeIntegral<std::uint32_t>()
                                            : fdp.ConsumeIntegralInRange<std::uint32_t>(0, 13);
        std::uint32_t d = fdp.ConsumeBool() ? fdp.ConsumeIntegral<std::uint32_t>()
                                            : fdp.ConsumeIntegralInRange<std::uint32_t>(0, 32);
        std::uint32_t y = fdp.ConsumeIntegral<std::uint32_t>();
        checkDatetext(m, d, y, fdp.ConsumeIntegralInRange<std::size_t>(0, 40));
        break;
    }
    case 6:
        checkParsedWritten(fdp);
        break;
    default:
        checkEnterdate(fdp.ConsumeRemainingBytesAsString());
        break;
    }
    return 0;
}
