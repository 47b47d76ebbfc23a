// The state a tokenizer module scans a line with, and the steps that move
// its position: start-up, starting a line, stepping back a character or a
// token, saving and restoring the position (scanstate.cpp). Each of these
// refuses an out-of-range position with its message.
#pragma once

#include "text/textbuf.h"

#include <array>
#include <cstdint>

namespace token::core {

constexpr std::uint32_t kCap = static_cast<std::uint32_t>(text::kTextCap);
// A word is cut at this many characters.
constexpr std::uint32_t kMaxWord = 80;

// Everything one tokenizer module knows about the line it scans.
struct ScanState {
    text::TEXTBUF TKNBUF{};
    std::uint32_t CURPOSN = 0;
    std::uint32_t PREVPOSN = 0;
    std::uint32_t HOLDCURPOSN = 0;
    text::TEXTBUF HOLDTKNBUF{};
    // Upper-case mapping of every byte, filled once by STARTSCAN.
    std::array<unsigned char, 256> UPPER{};
};

// Start-up: clears the whole state and builds the upper-case table.
void STARTSCAN(ScanState& s);
// Starts on a copy of line at position start (never beyond its end + 1).
void INITLINE(ScanState& s, const text::TEXTBUF& line, std::uint32_t start);
void UNGETCHR(ScanState& s, std::uint32_t& fail);
void STOTKNPOSN(ScanState& s);
void RCLTKNPOSN(ScanState& s);
void UNGETTKN(ScanState& s, std::uint32_t& fail);

} // namespace token::core
