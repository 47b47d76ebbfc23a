// Command words: the thirty words a WORD token is looked up among, tried in a
// fixed order, and the HELP text.
#pragma once

#include "text/textbuf.h"

namespace calc::words {

// Performs the command word named by the token text, or writes the
// unrecognised-command message when none matches.
void doWord(const text::TEXTBUF& tkn);

} // namespace calc::words
