// Integer text conversion: signed 64-bit whole numbers to and from decimal
// text. Positions are 0-based indices that the operations advance.
//
// These serve library callers (the date entry writes its date text with
// INTTOTEXT); the calculator does not call them.
#pragma once

#include <cstdint>
#include <span>

namespace realtext {

// Parses an optionally signed decimal integer at text[pos] (leading blanks
// skipped). ok is false when no digit was found or the value does not fit.
void TEXTTOINT(std::span<const char> text, std::uint32_t& pos, std::int64_t& value, bool& ok);

// Writes value in decimal, right-aligned in width, into text from pos on,
// then a NUL when there is room. ok is false when not all digits fitted.
void INTTOTEXT(std::int64_t value, std::int32_t width, std::span<char> text, std::uint32_t& pos,
               bool& ok);

} // namespace realtext
