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

// y op x, stored into result. All four results are computed, each rounded
// to double as it is stored, the one the symbol names into result and the
// others aside: no branch the processor could not foresee, and the next
// operation waits only for its own operands. No exception traps (a division
// by zero gives an infinity or NaN).
inline void arithmetic(token::OpCode code, long double y, long double x, double& result) {
    assert(isArithmetic(code));
    // Plus, Minus, Times and Divide are 8, 10, 12 and 14.
    const std::uint32_t k =
        (static_cast<std::uint32_t>(code) - static_cast<std::uint32_t>(token::OpCode::Plus)) / 2;
    std::array<double, 4> aside{};
    auto into = [&](std::uint32_t j) { return k == j ? &result : &aside[j]; };
    *into(0) = static_cast<double>(y + x);
    *into(1) = static_cast<double>(y - x);
    *into(2) = static_cast<double>(y * x);
    *into(3) = static_cast<double>(y / x);
}

} // namespace calc::ops
