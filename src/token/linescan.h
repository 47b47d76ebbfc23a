// The tokenizer's whole-line scan, for the evaluator: the plain tokens a
// line begins with, read in one pass and handed to a sink as they come.
//
// A plain line is made of plain numbers, the symbols + - * / <> >< and
// command words on their own, divided by delimiters of the sets in force:
// "224.9 418.35 -", "  7.,;8 ;, *  ", "1 2 <>", "2 sqrt 3 SWAP". scanLine
// hands its tokens to a sink as it reads them, up to the first token that
// is not plain ("-5" in "1 -5 +", "+2" in "1+2", "SQRTX" in "2 SQRTX",
// "1E3", ".5", "Y^X", the second "<>" in "1 2 <><>").
// At the end of a plain line it leaves the tokenizer exactly as INITTKNBUF
// and GETTKNREAL leave it; otherwise handOverAt leaves it as they leave it
// after the tokens the sink has had, where GETTKNREAL goes on.
#pragma once

#include "text/textbuf.h"
#include "token/core.h"
#include "token/plainline.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace token::plain {

// The classes of the whole-line scan, by raw character code. A word begins
// with a kWord character and goes on with kWord, kWordOn and kDigit ones
// (kWordOn: "." and the quotes, which cannot begin a plain word, and the
// other digit characters of a replaced set).
enum Class : std::uint8_t {
    kOther,
    kDelim,
    kLess,
    kGreater,
    kWordOn,
    kWord,
    kDigit,
    kAdd,
    kSub,
    kMul,
    kDiv
};

struct Classes {
    // Whether "0" to "9" are digits and "." a word character by the sets in
    // force, as the plain-number reader takes them.
    bool plainDigits = false;
    struct Code {
        // The class by the sets in force, upper-casing included; a NUL is
        // kOther, since it ends the general scan, and so is every word
        // character while a NUL is one (the general way ends a word there
        // as if at a closing quote).
        std::uint8_t cls = kOther;
        std::uint8_t upper = 0; // the upper-case code
    };
    std::array<Code, 256> of{}; // by raw code
};

// A command word of up to seven characters as the key the word table is
// searched by: its upper-case characters, the first in the lowest byte, the
// bytes behind it zero.
constexpr std::uint32_t kWordKeyChars = 7;

// The tokenizer's classes for the whole-line scan, rebuilt whenever a set
// is replaced (tokenizer.cpp).
const Classes& classesInForce();
// Leaves the tokenizer as INITTKNBUF on line and GETTKNREAL until its end
// leave it, the last scan having begun at position start.
void endOfLine(const text::TEXTBUF& line, std::uint32_t start);
// Leaves the tokenizer as GETTKNREAL leaves it behind the plain tokens
// before position start (1: none; scanLine's answer), where it goes on with
// the rest of line (tokenizer.cpp).
void handOverAt(const text::TEXTBUF& line, std::uint32_t start);

// Scans line as far as it is plain, handing its tokens to sink as they
// come: sink.number(value) with the value GETTKNREAL reads, sink.arithmetic
// with the code of + - * /, sink.swap() for <> and ><, sink.word(key) for a
// word of up to seven characters ending at a delimiter, which performs it
// and answers true, or answers false, having done nothing, when no command
// word has that key (the general way says so). Returns 0 when the
// whole line was plain, with the tokenizer at its end; otherwise the
// position where GETTKNREAL's scan after the last token the sink had begins
// (1 when it had none), for handOverAt, the tokenizer left as it was.
// Flattened: the number reader called, its result would go through memory.
template <class Sink>
[[gnu::flatten]] std::uint32_t scanLine(const text::TEXTBUF& line, Sink& sink) {
    const Classes& classes = classesInForce();
    const std::uint32_t n = std::min(line.COUNT, kTextCap);
    const std::array<char, kTextCap>& chars = line.CHARS;
    // Where GETTKNREAL's scan after the token just read begins.
    std::uint32_t start = 1;
    if (!classes.plainDigits) return start;
    auto code = [&](std::uint32_t i) { return classes.of[static_cast<unsigned char>(chars[i])]; };
    auto cls = [&](std::uint32_t i) { return code(i).cls; };
    auto isDelim = [&](std::uint32_t i) { return i == n || cls(i) == kDelim; };
    std::uint32_t i = 0;
    for (;;) {
        while (i < n && cls(i) == kDelim) ++i;
        if (i == n) break;
        const std::uint8_t c = cls(i);
        if (c == kDigit) {
            PlainNumber number;
            if (!readPlainNumber(chars, i, n, number) || !isDelim(number.end)) return start;
            sink.number(number.real);
            // The delimiter behind it is consumed: the next scan begins
            // behind it, and so does the search for the next token.
            i = number.end < n ? number.end + 1 : n;
            start = i + 1;
        } else if (c == kWord) {
            // The word's characters, upper-cased, into the key; one of
            // eight or more is no command word. Word characters are the
            // classes kWordOn to kDigit.
            std::uint64_t key = classes.of[static_cast<unsigned char>(chars[i])].upper;
            std::uint32_t j = i + 1;
            std::uint8_t next = kDelim; // the class behind the word; the end counts as a delimiter
            for (; j < n; ++j) {
                const Classes::Code k = code(j);
                next = k.cls;
                if (static_cast<std::uint8_t>(next - kWordOn) > kDigit - kWordOn) break;
                if (j - i == kWordKeyChars) return start;
                key |= std::uint64_t{k.upper} << (8 * (j - i));
            }
            if (j < n && next != kDelim) return start;
            if (!sink.word(key)) return start;
            // The delimiter behind it is consumed, as behind a number.
            i = j < n ? j + 1 : n;
            start = i + 1;
        } else if (c >= kAdd) {
            if (!isDelim(i + 1)) return start;
            // Plus, Minus, Times and Divide are 8, 10, 12 and 14.
            sink.arithmetic(static_cast<OpCode>(static_cast<std::uint32_t>(OpCode::Plus) +
                                                2 * static_cast<std::uint32_t>(c - kAdd)));
            // The delimiter behind it is handed back: the next scan begins
            // on it, the search for the next token behind it.
            start = i + 2;
            i = std::min(i + 2, n);
        } else if (c == kLess || c == kGreater) {
            // "<>" or "><": the other angle behind it, then a delimiter or the end.
            if (i + 1 == n || cls(i + 1) != (c == kLess ? kGreater : kLess) || !isDelim(i + 2))
                return start;
            sink.swap();
            start = i + 3;
            i = std::min(i + 3, n);
        } else {
            return start;
        }
    }
    // The last scan, from start, meets the end of the line.
    endOfLine(line, start);
    return 0;
}

} // namespace token::plain
