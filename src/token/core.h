// The token core, shared by both tokenizer modules and read by their
// callers: token and character kinds, character sets, the scanners' return
// codes and the operator codes (namespace token); the state a module scans a
// line with and what a module supplies to the core (ScanState, ScanPolicy),
// the steps that move the position (core.cpp), and the reads made with the
// position alone: GETCHR, GETRESTOFLN and operator tokens (GETOPCODE).
// Each module is a thin face with its own state and a policy of this shape.
#pragma once

#include "runtime/console.h"
#include "runtime/platform.h"
#include "text/textbuf.h"

#include <array>
#include <cassert>
#include <concepts>
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

// The capacity of a line and of a token's text.
constexpr std::uint32_t kTextCap = static_cast<std::uint32_t>(text::kTextCap);
// A word is cut at this many characters.
constexpr std::uint32_t kMaxWord = 80;

// The upper-case code of every byte, made by the compiler.
constexpr std::array<unsigned char, 256> kUpper = [] {
    std::array<unsigned char, 256> upper{};
    for (std::size_t c = 0; c < upper.size(); ++c) {
        const char up = runtime::platUpper(static_cast<char>(static_cast<unsigned char>(c)));
        upper[c] = static_cast<unsigned char>(up);
    }
    return upper;
}();

// Everything one tokenizer module knows about the line it scans.
struct ScanState {
    text::TEXTBUF TKNBUF{};
    std::uint32_t CURPOSN = 0;
    std::uint32_t PREVPOSN = 0;
    std::uint32_t HOLDCURPOSN = 0;
    text::TEXTBUF HOLDTKNBUF{};
    // Upper-case mapping of every byte, filled once by startScan.
    std::array<unsigned char, 256> upper{};
};

// Start-up: clears the whole state and builds the upper-case table.
void startScan(ScanState& s);
// Starts on a copy of line at position start (never beyond its end + 1).
void startLine(ScanState& s, const text::TEXTBUF& line, std::uint32_t start);
void UNGETCHR(ScanState& s, std::uint32_t& fail);
void STOTKNPOSN(ScanState& s);
void RCLTKNPOSN(ScanState& s);
void UNGETTKN(ScanState& s, std::uint32_t& fail);

// Adds ch behind the text when there is room; false when CHARS is full.
inline bool appendChr(text::TEXTBUF& tkn, char ch) {
    if (tkn.COUNT >= kTextCap) return false;
    tkn.CHARS[tkn.COUNT] = ch;
    ++tkn.COUNT;
    return true;
}
// Stores the NUL behind the text when it is shorter than CHARS.
inline void endText(text::TEXTBUF& tkn) {
    if (tkn.COUNT < kTextCap) tkn.CHARS[tkn.COUNT] = '\0';
}
// The overlong-word message, showing the kMaxWord characters kept.
void wordTooLong(const text::TEXTBUF& tkn);
// Puts "0" in front of the text (a quoted number such as '.5').
void prefixZero(text::TEXTBUF& tkn);

inline bool isSign(char ch) { return ch == '+' || ch == '-'; }
constexpr bool isDecimalDigit(char ch) { return ch >= '0' && ch <= '9'; }

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
    std::span<const OpSymbol>(P::kMoreOpCodes);
};

template <ScanPolicy P> void setStop(char ch, TOKENKIND kind) {
    P::kStopChr = ch;
    P::kStopKind = kind;
}

// A module's start-up: its scanning state and stop record cleared.
template <ScanPolicy P> void startUp() {
    startScan(P::kScan);
    setStop<P>('\0', TOKENKIND::DELIMITER);
}

