// What a tokenizer module supplies to the scanner core: its state, its stop
// record, and the points in which the two tokenizers differ. Each module is a
// thin face with its own state and a policy of this shape.
#pragma once

#include "token/opcodes.h"
#include "token/scanstate.h"
#include "token/tokenizer.h"

#include <concepts>
#include <cstdint>
#include <span>

namespace token::core {

template <class P>
concept ScanPolicy = requires(unsigned char c, typename P::Value v, std::uint32_t n) {
    // The token's integer value.
    requires std::signed_integral<typename P::Value>;
    // The module's scanning state and its stop record.
    { P::kScan } -> std::same_as<ScanState&>;
    { P::kStopChr } -> std::same_as<char&>;
    { P::kStopKind } -> std::same_as<TOKENKIND&>;
    // The class of an upper-case code.
    { P::classOf(c) } -> std::same_as<TOKENKIND>;
    // Whether a digit still joins a number value of n digits.
    { P::digitFits(v, n, v) } -> std::same_as<bool>;
    // A word value with one more character code.
    { P::addWordCode(v, n) } -> std::same_as<typename P::Value>;
    // The operator symbols beyond kCommonOpCodes.
    std::span<const OPCODE>(P::kMoreOpCodes);
};

template <ScanPolicy P> void setStop(char ch, TOKENKIND kind) {
    P::kStopChr = ch;
    P::kStopKind = kind;
}

// A module's start-up: its scanning state and stop record cleared.
template <ScanPolicy P> void startUp() {
    STARTSCAN(P::kScan);
    setStop<P>('\0', TOKENKIND::DELIMITER);
}

} // namespace token::core
