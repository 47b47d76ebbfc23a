// Day numbers: month/day/year to a count of days in the proleptic Gregorian
// calendar (1 January of year 1 is day 1) and back, today's local date, and
// the day and month names. No state: the tables are constants.
#include "calendar/daynum.h"

#include "runtime/platform.h"

#include <string_view>

namespace calendar {
namespace {

// The first and last years JULDATENUM accepts, after the two-digit window.
constexpr std::uint32_t kFirstYear = 1700;
constexpr std::uint32_t kLastYear = 2500;
// GREGDATE's search holds from 1 January 1700 to 3 May 2500; from 4 May 2500
// on its first guess of the year is 2501, which JULDATENUM refuses.
constexpr std::int64_t kFirstGreg = 620548;
constexpr std::int64_t kLastGreg = 912864;

constexpr NameField field(std::string_view name) {
    NameField f{}; // the rest stays NUL
    for (std::size_t i = 0; i < name.size() && i < f.size(); ++i) f[i] = name[i];
    return f;
}

bool isLeap(std::int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

} // namespace

const std::array<std::int32_t, 12> MONTHCORR = {0, 1, -1, 0, 0, 1, 1, 2, 3, 3, 4, 4};

const std::array<NameField, 8> DAYNAMES = {
    field(""),          field("Sunday"),   field("Monday"), field("Tuesday"),
    field("Wednesday"), field("Thursday"), field("Friday"), field("Saturday"),
};

const std::array<NameField, 13> MONTHNAMES = {
    field(""),        field("January"),  field("February"), field("March"),  field("April"),
    field("May"),     field("June"),     field("July"),     field("August"), field("September"),
    field("October"), field("November"), field("December"),
};

std::int64_t JULDATENUM(std::uint32_t month, std::uint32_t day, std::uint32_t year) {
    // Two-digit years: 0..29 are 2000..2029, 30..99 are 1930..1999.
    if (year < 30) {
        year += 2000;
    } else if (year < 100) {
        year += 1900;
    }
    if (!isValidDate(month, day, year, kFirstYear, kLastYear)) return 0;
    const std::int64_t y = std::int64_t{year} - 1;
    const std::int64_t m = std::int64_t{month} - 1;
    std::int64_t number = 365 * y + y / 4 - y / 100 + y / 400 + 30 * m +
                          MONTHCORR[static_cast<std::size_t>(m)] + std::int64_t{day};
    if (isLeap(year) && month > 2) ++number;
    return number;
}

void GREGDATE(std::int64_t number, std::uint32_t& month, std::uint32_t& day, std::uint32_t& year) {
    // Outside the range where the search finds a date there is no answer:
    // every field is 0 at once.
    if (number < kFirstGreg || number > kLastGreg) {
        month = 0;
        day = 0;
        year = 0;
        return;
    }
    // The search uses JULDATENUM as its only oracle. The first guess is the
    // right year or one more.
    year = static_cast<std::uint32_t>(number / 365); // 1700..2500 in this range
    while (JULDATENUM(1, 1, year) > number) --year;
    month = 12;
    while (JULDATENUM(month, 1, year) > number) --month;
    day = 1;
    while (day < 31 && JULDATENUM(month, day, year) < number) ++day;
}

void GETTODAY(std::uint32_t& month, std::uint32_t& day, std::uint32_t& year) {
    const runtime::LocalDate today = runtime::platToday();
    month = today.month;
    day = today.day;
    year = today.year;
}

} // namespace calendar
