// GETTKNREAL in the scanner core: a token, and a number read as a real. The
// general way is GETTKN and then the number read again from where its token
// began (NumberScan); the quick path (QuickToken) reads the tokens nearly
// every line is made of once, plain numbers through the one plain-number
// reader (readPlainNumber) that the whole-line lane of the tokenizer uses too.
#pragma once

#include "runtime/realstream.h"
#include "runtime/realtext.h"
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

// A plain number: 1 to kMaxWhole decimal digits, optionally a point and up
// to kMaxPlaces digits after it ("12" -> 12, "0.5" -> 0.5, "7." -> 7).
constexpr std::uint32_t kMaxWhole = 16;
constexpr std::uint32_t kMaxPlaces = 24;

struct PlainNumber {
    double real = 0.0;       // what TEXTTOREAL gives for its text behind a "0"
    std::uint32_t end = 0;   // the index behind it
    std::uint32_t whole = 0; // its digits before the point
};

// Why the value is TEXTTOREAL's: that reads r := r * 10 + d rounded to
// double for each digit before the point. Up to 15 digits every step is
// exact; with 16 the last step is one rounding of the exact whole number
// (the product before it is an even number below 2^54, and so exact).
// Either way r is the whole number rounded once to double, which is what
// converting the 64-bit whole number gives. Each digit after the point adds
// d / q, q stepping 10, 100, ... by rounded products; kPlaceValues holds
// those very quotients, made by the same steps, so each addition is the same.
struct PlaceValues {
    // Column 10 is 0: adding it changes no value the reading makes (none is
    // -0), which lets the first places be added without asking how many
    // there are.
    std::array<std::array<double, 11>, kMaxPlaces> add{};
};
inline const PlaceValues kPlaceValues = [] {
    PlaceValues p;
    double q = runtime::RealFromDigits{}.q;
    for (auto& place : p.add) {
        runtime::RealFromDigits one{};
        for (std::size_t d = 0; d < 10; ++d) {
            one = runtime::RealFromDigits{0.0, q};
            one.afterPoint(static_cast<double>(d));
            place[d] = one.r;
        }
        q = one.q; // the next place's divisor, by the reading's own step
    }
    return p;
}();

// The characters of a number eight at a time: each byte xor "0" is its
// digit's value, 10 or more for any other character.
inline std::uint64_t load8(const char* at) {
    std::uint64_t w = 0;
    std::memcpy(&w, at, sizeof w);
    return w ^ 0x3030303030303030ull;
}

// How many of the eight bytes, first ones first, are digits. A byte of 10
// or more gets its top bit from the sum or from itself; a carry out of it
// only reaches bytes behind it.
inline std::uint32_t leadingDigits(std::uint64_t x) {
    const std::uint64_t other = ((x + 0x7676767676767676ull) | x) & 0x8080808080808080ull;
    return static_cast<std::uint32_t>(std::countr_zero(other)) / 8;
}

// The whole number the first len (1 to 8) digit bytes of x make: shifted so
// that the digits end the word, then pairs, fours and eights combined.
inline std::uint64_t wholeOf(std::uint64_t x, std::uint32_t len) {
    std::uint64_t v = x << (8 * (8 - len));
    v = v * 10 + (v >> 8);
    return ((v & 0x000000FF000000FFull) * (100 + (1000000ull << 32)) +
            ((v >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32))) >>
           32;
}

// Reads the plain number that begins at chars[i] (a decimal digit), the line
// ending before index n; false for a number with more digits than a plain
// one may have. Whatever follows the number is the caller's to judge.
inline bool readPlainNumber(const std::array<char, kTextCap>& chars, std::uint32_t i,
                            std::uint32_t n, PlainNumber& out) {
    assert(i < n && n <= kTextCap && isDecimalDigit(chars[i]));
    const char* s = chars.data();
    // Up to seven digits, a point and up to seven places are read as two
    // words of eight characters, when both lie inside CHARS; longer numbers
    // one character at a time.
    if (i + 17 <= kTextCap) {
        const std::uint64_t x = load8(s + i);
        const std::uint32_t whole = std::min(leadingDigits(x), n - i);
        const std::uint32_t j = i + whole;
        // The places, none without a point. Bytes past them read as 10, the
        // column of zeros, so that the first four are added whatever their
        // number (a branch the processor could not foresee costs more).
        const bool point = j < n && s[j] == '.';
        const std::uint64_t y = load8(s + j + 1);
        const std::uint32_t places = point ? std::min(leadingDigits(y), n - j - 1) : 0;
        if (whole < 8 && places < 8) {
            const std::uint64_t kept = (std::uint64_t{1} << (8 * places)) - 1;
            const std::uint64_t p = (y & kept) | (0x0A0A0A0A0A0A0A0Aull & ~kept);
            double v = static_cast<double>(wholeOf(x, whole));
            for (std::uint32_t k = 0; k < 4; ++k)
                v = v + kPlaceValues.add[k][(p >> (8 * k)) & 0xFF];
            for (std::uint32_t k = 4; k < places; ++k)
                v = v + kPlaceValues.add[k][(p >> (8 * k)) & 0xFF];
            out = PlainNumber{v, j + (point ? 1 + places : 0), whole};
            return true;
        }
    }
    auto digit = [&](std::uint32_t k) { return k < n && isDecimalDigit(s[k]); };
    std::uint64_t whole = 0;
    std::uint32_t j = i;
    for (; digit(j); ++j) {
        if (j - i == kMaxWhole) return false;
        whole = whole * 10 + static_cast<unsigned>(s[j] - '0');
    }
    out.whole = j - i;
    double v = static_cast<double>(whole);
    if (j < n && s[j] == '.') {
        const std::uint32_t first = ++j;
        for (; digit(j); ++j) {
            if (j - first == kMaxPlaces) return false;
            v = v + kPlaceValues.add[j - first][static_cast<unsigned>(s[j] - '0')];
        }
    }
    out.real = v;
    out.end = j;
    return true;
}

