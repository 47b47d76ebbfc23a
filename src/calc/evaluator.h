// The evaluator: applies one input line to the register stack in reverse
// Polish order and returns X.
#pragma once

#include "text/textbuf.h"

namespace calc::eval {

double EVALLINE(text::TEXTBUF line);
// EVALLINE of a line TRMBUF has already trimmed (trimming it again would
// change nothing), without the copy: the command loop's way.
double EVALTRIMMED(const text::TEXTBUF& line);

// EVALLINE without its whole-line lane (calc/fastline.h): every token the
// general way. The lane must give the same; tests and fuzzing compare.
namespace general {
double EVALLINE(text::TEXTBUF line);
} // namespace general

} // namespace calc::eval
