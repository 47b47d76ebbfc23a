// The scanner core both tokenizers are built on: reading a line character by
// character, the token state machine, operator codes, the real re-scan and the
// rest-of-line copy. Each tokenizer module is a thin face over these, with its
// own state and a small policy that supplies what differs between the two:
//
//   struct Policy {
//       using Value = std::int64_t;                    // the token's integer value
//       static constexpr ScanState& kScan = ...;        // the module's scanning state
//       static constexpr char& kStopChr = STOPCHR;      // and its stop record
//       static constexpr TOKENKIND& kStopKind = STOPKIND;
//       static TOKENKIND classOf(unsigned char);        // class of an upper-case code
//       static void beforeScan();                       // at the start of each token scan
//       static bool digitFits(Value, std::uint32_t count, std::uint32_t digit);
//       static Value addWordCode(Value, std::uint32_t code);
//       static constexpr std::array<OPCODE, N> kMoreOpCodes; // beyond kCommonOpCodes
//   };
#pragma once

#include "runtime/console.h"
#include "runtime/realtext.h"
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
std::uint32_t FINDOPCODE(std::span<const OPCODE> table, char a, char b);

// Start-up: clears the whole state and builds the upper-case table.
void STARTSCAN(ScanState &s);
// Starts on a copy of line at position start (never beyond its end + 1).
void INITLINE(ScanState &s, const text::TEXTBUF &line, std::uint32_t start);
void UNGETCHR(ScanState &s, std::uint32_t &fail);
void STOTKNPOSN(ScanState &s);
void RCLTKNPOSN(ScanState &s);
void UNGETTKN(ScanState &s, std::uint32_t &fail);

// Adds ch behind the text when there is room; false when CHARS is full.
bool APPENDCHR(text::TEXTBUF &tkn, char ch);
// Stores the NUL behind the text when it is shorter than CHARS.
void ENDTEXT(text::TEXTBUF &tkn);
// The overlong-word message, showing the kMaxWord characters kept.
void WORDTOOLONG(const text::TEXTBUF &tkn);
// Puts "0" in front of the text (a quoted number such as '.5').
void PREFIXZERO(text::TEXTBUF &tkn);

inline bool isSign(char ch) {
    return ch == '+' || ch == '-';
}
inline bool isDecimalDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

template <class P> void setStop(char ch, TOKENKIND kind) {
    P::kStopChr = ch;
    P::kStopKind = kind;
}

// A module's start-up: its scanning state and stop record cleared.
template <class P> void startUp() {
    STARTSCAN(P::kScan);
    setStop<P>('\0', TOKENKIND::DELIMITER);
}

template <class P> std::uint32_t opCodeOf(char a, char b) {
    std::uint32_t code = FINDOPCODE(kCommonOpCodes, a, b);
    return code != 0 ? code : FINDOPCODE(P::kMoreOpCodes, a, b);
}

template <class P> void getChr(char &ch, TOKENKIND &kind, std::uint32_t &eol) {
    ScanState &s = P::kScan;
    eol = 0;
    // Position 0 (restored by RCLTKNPOSN with nothing saved) reads as the end.
    if (s.CURPOSN == 0 || s.CURPOSN > s.TKNBUF.COUNT) {
        eol = 1;
        ch = '\0';
        kind = TOKENKIND::DELIMITER;
        return;
    }
    // COUNT <= kCap (INITLINE), so the index is inside CHARS.
    unsigned char c = s.UPPER[static_cast<unsigned char>(s.TKNBUF.CHARS[s.CURPOSN - 1])];
    ch = static_cast<char>(c);
    kind = P::classOf(c);
    ++s.CURPOSN;
}

