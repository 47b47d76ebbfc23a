// The evaluator: applies one input line to the register stack in reverse
// Polish order and returns X.
#pragma once

#include "text/textbuf.h"

namespace calc::eval {

double EVALLINE(text::TEXTBUF line);
// EVALLINE of a line TRMBUF has already trimmed (trimming it again would
// change nothing), without the copy: the command loop's way.
double evalTrimmed(const text::TEXTBUF& line);

} // namespace calc::eval
