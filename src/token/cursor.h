// The reading position of a token scan in progress (Cursor), and the reads
// made with it alone: GETCHR and the rest-of-line copy GETRESTOFLN.
#pragma once

#include "text/textbuf.h"
#include "token/scanpolicy.h"
#include "token/textsteps.h"

#include <cstdint>

namespace token::core {

// The reading position of a token scan in progress: GETCHR and UNGETCHR on
// a copy of CURPOSN and of the line's COUNT, taken when the scan starts; the
// position goes back into the module state only through save(). (Why a
// copy: bench/README.md.)
template <ScanPolicy P> struct Cursor {
    std::uint32_t pos = P::kScan.CURPOSN;
    std::uint32_t count = P::kScan.TKNBUF.COUNT;

    // GETCHR: false at the end of the line, with NUL of class DELIMITER.
    bool next(char& ch, TOKENKIND& kind) {
        // Position 0 (restored by RCLTKNPOSN with nothing saved) reads as the end.
        if (pos == 0 || pos > count) {
            ch = '\0';
            kind = TOKENKIND::DELIMITER;
            return false;
        }
        // count <= kCap (INITLINE), so the index is inside CHARS.
        const ScanState& s = P::kScan;
        const unsigned char c = s.UPPER[static_cast<unsigned char>(s.TKNBUF.CHARS[pos - 1])];
        ch = static_cast<char>(c);
        kind = P::classOf(c);
        ++pos;
        return true;
    }
    // UNGETCHR: false, after its message, when the position is out of range.
    bool back() {
        if (pos >= 2 && pos <= count + 1) {
            --pos;
            return true;
        }
        save();
        std::uint32_t failed = 0;
        UNGETCHR(P::kScan, failed); // refused the same way, with the message
        return false;
    }
    void save() const { P::kScan.CURPOSN = pos; }
};

// GETCHR: the next character of the line (upper-cased) and its class; eol 1
// at the end of the line.
template <ScanPolicy P> void getChr(char& ch, TOKENKIND& kind, std::uint32_t& eol) {
    Cursor<P> in;
    eol = in.next(ch, kind) ? 0 : 1;
    in.save();
}

// GETRESTOFLN: every remaining character, delimiters included, trimmed.
template <ScanPolicy P> void getRestOfLn(text::TEXTBUF& tkn, std::uint32_t& rc) {
    ScanState& s = P::kScan;
    rc = kTknOk;
    s.PREVPOSN = s.CURPOSN;
    tkn.COUNT = 0;
    for (;;) {
        char ch = '\0';
        TOKENKIND cls = TOKENKIND::DELIMITER;
        std::uint32_t eol = 0;
        getChr<P>(ch, cls, eol);
        if (eol != 0) break;
        APPENDCHR(tkn, ch);
    }
    ENDTEXT(tkn);
    text::TRMBUF(tkn);
    if (tkn.COUNT == 0) rc = kTknEndOfLine;
}

} // namespace token::core
