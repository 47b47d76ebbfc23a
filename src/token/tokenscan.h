// The token state machine of the scanner core (GETTKN): operators with their
// codes, numbers with their values, words with their character sums.
#pragma once

#include "token/cursor.h"
#include "token/opscan.h"
#include "token/scanpolicy.h"
#include "token/textsteps.h"

namespace token::core {

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
        if (count < kCap) tkn.CHARS[count++] = c;
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
            WORDTOOLONG(tkn);
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
        char last = tkn.CHARS[count - 1]; // an operator text holds 1 or 2 characters
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
        ENDTEXT(tkn);
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
