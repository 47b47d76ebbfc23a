// rpncalc: a reverse Polish console calculator. main starts every module
// once, runs the command loop and ends through HALT.
#include "calc/cmdloop.h"
#include "calc/startup.h"
#include "runtime/failure.h"

int main() {
    calc::startModules(calc::StartFor::Program);
    calc::loop::commandLoop();
    runtime::FAILDONE();
    runtime::HALT(0);
}
