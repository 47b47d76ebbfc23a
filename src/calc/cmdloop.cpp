// The command loop: one dialogue step per input line. It owns the input line
// and the result text; the registers belong to the register stack.
#include "calc/cmdloop.h"
#include "calc/cmdloop_testing.h"

#include "calc/evaluator.h"
#include "realtext/realtext.h"
#include "realtext/scripttext.h"
#include "runtime/console.h"
#include "text/numtext.h"
#include "text/textbuf.h"
#include "token/tokenizer.h"

#include <cstring>
#include <string_view>

namespace calc::loop {
namespace {

struct LoopState {
    text::TEXTBUF LINEBUF{};
};
constinit LoopState st{};

constexpr std::string_view kLabel = " Result =";
constexpr std::string_view kSeparator = ",       ";
constexpr std::uint32_t kFieldWidth = 15;
constexpr std::size_t kLineRoom =
    kLabel.size() + realtext::fieldRoom(kFieldWidth) + kSeparator.size() + realtext::kFixedRoom + 2;
static_assert(kLineRoom <= runtime::kPlaceCap, "the result line is built in the console's place");

char* put(char* at, std::string_view s) {
    std::memcpy(at, s.data(), s.size());
    return at + s.size();
}

// A line of nothing but blanks and tabs is blank in the script mode.
bool blankLine(const text::TEXTBUF& line) {
    for (std::uint32_t i = 0; i < line.COUNT; ++i) {
        if (line.CHARS[i] != ' ' && line.CHARS[i] != '\t') return false;
    }
    return true;
}

// The script mode's result line: X as text, then an LF.
void writeScriptResult(double x) {
    realtext::ScriptText text;
    const std::size_t len = realtext::scriptText(x, text);
    text[len] = '\n';
    runtime::writeChars(std::span<const char>(text.data(), len + 1));
}

} // namespace

void scriptLoop() {
    token::SETDELIMSET(token::delimitersWith("\t")); // tab separates tokens too
    while (!runtime::conAtEnd()) {
        text::trimMeasured(st.LINEBUF, runtime::readLine(st.LINEBUF.CHARS)); // TRMBUF
        if (blankLine(st.LINEBUF)) continue;
        writeScriptResult(eval::evalTrimmed(st.LINEBUF)); // trimmed just above
    }
}

void commandLoop() {
    for (;;) {
        runtime::WRTSTR(" 21Jul03 Enter calc, or HELP: ");
        const std::uint32_t length = runtime::readLine(st.LINEBUF.CHARS);
        runtime::WRTLN();
        text::trimMeasured(st.LINEBUF, length); // TRMBUF, the length already measured
        if (st.LINEBUF.COUNT == 0) return;
        writeResult(eval::evalTrimmed(st.LINEBUF)); // trimmed just above
    }
}

// The line is built where it is written, in the console's output buffer:
// the label, x in a field of 15 (as WRTREAL writes it), the separator, the
// text of REALTOFIX with nine places cropped (its trailing zeros dropped
// where it has a point: a text without one, an infinity or a value of 10^63
// and more cut before its point, keeps them as integer digits), a line end.
void writeResult(double x) {
    char* const line = runtime::writePlace(kLineRoom);
    char* out = put(line, kLabel);
    const realtext::DigitBase base = realtext::digitBase(x); // once for both texts
    out += realtext::writeField(base, kFieldWidth, out);
    out = put(out, kSeparator);
    const std::size_t len =
        realtext::writeFixedText(base, realtext::kShownD, realtext::kShownI, out);
    out += text::num::croppedLength(std::span<char>(out, len));
    out = put(out, "\r\n");
    runtime::writePlaced(static_cast<std::size_t>(out - line));
}

} // namespace calc::loop
