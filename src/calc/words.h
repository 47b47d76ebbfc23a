// Command words: the thirty words a WORD token is looked up among, tried in a
// fixed order, and the HELP text.
#pragma once

#include "text/textbuf.h"

#include <cstdint>

namespace calc::words {

// Performs the command word named by the token text, or writes the
// unrecognised-command message when none matches.
void doWord(const text::TEXTBUF& tkn);
// Performs the command word whose text, upper-cased and at most seven
// characters, is key: character i in bits 8i to 8i + 7, the bytes behind it
// zero. Answers false, having done nothing, when no word has that text.
bool doWordOfKey(std::uint64_t key);

} // namespace calc::words
