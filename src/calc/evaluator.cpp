// The evaluator: applies one line to the register stack in reverse Polish
// order. Numbers are pushed; operator symbols and command words act on the
// registers at once, left to right. Arithmetic is done in long double (x87
// extended) and rounded to double once, when the result is stored.
#include "calc/evaluator.h"
#include "calc/evaluator_testing.h"

#include "calc/arith.h"
#include "calc/operators.h"
#include "calc/regstack.h"
#include "calc/words.h"
#include "realtext/chop.h"
#include "runtime/console.h"
#include "runtime/failure.h"
#include "token/core.h"
#include "token/linescan.h"
#include "token/tokenizer.h"

namespace calc::eval {
namespace {

using stack::REGSTK;
using stack::X;
using stack::Y;

using token::OpCode;

// What the tokens do to the registers, for the whole-line scan
// (token/linescan.h) and the token loop alike.
struct Registers {
    static void number(double value) { stack::STKPUSH(value); }
    // + - * /: LASTX := X, then Y op X into X, and a drop.
    static void arithmetic(OpCode code) {
        stack::LASTX = REGSTK[X];
        ops::arithmetic(code, REGSTK[Y], REGSTK[X], REGSTK[X]);
        stack::STKDROP();
    }
    // <> and ><, the only operators that leave LASTX alone.
    static void swap() { stack::STKSWAP(); }
    static bool word(std::uint64_t key) { return words::doWordOfKey(key); }
};

// Stores a two-operand result in X and drops Y.
void storeAndDrop(long double result) {
    REGSTK[X] = static_cast<double>(result);
    stack::STKDROP();
}

void applyOperator(OpCode code, const text::TEXTBUF& tkn) {
    if (code == OpCode::LessGreater || code == OpCode::GreaterLess) {
        Registers::swap();
        return;
    }
    if (ops::isArithmetic(code)) {
        Registers::arithmetic(code);
        return;
    }
    stack::LASTX = REGSTK[X];
    const long double x = REGSTK[X];
    const long double y = REGSTK[Y];
    switch (code) {
    case OpCode::Caret:
        storeAndDrop(arith::powAbs(y, x));
        break;
    case OpCode::StarStar:
        storeAndDrop(arith::powWhole(REGSTK[Y], REGSTK[X]));
        break;
    default: {
        // A known operator symbol with no action: say so; the lift and drop
        // leave X..register 6 as they were and copy register 6 into T1.
        const runtime::MessageScope message;
        runtime::WRTSTR(tkn.CHARS);
        runtime::WRTSTR(" is an unrecognized operation.");
        stack::STKLIFT();
        runtime::WRTLN();
        stack::STKDROP();
        break;
    }
    }
}

// The token text the loop reads into, kept from line to line: every token
// writes what is read of it, and clearing 264 bytes per line would cost more
// than a short line's tokens.
constinit text::TEXTBUF tkn{};

// The token loop of the general evaluator, on the line the tokenizer holds.
double evalTokens() {
    token::TOKENKIND kind = token::TOKENKIND::DELIMITER;
    std::int64_t value = 0;
    double real = 0.0;
    std::uint32_t rc = 0;
    for (;;) {
        token::evalToken(tkn, kind, value, real, rc);
        // Return code 1 is the end of the line; every other nonzero code ends
        // the evaluation too, after the tokenizer has said what it had to say.
        if (rc != token::kTknOk) break;
        switch (kind) {
        case token::TOKENKIND::NUMBER:
            Registers::number(real);
            break;
        case token::TOKENKIND::OPERATOR:
            applyOperator(static_cast<OpCode>(realtext::low32(value)), tkn);
            break;
        case token::TOKENKIND::WORD:
            words::doWord(tkn);
            break;
        case token::TOKENKIND::DELIMITER:
        default:
            // A token of no known kind: only a NUL inside the scanned text
            // gives one, and a trimmed line holds none. A fault of the program.
            runtime::RAISEFAIL("CASE-RANGE");
        }
    }
    return REGSTK[X];
}

} // namespace

double EVALLINE(text::TEXTBUF line) {
    text::TRMBUF(line);
    return evalTrimmed(line);
}

bool lane::evalPlain(const text::TEXTBUF& line) {
    Registers registers;
    const std::uint32_t rest = token::plain::scanLine(line, registers);
    if (rest == 0) return true;
    token::plain::handOverAt(line, rest);
    return false;
}

double evalTrimmed(const text::TEXTBUF& line) {
    // The whole-line scan takes the plain tokens the line begins with; the
    // tokenizer then stands where the token loop goes on.
    if (lane::evalPlain(line)) return REGSTK[X];
    return evalTokens();
}

double general::EVALLINE(text::TEXTBUF line) {
    text::TRMBUF(line);
    token::INITTKNBUF(line);
    return evalTokens();
}

} // namespace calc::eval
