// Failure reporting and program end: the floating-point control state, the
// one failure record, the top-level handler (fatal signals on an alternate
// stack, uncaught C++ exceptions), the report and HALT with its termination
// procedures.
//
// Everything reachable from the signal handler (the record, the report text,
// the termination procedures, the console flush, platReport, ioFail) uses
// fixed storage and write(2) only, so it is async-signal-safe.
#include "runtime/failure.h"

#include "runtime/platform.h"
#include "runtime/sysio.h"

#include <csignal>
#include <cstddef>
#include <exception>
#include <pthread.h>
#include <string_view>
#include <sys/resource.h>
#include <ucontext.h>
#include <unistd.h>

namespace runtime {
namespace {

constexpr std::uint32_t kSourceReported = 0; // not a valid identifier
constexpr std::uint32_t kSourceRuntime = 1;  // the runtime's general source
constexpr std::size_t kReportCap = 63;
constexpr std::size_t kMaxHaltProcs = 8;
// Room for the handler, the report and the console flush, sanitizers included.
constexpr std::size_t kAltStackSize = std::size_t{64} * 1024;
// How far below the lowest stack address a fault still counts as an overflow:
// a frame that jumps past the end faults up to its own size below it, and the
// kernel keeps a gap of this size below a growing stack.
constexpr std::uintptr_t kStackOverflowSlack = std::uintptr_t{1024} * 1024;

// Program faults. Requests to stop (SIGINT, SIGTERM, SIGHUP, SIGPIPE, ...) are
// not failures and keep their default action.
constexpr std::array<int, 7> kFatalSignals = {SIGSEGV, SIGBUS,  SIGILL, SIGFPE,
                                              SIGABRT, SIGTRAP, SIGSYS};

constexpr std::string_view kTitle = "Unhandled exception";
// What an uncaught exception that is not a std::exception shows.
constexpr std::string_view kForeignException = "UNKNOWN_EXCEPTION";
// What std::terminate without an active exception shows.
constexpr std::string_view kTerminated = "TERMINATED";
// The line of a failed console transfer: prefix, channel, ": ", reason.
constexpr std::string_view kIoPrefix = "rpncalc: cannot ";
constexpr std::size_t kIoLineCap = 160;

struct IoLine {
    std::array<char, kIoLineCap> text{};
    std::size_t len = 0;
};

struct FailState {
    FAILREC rec{};
    std::array<void (*)(), kMaxHaltProcs> haltProcs{};
    std::size_t haltCount = 0;
    // Set when a failure starts to be recorded; a second failure leaves the
    // record alone and goes straight to the end.
    volatile std::sig_atomic_t failing = 0;
    volatile std::sig_atomic_t reporting = 0;
    volatile std::sig_atomic_t shown = 0;
    std::array<char, kReportCap> text{};
    std::size_t textLen = 0;
    // A failed console transfer shows this line instead of the report.
    IoLine ioLine{};
    // Bounds of the main thread's stack, for telling an overflow from other faults.
    std::uintptr_t stackLow = 0;
    std::uintptr_t stackHigh = 0;
    bool installed = false;
    std::array<struct sigaction, kFatalSignals.size()> saved{};
    sigset_t fatalSet{};
    std::terminate_handler savedTerminate = nullptr;
    alignas(16) std::array<char, kAltStackSize> altStack{};
};
constinit FailState st{};

std::uint32_t low32(std::uintptr_t addr) { return static_cast<std::uint32_t>(addr & 0xFFFFFFFFu); }

// Appends s to the report text while there is room.
void appendCut(std::string_view s) {
    for (char ch : s) {
        if (st.textLen == st.text.size()) return;
        st.text[st.textLen++] = ch;
    }
}

void hex8(std::uint32_t v, std::array<char, 8>& out) {
    constexpr std::string_view digits = "0123456789ABCDEF";
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[out.size() - 1 - i] = digits[v & 0xFu];
        v >>= 4;
    }
}

// Fills the record: the text up to its NUL, its capacity or 64 characters.
void record(std::span<const char> message, std::uintptr_t codeaddr) {
    FAILREC& rec = st.rec;
    rec.source = kSourceRuntime;
    std::size_t n = 0;
    while (n < message.size() && n < kFailMessageCap && message[n] != '\0') {
        rec.message[n] = message[n];
        ++n;
    }
    rec.message[n] = '\0';
    rec.codeaddr = low32(codeaddr);
}

// Runs the registered termination procedures, last registered first, each
// once: one that fails is not run again by the failure's own end.
void runHaltProcs() {
    while (st.haltCount > 0) {
        void (*proc)() = st.haltProcs[--st.haltCount];
        proc();
    }
}

void writeLine(const IoLine& line) {
    std::size_t done = 0;
    (void)sysWrite(2, std::span<const char>(line.text.data(), line.len), done);
}

void showReport() {
    if (st.shown != 0) return;
    st.shown = 1;
    if (st.ioLine.len > 0) {
        writeLine(st.ioLine);
        return;
    }
    platReport(kTitle, std::string_view(st.text.data(), st.textLen));
}

void composeIoLine(IoChannel channel, int error, IoLine& line) {
    const std::string_view what =
        channel == IoChannel::Input ? "read standard input: " : "write standard output: ";
    const char* reason = sysErrText(error);
    std::size_t reasonLen = 0;
    while (reason[reasonLen] != '\0') ++reasonLen;
    line.len = 0;
    // The line end always fits: the reason is cut instead.
    for (std::string_view part : {kIoPrefix, what, std::string_view(reason, reasonLen)}) {
        for (char ch : part) {
            if (line.len == line.text.size() - 1) break;
            line.text[line.len++] = ch;
        }
    }
    line.text[line.len++] = '\n';
}

// A failure while another is being recorded or reported: no second report.
// The first one is still shown if its text was built but not yet written.
[[noreturn]] void nestedFailure() {
    runHaltProcs();
    if (st.reporting != 0) showReport();
    ::_exit(255);
}

// The floating-point status flags are cleared before the report, as the
// handler of a raised failure does; the control state stays.
void clearFpFlags() {
#if defined(__x86_64__) || defined(__i386__)
    __asm__ volatile("fnclex");
    unsigned int mxcsr = 0;
    __asm__ volatile("stmxcsr %0" : "=m"(mxcsr));
    mxcsr &= ~0x3Fu;
    __asm__ volatile("ldmxcsr %0" : : "m"(mxcsr));
#endif
}

std::uintptr_t faultingInstruction(const siginfo_t* info, const void* context) {
    const auto* uc = static_cast<const ucontext_t*>(context);
#if defined(__x86_64__)
    (void)info;
    return static_cast<std::uintptr_t>(uc->uc_mcontext.gregs[REG_RIP]);
#elif defined(__i386__)
    (void)info;
    return static_cast<std::uintptr_t>(uc->uc_mcontext.gregs[REG_EIP]);
#else
    (void)uc; // no instruction pointer known here: the faulting address stands in
    return reinterpret_cast<std::uintptr_t>(info->si_addr);
#endif
}

// A fault at an address inside the stack or just below its lowest address is
// the stack running out (a wild pointer into the live stack does not fault).
bool isStackOverflow(const siginfo_t* info) {
    if (info->si_code <= 0 || st.stackHigh == 0) return false; // sent, not a fault
    auto addr = reinterpret_cast<std::uintptr_t>(info->si_addr);
    std::uintptr_t low = st.stackLow > kStackOverflowSlack ? st.stackLow - kStackOverflowSlack : 0;
    return addr >= low && addr < st.stackHigh;
}

std::string_view fpeName(int code) {
    switch (code) {
    case FPE_INTDIV:
    case FPE_FLTDIV:
        return "DIVIDE_BY_ZERO";
    case FPE_FLTOVF:
        return "FLOAT_OVERFLOW";
    case FPE_FLTUND:
        return "FLOAT_UNDERFLOW";
    case FPE_FLTRES:
        return "FLOAT_INEXACT";
    default:
        return {};
    }
}

void onFatalSignal(int sig, siginfo_t* info, void* context) {
    if (st.failing != 0) nestedFailure();
    st.failing = 1;
    std::string_view name;
    if (sig == SIGSEGV && isStackOverflow(info)) {
        name = "STACK_OVERFLOW";
    } else if (sig == SIGSEGV || sig == SIGBUS) {
        name = "ACCESS_VIOLATION";
    } else if (sig == SIGILL) {
        name = "ILLEGAL_INSTRUCTION";
    } else if (sig == SIGFPE) {
        name = fpeName(info->si_code);
    }
    std::array<char, 8> number{};
    if (name.empty()) {
        hex8(static_cast<std::uint32_t>(sig), number);
        name = std::string_view(number.data(), number.size());
    }
    record(std::span<const char>(name.data(), name.size()), faultingInstruction(info, context));
    clearFpFlags();
    REPORTFAIL();
}

// An exception that leaves main (or a noexcept function) is a raised failure
// with its what() text. Where it was thrown is gone by now; the address is the
// place in the runtime that gave up on it.
[[noreturn]] void onTerminate() {
    if (st.failing != 0) nestedFailure();
    st.failing = 1;
    std::string_view text = kTerminated;
    if (std::exception_ptr active = std::current_exception()) {
        try {
            std::rethrow_exception(active);
        } catch (const std::exception& e) {
            const char* what = e.what();
            std::size_t n = 0;
            while (what != nullptr && n <= kFailMessageCap && what[n] != '\0') ++n;
            text = what != nullptr ? std::string_view(what, n) : std::string_view{};
        } catch (...) {
            text = kForeignException;
        }
    }
    auto site = reinterpret_cast<std::uintptr_t>(__builtin_return_address(0));
    record(std::span<const char>(text.data(), text.size()), site - 1);
    REPORTFAIL();
}

// The main thread's stack: from the frame of the start-up down to as far as
// the stack size limit lets it grow. One getrlimit call: asking the thread
// library instead reads and parses /proc/self/maps, which cost a third of a
// start. Only an unlimited stack takes that way, to find where it must stop.
void findStackBounds() {
    rlimit limit{};
    if (getrlimit(RLIMIT_STACK, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        const auto top = reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0));
        st.stackLow = top > limit.rlim_cur ? top - limit.rlim_cur : 0;
        st.stackHigh = top;
        return;
    }
    pthread_attr_t attr;
    if (pthread_getattr_np(pthread_self(), &attr) != 0)
        return; // overflows then show as access violations
    void* addr = nullptr;
    std::size_t size = 0;
    if (pthread_attr_getstack(&attr, &addr, &size) == 0 && addr != nullptr) {
        st.stackLow = reinterpret_cast<std::uintptr_t>(addr);
        st.stackHigh = st.stackLow + size;
    }
    pthread_attr_destroy(&attr);
}

} // namespace

