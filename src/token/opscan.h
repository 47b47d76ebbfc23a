// Operator tokens in the scanner core: the code of a symbol in a module's
// tables, and GETOPCODE on a token text.
#pragma once

#include "runtime/console.h"
#include "text/textbuf.h"
#include "token/opcodes.h"
#include "token/scanpolicy.h"

#include <array>
#include <cstdint>

namespace token::core {

template <ScanPolicy P> constexpr std::uint32_t opCodeOf(char a, char b) {
    std::uint32_t code = FINDOPCODE(kCommonOpCodes, a, b);
    return code != 0 ? code : FINDOPCODE(P::kMoreOpCodes, a, b);
}

// The codes of the one-character symbols by character (0 for none), made
// from the common table and the module's own so that the first character of every operator
// token costs one look-up instead of a search.
template <ScanPolicy P>
constexpr std::array<std::uint8_t, 256> kSingleOpCodes = [] {
    std::array<std::uint8_t, 256> codes{};
    for (std::size_t c = 1; c < codes.size(); ++c) {
        const char ch = static_cast<char>(static_cast<unsigned char>(c));
        codes[c] = static_cast<std::uint8_t>(opCodeOf<P>(ch, '\0'));
    }
    return codes;
}();

template <ScanPolicy P>
void getOpCode(text::TEXTBUF& tkn, std::uint32_t& code, std::uint32_t& fail) {
    code = 0;
    fail = 0;
    if (tkn.COUNT != 1 && tkn.COUNT != 2) {
        fail = 1;
        return;
    }
    char a = tkn.CHARS[0];
    code = kSingleOpCodes<P>[static_cast<unsigned char>(a)];
    if (code == 0) {
        fail = 1;
        return;
    }
    if (tkn.COUNT == 1) return;
    char b = tkn.CHARS[1];
    if (b == '=' && a != '=' && a != '#') {
        ++code;
        return;
    }
    if (std::uint32_t pair = b != '\0' ? opCodeOf<P>(a, b) : 0; pair != 0) {
        code = pair;
        return;
    }
    // Not a symbol of its own: keep the first character, and let the next
    // scan start again at the second.
    std::uint32_t failed = 0;
    UNGETCHR(P::kScan, failed);
    if (failed != 0) {
        const runtime::MessageScope message;
        runtime::WRTSTR(" In GETOPCODE and UNGETCHR failed.");
        runtime::WRTLN();
    }
    tkn.COUNT = 1;
    tkn.CHARS[1] = '\0';
    setStop<P>(b, TOKENKIND::OPERATOR);
}

} // namespace token::core
