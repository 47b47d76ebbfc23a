// The command loop: one dialogue step per input line. It owns the input line
// and the result text; the registers belong to the register stack.
#include "calc/cmdloop.h"

#include "calc/evaluator.h"
#include "calc/fastresult.h"
#include "runtime/console.h"
#include "runtime/realtext.h"
#include "text/numtext.h"
#include "text/textbuf.h"

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

} // namespace

void CMDLOOP() {
    for (;;) {
        runtime::WRTSTR(" 21Jul03 Enter calc, or HELP: ");
        runtime::RDSTR(st.LINEBUF.CHARS);
        runtime::SKIPLN();
        runtime::WRTLN();
        text::TRMBUF(st.LINEBUF);
        if (st.LINEBUF.COUNT == 0) return;
        WRTRESULT(eval::evalTrimmed(st.LINEBUF)); // trimmed just above
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
