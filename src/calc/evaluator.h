// The evaluator: applies one input line to the register stack in reverse
// Polish order and returns X.
#pragma once

#include "text/textbuf.h"

namespace calc::eval {

double EVALLINE(text::TEXTBUF line);

} // namespace calc::eval
