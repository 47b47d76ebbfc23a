// The evaluator's whole-line fast lane: the plain tokens a line begins
// with (token/plainline.h: plain numbers and the symbols + - * / <> ><),
// the whole of the lines nearly every session is made of, applied to the
// registers in one pass. The general evaluator goes on with the rest of a
// line that is not plain throughout; the lane is tested against it.
#pragma once

#include "text/textbuf.h"

namespace calc::fast {

// Evaluates the plain tokens line (trimmed) begins with, leaving the
// registers and the tokenizer as the general evaluator leaves them after
// those tokens; returns whether that was the whole line.
bool evalPlain(const text::TEXTBUF& line);

} // namespace calc::fast
