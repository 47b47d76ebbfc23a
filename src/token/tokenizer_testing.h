// Test-only entry points of tokenizer.h: the tests and the fuzz target compare
// the one-pass GETTKNREAL with these. The calculator does not call them.
#pragma once

#include "token/tokenizer.h"

namespace token {

// GETTKNREAL the general way only: GETTKN, then a number read again from
// where its token began. GETTKNREAL reads the tokens of ordinary lines in
// one pass instead and must give the same results; tests compare the two.
namespace general {
void GETTKNREAL(text::TEXTBUF& tkn, TOKENKIND& kind, std::int64_t& value, double& real,
                std::uint32_t& rc);
} // namespace general

} // namespace token
