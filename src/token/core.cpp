// The scanner core's position keeping and messages, shared by both tokenizer
// modules: start-up, starting a line, stepping back a character or a token,
// saving and restoring the position; and the token text steps with a body of
// their own (the overlong-word message, the "0" in front of a quoted number).
#include "token/core.h"

#include "runtime/console.h"

#include <algorithm>
#include <span>
#include <string_view>

namespace token::core {
namespace {

// The second line of every position message: a label and the line's text,
// up to its first NUL whatever COUNT says.
void writeLineText(std::string_view label, const ScanState& s) {
    runtime::WRTSTR(label);
    runtime::WRTSTR(s.TKNBUF.CHARS);
    runtime::WRTLN();
}

// The message of STOTKNPOSN and RCLTKNPOSN: the head, the position, and the
// text of the current line.
void savedPositionMessage(std::string_view head, std::uint32_t posn, const ScanState& s) {
    const runtime::MessageScope message;
    runtime::WRTSTR(head);
    runtime::WRTCARD(posn, 0);
    runtime::WRTLN();
    writeLineText(" Beginning of TKNBUF is : ", s);
}

} // namespace

void startScan(ScanState& s) {
    s = ScanState{};
    s.upper = kUpper;
}

void startLine(ScanState& s, const text::TEXTBUF& line, std::uint32_t start) {
    s.TKNBUF = line;
    // A record that claims more than CHARS holds is read only as far as CHARS.
    s.TKNBUF.COUNT = std::min(s.TKNBUF.COUNT, kTextCap);
    s.CURPOSN = std::min(start, s.TKNBUF.COUNT + 1);
    s.PREVPOSN = 0;
}

void UNGETCHR(ScanState& s, std::uint32_t& fail) {
    fail = 0;
    if (s.CURPOSN >= 2 && s.CURPOSN <= s.TKNBUF.COUNT + 1) {
        --s.CURPOSN;
        return;
    }
    const runtime::MessageScope message;
    runtime::WRTSTR(" *ERROR*  Cannot UNGETCHR because CURPOSN is out of range.");
    runtime::WRTSTR("  It is ");
    runtime::WRTCARD(s.CURPOSN, 0);
    runtime::WRTSTR(".");
    runtime::WRTLN();
    writeLineText(" BEGINNING OF TKNBUF: ", s);
    fail = 1;
}

void STOTKNPOSN(ScanState& s) {
    if (s.CURPOSN == 0 || s.CURPOSN > s.TKNBUF.COUNT) {
        savedPositionMessage(" *ERROR*  In STOTKNPOSN and CURPOSN out of range.  It is ", s.CURPOSN,
                             s);
    }
    s.HOLDCURPOSN = s.CURPOSN;
    s.HOLDTKNBUF = s.TKNBUF;
}

void RCLTKNPOSN(ScanState& s) {
    if (s.HOLDCURPOSN == 0 || s.HOLDTKNBUF.CHARS[0] == '\0' || s.HOLDCURPOSN > s.HOLDTKNBUF.COUNT) {
        savedPositionMessage("*ERROR* In RCLTKNPOSN and HOLDCURPOSN out of range.  It is ",
                             s.HOLDCURPOSN, s);
    }
    // Restored even after the message; GETCHR reads position 0 as the end.
    s.CURPOSN = s.HOLDCURPOSN;
    s.TKNBUF = s.HOLDTKNBUF;
}

void UNGETTKN(ScanState& s, std::uint32_t& fail) {
    fail = 0;
    if (s.PREVPOSN >= 1 && s.PREVPOSN < s.CURPOSN) {
        s.CURPOSN = s.PREVPOSN;
        s.PREVPOSN = 0;
        return;
    }
    const runtime::MessageScope message;
    runtime::WRTSTR(" *ERROR*  Cannot UNGETTKN because CURPOSN is too small or ");
    runtime::WRTLN();
    runtime::WRTSTR("  there is no last token to UNGET.  CURPOSN = ");
    runtime::WRTCARD(s.CURPOSN, 0);
    runtime::WRTSTR(", PREVPOSN = ");
    runtime::WRTCARD(s.PREVPOSN, 0);
    runtime::WRTLN();
    writeLineText(" BEGINNING OF TKNBUF: ", s);
    fail = 1;
}

void wordTooLong(const text::TEXTBUF& tkn) {
    const runtime::MessageScope message;
    runtime::WRTSTR("PARAM NAME TOO LONG, FIRST 80 CHAR'S ARE: ");
    runtime::WRTSTR(std::span<const char>(tkn.CHARS.data(), std::min(tkn.COUNT, kMaxWord)));
    runtime::WRTLN();
}

void prefixZero(text::TEXTBUF& tkn) {
    std::uint32_t n = std::min(tkn.COUNT, kTextCap - 1); // the "0" takes one place
    for (std::uint32_t i = n; i > 0; --i) tkn.CHARS[i] = tkn.CHARS[i - 1];
    tkn.CHARS[0] = '0';
    tkn.COUNT = n + 1;
    endText(tkn);
    tkn.ORIGCNT = tkn.COUNT;
}

} // namespace token::core
