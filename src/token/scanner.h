// The scanner core both tokenizers are built on: reading a line character by
// character, positions, operator codes and the rest-of-line copy; the token
// state machine is in tokenscan.h and the real re-scan in realscan.h. Each
// tokenizer module is a thin face over these, with its own state and a small
// policy that supplies what differs between the two:
//
//   struct Policy {
//       using Value = std::int64_t;                    // the token's integer value
//       static constexpr ScanState& kScan = ...;        // the module's scanning state
//       static constexpr char& kStopChr = STOPCHR;      // and its stop record
//       static constexpr TOKENKIND& kStopKind = STOPKIND;
//       static TOKENKIND classOf(unsigned char);        // class of an upper-case code
//       static void beforeScan();                       // at the start of each token scan
//       static bool digitFits(Value, std::uint32_t count, Value digit);
//       static Value addWordCode(Value, std::uint32_t code);
//       static constexpr std::array<OPCODE, N> kMoreOpCodes; // beyond kCommonOpCodes
//   };
#pragma once

#include "runtime/console.h"
#include "text/textbuf.h"
#include "token/tokenizer.h"

#include <array>
#include <cstdint>
#include <span>

namespace token::core {

constexpr std::uint32_t kCap = static_cast<std::uint32_t>(text::kTextCap);
// A word is cut at this many characters.
constexpr std::uint32_t kMaxWord = 80;

// Everything one tokenizer module knows about the line it scans.
struct ScanState {
    text::TEXTBUF TKNBUF{};
    std::uint32_t CURPOSN = 0;
    std::uint32_t PREVPOSN = 0;
    std::uint32_t HOLDCURPOSN = 0;
    text::TEXTBUF HOLDTKNBUF{};
    // Upper-case mapping of every byte, filled once by STARTSCAN.
    std::array<unsigned char, 256> UPPER{};
};

// An operator symbol and its code; second is NUL for a one-character symbol.
struct OPCODE {
    char first;
    char second;
    std::uint32_t code;
};

// The operator symbols both tokenizers know.
constexpr std::array<OPCODE, 9> kCommonOpCodes = {{
    {'<', '\0', 1},
    {'>', '\0', 3},
    {'=', '\0', 5},
    {'+', '\0', 8},
    {'-', '\0', 10},
    {'#', '\0', 7},
    {'*', '\0', 12},
    {'/', '\0', 14},
    {'<', '>', 6},
}};

// The code of the symbol a b (b NUL for one character) in the table, or 0.
constexpr std::uint32_t FINDOPCODE(std::span<const OPCODE> table, char a, char b) {
    for (const OPCODE& op : table) {
        if (op.first == a && op.second == b) return op.code;
    }
    return 0;
}

// Start-up: clears the whole state and builds the upper-case table.
void STARTSCAN(ScanState& s);
// Starts on a copy of line at position start (never beyond its end + 1).
void INITLINE(ScanState& s, const text::TEXTBUF& line, std::uint32_t start);
void UNGETCHR(ScanState& s, std::uint32_t& fail);
void STOTKNPOSN(ScanState& s);
void RCLTKNPOSN(ScanState& s);
void UNGETTKN(ScanState& s, std::uint32_t& fail);

// Adds ch behind the text when there is room; false when CHARS is full.
inline bool APPENDCHR(text::TEXTBUF& tkn, char ch) {
    if (tkn.COUNT >= kCap) return false;
    tkn.CHARS[tkn.COUNT] = ch;
    ++tkn.COUNT;
    return true;
}
// Stores the NUL behind the text when it is shorter than CHARS.
inline void ENDTEXT(text::TEXTBUF& tkn) {
    if (tkn.COUNT < kCap) tkn.CHARS[tkn.COUNT] = '\0';
}
// The overlong-word message, showing the kMaxWord characters kept.
void WORDTOOLONG(const text::TEXTBUF& tkn);
// Puts "0" in front of the text (a quoted number such as '.5').
void PREFIXZERO(text::TEXTBUF& tkn);

inline bool isSign(char ch) { return ch == '+' || ch == '-'; }
inline bool isDecimalDigit(char ch) { return ch >= '0' && ch <= '9'; }

template <class P> void setStop(char ch, TOKENKIND kind) {
    P::kStopChr = ch;
    P::kStopKind = kind;
}

// A module's start-up: its scanning state and stop record cleared.
template <class P> void startUp() {
    STARTSCAN(P::kScan);
    setStop<P>('\0', TOKENKIND::DELIMITER);
}

template <class P> constexpr std::uint32_t opCodeOf(char a, char b) {
    std::uint32_t code = FINDOPCODE(kCommonOpCodes, a, b);
    return code != 0 ? code : FINDOPCODE(P::kMoreOpCodes, a, b);
}

// The codes of the one-character symbols by character (0 for none), made
// from the two tables above so that the first character of every operator
// token costs one look-up instead of a search.
template <class P>
constexpr std::array<std::uint8_t, 256> kSingleOpCodes = [] {
    std::array<std::uint8_t, 256> codes{};
    for (std::size_t c = 1; c < codes.size(); ++c) {
        const char ch = static_cast<char>(static_cast<unsigned char>(c));
        codes[c] = static_cast<std::uint8_t>(opCodeOf<P>(ch, '\0'));
    }
    return codes;
}();

// The reading position of a token scan in progress: GETCHR and UNGETCHR on
// a copy of CURPOSN, written back by save(). Every character stored into a
// token text is a char store, which the compiler must assume may change
// anything, CURPOSN and COUNT included; read from the module state they
// would be loaded again for every character.
template <class P> struct Cursor {
    std::uint32_t pos = P::kScan.CURPOSN;
    std::uint32_t count = P::kScan.TKNBUF.COUNT;

    // GETCHR: false at the end of the line, with NUL of class DELIMITER.
    bool next(char& ch, TOKENKIND& kind) {
        // Position 0 (restored by RCLTKNPOSN with nothing saved) reads as the end.
        if (pos == 0 || pos > count) {
            ch = '\0';
            kind = TOKENKIND::DELIMITER;
            return false;
        }
        // count <= kCap (INITLINE), so the index is inside CHARS.
        const ScanState& s = P::kScan;
        const unsigned char c = s.UPPER[static_cast<unsigned char>(s.TKNBUF.CHARS[pos - 1])];
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
template <class P> void getChr(char& ch, TOKENKIND& kind, std::uint32_t& eol) {
    Cursor<P> in;
    eol = in.next(ch, kind) ? 0 : 1;
    in.save();
}

template <class P> void getOpCode(text::TEXTBUF& tkn, std::uint32_t& code, std::uint32_t& fail) {
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
        runtime::WRTSTR(" In GETOPCODE and UNGETCHR failed.");
        runtime::WRTLN();
    }
    tkn.COUNT = 1;
    tkn.CHARS[1] = '\0';
    setStop<P>(b, TOKENKIND::OPERATOR);
}

// GETRESTOFLN: every remaining character, delimiters included, trimmed.
template <class P> void getRestOfLn(text::TEXTBUF& tkn, std::uint32_t& rc) {
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
        APPENDCHR(tkn, ch);
    }
    ENDTEXT(tkn);
    text::TRMBUF(tkn);
    if (tkn.COUNT == 0) rc = kTknEndOfLine;
}

} // namespace token::core
