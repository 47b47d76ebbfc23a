// The four arithmetic operator symbols + - * /, defined once for the
// evaluator and its whole-line lane: Y op X computed in long double (x87
// extended) and rounded to double once, as it is stored.
#pragma once

#include "token/core.h"

#include <array>
#include <cassert>
#include <cstdint>

namespace calc::ops {

constexpr bool isArithmetic(token::OpCode code) {
    return code == token::OpCode::Plus || code == token::OpCode::Minus ||
           code == token::OpCode::Times || code == token::OpCode::Divide;
}

// y op x. All four results are computed and the one the symbol names is
// kept: no branch the processor could not foresee, and the next operation
// waits only for its own operands. No exception traps (a division by zero
// gives an infinity or NaN).
inline double arithmetic(token::OpCode code, long double y, long double x) {
    assert(isArithmetic(code));
    const std::array<double, 4> all = {static_cast<double>(y + x), static_cast<double>(y - x),
                                       static_cast<double>(y * x), static_cast<double>(y / x)};
    // Plus, Minus, Times and Divide are 8, 10, 12 and 14.
    return all[(static_cast<std::uint32_t>(code) -
                static_cast<std::uint32_t>(token::OpCode::Plus)) /
               2];
}

} // namespace calc::ops