void fpInit() {
#if defined(__x86_64__) || defined(__i386__)
    // x87: all exceptions masked, 64-bit significand, round to nearest; no
    // exception left pending.
    const unsigned short x87 = 0x037F;
    __asm__ volatile("fnclex");
    __asm__ volatile("fldcw %0" : : "m"(x87));
    // SSE: all exceptions masked, round to nearest, no flush-to-zero, no
    // denormals-are-zero, flags clear.
    const unsigned int mxcsr = 0x1F80;
    __asm__ volatile("ldmxcsr %0" : : "m"(mxcsr));
#endif
}

void failInit() {
    if (st.installed) return;
    findStackBounds();

    stack_t alt{};
    alt.ss_sp = st.altStack.data();
    alt.ss_size = st.altStack.size();
    alt.ss_flags = 0;
    const bool onAltStack = sigaltstack(&alt, nullptr) == 0;

    struct sigaction action {};
    action.sa_sigaction = onFatalSignal;
    // SA_NODEFER: a fault inside the handler re-enters it and ends the program
    // with 255 instead of the kernel killing it with the signal.
    action.sa_flags = SA_SIGINFO | SA_NODEFER | (onAltStack ? SA_ONSTACK : 0);
    sigemptyset(&action.sa_mask);
    sigemptyset(&st.fatalSet);
    for (std::size_t i = 0; i < kFatalSignals.size(); ++i) {
        sigaction(kFatalSignals[i], &action, &st.saved[i]);
        sigaddset(&st.fatalSet, kFatalSignals[i]);
    }
    st.savedTerminate = std::set_terminate(onTerminate);
    st.installed = true;
}

