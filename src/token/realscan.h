// GETTKNREAL in the scanner core: a token, and a number read again as a real.
#pragma once

#include "runtime/realstream.h"
#include "runtime/realtext.h"
#include "token/tokenscan.h"

namespace token::core {

// The re-scan of a number as a real: digits, "." and "E", a sign directly
// after an "E", and one leading sign, which is kept apart rather than
// stored. The text starts with "0" and keeps at most kCap characters;
// further number characters are consumed and dropped from the text, but
// every one goes into the value.
template <class P> struct NumberScan {
    text::TEXTBUF& tkn;
    Cursor<P> in{};
    std::uint32_t count = 1; // the text so far: "0"
    bool negative = false;
    bool started = false; // a sign or a number character has been read
    char last = '0';      // the last character stored
    char ch = '\0';
    TOKENKIND cls = TOKENKIND::DELIMITER;
    runtime::RealStream whole{}; // the value of every character taken
    bool cut = false;            // a character did not fit the text

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
            if (count < kCap) {
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
        ENDTEXT(tkn);
        tkn.ORIGCNT = tkn.COUNT;
        in.save();
    }
};

// Reads a number again from where its token began and converts it: the text
// as TEXTTOREAL reads it or, when the text was cut, every character taken.
// A leading "-" makes the value negative.
template <class P> void rescanNumber(text::TEXTBUF& tkn, double& real, bool& ok) {
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
    if (scan.cut) {
        scan.whole.result(real, ok);
    } else {
        std::uint32_t pos = 0;
        runtime::TEXTTOREAL(tkn.CHARS, pos, real, ok);
    }
    if (scan.negative) real = -real;
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
// again before going on, and TEXTTOREAL would read the text a third time.
// Here the characters go into the re-scan's text behind its "0" as they
// come, the leading digits into the integer value while GETTKN would still
// be taking them, and a plain number (digits and at most one point, the
// text not cut) is converted on the way with TEXTTOREAL's own digit steps;
// any other text goes to TEXTTOREAL.
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
        Number n;
        if (cls == TOKENKIND::NUMBER) {
            n = number();
            kind = TOKENKIND::NUMBER;
        } else if (cls == TOKENKIND::OPERATOR) {
            if (!singleOperator()) return false;
            n.count = 1;
            kind = TOKENKIND::OPERATOR;
        } else {
            return false;
        }
        setStop<P>(ch, cls);
        tkn.COUNT = n.count;
        ENDTEXT(tkn);
        tkn.ORIGCNT = n.count;
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
        value = n.value;
        real = n.real;
        bool ok = std::isfinite(real);
        if (n.count >= kCap && !n.plain) {
            rescanNumber<P>(tkn, real, ok); // a cut text: every character counts
        } else if (!n.plain) {
            std::uint32_t pos = 0;
            runtime::TEXTTOREAL(tkn.CHARS, pos, real, ok);
        }
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

    // The number whose first digit was just read: the text's COUNT, the
    // integer value, and its real value when plain tells that it is one.
    struct Number {
        std::uint32_t count = 0;
        Value value = 0;
        double real = 0.0;
        bool plain = true;
    };

    Number number() {
        Number n; // locals: a store into the text must not make them reload
        // TEXTTOREAL on "0" followed by decimal digits and at most one point
        // takes every digit through these steps; the "0" adds nothing
        // (r = 0 * 10 + 0). Any other text is left to TEXTTOREAL.
        runtime::RealFromDigits conversion;
        auto digitValue = [&] { return static_cast<double>(ch - '0'); };
        char last = '0';
        // Stores the character in hand and reads the next. At the end of the
        // line that is NUL of class DELIMITER, the position staying put.
        auto take = [&] {
            if (n.count < kCap) tkn.CHARS[n.count++] = ch;
            last = ch;
            in.next(ch, cls);
        };
        tkn.CHARS[n.count++] = '0';

        // The integer digits, which GETTKN takes too, as many as its limit
        // allows.
        n.value = TokenScan<P>::digitOf(ch);
        std::uint32_t kept = 1;
        bool taking = true;
        for (;;) {
            if (isDecimalDigit(ch)) {
                conversion.beforePoint(digitValue());
            } else {
                n.plain = false; // a digit of a replaced digit set
            }
            take();
            if (cls != TOKENKIND::NUMBER) break;
            const Value d = TokenScan<P>::digitOf(ch);
            if (taking && P::digitFits(n.value, kept, d)) {
                n.value = static_cast<Value>(n.value * 10 + d);
                ++kept;
            } else {
                taking = false;
            }
        }
        // A point and the digits after it.
        if (cls == TOKENKIND::WORD && ch == '.') {
            take();
            while (cls == TOKENKIND::NUMBER) {
                if (isDecimalDigit(ch)) {
                    conversion.afterPoint(digitValue());
                } else {
                    n.plain = false;
                }
                take();
            }
        }
        // Whatever else the re-scan takes (an exponent, a second point).
        while (cls == TOKENKIND::NUMBER || (cls == TOKENKIND::WORD && (ch == '.' || ch == 'E')) ||
               (cls == TOKENKIND::OPERATOR && isSign(ch) && last == 'E')) {
            n.plain = false;
            take();
        }
        // The delimiter behind the number is consumed (at the end of the
        // line there is nothing to consume); any other character is handed
        // back for the next token.
        if (cls != TOKENKIND::DELIMITER) in.back();
        n.real = conversion.r;
        return n;
    }
};

// GETTKNREAL the general way: GETTKN, then a number (or a word such as .5)
// read again as a real. Every call that delivers a token leaves the position
// behind it. Kept out of line: inlined beside the shortcut, its many live
// values would make every call save and restore registers it rarely needs.
template <class P>
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
        PREFIXZERO(tkn);
        std::uint32_t pos = 0;
        runtime::TEXTTOREAL(tkn.CHARS, pos, real, ok);
    } else {
        rescanNumber<P>(tkn, real, ok);
    }
    if (!ok) rc = kTknBadReal;
}

// GETTKNREAL: the shortcut where it applies, else the general way. With
// shortcut false it always goes the general way, which the shortcut is
// checked against.
template <class P, bool shortcut = true>
void getTknReal(text::TEXTBUF& tkn, TOKENKIND& kind, typename P::Value& value, double& real,
                std::uint32_t& rc) {
    if (shortcut && QuickToken<P>(tkn).run(kind, value, real, rc)) return;
    getTknRealGeneral<P>(tkn, kind, value, real, rc);
}

} // namespace token::core
