// The checked steps on a token's text: appending a character, ending the
// text, the overlong-word message and the "0" in front of a quoted number
// (textsteps.cpp). None writes past CHARS.
#pragma once

#include "token/scanstate.h"

namespace token::core {

// Adds ch behind the text when there is room; false when CHARS is full.
inline bool APPENDCHR(text::TEXTBUF& tkn, char ch) {
    if (tkn.COUNT >= kCap) return false;
    tkn.CHARS[tkn.COUNT] = ch;
    ++tkn.COUNT;
    return true;
}
// Stores the NUL behind the text when it is shorter than CHARS.
inline void ENDTEXT(text::TEXTBUF& tkn) {
    if (tkn.COUNT < kCap) tkn.CHARS[tkn.COUNT] = '\0';
}
// The overlong-word message, showing the kMaxWord characters kept.
void WORDTOOLONG(const text::TEXTBUF& tkn);
// Puts "0" in front of the text (a quoted number such as '.5').
void PREFIXZERO(text::TEXTBUF& tkn);

inline bool isSign(char ch) { return ch == '+' || ch == '-'; }
inline bool isDecimalDigit(char ch) { return ch >= '0' && ch <= '9'; }

} // namespace token::core
