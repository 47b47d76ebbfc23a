// Test-only entry points of table_tokenizer.h: the general way of GETTKNREAL
// and views of the scanning state (see tokenizer_testing.h). The calculator
// does not call them.
#pragma once

#include "token/table_tokenizer.h"

namespace token::table {

// GETTKNREAL the general way only (see token::general::GETTKNREAL).
namespace general {
void GETTKNREAL(text::TEXTBUF& tkn, TOKENKIND& kind, std::int32_t& value, double& real,
                std::uint32_t& rc);
} // namespace general

// Read-only views of the scanning state, for tests and property checks.
std::uint32_t CURPOSN();
std::uint32_t PREVPOSN();
const text::TEXTBUF& TKNBUF();

} // namespace token::table
