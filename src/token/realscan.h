// GETTKNREAL in the scanner core: a token, and a number read again as a real.
#pragma once

#include "runtime/realtext.h"
#include "token/tokenscan.h"

namespace token::core {

// The re-scan of a number as a real: digits, "." and "E", a sign directly
// after an "E", and one leading sign, which is kept apart rather than
// stored. The text starts with "0" and keeps at most kCap characters;
// further number characters are consumed and dropped.
template <class P> struct NumberScan {
    text::TEXTBUF& tkn;
    Cursor<P> in{};
    std::uint32_t count = 1; // the text so far: "0"
    bool negative = false;
    bool started = false; // a sign or a number character has been read
    char last = '0';      // the last character stored
    char ch = '\0';
    TOKENKIND cls = TOKENKIND::DELIMITER;

    explicit NumberScan(text::TEXTBUF& text) : tkn(text) { tkn.CHARS[0] = '0'; }

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
            if (count < kCap) tkn.CHARS[count++] = ch;
        }
        finish();
    }

    void finish() {
        setStop<P>(ch, cls);
        tkn.COUNT = count;
        ENDTEXT(tkn);
        tkn.ORIGCNT = tkn.COUNT;
        in.save();
    }
};

// Reads a number again from where its token began. Returns whether it was
// written with a leading "-".
template <class P> bool rescanNumber(text::TEXTBUF& tkn) {
    ScanState& s = P::kScan;
    std::uint32_t failed = 0;
    UNGETTKN(s, failed);
    if (failed != 0) {
        runtime::WRTSTR("*Warning*  In GETTKNREAL and UNGETTKN failed.");
        runtime::WRTLN();
    }
    s.PREVPOSN = s.CURPOSN;
    NumberScan<P> scan(tkn);
    scan.run();
    return scan.negative;
}

// GETTKNREAL's shortcut for the tokens nearly every line is made of: a
// number that begins with a digit, and a one-character operator symbol
// followed by a delimiter or the end of the line. It reads such a token once
// and gives exactly what GETTKN and the re-scan give, position, stop record
// and token text included; for every other token it returns false having
// changed nothing, and the general way takes over.
//
// A number: GETTKN would take the leading digits (as many as its limit
// allows) and stop at the first other character; the re-scan would then go
// back to where the token began and read the same delimiters and digits
// again before going on. Here the digits go into the re-scan's text behind
// its "0" as they come, and into the integer value while GETTKN would still
// be taking them.
template <class P> struct QuickToken {
    using Value = typename P::Value;
    text::TEXTBUF& tkn;
    Cursor<P> in{};
    char ch = '\0';
    TOKENKIND cls = TOKENKIND::DELIMITER;

    explicit QuickToken(text::TEXTBUF& text) : tkn(text) {}

    bool run(TOKENKIND& kind, Value& value, double& real, std::uint32_t& rc) {
        P::beforeScan();
        const std::uint32_t start = in.pos;
        do {
            if (!in.next(ch, cls) || ch == '\0') return false;
        } while (cls == TOKENKIND::DELIMITER);
        std::uint32_t count = 0;
        if (cls == TOKENKIND::NUMBER) {
            count = number(value);
            kind = TOKENKIND::NUMBER;
        } else if (cls == TOKENKIND::OPERATOR) {
            if (!singleOperator()) return false;
            count = 1;
            kind = TOKENKIND::OPERATOR;
        } else {
            return false;
        }
        setStop<P>(ch, cls);
        tkn.COUNT = count;
        ENDTEXT(tkn);
        tkn.ORIGCNT = count;
        in.save();
        P::kScan.PREVPOSN = start;
        rc = kTknOk;
        real = 0.0;
        if (kind == TOKENKIND::OPERATOR) {
            const std::uint32_t code = kSingleOpCodes<P>[static_cast<unsigned char>(tkn.CHARS[0])];
            value = static_cast<Value>(code);
            if (code == 0) rc = kTknBadOperator; // possible with a replaced set
            return true;
        }
        std::uint32_t pos = 0;
        bool ok = false;
        runtime::TEXTTOREAL(tkn.CHARS, pos, real, ok);
        if (!ok) rc = kTknBadReal;
        return true;
    }

    // The operator character just read, when a delimiter (handed back) or
    // the end of the line follows it; false for a longer symbol or an
    // operator character directly before a digit or a word character.
    bool singleOperator() {
        const char op = ch;
        if (in.next(ch, cls)) {
            if (cls != TOKENKIND::DELIMITER) return false;
            in.back(); // pos >= 2 here: it cannot fail
        }
        tkn.CHARS[0] = op;
        return true;
    }

    // The number whose first digit was just read; returns the text's COUNT.
    std::uint32_t number(Value& value) {
        std::uint32_t count = 0;
        tkn.CHARS[count++] = '0';
        tkn.CHARS[count++] = ch;
        value = TokenScan<P>::digitOf(ch);
        std::uint32_t digits = 1; // the digits GETTKN keeps
        bool taking = true;       // GETTKN would still be taking digits
        char last = ch;
        while (in.next(ch, cls)) {
            if (cls == TOKENKIND::NUMBER) {
                const Value d = TokenScan<P>::digitOf(ch);
                taking = taking && P::digitFits(value, digits, d);
                if (taking) {
                    value = static_cast<Value>(value * 10 + d);
                    ++digits;
                }
            } else if (cls == TOKENKIND::DELIMITER) {
                break; // consumed
            } else if ((cls == TOKENKIND::WORD && (ch == '.' || ch == 'E')) ||
                       (cls == TOKENKIND::OPERATOR && isSign(ch) && last == 'E')) {
                taking = false;
            } else {
                in.back(); // handed back for the next token
                break;
            }
            last = ch;
            if (count < kCap) tkn.CHARS[count++] = ch;
        }
        return count;
    }
};

// GETTKNREAL: GETTKN, then a number (or a word such as .5) read again as a
// real. Every call that delivers a token leaves the position behind it.
// With shortcut false it always goes the general way, which the shortcut is
// checked against.
template <class P, bool shortcut = true>
void getTknReal(text::TEXTBUF& tkn, TOKENKIND& kind, typename P::Value& value, double& real,
                std::uint32_t& rc) {
    if (shortcut && QuickToken<P>(tkn).run(kind, value, real, rc)) return;
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
    bool negative = false;
    if (token.quoted) {
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

} // namespace token::core