// GETTKNREAL's quick path for the tokens nearly every line is made of: a
// plain number (readPlainNumber) and a one-character operator symbol, each
// followed by a delimiter or the end of the line. It reads such a token once
// and gives exactly what GETTKN and the re-scan give, position, stop record
// and token text included; for every other token it returns false having
// changed nothing, and the general way takes over. P::plainDigits() tells
// whether the module's classes make "0" to "9" digits and "." a word
// character, as the plain-number reader takes them.
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
        if (cls == TOKENKIND::NUMBER) {
            if (!number(value, real)) return false;
            kind = TOKENKIND::NUMBER;
        } else if (cls == TOKENKIND::OPERATOR) {
            if (!singleOperator(value)) return false;
            kind = TOKENKIND::OPERATOR;
            real = 0.0;
        } else {
            return false;
        }
        setStop<P>(ch, cls);
        endText(tkn);
        tkn.ORIGCNT = tkn.COUNT;
        in.save();
        P::kScan.PREVPOSN = start;
        rc = kind == TOKENKIND::OPERATOR && value == 0 ? kTknBadOperator : kTknOk;
        return true;
    }

    // The operator character just read, when a delimiter (handed back) or
    // the end of the line follows it; false for a longer symbol or an
    // operator character directly before a digit or a word character. Its
    // code is 0 for a character a replaced set made an operator character.
    bool singleOperator(Value& value) {
        const char op = ch;
        if (in.next(ch, cls)) {
            if (cls != TOKENKIND::DELIMITER) return false;
            in.back(); // pos >= 2 here: it cannot fail
        }
        tkn.CHARS[0] = op;
        tkn.COUNT = 1;
        value = static_cast<Value>(kSingleOpCodes<P>[static_cast<unsigned char>(op)]);
        return true;
    }

    // The number whose first digit was just read, when it is plain and a
    // delimiter (consumed) or the end of the line follows it. The text is
    // the re-scan's, "0" and the number; the integer value GETTKN's, its
    // leading digits as many as the module's limit allows.
    bool number(Value& value, double& real) {
        const std::array<char, kTextCap>& chars = P::kScan.TKNBUF.CHARS;
        const std::uint32_t at = in.pos - 2;
        PlainNumber n;
        if (!P::plainDigits() || !isDecimalDigit(ch) || !readPlainNumber(chars, at, in.count, n))
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
        const std::uint32_t len = n.end - at; // at most 41: no cut
        tkn.CHARS[0] = '0';
        std::memcpy(tkn.CHARS.data() + 1, chars.data() + at, len);
        tkn.COUNT = 1 + len;
        value = TokenScan<P>::digitOf(chars[at]);
        for (std::uint32_t k = 1, kept = 1; k < n.whole; ++k, ++kept) {
            const Value d = TokenScan<P>::digitOf(chars[at + k]);
            if (!P::digitFits(value, kept, d)) break;
            value = static_cast<Value>(value * 10 + d);
        }
        real = n.real;
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
        runtime::TEXTTOREAL(tkn.CHARS, pos, real, ok);
    } else {
        rescanNumber<P>(tkn, real, ok);
    }
    if (!ok) rc = kTknBadReal;
}

// GETTKNREAL: the quick path where it applies, else the general way. With
// quick false it always goes the general way, which the quick path is
// checked against.
template <ScanPolicy P, bool quick = true>
void getTknReal(text::TEXTBUF& tkn, TOKENKIND& kind, typename P::Value& value, double& real,
                std::uint32_t& rc) {
    if (quick && QuickToken<P>(tkn).run(kind, value, real, rc)) return;
    getTknRealGeneral<P>(tkn, kind, value, real, rc);
}

} // namespace token::core
