// rpncalc: a reverse Polish console calculator. main prepares the runtime,
// starts every module once, runs the command loop and ends through HALT.
#include "calc/cmdloop.h"
#include "runtime/console.h"
#include "runtime/failure.h"

int main() {
    runtime::FPINIT();
    runtime::FAILINIT();
    runtime::CONINIT();
    calc::loop::STARTUP();
    calc::loop::CMDLOOP();
    runtime::FAILDONE();
    runtime::HALT(0);
}
