// The general way of reading tokens, shared by both tokenizer modules: the
// token state machine of GETTKN (operators with their codes, numbers with
// their values, words with their character sums), and GETTKNREAL's general
// way, GETTKN and then the number read again from where its token began
// (NumberScan).
#pragma once

#include "realtext/realstream.h"
#include "realtext/realtext.h"
#include "runtime/console.h"
#include "text/textbuf.h"
#include "token/core.h"

#include <array>
#include <cassert>
#include <cstdint>

namespace token::core {

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

// The re-scan of a number as a real: digits, "." and "E", a sign directly
// after an "E", and one leading sign, which is kept apart rather than
// stored. The text starts with "0" and keeps at most kTextCap characters;
// further number characters are consumed and dropped from the text, but
// every one goes into the value.
template <ScanPolicy P> struct NumberScan {
    text::TEXTBUF& tkn;
    Cursor<P> in{};
    std::uint32_t count = 1; // the text so far: "0"
    bool negative = false;
    bool started = false; // a sign or a number character has been read
    char last = '0';      // the last character stored
    char ch = '\0';
    TOKENKIND cls = TOKENKIND::DELIMITER;
    realtext::RealStream whole{}; // the value of every character taken
    bool cut = false;             // a character did not fit the text

    explicit NumberScan(text::TEXTBUF& text) : tkn(text) {
        tkn.CHARS[0] = '0';
        whole.put('0');
    }

    void run() {
        while (in.next(ch, cls)) {
            if (cls == TOKENKIND::DELIMITER) {
                if (!started) continue; // delimiters in front of the number
                break;                  // the delimiter behind it is consumed
            }
            bool sign = cls == TOKENKIND::OPERATOR && isSign(ch);
            bool take = cls == TOKENKIND::NUMBER ||
                        (cls == TOKENKIND::WORD && (ch == '.' || ch == 'E')) ||
                        (sign && last == 'E');
            if (!take && sign && !started) {
                negative = ch == '-';
                started = true;
                continue;
            }
            if (!take) {
                in.back(); // a failure only leaves the character read
                break;
            }
            started = true;
            last = ch;
            whole.put(ch);
            if (count < kTextCap) {
                tkn.CHARS[count++] = ch;
            } else {
                cut = true;
            }
        }
        finish();
    }

    void finish() {
        setStop<P>(ch, cls);
        tkn.COUNT = count;
        endText(tkn);
        tkn.ORIGCNT = tkn.COUNT;
        in.save();
    }
};

// Reads a number again from where its token began and converts it: the text
// as TEXTTOREAL reads it or, when the text was cut, every character taken.
// A leading "-" makes the value negative.
template <ScanPolicy P> void rescanNumber(text::TEXTBUF& tkn, double& real, bool& ok) {
    ScanState& s = P::kScan;
    std::uint32_t failed = 0;
    UNGETTKN(s, failed);
    if (failed != 0) {
        const runtime::MessageScope message;
        runtime::WRTSTR("*Warning*  In GETTKNREAL and UNGETTKN failed.");
        runtime::WRTLN();
    }
    s.PREVPOSN = s.CURPOSN;
    NumberScan<P> scan(tkn);
    scan.run();
    if (scan.cut) {
        scan.whole.result(real, ok);
    } else {
        std::uint32_t pos = 0;
        realtext::TEXTTOREAL(tkn.CHARS, pos, real, ok);
    }
    if (scan.negative) real = -real;
}

// GETTKNREAL the general way: GETTKN, then a number (or a word such as .5)
// read again as a real. Every call that delivers a token leaves the position
// behind it. Kept out of line: inlined beside the shortcut, its many live
// values would make every call save and restore registers the shortcut,
// which nearly every token takes, does not need.
template <ScanPolicy P>
[[gnu::noinline]] void getTknRealGeneral(text::TEXTBUF& tkn, TOKENKIND& kind,
                                         typename P::Value& value, double& real,
                                         std::uint32_t& rc) {
    rc = kTknOk;
    real = 0.0;
    TokenScan<P> token(tkn);
    token.run();
    kind = token.kind;
    value = token.value;
    if (kind == TOKENKIND::WORD && tkn.CHARS[0] == '.' && isDecimalDigit(tkn.CHARS[1])) {
        kind = TOKENKIND::NUMBER;
    }
    if (kind != TOKENKIND::NUMBER) {
        rc = token.rc;
        return;
    }
    bool ok = false;
    if (token.quoted) {
        // The quotes are gone from the text and the position is behind the
        // closing one; a re-scan would stop at the opening quote.
        prefixZero(tkn);
        std::uint32_t pos = 0;
        realtext::TEXTTOREAL(tkn.CHARS, pos, real, ok);
    } else {
        rescanNumber<P>(tkn, real, ok);
    }
    if (!ok) rc = kTknBadReal;
}

} // namespace token::core
