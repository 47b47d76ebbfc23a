// Failure reporting and program end.
//
// Floating-point faults never stop the program: fpInit masks every exception,
// so they give infinities and NaNs. Every other failure (a RAISEFAIL, a fatal
// signal, an uncaught C++ exception) is reported once on standard error, as
// the title "Unhandled exception" and the text "at XXXXXXXX -> NAME", after the
// console output written so far has been flushed; the exit status is then 255.
// A failed read or write of the console is reported the same way, as one line
// that says what failed and why (ioFail). HALT is the only way out of the
// program.
#pragma once

#include <array>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <span>

namespace runtime {

constexpr std::size_t kFailMessageCap = 64;

// The failure in progress. A source that is not a valid identifier marks the
// failure as already reported.
struct FAILREC {
    std::uint32_t source = 0;
    std::array<char, kFailMessageCap + 1> message{}; // NUL-terminated, at most 64 characters
    std::uint32_t codeaddr = 0;
};

// Floating-point control state: every exception masked, round to nearest,
// x87 precision control at a 64-bit significand; SSE masked and to nearest.
void fpInit();

// Installs the top-level failure handler: the fatal signals SIGSEGV and SIGBUS
// ("ACCESS_VIOLATION", or "STACK_OVERFLOW" for a fault at the stack's end),
// SIGILL ("ILLEGAL_INSTRUCTION"), SIGFPE ("DIVIDE_BY_ZERO" for a division by
// zero), SIGABRT, SIGTRAP and SIGSYS (their number in 8 hexadecimal digits),
// handled on an alternate stack; and uncaught C++ exceptions (their what()
// text, "UNKNOWN_EXCEPTION" for one that is no std::exception). Requests to
// stop such as SIGINT, SIGTERM and SIGPIPE keep their default action.
// failDone removes the handler before a normal end.
void failInit();
void failDone();

// Raises a failure with the given text (up to its NUL or its capacity). The
// code address is the low 32 bits of the call site. Does not return.
[[noreturn]] void RAISEFAIL(std::span<const char> message);

// Shows the report of the failure in progress and ends with status 255: the
// termination procedures (the console flush) run first, then the title and
// the text go to standard error. A failure already reported, or a failure
// while reporting, shows nothing more.
[[noreturn]] void REPORTFAIL();

// The console channels whose failure ioFail reports.
enum class IoChannel { Input, Output };

// Reports a failed read of standard input or write of standard output, as
// "rpncalc: cannot read standard input: Is a directory" on standard error,
// and ends with status 255 once the termination procedures have run (the
// caller has stopped using the failed channel). During a failure already in
// progress (its report flushes the console) the line is written at once and
// ioFail returns, so that the first report still comes out.
// Async-signal-safe.
void ioFail(IoChannel channel, int error);

// The fatal signals the handler catches, while it is installed (null before
// failInit and after failDone): the console holds them off while it counts
// what a write took, so that the handler's flush goes on from the right byte.
const sigset_t* failSignals();

// Registers a termination procedure; HALT runs them in reverse order of
// registration, each once. At most a handful are ever registered. They also
// run from the signal handler, so they must be async-signal-safe.
void onHalt(void (*proc)());

// Runs the termination procedures, then ends the process with the status.
[[noreturn]] void HALT(int status);

} // namespace runtime
