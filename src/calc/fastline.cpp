// The whole-line fast lane: the tokens of a plain line (token/plainline.h)
// applied to the registers as the evaluator applies them, as the tokenizer
// reads them. A number is pushed (a lift, then X); an arithmetic operator
// stores X in LASTX, combines Y and X (calc/operators.h) into X and drops; a
// swap exchanges X and Y and leaves LASTX alone. The lane works on a copy of
// the registers and stores them once, when the line or its plain beginning
// is done.
#include "calc/fastline.h"

#include "calc/operators.h"
#include "calc/regstack.h"
#include "token/plainline.h"

#include <array>
#include <cstdint>
#include <utility>

namespace calc::fast {
namespace {

// The registers as a ring: X at ring[top], register k at ring[(top + k) & 7].
// A push steps top back and overwrites T1; a drop steps it on and copies T1
// into the place X leaves, which becomes the new T1.
struct Ring {
    static_assert(stack::kRegs == 8);
    std::array<double, stack::kRegs> ring = stack::REGSTK;
    std::uint32_t top = 0;
    double lastx = stack::LASTX;

    void number(double value) {
        top = (top - 1) & 7;
        ring[top] = value;
    }
    void arithmetic(token::OpCode code) {
        const std::uint32_t below = (top + 1) & 7;
        lastx = ring[top];
        ops::arithmetic(code, ring[below], ring[top], ring[below]);
        ring[top] = ring[(top + 7) & 7];
        top = below;
    }
    void swap() { std::swap(ring[top], ring[(top + 1) & 7]); }
    void store() const {
        for (std::uint32_t k = 0; k < stack::kRegs; ++k) stack::REGSTK[k] = ring[(top + k) & 7];
        stack::LASTX = lastx;
    }
};

} // namespace

bool evalPlain(const text::TEXTBUF& line) {
    Ring registers;
    const std::uint32_t rest = token::plain::scanLine(line, registers);
    registers.store();
    if (rest == 0) return true;
    token::plain::handOverAt(line, rest);
    return false;
}

} // namespace calc::fast
