// The small layer that stands in for the platform calls the program was
// designed around: single-byte upper-case mapping, the local calendar date,
// and the failure report that would otherwise appear in a message box.
#pragma once

#include <cstdint>
#include <string_view>

namespace runtime {

// Upper-case mapping of one byte: "a" to "z" become "A" to "Z"; every other
// byte, 128 to 255 included, maps to itself (input is UTF-8 today, and
// changing single bytes of it would corrupt the text messages echo back).
constexpr char platUpper(char ch) {
    if (ch >= 'a' && ch <= 'z') return static_cast<char>(ch - 'a' + 'A');
    return ch;
}

struct LocalDate {
    std::uint32_t year = 0;
    std::uint32_t month = 0; // 1..12
    std::uint32_t day = 0;   // 1..31
};

// Today's date from the machine's clock, in local time.
LocalDate platToday();
// Tests pin the clock to a date; platUnpin returns to the real clock.
void platPinToday(LocalDate date);
void platUnpin();

// Shows a failure report: the title and the text as two lines on standard
// error. Async-signal-safe (write(2) only).
void platReport(std::string_view title, std::string_view text);

} // namespace runtime
