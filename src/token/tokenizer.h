// The tokenizer: one line of text and a reading position in it. Characters
// are handed out upper-cased and classed by three replaceable character sets
// (delimiters, operator characters, digits); tokens are built on top of that:
// operator symbols with their codes, numbers with their values, words.
//
// One instance for the whole run; INITTKNBUF starts it on a line.
#pragma once

#include "text/textbuf.h"
#include "token/core.h"

#include <array>
#include <cstdint>

namespace token {

// The character at which the most recent token scan stopped, and its class.
extern char STOPCHR;
extern TOKENKIND STOPKIND;

// Module start-up: saved position cleared, default character sets.
void TKNINIT();

void INITTKNBUF(const text::TEXTBUF& line);
void SETDELIMSET(CharSet set);
void SETOPCHRSET(CharSet set);
void SETDIGITSET(CharSet set);
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

// A plain line, scanned whole for the evaluator's whole-line lane: its
// tokens in order, a number (op None) with its value as GETTKNREAL reads it,
// or one of the operators + - * / <> ><. A token takes at least one character
// and a delimiter divides it from the next, so 128 are the most a line holds.
struct PlainToken {
    double value;
    OpCode op;
};
struct PlainLine {
    std::array<PlainToken, 128> tokens;
    std::uint32_t count;
};

// Scans line whole when it is plain: made of plain numbers (1 to 16 digits,
// optionally a point and up to 24 places: "12", "0.5", "7.") and the symbols
// + - * / <> >< on their own, divided by delimiters of the sets in force.
// Then it fills out, leaves the tokenizer exactly as INITTKNBUF and
// GETTKNREAL until the end of the line leave it, and returns true; for any
// other line it returns false having changed nothing.
bool scanPlainLine(const text::TEXTBUF& line, PlainLine& out);

// Read-only views of the scanning state, for tests and property checks.
std::uint32_t CURPOSN();
std::uint32_t PREVPOSN();
const text::TEXTBUF& TKNBUF();

} // namespace token
