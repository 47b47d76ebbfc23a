// Test-only entry points of table_tokenizer.h: the tests and the fuzz target compare
// the one-pass GETTKNREAL with these. The calculator does not call them.
#pragma once

#include "token/table_tokenizer.h"

namespace token::table {

// GETTKNREAL the general way only (see token::general::GETTKNREAL).
namespace general {
void GETTKNREAL(text::TEXTBUF& tkn, TOKENKIND& kind, std::int32_t& value, double& real,
                std::uint32_t& rc);
} // namespace general

} // namespace token::table
