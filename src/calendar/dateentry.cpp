// Date entry: the dialogue that settles a working date, the date text, the
// serial day numbers and reading a date from a line.
//
// Serial day numbers count days with the formula
//     whole(365.25 * y) + whole(30.6001 * m) + day + 5
// (January and February counted as months 13 and 14 of the year before).
// They are valid from 1 January 1900 (694,043) to 31 December 2099 (767,092);
// the formula counts a 29 February 1900, so weekdays before 1 March 1900 come
// out one day early.
#include "calendar/dateentry.h"

#include "calendar/daynum.h"
#include "realtext/chop.h"
#include "realtext/inttext.h"
#include "runtime/console.h"
#include "token/table_tokenizer.h"

#include <algorithm>
#include <cmath>

namespace calendar::entry {
namespace {

constexpr double kFirstSerial = 694043.0; // 1 January 1900
constexpr double kLastSerial = 767092.0;  // 31 December 2099
constexpr double kDaysPerYear = 365.25;
constexpr double kDaysPerMonth = 30.6001;
constexpr std::size_t kDateText = text::kTextCap;
// The years PARSEDATE accepts, after its two-digit window.
constexpr std::uint32_t kFirstEntryYear = 1900;
constexpr std::uint32_t kLastEntryYear = 2500;

double whole(double x) { return std::trunc(x); }

// A whole number in the range of the serial formula, as unsigned.
std::uint32_t toCardinal(double x) {
    if (!(x >= 0.0 && x <= 4294967295.0)) return 0;
    return static_cast<std::uint32_t>(x);
}

void putChar(char c, std::span<char> text, std::uint32_t& pos) {
    if (pos < text.size()) text[pos++] = c;
}

// Reads a line of the dialogue into line (untrimmed).
void readLine(text::TEXTBUF& line) {
    runtime::RDSTR(line.CHARS);
    runtime::SKIPLN();
}

void invalidInput(std::uint32_t& year) {
    const runtime::MessageScope message;
    runtime::WRTSTR(" Invalid Input.  Operation Ignored.");
    runtime::WRTLN();
    year = 0;
}

} // namespace

void DATETEXT(std::uint32_t month, std::uint32_t day, std::uint32_t year, std::span<char> text) {
    std::uint32_t pos = 0;
    bool ok = false;
    realtext::INTTOTEXT(month, 0, text, pos, ok);
    putChar('/', text, pos);
    realtext::INTTOTEXT(day, 0, text, pos, ok);
    putChar('/', text, pos);
    // At most the first four digits of the year: the digits are written into
    // a view that ends four places on.
    realtext::INTTOTEXT(year, 0, text.first(std::min<std::size_t>(text.size(), pos + 4u)), pos, ok);
    putChar('\0', text, pos);
}

void SERIALDAY(std::uint32_t month, std::uint32_t day, std::uint32_t year, double& serial) {
    if (month < 1 || month > 12 || day < 1 || day > 31 || year < 1900 || year > 2099) {
        serial = 0.0;
        return;
    }
    double m = month > 2 ? month + 1.0 : month + 13.0;
    double y = month > 2 ? year : year - 1.0;
    serial = whole(kDaysPerYear * y) + whole(kDaysPerMonth * m) + day + 5.0;
}

void SERIALDATE(double serial, std::uint32_t& month, std::uint32_t& day, std::uint32_t& year) {
    // A NaN fails both bounds and is refused with the out-of-range serials.
    if (!(serial >= kFirstSerial && serial <= kLastSerial)) {
        year = 0;
        return;
    }
    double b = serial - 5.0;
    double c = whole(b / kDaysPerYear);
    double f = 0.0;
    double d = 0.0;
    for (;;) {
        double e = whole(kDaysPerYear * c);
        f = whole((b - e) / kDaysPerMonth);
        d = b - e - whole(kDaysPerMonth * f);
        while (d < 1.0) { // each step back adds a month's days, so this ends
            f -= 1.0;
            d = b - e - whole(kDaysPerMonth * f);
        }
        if (f >= 4.0) break;
        c -= 1.0; // January and February belong to the year before
    }
    if (f <= 13.0) {
        month = toCardinal(f - 1.0);
        year = toCardinal(c);
    } else {
        month = toCardinal(f - 13.0);
        year = toCardinal(c + 1.0);
    }
    day = toCardinal(d);
}

void PARSEDATE(const text::TEXTBUF& line, std::uint32_t& month, std::uint32_t& day,
               std::uint32_t& year) {
    namespace tt = token::table;
    tt::INITTKNBUF(line);
    std::array<std::uint32_t, 3> numbers{};
    text::TEXTBUF tkn;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        token::TOKENKIND kind = token::TOKENKIND::DELIMITER;
        std::int32_t value = 0;
        std::uint32_t rc = 0;
        tt::GETTKN(tkn, kind, value, rc);
        if (value < 0 || rc == token::kTknEndOfLine || kind != token::TOKENKIND::NUMBER) {
            invalidInput(year);
            return;
        }
        numbers[i] = static_cast<std::uint32_t>(value);
        if (i + 1 == numbers.size()) break;
        // Anything but a digit separates the numbers.
        for (;;) {
            char ch = '\0';
            token::TOKENKIND cls = token::TOKENKIND::DELIMITER;
            std::uint32_t eol = 0;
            tt::GETCHR(ch, cls, eol);
            if (eol != 0) {
                invalidInput(year);
                return;
            }
            if (cls == token::TOKENKIND::NUMBER) break;
        }
        std::uint32_t fail = 0;
        tt::UNGETCHR(fail);
        if (fail != 0) {
            invalidInput(year);
            return;
        }
    }
    month = numbers[0];
    day = numbers[1];
    year = numbers[2];
    // Two-digit years: 0..49 are 2000..2049, 50..99 are 1950..1999.
    if (year < 50) {
        year += 2000;
    } else if (year < 100) {
        year += 1900;
    }
    if (!isValidDate(month, day, year, kFirstEntryYear, kLastEntryYear)) year = 0;
}

