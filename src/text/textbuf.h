// Text buffers: TEXTBUF, the fixed-capacity text record that holds input
// lines, the tokenizer's copy of a line and every token, and the small string
// operations the rest of the program is built from.
//
// Positions are 1-based (0 means none). Character arrays travel as spans with
// their capacity; a literal word carries its NUL, so "SQRT" has capacity 5.
// Every operation stays inside the arrays it is given, whatever its counts say.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace text {

constexpr std::size_t kTextCap = 256;

struct TEXTBUF {
    std::array<char, kTextCap> CHARS{};
    std::uint32_t ORIGCNT = 0;
    std::uint32_t COUNT = 0;
};

// Module start-up: sets the case offset.
void textInit();

// What the calculator uses: the length up to a NUL, comparison, trimming,
// and the forward scan (through cropFixed).
std::uint32_t STRLNG(std::span<const char> text);
std::int32_t CMPSTR(std::span<const char> first, std::span<const char> second);
std::uint32_t TRMLNG(const std::array<char, kTextCap>& text);
void TRMBUF(TEXTBUF& buf);
// TRMBUF of a text whose length up to its first NUL (STRLNG of CHARS) is
// already known, as the console's line reader gives it: "12 +  " with
// length 6 -> COUNT 4, "12 +" and a NUL.
void trimMeasured(TEXTBUF& buf, std::uint32_t length);
std::uint32_t SCNFWD(std::span<const char> s, std::uint32_t n, char ch, bool wanted);

// The operations below serve library callers; the calculator does not call
// them.
std::uint32_t FNDLSTCHR(const TEXTBUF& buf, char ch);
std::uint32_t MAXCRD(std::uint32_t a, std::uint32_t b);
void APNDBUF(TEXTBUF& target, const TEXTBUF& source);
bool ISCTLCHR(char ch);
bool ISDGTCHR(char ch);
char UPRCHR(char ch);
void RMVCHR(TEXTBUF& BUF, std::uint32_t STRTCL, std::uint32_t RMVCNT);
void ADDBUF(const TEXTBUF& source, TEXTBUF& target);
void CATBUF(const TEXTBUF& first, const TEXTBUF& second, TEXTBUF& target);
void INSBUF(const TEXTBUF& source, TEXTBUF& target, std::uint32_t position);
void SETBUF(std::span<const char> text, TEXTBUF& target);

// Byte moves and scans. The spans bound every access: at most as many
// elements as both spans hold are moved, filled or examined (SCNFWD above
// too).
void MOVFWD(std::span<const char> source, std::span<char> destination, std::uint32_t n);
void MOVBWD(std::span<const char> source, std::span<char> destination, std::uint32_t n);
void FILLCHR(std::span<char> destination, std::uint32_t n, char ch);
std::uint32_t SCNBWD(std::span<const char> s, std::uint32_t n, char ch, bool wanted);

} // namespace text
