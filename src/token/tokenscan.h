// The token scanner core shared by both tokenizer modules: the reading
// position of a scan in progress (Cursor) with the reads made with it alone
// (GETCHR, GETRESTOFLN), operator tokens (the code of a symbol, GETOPCODE),
// and the token state machine of GETTKN: operators with their codes, numbers
// with their values, words with their character sums.
#pragma once

#include "runtime/console.h"
#include "text/textbuf.h"
#include "token/scanstate.h"

#include <array>
#include <cassert>
#include <cstdint>

namespace token::core {

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
        // Position 0 (restored by RCLTKNPOSN with nothing saved) reads as the end.
        if (pos == 0 || pos > count) {
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

// The token state machine.

// One run of the token state machine. The kind found so far decides what
// each character does; see step() for the table. The result is built in
// the members and handed out by finish(), which alone writes the position,
// the text's COUNT, the kind and the value.
template <ScanPolicy P> struct TokenScan {
    using Value = typename P::Value;

    text::TEXTBUF& tkn;
    Cursor<P> in{};
    std::uint32_t count = 0; // the COUNT of the text being built
    TOKENKIND kind = TOKENKIND::DELIMITER;
    Value value = 0;
    std::uint32_t rc = kTknOk;
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

    explicit TokenScan(text::TEXTBUF& text) : tkn(text) {}

    void append(char c) {
        if (count < kTextCap) tkn.CHARS[count++] = c;
    }
    void pushBack() {
        if (!in.back()) rc = kTknPushBackFailed;
    }
    static std::uint32_t codeOf(char c) { return static_cast<unsigned char>(c); }
    // The code minus that of "0": 0 to 9 for the default digits, anything
    // from -48 to 207 for a digit set a caller has replaced.
    static Value digitOf(char c) {
        return static_cast<Value>(static_cast<std::int32_t>(codeOf(c)) - std::int32_t{'0'});
    }

    // Appends a word character; false when the word is already full, which
    // drops the character and ends the scan with the message.
    bool appendWord() {
        if (count >= kMaxWord) {
            tkn.COUNT = count;
            wordTooLong(tkn);
            rc = kTknWordTooLong;
            return false;
        }
        append(ch);
        value = P::addWordCode(value, codeOf(ch));
        return true;
    }

    bool fromDelimiter() {
        switch (cls) {
        case TOKENKIND::DELIMITER:
            return ch != '\0'; // a NUL before any token ends the scan
        case TOKENKIND::OPERATOR:
            kind = TOKENKIND::OPERATOR;
            append(ch);
            return true;
        case TOKENKIND::NUMBER:
            kind = TOKENKIND::NUMBER;
            append(ch);
            value = digitOf(ch);
            return true;
        case TOKENKIND::WORD:
            kind = TOKENKIND::WORD;
            if (ch == '\'' || ch == '"') {
                quoted = true;
                quote = ch;
                return true;
            }
            append(ch);
            value = static_cast<Value>(codeOf(ch));
            return true;
        }
        return false;
    }

    // A digit behind an operator: "+5" and "-5" become numbers; behind a
    // second character ("*-5") the sign is handed back for the next token.
    bool signRule() {
        assert(count == 1 || count == 2); // an operator text holds 1 or 2 characters
        char last = tkn.CHARS[count - 1];
        if (isSign(last) && count == 1) {
            kind = TOKENKIND::NUMBER;
            negative = last == '-';
            tkn.CHARS[0] = ch;
            value = digitOf(ch);
            return true;
        }
        pushBack();
        if (isSign(last)) {
            pushBack();
            count = 1;
            signHandedBack = true;
            sign = last;
        }
        return false;
    }

    bool fromOperator() {
        switch (cls) {
        case TOKENKIND::OPERATOR:
            if (count < 2) {
                append(ch);
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
        if (!P::digitFits(value, count, digitOf(ch))) {
            rc = kTknTooManyDigits; // the digit is consumed and not stored
            return false;
        }
        append(ch);
        value = static_cast<Value>(value * 10 + digitOf(ch));
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
        tkn.COUNT = count;
        endText(tkn);
        if (kind == TOKENKIND::NUMBER && negative) value = static_cast<Value>(-value);
        in.save(); // GETOPCODE may step back from here
        if (kind == TOKENKIND::OPERATOR) {
            std::uint32_t code = 0;
            std::uint32_t failed = 0;
            getOpCode<P>(tkn, code, failed);
            value = static_cast<Value>(code);
            if (failed != 0) rc = kTknBadOperator;
        }
        tkn.ORIGCNT = tkn.COUNT;
    }

    [[gnu::always_inline]] void run() {
        P::kScan.PREVPOSN = in.pos;
        for (;;) {
            if (!in.next(ch, cls)) {
                if (kind == TOKENKIND::DELIMITER) rc = kTknEndOfLine;
                break;
            }
            if (quoted && ch != '\0') cls = TOKENKIND::WORD;
            if (!step()) break;
        }
        finish();
    }
};

// GETTKN.
template <ScanPolicy P>
void scanToken(text::TEXTBUF& tkn, TOKENKIND& kind, typename P::Value& value, std::uint32_t& rc) {
    TokenScan<P> scan(tkn);
    scan.run();
    kind = scan.kind;
    value = scan.value;
    rc = scan.rc;
}

} // namespace token::core
