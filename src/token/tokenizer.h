// The tokenizer: one line of text and a reading position in it. Characters
// are handed out upper-cased and classed by three replaceable character sets
// (delimiters, operator characters, digits); tokens are built on top of that:
// operator symbols with their codes, numbers with their values, words.
//
// One instance for the whole run; INITTKNBUF starts it on a line.
#pragma once

#include "text/textbuf.h"

#include <array>
#include <cstdint>

namespace token {

// Token kinds, and the classes of single characters.
enum class TOKENKIND : std::uint8_t { DELIMITER = 0, OPERATOR = 1, NUMBER = 2, WORD = 3 };

// A character set of 256 bits: code c is a member when bit (c mod 8) of byte
// (c div 8) is 1.
using CHARSET = std::array<std::uint8_t, 32>;

// Return codes of the token scanners.
enum : std::uint32_t {
    kTknOk = 0,
    kTknEndOfLine = 1,
    kTknWordTooLong = 2,
    kTknTooManyDigits = 3,
    kTknPushBackFailed = 4,
    kTknBadOperator = 6,
    kTknBadReal = 7,
};

// The character at which the most recent token scan stopped, and its class.
extern char STOPCHR;
extern TOKENKIND STOPKIND;

// Module start-up: saved position cleared, default character sets.
void TKNINIT();

void INITTKNBUF(const text::TEXTBUF& line);
void SETDELIMSET(CHARSET set);
void SETOPCHRSET(CHARSET set);
void SETDIGITSET(CHARSET set);
void GETCHR(char& ch, TOKENKIND& kind, std::uint32_t& eol);
void UNGETCHR(std::uint32_t& fail);
void STOTKNPOSN();
void RCLTKNPOSN();

void GETTKN(text::TEXTBUF& tkn, TOKENKIND& kind, std::int64_t& value, std::uint32_t& rc);
void GETTKNREAL(text::TEXTBUF& tkn, TOKENKIND& kind, std::int64_t& value, double& real,
                std::uint32_t& rc);
void UNGETTKN(std::uint32_t& fail);
void GETOPCODE(text::TEXTBUF& tkn, std::uint32_t& code, std::uint32_t& fail);
void GETTKNTODELIM(text::TEXTBUF& tkn, std::int64_t& value, std::uint32_t& rc);
void GETRESTOFLN(text::TEXTBUF& tkn, std::uint32_t& rc);

// For the evaluator's whole-line lane (calc/fastline.h): whether the three
// sets are still the defaults TKNINIT set, and the state the scans of a whole
// line leave once the last one, begun at position start, met its end.
bool DEFAULTSETS();
void ENDOFLINE(std::uint32_t start);

// Read-only views of the scanning state, for tests and property checks.
std::uint32_t CURPOSN();
std::uint32_t PREVPOSN();
const text::TEXTBUF& TKNBUF();

} // namespace token
