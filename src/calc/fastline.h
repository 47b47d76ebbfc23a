// The evaluator's whole-line fast lane: a line the tokenizer finds plain
// (token/plainline.h: plain numbers and the symbols + - * / <> ><), the
// lines nearly every session is made of, applied to the registers in one
// pass over its tokens. Every other line is the general evaluator's, which
// the lane is tested against.
#pragma once

#include "text/textbuf.h"

namespace calc::fast {

// Evaluates line (trimmed) when it is plain, leaving the registers and the
// tokenizer as the general evaluator would, and returns true; returns false
// having changed nothing when it is not.
bool evalPlain(const text::TEXTBUF& line);

} // namespace calc::fast
