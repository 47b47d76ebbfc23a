// The token text steps with a body of their own: the overlong-word message
// and the "0" in front of a quoted number.
#include "token/textsteps.h"

#include "runtime/console.h"

#include <algorithm>
#include <span>

namespace token::core {

void WORDTOOLONG(const text::TEXTBUF& tkn) {
    const runtime::MessageScope message;
    runtime::WRTSTR("PARAM NAME TOO LONG, FIRST 80 CHAR'S ARE: ");
    runtime::WRTSTR(std::span<const char>(tkn.CHARS.data(), std::min(tkn.COUNT, kMaxWord)));
    runtime::WRTLN();
}

void PREFIXZERO(text::TEXTBUF& tkn) {
    std::uint32_t n = std::min(tkn.COUNT, kCap - 1); // the "0" takes one place
    for (std::uint32_t i = n; i > 0; --i) tkn.CHARS[i] = tkn.CHARS[i - 1];
    tkn.CHARS[0] = '0';
    tkn.COUNT = n + 1;
    ENDTEXT(tkn);
    tkn.ORIGCNT = tkn.COUNT;
}

} // namespace token::core
