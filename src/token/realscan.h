// GETTKNREAL in the scanner core: a token, and a number read again as a real.
#pragma once

#include "runtime/realtext.h"
#include "token/tokenscan.h"

namespace token::core {

// Reads a number again from where its token began, as a real: digits, "."
// and "E", a sign directly after an "E", and one leading sign, which is
// returned rather than stored. The text starts with "0" and keeps at most
// kCap characters; further number characters are consumed and dropped.
template <class P> bool rescanNumber(text::TEXTBUF& tkn) {
    ScanState& s = P::kScan;
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
void getTknReal(text::TEXTBUF& tkn, TOKENKIND& kind, typename P::Value& value, double& real,
                std::uint32_t& rc) {
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

} // namespace token::core
