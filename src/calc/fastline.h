// The evaluator's whole-line fast lane: lines made only of plain numbers and
// the four arithmetic operators, the lines nearly every session is made of,
// evaluated in one pass over their text. Every other line is the general
// evaluator's, which the lane is tested against.
#pragma once

#include "text/textbuf.h"

namespace calc::fast {

// Evaluates line (trimmed) when it qualifies, leaving the registers and the
// tokenizer as the general evaluator would (it hands the line to the
// tokenizer with INITTKNBUF, last), and returns true; returns false having
// changed nothing when it does not qualify.
bool EVALPLAIN(const text::TEXTBUF& line);

} // namespace calc::fast
