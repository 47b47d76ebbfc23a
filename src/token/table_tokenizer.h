// The table-driven tokenizer: a second tokenizer module with its own state,
// the same operations, messages and return codes as the first, but characters
// classed by a fixed 128-entry table, a smaller operator table, a 32-bit token
// value with overflow guards, a start at the third character, and word mode.
// The date entry is its user.
#pragma once

#include "text/textbuf.h"
#include "token/core.h"

#include <array>
#include <cstdint>

namespace token::table {

// The character at which the most recent token scan stopped, and its class.
extern char STOPCHR;
extern TOKENKIND STOPKIND;

// Module start-up: saved position cleared, class table filled.
void tknInit();

void FILLCLASSTABLE();
void INITTKNBUF(const text::TEXTBUF& line);
void INITTKNBUFAT3(const text::TEXTBUF& line);
void GETCHR(char& ch, TOKENKIND& kind, std::uint32_t& eol);
void UNGETCHR(std::uint32_t& fail);
void STOTKNPOSN();
void RCLTKNPOSN();

void GETTKN(text::TEXTBUF& tkn, TOKENKIND& kind, std::int32_t& value, std::uint32_t& rc);
void GETTKNREAL(text::TEXTBUF& tkn, TOKENKIND& kind, std::int32_t& value, double& real,
                std::uint32_t& rc);
void GETWORDTKN(text::TEXTBUF& tkn, std::int32_t& value, std::uint32_t& rc);
void UNGETTKN(std::uint32_t& fail);
void GETOPCODE(text::TEXTBUF& tkn, std::uint32_t& code, std::uint32_t& fail);
void GETRESTOFLN(text::TEXTBUF& tkn, std::uint32_t& rc);

} // namespace token::table
