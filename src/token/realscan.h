// GETTKNREAL in the scanner core: a token, and a number read again as a real.
#pragma once

#include "runtime/realstream.h"
#include "runtime/realtext.h"
#include "token/quicktoken.h"
#include "token/tokenscan.h"

namespace token::core {

// The re-scan of a number as a real: digits, "." and "E", a sign directly
// after an "E", and one leading sign, which is kept apart rather than
// stored. The text starts with "0" and keeps at most kCap characters;
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
        runtime::TEXTTOREAL(tkn.CHARS, pos, real, ok);
    }
    if (scan.negative) real = -real;
}

// GETTKNREAL the general way: GETTKN, then a number (or a word such as .5)
// read again as a real. Every call that delivers a token leaves the position
// behind it. Kept out of line from the shortcut (see bench/README.md).
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
template <ScanPolicy P, bool shortcut = true>
void getTknReal(text::TEXTBUF& tkn, TOKENKIND& kind, typename P::Value& value, double& real,
                std::uint32_t& rc) {
    if (shortcut && QuickToken<P>(tkn).run(kind, value, real, rc)) return;
    getTknRealGeneral<P>(tkn, kind, value, real, rc);
}

} // namespace token::core
