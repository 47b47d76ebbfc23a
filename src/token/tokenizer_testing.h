// Test-only entry points of tokenizer.h: the general way of GETTKNREAL, which
// the tests and the fuzz targets compare the one-pass GETTKNREAL with, and
// views of the scanning state. The calculator does not call them.
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

// Read-only views of the scanning state, for tests and property checks.
std::uint32_t CURPOSN();
std::uint32_t PREVPOSN();
const text::TEXTBUF& TKNBUF();

} // namespace token
