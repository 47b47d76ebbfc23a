// The whole-line fast lane: the tokens of a plain line applied to the
// registers as the evaluator applies them. A number is pushed (a lift, then
// X); an arithmetic operator stores X in LASTX, combines Y and X
// (calc/operators.h) into X and drops; a swap exchanges X and Y and leaves
// LASTX alone. The tokenizer has read the line and left its state as the
// general way leaves it.
#include "calc/fastline.h"

#include "calc/operators.h"
#include "calc/regstack.h"
#include "token/tokenizer.h"

#include <array>
#include <cstdint>
#include <utility>

namespace calc::fast {

bool evalPlain(const text::TEXTBUF& line) {
    token::PlainLine plain;
    if (!token::scanPlainLine(line, plain)) return false;

    // The registers as a ring: X at ring[top], register k at ring[(top + k) & 7].
    // A push steps top back and overwrites T1; a drop steps it on and copies
    // T1 into the place X leaves, which becomes the new T1.
    static_assert(stack::kRegs == 8);
    std::array<double, stack::kRegs> ring = stack::REGSTK;
    std::uint32_t top = 0;
    double lastx = stack::LASTX;
    for (std::uint32_t k = 0; k < plain.count; ++k) {
        const token::PlainToken& t = plain.tokens[k];
        const std::uint32_t below = (top + 1) & 7;
        if (t.op == token::OpCode::None) {
            top = (top - 1) & 7;
            ring[top] = t.value;
        } else if (ops::isArithmetic(t.op)) {
            lastx = ring[top];
            ring[below] = ops::arithmetic(t.op, ring[below], ring[top]);
            ring[top] = ring[(top + 7) & 7];
            top = below;
        } else { // <> or ><
            std::swap(ring[top], ring[below]);
        }
    }
    for (std::uint32_t k = 0; k < stack::kRegs; ++k) stack::REGSTK[k] = ring[(top + k) & 7];
    stack::LASTX = lastx;
    return true;
}

} // namespace calc::fast