void ENTERDATE(std::uint32_t& month, std::uint32_t& day, std::uint32_t& year) {
    namespace tt = token::table;
    GETTODAY(month, day, year);
    text::TEXTBUF line;
    text::TEXTBUF tkn;
    std::array<char, kDateText> dateText{};
    for (;;) {
        double serial = 0.0;
        DATETEXT(month, day, year, dateText);
        SERIALDAY(month, day, year, serial);
        // The remainder by 7 is 0..6, so the index is always 1..7.
        auto weekday = static_cast<std::size_t>(realtext::REALMOD(serial, 7.0)) + 1;
        runtime::WRTSTR(" Current Day and Date is ");
        runtime::WRTSTR(DAYNAMES[weekday]);
        runtime::WRTSTR(", ");
        runtime::WRTSTR(dateText);
        runtime::WRTSTR(".  Enter relative day # or");
        runtime::WRTLN();
        runtime::WRTSTR("a complete date : ");
        readLine(line);
        runtime::WRTLN();
        text::TRMBUF(line);

        tt::INITTKNBUF(line);
        token::TOKENKIND kind = token::TOKENKIND::DELIMITER;
        std::int32_t value = 0;
        std::uint32_t rc = 0;
        tt::GETTKN(tkn, kind, value, rc);
        if (kind == token::TOKENKIND::WORD && tkn.CHARS[0] == 'N') {
            do {
                if (runtime::conAtEnd()) { // nothing more can come: no date was settled
                    year = 0;
                    return;
                }
                runtime::WRTSTR(" Enter correct date for the study : ");
                readLine(line);
                text::TRMBUF(line);
                PARSEDATE(line, month, day, year);
            } while (year == 0);
        } else if (kind == token::TOKENKIND::NUMBER) {
            if (tt::STOPCHR == '\0') { // a number alone: move by that many days
                SERIALDAY(month, day, year, serial);
                SERIALDATE(serial + value, month, day, year);
            } else {
                PARSEDATE(line, month, day, year);
            }
        } else {
            return; // an empty line, an operator or another word accepts the date
        }
    }
}

void SETTODAY(std::uint32_t month, std::uint32_t day, std::uint32_t year) {
    // The clock's date is never set from here: the platform always refuses.
    (void)month;
    (void)day;
    (void)year;
}

} // namespace calendar::entry
