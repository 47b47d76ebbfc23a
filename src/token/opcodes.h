// The operator codes: what the tokenizers hand out for an operator token and
// what the evaluator switches on. A symbol followed by "=" has the code of
// the symbol plus one (except "=" and "#"), which is why the codes skip.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace token {

enum class OpCode : std::uint32_t {
    None = 0,
    Less = 1,         // "<"  ("<=" is 2)
    Greater = 3,      // ">"  (">=" is 4)
    Equal = 5,        // "="
    LessGreater = 6,  // "<>"
    Hash = 7,         // "#"
    Plus = 8,         // "+"  ("+=" is 9)
    Minus = 10,       // "-"
    Times = 12,       // "*"
    Divide = 14,      // "/"
    Caret = 16,       // "^"
    StarStar = 18,    // "**"
    GreaterLess = 20, // "><"
};

namespace core {

// An operator symbol and its code; second is NUL for a one-character symbol.
struct OPCODE {
    char first;
    char second;
    OpCode code;
};

// The operator symbols both tokenizers know.
constexpr std::array<OPCODE, 9> kCommonOpCodes = {{
    {'<', '\0', OpCode::Less},
    {'>', '\0', OpCode::Greater},
    {'=', '\0', OpCode::Equal},
    {'+', '\0', OpCode::Plus},
    {'-', '\0', OpCode::Minus},
    {'#', '\0', OpCode::Hash},
    {'*', '\0', OpCode::Times},
    {'/', '\0', OpCode::Divide},
    {'<', '>', OpCode::LessGreater},
}};

// The code of the symbol a b (b NUL for one character) in the table, or 0.
constexpr std::uint32_t FINDOPCODE(std::span<const OPCODE> table, char a, char b) {
    for (const OPCODE& op : table) {
        if (op.first == a && op.second == b) return static_cast<std::uint32_t>(op.code);
    }
    return 0;
}

} // namespace core
} // namespace token
