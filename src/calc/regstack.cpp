// The register stack: the registers, LASTX and MEMREG for the whole run, the
// stack moves and the DUMP display.
#include "calc/regstack.h"

#include "realtext/realtext.h"
#include "runtime/console.h"

namespace calc::stack {

constinit std::array<double, kRegs> REGSTK{};
constinit double LASTX = 0.0;
constinit double MEMREG = 0.0;
constinit std::uint32_t MONTH = 0, DAY = 0, YEAR = 0;

namespace {

struct StackState {
    std::uint32_t STKSIZE = 0;
};
constinit StackState st{};

constexpr std::size_t kDumpText = 80;

void borderLine() {
    runtime::WRTSTR("+--------------------+");
    runtime::WRTSTR("          ");
    runtime::WRTSTR("+--------------------+");
    runtime::WRTLN();
}

void valueLine(double r) {
    runtime::WRTSTR("|  ");
    realtext::WRTREAL(r, 15);
    runtime::WRTSTR("   |");
    runtime::WRTSTR("          ");
    runtime::WRTSTR("|  ");
    std::array<char, kDumpText> text{};
    std::uint32_t pos = 0;
    bool ok = false;
    realtext::REALTOFIX(r, 15, 5, text, pos, ok); // ten places; always fits in 80
    runtime::WRTSTR(text);
    runtime::WRTSTR("   |");
    runtime::WRTLN();
}

} // namespace

void STKINIT() {
    REGSTK.fill(0.0);
    st.STKSIZE = kRegs;
    LASTX = 0.0;
    MEMREG = 0.0;
}

void STKLIFT() {
    for (std::size_t i = kRegs - 1; i > 0; --i) REGSTK[i] = REGSTK[i - 1];
}

void STKDROP() {
    for (std::size_t i = 2; i < kRegs; ++i) REGSTK[i - 1] = REGSTK[i];
}

void STKPUSH(double value) {
    STKLIFT();
    REGSTK[X] = value;
}

void STKSWAP() {
    double t = REGSTK[X];
    REGSTK[X] = REGSTK[Y];
    REGSTK[Y] = t;
}

double STKGETX() { return REGSTK[X]; }

void STKCOPY(std::span<double> regs, std::uint32_t& err) {
    err = 0;
    if (regs.size() < st.STKSIZE || regs.size() < kRegs) {
        err = 1;
        return;
    }
    for (std::size_t i = 0; i < kRegs; ++i) regs[i] = REGSTK[i];
}

void STKDUMP() {
    for (std::size_t i = kRegs; i > 0; --i) {
        borderLine();
        valueLine(REGSTK[i - 1]);
    }
    borderLine();
}

} // namespace calc::stack
