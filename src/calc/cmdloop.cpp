// The command loop: one dialogue step per input line. It owns the input line
// and the result text; the registers belong to the register stack.
#include "calc/cmdloop.h"

#include "calc/evaluator.h"
#include "calc/fastresult.h"
#include "runtime/console.h"
#include "runtime/realtext.h"
#include "runtime/scripttext.h"
#include "text/numtext.h"
#include "text/textbuf.h"
#include "token/tokenizer.h"

#include <string_view>

namespace calc::loop {
namespace {

struct LoopState {
    text::TEXTBUF LINEBUF{};
    std::array<char, text::kTextCap> RESULTBUF{};
};
constinit LoopState st{};

// The fixed-point text of x with nine places, cropped of trailing zeros and
// leading blanks. A text without a point (an infinity, or a value of 10^63
// and more cut before its point) keeps its zeros: they are integer digits.
void writeFixed(double x) {
    std::uint32_t pos = 0;
    bool ok = false;
    runtime::REALTOFIX(x, 15, 6, st.RESULTBUF, pos, ok);
    if (!ok) return; // cannot happen with kTextCap characters; the line then ends after the real
    runtime::WRTSTR(",       ");
    text::num::CROPFIXED(st.RESULTBUF);
    runtime::WRTSTR(st.RESULTBUF);
}

// The script mode's delimiters: the dialogue's (NUL, blank, comma,
// semicolon) and the tab.
constexpr token::CHARSET kScriptDelims = [] {
    token::CHARSET set{};
    for (char c : std::string_view("\0 ,;\t", 5)) {
        const auto code = static_cast<unsigned char>(c);
        set[code / 8U] = static_cast<std::uint8_t>(set[code / 8U] | (1U << (code % 8U)));
    }
    return set;
}();

// A line of nothing but blanks and tabs is blank in the script mode.
bool blankLine(const text::TEXTBUF& line) {
    for (std::uint32_t i = 0; i < line.COUNT; ++i) {
        if (line.CHARS[i] != ' ' && line.CHARS[i] != '\t') return false;
    }
    return true;
}

// The script mode's result line: X as text, then an LF.
void writeScriptResult(double x) {
    runtime::SCRIPTTEXT text;
    const std::size_t len = runtime::scriptText(x, text);
    text[len] = '\n';
    runtime::WRTCHARS(std::span<const char>(text.data(), len + 1));
}

} // namespace

void scriptLoop() {
    token::SETDELIMSET(kScriptDelims);
    while (!runtime::CONATEND()) {
        runtime::RDSTR(st.LINEBUF.CHARS);
        runtime::SKIPLN();
        text::TRMBUF(st.LINEBUF);
        if (blankLine(st.LINEBUF)) continue;
        writeScriptResult(eval::EVALTRIMMED(st.LINEBUF)); // trimmed just above
    }
}

void CMDLOOP() {
    for (;;) {
        runtime::WRTSTR(" 21Jul03 Enter calc, or HELP: ");
        runtime::RDSTR(st.LINEBUF.CHARS);
        runtime::SKIPLN();
        runtime::WRTLN();
        text::TRMBUF(st.LINEBUF);
        if (st.LINEBUF.COUNT == 0) return;
        WRTRESULT(eval::EVALTRIMMED(st.LINEBUF)); // trimmed just above
    }
}

void WRTRESULT(double x) {
    if (fast::WRTRESULT(x)) return; // the rendering lane, calc/fastresult.h
    runtime::WRTSTR(" Result =");
    runtime::WRTREAL(x, 15);
    writeFixed(x);
    runtime::WRTLN();
}

} // namespace calc::loop
