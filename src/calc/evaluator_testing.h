// Test-only entry point of the evaluator: EVALLINE without its whole-line
// lane (calc/fastline.h), every token the general way. The lane must give the
// same registers, tokenizer state and output; the tests and the dialogue fuzz
// target compare. The calculator does not call this.
#pragma once

#include "text/textbuf.h"

namespace calc::eval::general {
double EVALLINE(text::TEXTBUF line);
} // namespace calc::eval::general
