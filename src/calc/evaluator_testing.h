// Test-only entry points of the evaluator. general::EVALLINE is EVALLINE
// without its whole-line scan, every token the general way: the scan must
// give the same registers, tokenizer state and output, which the tests and
// the dialogue fuzz target compare. lane::evalPlain is that scan alone on a
// trimmed line: it applies the plain tokens the line begins with (numbers,
// + - * / <> ><, command words), leaves the tokenizer where the token loop
// goes on, and tells whether that was the whole line. The calculator does
// not call these from outside the evaluator.
#pragma once

#include "text/textbuf.h"

namespace calc::eval::general {
double EVALLINE(text::TEXTBUF line);
} // namespace calc::eval::general

namespace calc::eval::lane {
bool evalPlain(const text::TEXTBUF& line);
} // namespace calc::eval::lane
