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
#include <string_view>

namespace token {

// The character at which the most recent token scan stopped, and its class.
extern char STOPCHR;
extern TOKENKIND STOPKIND;

// Module start-up: saved position cleared, default character sets.
void tknInit();

void INITTKNBUF(const text::TEXTBUF& line);
void SETDELIMSET(CharSet set);
void SETOPCHRSET(CharSet set);
void SETDIGITSET(CharSet set);
// The default delimiters (NUL, blank, comma, semicolon) and the characters
// of extra besides: "\t" gives the script mode's set.
CharSet delimitersWith(std::string_view extra);
void GETCHR(char& ch, TOKENKIND& kind, std::uint32_t& eol);
void UNGETCHR(std::uint32_t& fail);
void STOTKNPOSN();
void RCLTKNPOSN();

void GETTKN(text::TEXTBUF& tkn, TOKENKIND& kind, std::int64_t& value, std::uint32_t& rc);
void GETTKNREAL(text::TEXTBUF& tkn, TOKENKIND& kind, std::int64_t& value, double& real,
                std::uint32_t& rc);
// GETTKNREAL for the evaluator, which reads a number's real alone: a plain
// number leaves the text and the integer value as they were.
void evalToken(text::TEXTBUF& tkn, TOKENKIND& kind, std::int64_t& value, double& real,
               std::uint32_t& rc);
void UNGETTKN(std::uint32_t& fail);
void GETOPCODE(text::TEXTBUF& tkn, std::uint32_t& code, std::uint32_t& fail);
void GETTKNTODELIM(text::TEXTBUF& tkn, std::int64_t& value, std::uint32_t& rc);
void GETRESTOFLN(text::TEXTBUF& tkn, std::uint32_t& rc);

} // namespace token
