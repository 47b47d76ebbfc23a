// Command words: the thirty words, tried in the order of the table below, each
// with whether it first saves X in LASTX. Formulas are evaluated in long double
// (x87 extended) and rounded once into X.
#include "calc/words.h"

#include "calc/arith.h"
#include "calc/regstack.h"
#include "calc/x87.h"
#include "calendar/daynum.h"
#include "realtext/chop.h"
#include "runtime/console.h"

#include <array>
#include <cmath>
#include <limits>
#include <span>
#include <string_view>

namespace calc::words {
namespace {

using stack::REGSTK;
using stack::T1;
using stack::X;
using stack::Y;
using stack::Z;

using arith::kLn2;
using arith::kLog2E;
constexpr double kPi = 3.141592653589793; // the double nearest pi

long double x() { return REGSTK[X]; }
void setX(long double v) { REGSTK[X] = static_cast<double>(v); }

// Functions of one REAL argument receive it rounded to double, as a call
// passing a register value does; their result stays in extended precision.
long double sqrtOfReal(double v) { return std::sqrt(static_cast<long double>(v)); }
long double atanOfReal(double v) { return std::atan(static_cast<long double>(v)); }

constexpr std::array<std::string_view, 19> kHelp = {
    " This is an RPN style calculator as used by Marovec.",
    " SQRT,SQR -- X = sqrt(X) or sqr(X) register.",
    " STO,RCL  -- store/recall the X register to/from the memory register.",
    " SWAP,SWAPXY,<>,>< -- equivalent commands that swap the X and Y registers.",
    " LASTX -- put the value of the LASTX register back into the X register.",
    " ROLLDN -- roll the stack down one register.  X goes to T1.",
    " DUMP -- dump the stack to the screen.",
    " EXP,LN -- evaluate exp(X) or ln(X) and put result back into X.",
    " ^   -- evaluate ABS(Y) to the X power, put result in X and pop stack 1 reg.",
    " **  -- like \"^\" but rounds X before calling the PWRI function.",
    " INT, ROUND, FRAC -- do what their names suggest.",
    " MOD -- evaluate Y MOD X, put result in X and pop stack 1 reg.",
    " SIN,COS,TAN,ARCTAN,ARCSIN,ARCCOS -- take a wild guess.  In radians.",
    " D2R -- perform degrees to radians conversion of the X register.",
    " R2D -- perform radians to degrees conversion of the X register.",
    " JUL -- Return Julian date number of Z month, Y day, X year.  Pop stack x2.",
    " TODAY- Return Julian date number of today's date.  Pop stack x2.",
    " GREG-- Return Z month, Y day, X year of Julian date number in X.",
    " DOW -- Return day number 1..7 of julian date number in X register.",
};

void help() {
    for (std::string_view line : kHelp) {
        runtime::WRTSTR(line);
        runtime::WRTLN();
    }
}

void rolldn() {
    double t = REGSTK[X];
    REGSTK[X] = REGSTK[Y];
    stack::STKDROP();
    REGSTK[T1] = t;
}

void round() {
    if (REGSTK[X] < 0) {
        setX(arith::REALINT(static_cast<double>(x() - 0.5L)));
    } else { // NaN takes this side too
        setX(arith::REALINT(static_cast<double>(x() + 0.5L)));
    }
}

void arcsin() {
    long double cosine = sqrtOfReal(static_cast<double>(1.0L - x() * x()));
    setX(atanOfReal(static_cast<double>(x() / cosine)));
}

void arccos() {
    long double sine = sqrtOfReal(static_cast<double>(1.0L - x() * x()));
    setX(atanOfReal(static_cast<double>(sine / x())));
}

// Registers to a date: the low 32 bits, unsigned, of each rounded register.
// fits turns false when a rounded register lies outside the 32-bit range
// (signed or unsigned), where its low bits alone would be some other date.
std::uint32_t dateField(double r, bool& fits) {
    const std::int64_t n = arith::RNDINT(r);
    if (n < std::numeric_limits<std::int32_t>::min() ||
        n > std::numeric_limits<std::uint32_t>::max()) {
        fits = false;
    }
    return realtext::low32(n);
}

void jul() {
    bool fits = true;
    stack::MONTH = dateField(REGSTK[Z], fits);
    stack::DAY = dateField(REGSTK[Y], fits);
    stack::YEAR = dateField(REGSTK[X], fits);
    const std::int64_t n =
        fits ? calendar::JULDATENUM(stack::MONTH, stack::DAY, stack::YEAR) : 0; // 0: invalid
    REGSTK[X] = static_cast<double>(n);
    stack::STKDROP();
    stack::STKDROP();
}

void today() {
    stack::STKLIFT();
    calendar::GETTODAY(stack::MONTH, stack::DAY, stack::YEAR);
    REGSTK[X] = static_cast<double>(calendar::JULDATENUM(stack::MONTH, stack::DAY, stack::YEAR));
}

void greg() {
    stack::STKLIFT();
    stack::STKLIFT();
    // The whole rounded number: a day number beyond 32 bits is no date, where
    // its low 32 bits could be one. GREGDATE answers it with 0, 0, 0.
    const std::int64_t n = arith::RNDINT(REGSTK[X]);
    calendar::GREGDATE(n, stack::MONTH, stack::DAY, stack::YEAR);
    REGSTK[Z] = stack::MONTH;
    REGSTK[Y] = stack::DAY;
    REGSTK[X] = stack::YEAR;
}

struct Word {
    std::span<const char> name; // with its NUL, as CMPSTR expects
    bool savesX;                // LASTX := X before the action
    void (*action)();
};

// The words in the order they are tried; the first that matches is performed.
constexpr std::array<Word, 30> kWords = {{
    {"SQRT", true, [] { setX(sqrtOfReal(REGSTK[X])); }},
    {"SQR", true, [] { setX(x() * x()); }},
    {"HELP", false, help},
    {"STO", false, [] { stack::MEMREG = REGSTK[X]; }},
    {"RCL", false, [] { stack::STKPUSH(stack::MEMREG); }},
    {"SWAP", false, stack::STKSWAP},
    {"SWAPXY", false, stack::STKSWAP},
    {"LASTX", false, [] { stack::STKPUSH(stack::LASTX); }},
    {"ROLLDN", false, rolldn},
    {"DUMP", false, stack::STKDUMP},
    {"EXP", true, [] { setX(arith::pow2Split(x() * kLog2E)); }},
    {"LN", true, [] { setX(calc::x87::FYL2X(kLn2, x())); }},
    {"Y^X", true,
     [] {
         setX(arith::powAbs(REGSTK[Y], x()));
         stack::STKDROP();
     }},
    {"INT", true, [] { REGSTK[X] = arith::REALINT(REGSTK[X]); }},
    {"TRUNC", true, [] { REGSTK[X] = arith::TRUNCPLC(REGSTK[X], 1); }},
    {"ROUND", true, round},
    {"FRAC", true, [] { setX(x() - arith::REALINT(REGSTK[X])); }},
    {"MOD", true,
     [] {
         REGSTK[X] = arith::REALMOD(REGSTK[Y], REGSTK[X]);
         stack::STKDROP();
     }},
    {"SIN", true, [] { setX(std::sin(x())); }},
    {"COS", true, [] { setX(std::cos(x())); }},
    {"TAN", true, [] { setX(std::sin(x()) / std::cos(x())); }},
    {"ARCTAN", true, [] { setX(std::atan2(x(), 1.0L)); }},
    {"ARCSIN", true, arcsin},
    {"ARCCOS", true, arccos},
    {"D2R", true, [] { setX((x() * kPi) / 180.0L); }},
    {"R2D", true, [] { setX((x() * 180.0L) / kPi); }},
    {"JUL", true, jul},
    {"TODAY", true, today},
    {"GREG", true, greg},
    {"DOW", true, [] { setX(arith::REALMOD(REGSTK[X], 7.0) + 1.0L); }},
}};

} // namespace

void doWord(const text::TEXTBUF& tkn) {
    for (const Word& w : kWords) {
        if (text::CMPSTR(tkn.CHARS, w.name) != 0) continue;
        if (w.savesX) stack::LASTX = REGSTK[X];
        w.action();
        return;
    }
    const runtime::MessageScope message;
    runtime::WRTSTR(tkn.CHARS);
    runtime::WRTSTR(" is an unrecognized command.");
    runtime::WRTLN();
}

} // namespace calc::words
