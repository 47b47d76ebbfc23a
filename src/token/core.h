// The token core's shared types, for both tokenizer faces and their callers:
// token and character kinds, character sets, the scanners' return codes, the
// operator codes and the operator symbols both tokenizers know. Includes no
// face.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace token {

// Token kinds, and the classes of single characters.
enum class TOKENKIND : std::uint8_t { DELIMITER = 0, OPERATOR = 1, NUMBER = 2, WORD = 3 };

// A character set of 256 bits: code c is a member when bit (c mod 8) of byte
// (c div 8) is 1.
using CharSet = std::array<std::uint8_t, 32>;

// The set of the given characters.
constexpr CharSet setOf(std::string_view members) {
    CharSet set{};
    for (char ch : members) {
        auto c = static_cast<unsigned char>(ch);
        set[c / 8u] = static_cast<std::uint8_t>(set[c / 8u] | (1u << (c % 8u)));
    }
    return set;
}

// Return codes of the token scanners.
enum : std::uint32_t {
    kTknOk = 0,
    kTknEndOfLine = 1,
    kTknWordTooLong = 2,
    kTknTooManyDigits = 3,
    kTknPushBackFailed = 4,
    kTknBadOperator = 6,
    kTknBadReal = 7,
};

// The operator codes: what the tokenizers hand out for an operator token and
// what the evaluator switches on. A symbol followed by "=" has the code of
// the symbol plus one (except "=" and "#"), which is why the codes skip.
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
struct OpSymbol {
    char first;
    char second;
    OpCode code;
};

// The operator symbols both tokenizers know.
constexpr std::array<OpSymbol, 9> kCommonOpCodes = {{
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
constexpr std::uint32_t findOpCode(std::span<const OpSymbol> table, char a, char b) {
    for (const OpSymbol& op : table) {
        if (op.first == a && op.second == b) return static_cast<std::uint32_t>(op.code);
    }
    return 0;
}

} // namespace core
} // namespace token
