// GETTKNREAL in the scanner core: a token, and a number read as a real. The
// general way is GETTKN and then the number read again from where its token
// began (NumberScan); the quick path (QuickToken) reads the tokens nearly
// every line is made of once, plain numbers through the one plain-number
// reader (token/plainline.h) that the tokenizer's whole-line scan uses too.
#pragma once

#include "realtext/realstream.h"
#include "realtext/realtext.h"
#include "token/plainline.h"
#include "token/tokenscan.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace token::core {

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

// GETTKNREAL's quick path for the tokens nearly every line is made of: a
// plain number (plain::readPlainNumber), an operator symbol and an unquoted
// word, each followed by a delimiter or the end of the line, and the end of
// the line itself. It reads such a token once and gives exactly what GETTKN
// and the re-scan give, position, stop record and token text included; for
// every other token it returns false having changed nothing but the text
// (see word()), and the general way takes over. P::plainDigits() tells
// whether the module's classes make "0" to "9" digits and "." a word
// character, as the plain-number reader takes them.
template <ScanPolicy P, bool full = true> struct QuickToken {
    using Value = typename P::Value;
    Cursor<P> in{};
    char ch = '\0';
    TOKENKIND cls = TOKENKIND::DELIMITER;
    text::TEXTBUF& tkn;

    explicit QuickToken(text::TEXTBUF& text) : tkn(text) {}

    bool run(TOKENKIND& kind, Value& value, double& real, std::uint32_t& rc) {
        const std::uint32_t start = in.pos;
        bool atEnd = false;
        do {
            if (!in.next(ch, cls)) {
                // Position 0 reads as the end too: left to the general way.
                if (start == 0) return false;
                atEnd = true;
                break;
            }
            if (ch == '\0') return false; // a NUL before any token ends the scan
        } while (cls == TOKENKIND::DELIMITER);
        if (atEnd) {
            kind = TOKENKIND::DELIMITER;
            value = 0;
            real = 0.0;
            tkn.COUNT = 0;
        } else if (cls == TOKENKIND::NUMBER) {
            if (!number(value, real)) return false;
            kind = TOKENKIND::NUMBER;
        } else if (cls == TOKENKIND::OPERATOR) {
            if (!symbol(value)) return false;
            kind = TOKENKIND::OPERATOR;
            real = 0.0;
        } else {
            if (!word(value)) return false;
            kind = TOKENKIND::WORD;
            real = 0.0;
        }
        setStop<P>(ch, cls);
        if (full || kind != TOKENKIND::NUMBER) {
            endText(tkn);
            tkn.ORIGCNT = tkn.COUNT;
        }
        in.save();
        P::kScan.PREVPOSN = start;
        rc = kind == TOKENKIND::DELIMITER                ? kTknEndOfLine
             : kind == TOKENKIND::OPERATOR && value == 0 ? kTknBadOperator
                                                         : kTknOk;
        return true;
    }

    // The operator symbol whose first character was just read, of one or
    // two characters, when a delimiter (handed back) or the end of the line
    // follows it; false for a symbol before a digit or a word character, for
    // two characters that are no symbol of their own ("=="), and for three
    // operator characters in a row. A one-character symbol's code is 0 for a
    // character a replaced set made an operator character.
    bool symbol(Value& value) {
        const char first = ch;
        char second = '\0';
        bool more = in.next(ch, cls);
        if (more && cls == TOKENKIND::OPERATOR) {
            second = ch;
            if (second == '\0') return false;
            more = in.next(ch, cls);
        }
        if (more) {
            if (cls != TOKENKIND::DELIMITER) return false;
            in.back(); // pos >= 2 here: it cannot fail
        }
        std::uint32_t code = kSingleOpCodes<P>[static_cast<unsigned char>(first)];
        tkn.CHARS[0] = first;
        tkn.COUNT = 1;
        if (second != '\0') {
            // As GETOPCODE reads two characters: a symbol and "=", or a pair.
            if (code == 0) return false;
            if (second == '=' && first != '=' && first != '#') {
                ++code;
            } else {
                code = opCodeOf<P>(first, second);
                if (code == 0) return false;
            }
            tkn.CHARS[1] = second;
            tkn.COUNT = 2;
        }
        value = static_cast<Value>(code);
        return true;
    }

    // The word whose first character was just read, when it ends at a
    // delimiter (consumed) or the end of the line: upper-cased word and
    // digit characters, its value the sum of their codes. False for a quoted
    // word, a word beginning with "." (".5" is a number), a word an operator
    // character ends, one longer than kMaxWord and a NUL of word class.
    bool word(Value& value) {
        // A NUL of word or digit class ends a word in the general way as if
        // it were a closing quote: such sets are left to it.
        if (ch == '\'' || ch == '"' || ch == '.' || ch == '\0' ||
            P::classOf(0) >= TOKENKIND::NUMBER)
            return false;
        // Declining part way, the text holds a beginning of what the general
        // way writes over it.
        Value sum = static_cast<Value>(static_cast<unsigned char>(ch));
        tkn.CHARS[0] = ch;
        std::uint32_t len = 1;
        // Word and digit characters go on (NUMBER and WORD are the classes
        // above OPERATOR).
        while (in.next(ch, cls) && cls >= TOKENKIND::NUMBER) {
            if (len == kMaxWord) return false;
            tkn.CHARS[len++] = ch;
            sum = P::addWordCode(sum, static_cast<unsigned char>(ch));
        }
        if (cls == TOKENKIND::OPERATOR) return false;
        tkn.COUNT = len;
        value = sum;
        return true;
    }

    // The number whose first digit was just read, when it is plain and a
    // delimiter (consumed) or the end of the line follows it. The text is
    // the re-scan's, "0" and the number; the integer value GETTKN's, its
    // leading digits as many as the module's limit allows.
    bool number(Value& value, double& real) {
        const std::array<char, kTextCap>& chars = P::kScan.TKNBUF.CHARS;
        assert(in.pos >= 2 && in.pos <= in.count + 1); // behind the digit in hand
        const std::uint32_t at = in.pos - 2;
        plain::PlainNumber n;
        if (!P::plainDigits() || !isDecimalDigit(ch) ||
            !plain::readPlainNumber(chars, at, in.count, n))
            return false;
        if (n.end < in.count) {
            ch = static_cast<char>(P::kScan.upper[static_cast<unsigned char>(chars[n.end])]);
            cls = P::classOf(static_cast<unsigned char>(ch));
            if (cls != TOKENKIND::DELIMITER) return false;
            in.pos = n.end + 2;
        } else {
            ch = '\0';
            cls = TOKENKIND::DELIMITER;
            in.pos = in.count + 1;
        }
        real = n.real;
        if (!full) return true;               // the evaluator reads a number's real alone
        const std::uint32_t len = n.end - at; // at most 41: no cut
        tkn.CHARS[0] = '0';
        for (std::uint32_t k = 0; k < len; ++k) tkn.CHARS[1 + k] = chars[at + k];
        tkn.COUNT = 1 + len;
        value = TokenScan<P>::digitOf(chars[at]);
        for (std::uint32_t k = 1, kept = 1; k < n.whole; ++k, ++kept) {
            const Value d = TokenScan<P>::digitOf(chars[at + k]);
            if (!P::digitFits(value, kept, d)) break;
            value = static_cast<Value>(value * 10 + d);
        }
        return true;
    }
};

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

// GETTKNREAL: the quick path where it applies, else the general way. With
// quick false it always goes the general way, which the quick path is
// checked against. With full false, a number the quick path reads leaves
// the token's text and integer value as they were: the evaluator reads only
// its real.
template <ScanPolicy P, bool quick = true, bool full = true>
void getTknReal(text::TEXTBUF& tkn, TOKENKIND& kind, typename P::Value& value, double& real,
                std::uint32_t& rc) {
    if (quick && QuickToken<P, full>(tkn).run(kind, value, real, rc)) return;
    getTknRealGeneral<P>(tkn, kind, value, real, rc);
}

} // namespace token::core
