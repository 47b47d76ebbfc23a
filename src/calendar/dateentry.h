// Date entry: an interactive dialogue that settles a working date, with its
// companions: the date text, a real-valued serial day number (a different
// count from the day numbers), and reading a date from a line.
//
// These serve library callers; the calculator does not call them (its
// calendar words use calendar/daynum.h).
#pragma once

#include "text/textbuf.h"

#include <cstdint>
#include <span>

namespace calendar::entry {

void ENTERDATE(std::uint32_t& month, std::uint32_t& day, std::uint32_t& year);
void DATETEXT(std::uint32_t month, std::uint32_t day, std::uint32_t year, std::span<char> text);
void SERIALDAY(std::uint32_t month, std::uint32_t day, std::uint32_t year, double& serial);
void SERIALDATE(double serial, std::uint32_t& month, std::uint32_t& day, std::uint32_t& year);
void PARSEDATE(const text::TEXTBUF& line, std::uint32_t& month, std::uint32_t& day,
               std::uint32_t& year);
void SETTODAY(std::uint32_t month, std::uint32_t day, std::uint32_t year);

} // namespace calendar::entry
