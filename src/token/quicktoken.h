// GETTKNREAL's one-pass shortcut for plain numbers and one-character
// operators (QuickToken); realscan.h holds the general way it stands for.
#pragma once

#include "realtext/realtext.h"
#include "token/tokenscan.h"

#include <cmath>
#include <cstdint>

namespace token::core {

// The general re-scan of a number (realscan.h), for a text too long to keep.
template <ScanPolicy P> void rescanNumber(text::TEXTBUF& tkn, double& real, bool& ok);

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
template <ScanPolicy P> struct QuickToken {
    using Value = typename P::Value;
    Cursor<P> in{};
    char ch = '\0';
    TOKENKIND cls = TOKENKIND::DELIMITER;
    text::TEXTBUF& tkn;

    explicit QuickToken(text::TEXTBUF& text) : tkn(text) {}

    bool run(TOKENKIND& kind, Value& value, double& real, std::uint32_t& rc) {
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
            realtext::TEXTTOREAL(tkn.CHARS, pos, real, ok);
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
        Number n; // the result, handed back whole
        // TEXTTOREAL on "0" followed by decimal digits and at most one point
        // takes every digit through these steps; the "0" adds nothing
        // (r = 0 * 10 + 0). Any other text is left to TEXTTOREAL.
        realtext::RealFromDigits conversion;
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

} // namespace token::core