// The reading position of a token scan in progress: GETCHR and UNGETCHR on
// a copy of CURPOSN and of the line's COUNT, taken when the scan starts; the
// position goes back into the module state only through save(). A copy
// because every character stored into a token text is a char store, which
// may alias anything: read from the module state, the position and COUNT
// would be loaded again for every character; held here they stay in
// registers.
template <ScanPolicy P> struct Cursor {
    std::uint32_t pos = P::kScan.CURPOSN;
    std::uint32_t count = P::kScan.TKNBUF.COUNT;

    // GETCHR: false at the end of the line, with NUL of class DELIMITER.
    bool next(char& ch, TOKENKIND& kind) {
        // Position 0 (restored by RCLTKNPOSN with nothing saved) reads as the
        // end: pos - 1 wraps round to the largest value, one test for both.
        if (pos - 1u >= count) {
            ch = '\0';
            kind = TOKENKIND::DELIMITER;
            return false;
        }
        // count <= kTextCap (startLine), so the index is inside CHARS.
        assert(count <= kTextCap);
        const ScanState& s = P::kScan;
        const unsigned char c = s.upper[static_cast<unsigned char>(s.TKNBUF.CHARS[pos - 1])];
        ch = static_cast<char>(c);
        kind = P::classOf(c);
        ++pos;
        return true;
    }
    // UNGETCHR: false, after its message, when the position is out of range.
    bool back() {
        if (pos >= 2 && pos <= count + 1) {
            --pos;
            return true;
        }
        save();
        std::uint32_t failed = 0;
        UNGETCHR(P::kScan, failed); // refused the same way, with the message
        return false;
    }
    void save() const { P::kScan.CURPOSN = pos; }
};

// GETCHR: the next character of the line (upper-cased) and its class; eol 1
// at the end of the line.
template <ScanPolicy P> void getChr(char& ch, TOKENKIND& kind, std::uint32_t& eol) {
    Cursor<P> in;
    eol = in.next(ch, kind) ? 0 : 1;
    in.save();
}

// GETRESTOFLN: every remaining character, delimiters included, trimmed.
template <ScanPolicy P> void getRestOfLn(text::TEXTBUF& tkn, std::uint32_t& rc) {
    ScanState& s = P::kScan;
    rc = kTknOk;
    s.PREVPOSN = s.CURPOSN;
    tkn.COUNT = 0;
    for (;;) {
        char ch = '\0';
        TOKENKIND cls = TOKENKIND::DELIMITER;
        std::uint32_t eol = 0;
        getChr<P>(ch, cls, eol);
        if (eol != 0) break;
        appendChr(tkn, ch);
    }
    endText(tkn);
    text::TRMBUF(tkn);
    if (tkn.COUNT == 0) rc = kTknEndOfLine;
}

// Operator tokens.

template <ScanPolicy P> constexpr std::uint32_t opCodeOf(char a, char b) {
    std::uint32_t code = findOpCode(kCommonOpCodes, a, b);
    return code != 0 ? code : findOpCode(P::kMoreOpCodes, a, b);
}

// The codes of the one-character symbols by character (0 for none), made
// from the common table and the module's own so that the first character of
// every operator token costs one look-up instead of a search.
template <ScanPolicy P>
constexpr std::array<std::uint8_t, 256> kSingleOpCodes = [] {
    std::array<std::uint8_t, 256> codes{};
    for (std::size_t c = 1; c < codes.size(); ++c) {
        const char ch = static_cast<char>(static_cast<unsigned char>(c));
        codes[c] = static_cast<std::uint8_t>(opCodeOf<P>(ch, '\0'));
    }
    return codes;
}();

template <ScanPolicy P>
void getOpCode(text::TEXTBUF& tkn, std::uint32_t& code, std::uint32_t& fail) {
    code = 0;
    fail = 0;
    if (tkn.COUNT != 1 && tkn.COUNT != 2) {
        fail = 1;
        return;
    }
    char a = tkn.CHARS[0];
    code = kSingleOpCodes<P>[static_cast<unsigned char>(a)];
    if (code == 0) {
        fail = 1;
        return;
    }
    if (tkn.COUNT == 1) return;
    char b = tkn.CHARS[1];
    if (b == '=' && a != '=' && a != '#') {
        ++code;
        return;
    }
    if (std::uint32_t pair = b != '\0' ? opCodeOf<P>(a, b) : 0; pair != 0) {
        code = pair;
        return;
    }
    // Not a symbol of its own: keep the first character, and let the next
    // scan start again at the second.
    std::uint32_t failed = 0;
    UNGETCHR(P::kScan, failed);
    if (failed != 0) {
        const runtime::MessageScope message;
        runtime::WRTSTR(" In GETOPCODE and UNGETCHR failed.");
        runtime::WRTLN();
    }
    tkn.COUNT = 1;
    tkn.CHARS[1] = '\0';
    setStop<P>(b, TOKENKIND::OPERATOR);
}

} // namespace core
} // namespace token
