// Day numbers: a calendar date (month, day, year) to a plain count of days in
// the proleptic Gregorian calendar and back, today's local date, and the day
// and month names.
//
// Day 1 is Monday 1 January of year 1; 0 stands for an invalid date. Only the
// years 1700 to 2500 are accepted. (n MOD 7) + 1 is 1 for Sunday .. 7 for
// Saturday.
#pragma once

#include <array>
#include <cstdint>

namespace calendar {

using NameField = std::array<char, 11>; // a name followed by NULs

// Days before month m in a common year are 30 * (m - 1) + MONTHCORR[m - 1].
extern const std::array<std::int32_t, 12> MONTHCORR;
// Indices 1..7 (Sunday first) and 1..12; index 0 is an empty field.
extern const std::array<NameField, 8> DAYNAMES;
extern const std::array<NameField, 13> MONTHNAMES;

// The one date check both date readers make: month 1 to 12, day 1 to 31
// (checked against 31 only, so 31 April counts on into 1 May) and a year
// from first to last, the two-digit window already applied.
constexpr bool isValidDate(std::uint32_t month, std::uint32_t day, std::uint32_t year,
                           std::uint32_t first, std::uint32_t last) {
    return month >= 1 && month <= 12 && day >= 1 && day <= 31 && year >= first && year <= last;
}

std::int64_t JULDATENUM(std::uint32_t month, std::uint32_t day, std::uint32_t year);
void GREGDATE(std::int64_t number, std::uint32_t& month, std::uint32_t& day, std::uint32_t& year);
void GETTODAY(std::uint32_t& month, std::uint32_t& day, std::uint32_t& year);

} // namespace calendar
