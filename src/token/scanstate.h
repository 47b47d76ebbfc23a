// The state a tokenizer module scans a line with, and what a module supplies
// to the scanner core: the steps that move the position (start-up, starting
// a line, stepping back a character or a token, saving and restoring the
// position; each refuses an out-of-range position with its message), the
// checked steps on a token's text, and the policy of the points in which the
// two tokenizers differ. Each module is a thin face with its own state and a
// policy of this shape.
#pragma once

#include "text/textbuf.h"
#include "token/core.h"

#include <array>
#include <concepts>
#include <cstdint>
#include <span>

namespace token::core {

// The capacity of a line and of a token's text.
constexpr std::uint32_t kTextCap = static_cast<std::uint32_t>(text::kTextCap);
// A word is cut at this many characters.
constexpr std::uint32_t kMaxWord = 80;

// Everything one tokenizer module knows about the line it scans.
struct ScanState {
    text::TEXTBUF TKNBUF{};
    std::uint32_t CURPOSN = 0;
    std::uint32_t PREVPOSN = 0;
    std::uint32_t HOLDCURPOSN = 0;
    text::TEXTBUF HOLDTKNBUF{};
    // Upper-case mapping of every byte, filled once by startScan.
    std::array<unsigned char, 256> upper{};
};

// Start-up: clears the whole state and builds the upper-case table.
void startScan(ScanState& s);
// Starts on a copy of line at position start (never beyond its end + 1).
void startLine(ScanState& s, const text::TEXTBUF& line, std::uint32_t start);
void UNGETCHR(ScanState& s, std::uint32_t& fail);
void STOTKNPOSN(ScanState& s);
void RCLTKNPOSN(ScanState& s);
void UNGETTKN(ScanState& s, std::uint32_t& fail);

// Adds ch behind the text when there is room; false when CHARS is full.
inline bool appendChr(text::TEXTBUF& tkn, char ch) {
    if (tkn.COUNT >= kTextCap) return false;
    tkn.CHARS[tkn.COUNT] = ch;
    ++tkn.COUNT;
    return true;
}
// Stores the NUL behind the text when it is shorter than CHARS.
inline void endText(text::TEXTBUF& tkn) {
    if (tkn.COUNT < kTextCap) tkn.CHARS[tkn.COUNT] = '\0';
}
// The overlong-word message, showing the kMaxWord characters kept.
void wordTooLong(const text::TEXTBUF& tkn);
// Puts "0" in front of the text (a quoted number such as '.5').
void prefixZero(text::TEXTBUF& tkn);

inline bool isSign(char ch) { return ch == '+' || ch == '-'; }
inline bool isDecimalDigit(char ch) { return ch >= '0' && ch <= '9'; }

template <class P>
concept ScanPolicy = requires(unsigned char c, typename P::Value v, std::uint32_t n) {
    // The token's integer value.
    requires std::signed_integral<typename P::Value>;
    // The module's scanning state and its stop record.
    { P::kScan } -> std::same_as<ScanState&>;
    { P::kStopChr } -> std::same_as<char&>;
    { P::kStopKind } -> std::same_as<TOKENKIND&>;
    // The class of an upper-case code.
    { P::classOf(c) } -> std::same_as<TOKENKIND>;
    // Whether a digit still joins a number value of n digits.
    { P::digitFits(v, n, v) } -> std::same_as<bool>;
    // A word value with one more character code.
    { P::addWordCode(v, n) } -> std::same_as<typename P::Value>;
    // The operator symbols beyond kCommonOpCodes.
    std::span<const OpSymbol>(P::kMoreOpCodes);
};

template <ScanPolicy P> void setStop(char ch, TOKENKIND kind) {
    P::kStopChr = ch;
    P::kStopKind = kind;
}

// A module's start-up: its scanning state and stop record cleared.
template <ScanPolicy P> void startUp() {
    startScan(P::kScan);
    setStop<P>('\0', TOKENKIND::DELIMITER);
}

} // namespace token::core
