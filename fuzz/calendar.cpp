// Fuzz target: the day numbers with arbitrary numbers. JULDATENUM takes any
// three 32-bit values, GREGDATE any 64-bit number, far out of range included.
//
// Expected day numbers come from a days-from-civil count worked out here
// (eras of 400 years from 1 March), not from the day-number formula: a date
// is valid for month 1..12, day 1..31 and a year of 1700..2500 after the
// two-digit window, and a day past the end of its month counts on into the
// next month. GREGDATE must return for every number; inside its range it
// gives the one date whose day number is that number, and outside it never
// gives a date that stands for another number.
#include "fuzzcheck.h"

#include "calendar/daynum.h"
#include "runtime/failure.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string>

namespace {

using fuzzcheck::require;

// Days from 1 January 1970 to the given date of the proleptic Gregorian
// calendar, counted in eras of 400 years that begin on 1 March.
std::int64_t daysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// Day 1 is 1 January of year 1.
std::int64_t dayNumber(std::int64_t y, std::int64_t m, std::int64_t d) {
    return daysFromCivil(y, m, 1) - daysFromCivil(1, 1, 1) + d;
}

std::int64_t modelJuldatenum(std::uint32_t month, std::uint32_t day, std::uint32_t year) {
    std::int64_t y = year;
    if (y < 30) {
        y += 2000;
    } else if (y < 100) {
        y += 1900;
    }
    if (month < 1 || month > 12 || day < 1 || day > 31 || y < 1700 || y > 2500) return 0;
    return dayNumber(y, month, day);
}

std::int64_t monthLength(std::int64_t y, std::int64_t m) {
    return dayNumber(m == 12 ? y + 1 : y, m == 12 ? 1 : m + 1, 1) - dayNumber(y, m, 1);
}

std::string dateText(std::uint32_t m, std::uint32_t d, std::uint32_t y) {
    return fuzzcheck::decimal(std::uint64_t{m}) + "/" + fuzzcheck::decimal(std::uint64_t{d}) + "/" +
           fuzzcheck::decimal(std::uint64_t{y});
}

void checkJuldatenum(std::uint32_t m, std::uint32_t d, std::uint32_t y) {
    std::int64_t got = calendar::JULDATENUM(m, d, y);
    std::int64_t want = modelJuldatenum(m, d, y);
    require(got == want, "JULDATENUM",
            dateText(m, d, y) + " gave " + fuzzcheck::decimal(got) + ", want " +
                fuzzcheck::decimal(want));
    require(got == 0 || (got >= 620548 && got <= 913106), "JULDATENUM outside 1700..2500",
            dateText(m, d, y));
}

void checkGregdate(std::int64_t n) {
    std::uint32_t m = 77, d = 77, y = 77;
    calendar::GREGDATE(n, m, d, y);
    std::string what = fuzzcheck::decimal(n) + " gave " + dateText(m, d, y);
    if (n >= 620548 && n <= 912864) {
        require(m >= 1 && m <= 12 && y >= 1700 && y <= 2500, "GREGDATE gives a date in range",
                what);
        require(d >= 1 && d <= monthLength(y, m), "GREGDATE gives a day of its month", what);
        require(calendar::JULDATENUM(m, d, y) == n, "GREGDATE inverts JULDATENUM", what);
        require(dayNumber(y, m, d) == n, "GREGDATE gives the calendar date of the number", what);
        return;
    }
    // Outside the range no date is found; whatever is returned must not be a
    // date that stands for a different number.
    std::int64_t back = calendar::JULDATENUM(m, d, y);
    require(back == 0 || back == n, "GREGDATE out of range returned another day's date", what);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzcheck::freshStart();
    fuzzcheck::catchFailureReports();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider fdp(data, size);
    while (fdp.remaining_bytes() > 0) {
        switch (fdp.ConsumeIntegralInRange<int>(0, 3)) {
        case 0: { // any three values
            std::uint32_t m = fdp.ConsumeIntegral<std::uint32_t>();
            std::uint32_t d = fdp.ConsumeIntegral<std::uint32_t>();
            checkJuldatenum(m, d, fdp.ConsumeIntegral<std::uint32_t>());
            break;
        }
        case 1: { // near the edges: months and days around their limits, every window year
            std::uint32_t m = fdp.ConsumeIntegralInRange<std::uint32_t>(0, 13);
            std::uint32_t d = fdp.ConsumeIntegralInRange<std::uint32_t>(0, 32);
            checkJuldatenum(m, d, fdp.ConsumeIntegralInRange<std::uint32_t>(0, 2600));
            break;
        }
        case 2: // any number, far out of range included
            checkGregdate(fdp.ConsumeIntegral<std::int64_t>());
            break;
        default: // the defined range and a little around it
            checkGregdate(fdp.ConsumeIntegralInRange<std::int64_t>(620000, 914000));
            break;
        }
    }
    return 0;
}
