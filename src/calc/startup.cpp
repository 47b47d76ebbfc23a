// The start-up list, in the order the modules depend on each other: the
// floating-point state first, then failure reporting (so that a fault in
// any later start-up is reported), the console, the text modules and the
// registers.
#include "calc/startup.h"

#include "calc/regstack.h"
#include "runtime/console.h"
#include "runtime/failure.h"
#include "text/textbuf.h"
#include "token/table_tokenizer.h"
#include "token/tokenizer.h"

#include <array>

namespace calc {
namespace {

struct StartStep {
    void (*start)();
    bool programOnly; // takes over the process: not for library callers
};

constexpr std::array kStartUps = {
    StartStep{runtime::fpInit, false}, StartStep{runtime::failInit, true},
    StartStep{runtime::conInit, true}, StartStep{token::table::tknInit, false},
    StartStep{text::textInit, false},  StartStep{token::tknInit, false},
    StartStep{stack::STKINIT, false},
};

} // namespace

void startModules(StartFor who) {
    for (const StartStep& step : kStartUps) {
        if (who == StartFor::Program || !step.programOnly) step.start();
    }
}

} // namespace calc
