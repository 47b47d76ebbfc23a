// Day numbers: known and boundary dates, every date from 1700 to 2500
// against the standard calendar, the day of the week, the names and today.
#include "calc/arith.h"
#include "calendar/daynum.h"
#include "runtime/platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <string>

using namespace calendar;
namespace chr = std::chrono;

namespace {

// Days from 1 January of year 1 (day 1) to 1 January 1970 (day 0 of sys_days).
constexpr std::int64_t kEpochDay = 719163;

struct Date {
    std::uint32_t month, day, year;
    bool operator==(const Date&) const = default;
};

Date greg(std::int64_t n) {
    Date d{99, 99, 99};
    GREGDATE(n, d.month, d.day, d.year);
    return d;
}

class DayNum : public ::testing::Test {
  protected:
    void TearDown() override { runtime::platUnpin(); }
};

TEST_F(DayNum, JuldatenumOfKnownDates) {
    struct Case {
        Date d;
        std::int64_t want;
    };
    const Case cases[] = {
        {{1, 1, 1700}, 620548},
        {{1, 1, 2000}, 730120},
        {{7, 21, 2003}, 731417},
        {{12, 31, 2500}, 913106},
        // Two-digit window: 0..29 are 2000..2029, 30..99 are 1930..1999.
        {{1, 1, 0}, 730120},
        {{12, 31, 99}, 730119},
        {{7, 21, 3}, 731417},
        {{1, 1, 29}, 740713},
        {{1, 1, 30}, 704553}, // from Python's date.toordinal
        // Leap rule, and days past the end of a month counting on.
        {{2, 29, 2000}, 730179},
        {{3, 1, 2000}, 730180},
        {{2, 29, 1900}, 693655},
        {{3, 1, 1900}, 693655},
        {{2, 31, 2003}, 731277},
        {{4, 31, 2003}, 731336},
        // Invalid: years 100..1699 and from 2501, month 0 or 13, day 0 or 32.
        {{1, 1, 100}, 0},
        {{1, 1, 1699}, 0},
        {{1, 1, 2501}, 0},
        {{0, 1, 2000}, 0},
        {{13, 1, 2000}, 0},
        {{1, 0, 2000}, 0},
        {{1, 32, 2000}, 0},
        {{1, 1, 4294967295u}, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JULDATENUM(c.d.month, c.d.day, c.d.year), c.want)
            << c.d.month << "/" << c.d.day << "/" << c.d.year;
    }
}

TEST_F(DayNum, GregdateOfKnownNumbersAndOutsideItsRange) {
    struct Case {
        std::int64_t n;
        Date want;
    };
    const Case cases[] = {
        {730120, {1, 1, 2000}},
        {693655, {3, 1, 1900}},
        {620548, {1, 1, 1700}},
        {912864, {5, 3, 2500}},
        {731417, {7, 21, 2003}},
        // Outside 620,548 .. 912,864 every field is 0.
        {620547, {0, 0, 0}},
        {912865, {0, 0, 0}},
        {913106, {0, 0, 0}},
        {0, {0, 0, 0}},
        {-5, {0, 0, 0}},
        {INT64_MIN, {0, 0, 0}},
        {INT64_MAX, {0, 0, 0}},
    };
    for (const Case& c : cases) EXPECT_EQ(greg(c.n), c.want) << c.n;
}

// Every date of the accepted years against the proleptic Gregorian calendar of
// <chrono>: the number, the way back and the day of the week.
TEST_F(DayNum, EveryDateFrom1700To2500MatchesTheStandardCalendar) {
    const chr::sys_days first{chr::year{1700} / 1 / 1};
    const chr::sys_days last{chr::year{2500} / 12 / 31};
    int checked = 0;
    for (chr::sys_days sd = first; sd <= last; sd += chr::days{1}) {
        const chr::year_month_day ymd{sd};
        const Date d{static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                     static_cast<std::uint32_t>(static_cast<int>(ymd.year()))};
        const std::int64_t want = sd.time_since_epoch().count() + kEpochDay;
        const std::int64_t n = JULDATENUM(d.month, d.day, d.year);
        ASSERT_EQ(n, want) << d.month << "/" << d.day << "/" << d.year;
        // The search holds up to 3 May 2500; later numbers give 0, 0, 0.
        ASSERT_EQ(greg(n), (n <= 912864 ? d : Date{0, 0, 0})) << n;
        // DOW: (n MOD 7) + 1 is 1 for Sunday .. 7 for Saturday.
        ASSERT_EQ(calc::arith::REALMOD(static_cast<double>(n), 7) + 1,
                  chr::weekday{sd}.c_encoding() + 1)
            << n;
        ++checked;
    }
    EXPECT_EQ(checked, 913106 - 620548 + 1);
}

TEST_F(DayNum, NamesAreNulPaddedElevenCharacterFields) {
    auto fieldText = [](const NameField& f) { return std::string(f.data(), f.size()); };
    auto padded = [](std::string s) { return s.append(11 - s.size(), '\0'); };
    const char* days[] = {"",          "Sunday",   "Monday", "Tuesday",
                          "Wednesday", "Thursday", "Friday", "Saturday"};
    const char* months[] = {"",        "January",  "February", "March",  "April",
                            "May",     "June",     "July",     "August", "September",
                            "October", "November", "December"};
    for (std::size_t i = 0; i < DAYNAMES.size(); ++i) {
        EXPECT_EQ(fieldText(DAYNAMES[i]), padded(days[i]));
    }
    for (std::size_t i = 0; i < MONTHNAMES.size(); ++i) {
        EXPECT_EQ(fieldText(MONTHNAMES[i]), padded(months[i]));
    }
}

TEST_F(DayNum, GettodayGivesThePinnedDate) {
    runtime::platPinToday({2003, 7, 21});
    Date d{};
    GETTODAY(d.month, d.day, d.year);
    EXPECT_EQ(d, (Date{7, 21, 2003}));
}

TEST_F(DayNum, GettodayGivesTheLocalDateOfTheClock) {
    auto readClock = [] {
        std::time_t now = chr::system_clock::to_time_t(chr::system_clock::now());
        std::tm local{};
        localtime_r(&now, &local);
        return Date{static_cast<std::uint32_t>(local.tm_mon + 1),
                    static_cast<std::uint32_t>(local.tm_mday),
                    static_cast<std::uint32_t>(local.tm_year + 1900)};
    };
    const Date before = readClock();
    Date d{};
    GETTODAY(d.month, d.day, d.year);
    const Date after = readClock(); // midnight may pass in between
    EXPECT_TRUE(d == before || d == after) << d.month << "/" << d.day << "/" << d.year;
}

} // namespace