template <class P> void getOpCode(text::TEXTBUF &tkn, std::uint32_t &code, std::uint32_t &fail) {
    code = 0;
    fail = 0;
    if (tkn.COUNT != 1 && tkn.COUNT != 2) {
        fail = 1;
        return;
    }
    char a = tkn.CHARS[0];
    code = opCodeOf<P>(a, '\0');
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
    if (std::uint32_t pair = opCodeOf<P>(a, b); pair != 0) {
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

// One run of the token state machine. The kind found so far decides what
// each character does; see step() for the table.
template <class P> struct TokenScan {
    using Value = typename P::Value;

    text::TEXTBUF &tkn;
    TOKENKIND &kind;
    Value &value;
    std::uint32_t &rc;
    bool negative = false;
    bool quoted = false;
    char quote = '\0';
    // The last character handed out and its class as finally taken.
    char ch = '\0';
    TOKENKIND cls = TOKENKIND::DELIMITER;
    // Set when a sign in front of a digit was handed back: the scan then
    // stops at the sign, with the class of the digit.
    bool signHandedBack = false;
    char sign = '\0';

    void pushBack() {
        std::uint32_t failed = 0;
        UNGETCHR(P::kScan, failed);
        if (failed != 0) rc = kTknPushBackFailed;
    }
    static std::uint32_t digitOf(char c) { return static_cast<std::uint32_t>(c - '0'); }
    static std::uint32_t codeOf(char c) { return static_cast<unsigned char>(c); }

    // Appends a word character; false when the word is already full, which
    // drops the character and ends the scan with the message.
    bool appendWord() {
        if (tkn.COUNT >= kMaxWord) {
            WORDTOOLONG(tkn);
            rc = kTknWordTooLong;
            return false;
        }
        APPENDCHR(tkn, ch);
        value = P::addWordCode(value, codeOf(ch));
        return true;
    }

    bool fromDelimiter() {
        switch (cls) {
        case TOKENKIND::DELIMITER:
            return ch != '\0'; // a NUL before any token ends the scan
        case TOKENKIND::OPERATOR:
            kind = TOKENKIND::OPERATOR;
            APPENDCHR(tkn, ch);
            return true;
        case TOKENKIND::NUMBER:
            kind = TOKENKIND::NUMBER;
            APPENDCHR(tkn, ch);
            value = static_cast<Value>(digitOf(ch));
            return true;
        case TOKENKIND::WORD:
            kind = TOKENKIND::WORD;
            if (ch == '\'' || ch == '"') {
                quoted = true;
                quote = ch;
                return true;
            }
            APPENDCHR(tkn, ch);
            value = static_cast<Value>(codeOf(ch));
            return true;
        }
        return false;
    }

    // A digit behind an operator: "+5" and "-5" become numbers; behind a
    // second character ("*-5") the sign is handed back for the next token.
    bool signRule() {
        char last = tkn.CHARS[tkn.COUNT - 1]; // an operator text holds 1 or 2 characters
        if (isSign(last) && tkn.COUNT == 1) {
            kind = TOKENKIND::NUMBER;
            negative = last == '-';
            tkn.CHARS[0] = ch;
            value = static_cast<Value>(digitOf(ch));
            return true;
        }
        pushBack();
        if (isSign(last)) {
            pushBack();
            tkn.COUNT = 1;
            signHandedBack = true;
            sign = last;
        }
        return false;
    }

    bool fromOperator() {
        switch (cls) {
        case TOKENKIND::OPERATOR:
            if (tkn.COUNT < 2) {
                APPENDCHR(tkn, ch);
                return true;
            }
            break;
        case TOKENKIND::NUMBER:
            return signRule();
        default:
            break;
        }
        pushBack();
        return false;
    }

    bool fromNumber() {
        if (cls == TOKENKIND::DELIMITER) return false;
        if (cls != TOKENKIND::NUMBER) {
            pushBack();
            return false;
        }
        if (!P::digitFits(value, tkn.COUNT, digitOf(ch))) {
            rc = kTknTooManyDigits; // the digit is consumed and not stored
            return false;
        }
        APPENDCHR(tkn, ch);
        value = static_cast<Value>(value * 10 + static_cast<Value>(digitOf(ch)));
        return true;
    }

    bool fromWord() {
        switch (cls) {
        case TOKENKIND::DELIMITER:
            return false;
        case TOKENKIND::OPERATOR:
            pushBack();
            return false;
        case TOKENKIND::NUMBER:
            return appendWord();
        case TOKENKIND::WORD:
            if (ch == quote) {
                cls = TOKENKIND::DELIMITER; // the closing quote
                return false;
            }
            return appendWord();
        }
        return false;
    }

    bool step() {
        switch (kind) {
        case TOKENKIND::DELIMITER:
            return fromDelimiter();
        case TOKENKIND::OPERATOR:
            return fromOperator();
        case TOKENKIND::NUMBER:
            return fromNumber();
        case TOKENKIND::WORD:
            return fromWord();
        }
        return false;
    }

    void finish() {
        setStop<P>(signHandedBack ? sign : ch, cls);
        ENDTEXT(tkn);
        if (kind == TOKENKIND::NUMBER && negative) value = static_cast<Value>(-value);
        if (kind == TOKENKIND::OPERATOR) {
            std::uint32_t code = 0;
            std::uint32_t failed = 0;
            getOpCode<P>(tkn, code, failed);
            value = static_cast<Value>(code);
            if (failed != 0) rc = kTknBadOperator;
        }
        tkn.ORIGCNT = tkn.COUNT;
    }

    // Returns whether the token was a quoted word.
    bool run() {
        ScanState &s = P::kScan;
        s.PREVPOSN = s.CURPOSN;
        kind = TOKENKIND::DELIMITER;
        rc = kTknOk;
        value = 0;
        tkn.COUNT = 0;
        P::beforeScan();
        for (;;) {
            std::uint32_t eol = 0;
            getChr<P>(ch, cls, eol);
            if (eol != 0) {
                if (kind == TOKENKIND::DELIMITER) rc = kTknEndOfLine;
                break;
            }
            if (quoted && ch != '\0') cls = TOKENKIND::WORD;
            if (!step()) break;
        }
        finish();
        return quoted;
    }
};

// GETTKN. Returns whether the token was a quoted word.
template <class P>
bool scanToken(text::TEXTBUF &tkn, TOKENKIND &kind, typename P::Value &value, std::uint32_t &rc) {
    TokenScan<P> scan{tkn, kind, value, rc};
    return scan.run();
}

// Reads a number again from where its token began, as a real: digits, "."
// and "E", a sign directly after an "E", and one leading sign, which is
// returned rather than stored. The text starts with "0" and keeps at most
// kCap characters; further number characters are consumed and dropped.
template <class P> bool rescanNumber(text::TEXTBUF &tkn) {
    ScanState &s = P::kScan;
    std::uint32_t failed = 0;
    UNGETTKN(s, failed);
    if (failed != 0) {
        runtime::WRTSTR("*Warning*  In GETTKNREAL and UNGETTKN failed.");
        runtime::WRTLN();
    }
    s.PREVPOSN = s.CURPOSN;
    tkn.CHARS[0] = '0';
    tkn.COUNT = 1;
    bool negative = false;
    bool started = false;
    char last = '0';
    char ch = '\0';
    TOKENKIND cls = TOKENKIND::DELIMITER;
    for (;;) {
        std::uint32_t eol = 0;
        getChr<P>(ch, cls, eol);
        if (eol != 0) break;
        if (cls == TOKENKIND::DELIMITER) {
            if (!started) continue; // delimiters in front of the number
            break;                  // the delimiter behind it is consumed
        }
        bool sign = cls == TOKENKIND::OPERATOR && isSign(ch);
        bool take = cls == TOKENKIND::NUMBER ||
                    (cls == TOKENKIND::WORD && (ch == '.' || ch == 'E')) || (sign && last == 'E');
        if (!take && sign && !started) {
            negative = ch == '-';
            started = true;
            continue;
        }
        if (!take) {
            UNGETCHR(s, failed); // a failure only leaves the character read
            break;
        }
        started = true;
        last = ch;
        APPENDCHR(tkn, ch);
    }
    setStop<P>(ch, cls);
    ENDTEXT(tkn);
    tkn.ORIGCNT = tkn.COUNT;
    return negative;
}

// GETTKNREAL: GETTKN, then a number (or a word such as .5) read again as a
// real. Every call that delivers a token leaves the position behind it.
template <class P>
void getTknReal(text::TEXTBUF &tkn, TOKENKIND &kind, typename P::Value &value, double &real,
                std::uint32_t &rc) {
    rc = kTknOk;
    real = 0.0;
    std::uint32_t scanRc = 0;
    bool quoted = scanToken<P>(tkn, kind, value, scanRc);
    if (kind == TOKENKIND::WORD && tkn.CHARS[0] == '.' && isDecimalDigit(tkn.CHARS[1])) {
        kind = TOKENKIND::NUMBER;
    }
    if (kind != TOKENKIND::NUMBER) {
        rc = scanRc;
        return;
    }
    bool negative = false;
    if (quoted) {
        // The quotes are gone from the text and the position is behind the
        // closing one; a re-scan would stop at the opening quote.
        PREFIXZERO(tkn);
    } else {
        negative = rescanNumber<P>(tkn);
    }
    std::uint32_t pos = 0;
    bool ok = false;
    runtime::TEXTTOREAL(tkn.CHARS, pos, real, ok);
    if (negative) real = -real;
    if (!ok) rc = kTknBadReal;
}

// GETRESTOFLN: every remaining character, delimiters included, trimmed.
template <class P> void getRestOfLn(text::TEXTBUF &tkn, std::uint32_t &rc) {
    ScanState &s = P::kScan;
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
