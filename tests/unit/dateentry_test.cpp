// Date entry: serial day numbers against the calendar of <chrono>, the date
// text, reading dates from a line, and whole dialogues with a pinned today.
#include "calendar/dateentry.h"
#include "runtime/platform.h"
#include "testutil.h"
#include "token/table_tokenizer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>

using namespace calendar::entry;
using testutil::makeBuf;

namespace {

struct Date {
    std::uint32_t month, day, year;
    bool operator==(const Date&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Date& d) {
    return os << d.month << '/' << d.day << '/' << d.year;
}

class DateEntry : public ::testing::Test {
  protected:
    void SetUp() override {
        testutil::freshStart();
        runtime::platPinToday({2003, 7, 21});
    }
    void TearDown() override { runtime::platUnpin(); }
};

TEST_F(DateEntry, SerialDaysOfKnownDates) {
    struct Case {
        Date date;
        double serial;
    };
    const Case cases[] = {
        {{1, 1, 1900}, 694043},
        {{2, 28, 1900}, 694101},
        {{3, 1, 1900}, 694103},
        {{7, 21, 2003}, 731865},
        {{12, 31, 2099}, 767092},
        // Refused: month, day or year out of range.
        {{0, 1, 2000}, 0},
        {{13, 1, 2000}, 0},
        {{1, 0, 2000}, 0},
        {{1, 32, 2000}, 0},
        {{12, 31, 1899}, 0},
        {{1, 1, 2100}, 0},
    };
    for (const Case& c : cases) {
        double serial = -1;
        SERIALDAY(c.date.month, c.date.day, c.date.year, serial);
        EXPECT_EQ(serial, c.serial) << c.date;
    }
}

TEST_F(DateEntry, SerialDateGivesTheNonexistentLeapDayOf1900) {
    Date d{0, 0, 0};
    SERIALDATE(694102, d.month, d.day, d.year);
    EXPECT_EQ(d, (Date{2, 29, 1900}));
}

TEST_F(DateEntry, SerialDateRefusesSerialsOutOfRangeAndLeavesMonthAndDay) {
    const double serials[] = {0.0,   694042.0, 767093.0,  -1e300,
                              1e300, HUGE_VAL, -HUGE_VAL, std::nan("")};
    for (double serial : serials) {
        Date d{5, 6, 2000};
        SERIALDATE(serial, d.month, d.day, d.year);
        EXPECT_EQ(d, (Date{5, 6, 0})) << serial;
    }
}

TEST_F(DateEntry, SerialDayAndDateRoundTripEveryDateOf1900To2099) {
    using namespace std::chrono;
    const sys_days first = sys_days{year{1900} / March / 1};
    const double firstSerial = 694103;
    for (sys_days day = sys_days{year{1900} / January / 1};
         day <= sys_days{year{2099} / December / 31}; day += days{1}) {
        year_month_day ymd{day};
        Date date{static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                  static_cast<std::uint32_t>(static_cast<int>(ymd.year()))};
        double serial = 0;
        SERIALDAY(date.month, date.day, date.year, serial);
        Date back{0, 0, 0};
        SERIALDATE(serial, back.month, back.day, back.year);
        ASSERT_EQ(back, date) << "serial " << serial;
        if (day >= first) {
            // Consecutive from 1 March 1900 on, and a multiple of 7 is a Sunday.
            ASSERT_EQ(serial, firstSerial + static_cast<double>((day - first).count())) << date;
            ASSERT_EQ(std::fmod(serial, 7.0), static_cast<double>(weekday{day}.c_encoding()))
                << date;
        }
    }
}

TEST_F(DateEntry, SerialDateEndsForFractionalSerials) {
    Date d{0, 0, 0};
    SERIALDATE(694043.5, d.month, d.day, d.year);
    EXPECT_EQ(d, (Date{1, 1, 1900}));
    SERIALDATE(767091.75, d.month, d.day, d.year);
    EXPECT_EQ(d, (Date{12, 30, 2099}));
}

TEST_F(DateEntry, DateText) {
    struct Case {
        Date date;
        std::string text;
    };
    const Case cases[] = {
        {{7, 21, 2003}, "7/21/2003"},
        {{12, 31, 0}, "12/31/0"},
        {{1, 1, 20035}, "1/1/2003"}, // at most four digits of the year
        {{10, 5, 99}, "10/5/99"},
    };
    for (const Case& c : cases) {
        std::array<char, 256> text{};
        text.fill('#');
        DATETEXT(c.date.month, c.date.day, c.date.year, text);
        EXPECT_EQ(testutil::textOf(text), c.text);
    }
    std::array<char, 5> small{};
    DATETEXT(7, 21, 2003, small); // cut at the array's end, never past it
    EXPECT_EQ(std::string(small.data(), small.size()), "7/21/");
}

TEST_F(DateEntry, ParseDateAcceptsAnySeparatorsAndAWindowOf50) {
    struct Case {
        std::string line;
        Date want;
    };
    const Case cases[] = {
        {"7/21/2003", {7, 21, 2003}},
        {"7-21-2003", {7, 21, 2003}},
        {"7 21 03", {7, 21, 2003}},
        {"  7.21.2003", {7, 21, 2003}},
        {"1/1/49", {1, 1, 2049}},
        {"1/1/50", {1, 1, 1950}},
        {"1/1/99", {1, 1, 1999}},
        {"1/1/2500", {1, 1, 2500}},
        {"2/30/2003", {2, 30, 2003}},
        {"7 and 21 of 2003", {7, 21, 2003}},
        // Out of range: year 0 and no message; month and day are kept.
        {"13/1/2003", {13, 1, 0}},
        {"1/1/1899", {1, 1, 0}},
        {"1/32/2003", {1, 32, 0}},
        {"1/1/2501", {1, 1, 0}},
        {"0/1/2003", {0, 1, 0}},
        {"1/1/100", {1, 1, 0}},
    };
    for (const Case& c : cases) {
        testutil::CapturedConsole con;
        Date d{9, 9, 9};
        PARSEDATE(makeBuf(c.line), d.month, d.day, d.year);
        EXPECT_EQ(d, c.want) << c.line;
        EXPECT_EQ(con.take(), "") << c.line;
    }
}

TEST_F(DateEntry, ParseDateReportsLinesWithoutThreeNumbers) {
    const std::string lines[] = {"7/21", "", "x 7 21 2003", "7/21/", "-7/21/2003", "/7/21/2003"};
    for (const std::string& line : lines) {
        testutil::CapturedConsole con;
        Date d{5, 6, 2000};
        PARSEDATE(makeBuf(line), d.month, d.day, d.year);
        EXPECT_EQ(d, (Date{5, 6, 0})) << line;
        EXPECT_EQ(con.take(), " Invalid Input.  Operation Ignored.\r\n") << line;
    }
}

std::string display(const std::string& weekday, const std::string& date) {
    return " Current Day and Date is " + weekday + ", " + date +
           ".  Enter relative day # or\r\na complete date : ";
}

const std::string kInvalid = " Invalid Input.  Operation Ignored.\r\n";
const std::string kStudy = " Enter correct date for the study : ";

TEST_F(DateEntry, Dialogues) {
    struct Case {
        const char* name;
        std::string input;
        std::string output;
        Date result;
    };
    const std::string today = display("Monday", "7/21/2003") + "\r\n";
    const Case cases[] = {
        {"accept today", "\n", today, {7, 21, 2003}},
        {"ten days on", "10\n\n", today + display("Thursday", "7/31/2003") + "\r\n", {7, 31, 2003}},
        {"back 21 days", "-21\n\n", today + display("Monday", "6/30/2003") + "\r\n", {6, 30, 2003}},
        {"complete date",
         "12/25/2003\n\n",
         today + display("Thursday", "12/25/2003") + "\r\n",
         {12, 25, 2003}},
        {"two-digit year",
         "12 25 03\n\n",
         today + display("Thursday", "12/25/2003") + "\r\n",
         {12, 25, 2003}},
        {"window 49", "1/1/49\n\n", today + display("Friday", "1/1/2049") + "\r\n", {1, 1, 2049}},
        {"window 50", "1/1/50\n\n", today + display("Sunday", "1/1/1950") + "\r\n", {1, 1, 1950}},
        {"month 13", "13/1/2003\n\n", today + display("Sunday", "13/1/0") + "\r\n", {13, 1, 0}},
        {"year 1899", "1/1/1899\n\n", today + display("Sunday", "1/1/0") + "\r\n", {1, 1, 0}},
        {"two numbers",
         "7/21\n\n",
         today + kInvalid + display("Sunday", "7/21/0") + "\r\n",
         {7, 21, 0}},
        {"day past the month",
         "2/30/2003\n0\n\n",
         today + display("Sunday", "2/30/2003") + "\r\n" + display("Sunday", "3/2/2003") + "\r\n",
         {3, 2, 2003}},
        {"no, then a bad and a good date",
         "no\n7/21\n12/25/2003\n\n",
         today + kStudy + kInvalid + kStudy + display("Thursday", "12/25/2003") + "\r\n",
         {12, 25, 2003}},
        {"past the last serial",
         "12/31/2099\n1\n\n",
         today + display("Thursday", "12/31/2099") + "\r\n" + display("Sunday", "12/31/0") + "\r\n",
         {12, 31, 0}},
        {"an operator accepts", "+\n", today, {7, 21, 2003}},
        {"a word accepts", "yes\n", today, {7, 21, 2003}},
        // The input ends while a correct date is asked for: nothing can settle
        // it, so the dialogue ends with no date instead of asking forever.
        {"end of input after no", "n\n7/21\n", today + kStudy + kInvalid, {7, 21, 0}},
        {"end of input", "", today, {7, 21, 2003}},
    };
    for (const Case& c : cases) {
        testutil::CapturedConsole con(c.input);
        Date d{0, 0, 0};
        ENTERDATE(d.month, d.day, d.year);
        EXPECT_EQ(con.take(), c.output) << c.name;
        EXPECT_EQ(d, c.result) << c.name;
    }
}

TEST_F(DateEntry, SetTodayLeavesTheClockAlone) {
    SETTODAY(1, 1, 2000);
    Date d{0, 0, 0};
    testutil::CapturedConsole con("\n");
    ENTERDATE(d.month, d.day, d.year);
    EXPECT_EQ(d, (Date{7, 21, 2003}));
}

} // namespace
