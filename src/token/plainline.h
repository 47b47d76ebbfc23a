// The one-pass way of reading tokens: the one reader of plain numbers,
// and GETTKNREAL's quick path (QuickToken), which reads the tokens nearly
// every line is made of once and hands every other token to the general
// way (token/tokenscan.h). The whole-line scan (token/linescan.h) reads
// numbers through the same reader.
#pragma once

#include "realtext/realtext.h"
#include "text/bytewords.h"
#include "text/textbuf.h"
#include "token/core.h"
#include "token/tokenscan.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cassert>
#include <cstdint>
#include <cstring>

namespace token::plain {

using core::isDecimalDigit;
using core::kTextCap;

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
// Made once at start-up by TEXTTOREAL's own steps (tokenizer.cpp).
extern const PlaceValues kPlaceValues;

// The characters of a number eight at a time: each byte xor "0" is its
// digit's value, 10 or more for any other character.
inline std::uint64_t load8(const char* at) {
    return text::bytes::wordAt(at) ^ (text::bytes::kEachByte * '0');
}

// The top bit of each of the eight bytes that is no digit's: a byte of 10 or
// more gets it from the sum or from itself. A carry out of such a byte only
// reaches bytes behind it, so the first one marked is the first non-digit.
inline std::uint64_t nonDigits(std::uint64_t x) {
    return ((x + 0x7676767676767676ull) | x) & 0x8080808080808080ull;
}

// How many of the eight bytes, first ones first, are digits, 7 standing for
// 7 or 8: the mark in the top bit spares the case of none marked, which
// would cost a test and a move.
inline std::uint32_t leadingDigits(std::uint64_t x) {
    return static_cast<std::uint32_t>(std::countr_zero(nonDigits(x) | (1ull << 63))) / 8;
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
    // Up to seven digits, a point and up to six places are read as two words
    // of eight characters, when both lie inside CHARS; longer numbers one
    // character at a time. The words are read as if the line went on: a
    // number that would reach past its end (a text whose COUNT ends inside
    // it) is left to the character-by-character way too, so that the end
    // costs one comparison.
    if (i + 17 <= kTextCap) {
        const std::uint64_t x = load8(s + i);
        // The first byte is a digit: the digits after it, 0 to 7 (8 digits
        // or more read as 8, too many for this way).
        const std::uint32_t whole = leadingDigits(x >> 8) + 1;
        const std::uint32_t j = i + whole; // at most i + 8, inside CHARS
        // The places, none without a point, counted without a branch: a
        // branch on the point, which the processor could not foresee, would
        // cost more. Bytes past them read as 10, the column of zeros, so
        // that the first four are added whatever their number.
        const bool point = s[j] == '.';
        const std::uint64_t y = load8(s + j + 1);
        const std::uint32_t places = leadingDigits(y) & (0u - static_cast<std::uint32_t>(point));
        const std::uint32_t end = j + static_cast<std::uint32_t>(point) + places;
        // Neither whole nor places + 1 is 8, the two at most 8.
        if ((whole | (places + 1)) < 8 && end <= n) {
            const std::uint64_t kept = (std::uint64_t{1} << (8 * places)) - 1;
            const std::uint64_t p = (y & kept) | (0x0A0A0A0A0A0A0A0Aull & ~kept);
            double v = static_cast<double>(wholeOf(x, whole));
            for (std::uint32_t k = 0; k < 4; ++k)
                v = v + kPlaceValues.add[k][(p >> (8 * k)) & 0xFF];
            for (std::uint32_t k = 4; k < places; ++k)
                v = v + kPlaceValues.add[k][(p >> (8 * k)) & 0xFF];
            out = PlainNumber{v, end, whole};
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

} // namespace token::plain

namespace token::core {

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
