// The evaluator: applies one line to the register stack, token by token.
// (First cut: applies nothing yet.)
#include "calc/evaluator.h"

#include "calc/regstack.h"

namespace calc::eval {

double EVALLINE(text::TEXTBUF line) {
    (void)line;
    return stack::REGSTK[stack::X];
}

} // namespace calc::eval