void failDone() {
    if (!st.installed) return;
    for (std::size_t i = 0; i < kFatalSignals.size(); ++i) {
        sigaction(kFatalSignals[i], &st.saved[i], nullptr);
    }
    std::set_terminate(st.savedTerminate);
    stack_t off{};
    off.ss_flags = SS_DISABLE;
    sigaltstack(&off, nullptr);
    st.installed = false;
}

[[gnu::noinline]] void RAISEFAIL(std::span<const char> message) {
    if (st.failing != 0) nestedFailure();
    st.failing = 1;
    // The return address less one lies inside the call instruction: the call
    // site, even when the call is the last instruction of its function.
    auto site = reinterpret_cast<std::uintptr_t>(__builtin_return_address(0));
    record(message, site - 1);
    REPORTFAIL();
}

void REPORTFAIL() {
    if (st.reporting != 0) nestedFailure();
    st.reporting = 1;
    st.failing = 1;
    FAILREC& rec = st.rec;
    if (rec.source == kSourceReported) {
        st.shown = 1; // nothing to show
    } else {
        rec.source = kSourceReported; // never shown twice
        std::array<char, 8> addr{};
        hex8(rec.codeaddr, addr);
        st.textLen = 0;
        appendCut("at ");
        appendCut(std::string_view(addr.data(), addr.size()));
        appendCut(" -> ");
        std::size_t mlen = 0;
        while (mlen < kFailMessageCap && rec.message[mlen] != '\0') ++mlen;
        appendCut(std::string_view(rec.message.data(), mlen));
    }
    runHaltProcs(); // the console output so far comes before the report
    showReport();
    ::_exit(255);
}

void ioFail(IoChannel channel, int error) {
    if (st.failing != 0) {
        IoLine line;
        composeIoLine(channel, error, line);
        writeLine(line);
        return;
    }
    st.failing = 1;
    st.reporting = 1;
    composeIoLine(channel, error, st.ioLine);
    runHaltProcs(); // output so far, and the terminal back in its modes, before the line
    showReport();
    ::_exit(255);
}

const sigset_t* failSignals() { return st.installed ? &st.fatalSet : nullptr; }

void onHalt(void (*proc)()) {
    if (st.haltCount < st.haltProcs.size()) st.haltProcs[st.haltCount++] = proc;
}

void HALT(int status) {
    runHaltProcs();
    ::_exit(status);
}

} // namespace runtime
