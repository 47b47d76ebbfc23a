// Test-only entry point of the command words: which word a token text names,
// as the word look-up finds it, without performing it. The calculator does
// not call this.
#pragma once

#include "text/textbuf.h"

#include <string_view>

namespace calc::words::testing {
// The word as written in the table, or empty when the text names none.
std::string_view matchedWord(const text::TEXTBUF& tkn);
} // namespace calc::words::testing
