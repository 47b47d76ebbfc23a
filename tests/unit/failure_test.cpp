// Failure reporting: the floating-point control state fpInit leaves behind,
// and, as death tests, the exact report and exit status of raised failures,
// real processor faults, uncaught exceptions and failures during the report,
// with the console output written before them reaching the output first.
#include "runtime/console.h"
#include "runtime/failure.h"

#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <ostream>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// ---------------------------------------------------------------------------
// Floating-point control state

std::uint16_t readX87() {
    std::uint16_t cw = 0;
    __asm__ volatile("fnstcw %0" : "=m"(cw));
    return cw;
}

void writeX87(std::uint16_t cw) { __asm__ volatile("fnclex\n\tfldcw %0" : : "m"(cw) : "memory"); }

std::uint32_t readMxcsr() {
    std::uint32_t v = 0;
    __asm__ volatile("stmxcsr %0" : "=m"(v));
    return v;
}

void writeMxcsr(std::uint32_t v) { __asm__ volatile("ldmxcsr %0" : : "m"(v) : "memory"); }

// Whatever state the process was in, fpInit leaves the x87 control word 0x037F
// (all masked, 64-bit significand, to nearest) and MXCSR 0x1F80 (all masked,
// to nearest, no flush-to-zero or denormals-are-zero, no flags).
TEST(FloatingPointState, FpinitSetsBothControlWords) {
    struct Case {
        const char* what;
        std::uint16_t x87;
        std::uint32_t mxcsr;
    };
    const Case cases[] = {
        {"53-bit, toward zero, unmasked; SSE toward zero, FTZ, DAZ, unmasked", 0x0E40, 0xE040},
        {"24-bit, upward; SSE upward with every flag set", 0x087F, 0x5FBF},
        {"already the start state", 0x037F, 0x1F80},
    };
    const std::uint16_t savedX87 = readX87();
    const std::uint32_t savedMxcsr = readMxcsr();
    for (const Case& c : cases) {
        writeX87(c.x87);
        writeMxcsr(c.mxcsr);
        runtime::fpInit();
        const std::uint16_t x87 = readX87();
        const std::uint32_t mxcsr = readMxcsr();
        writeX87(savedX87);
        writeMxcsr(savedMxcsr);
        EXPECT_EQ(x87, 0x037F) << c.what;
        EXPECT_EQ(mxcsr, 0x1F80u) << c.what;
    }
}

// The precision control really is 64 bits: 1 + 2^-63 survives an x87 add.
TEST(FloatingPointState, ExtendedAddKeepsA64BitSignificand) {
    const std::uint16_t savedX87 = readX87();
    writeX87(0x027F); // 53-bit precision, as some platforms start
    runtime::fpInit();
    volatile long double one = 1.0L;
    volatile long double tiny = 0x1p-63L;
    volatile long double sum = one + tiny; // stored before the control word is restored
    writeX87(savedX87);
    EXPECT_EQ(sum - 1.0L, 0x1p-63L);
}

// ---------------------------------------------------------------------------
// Death tests: helpers

constexpr std::string_view kAddrHole = "########";
constexpr std::uint32_t kSiteWindow = 0x400; // a small function's code fits in it

void writeErr(std::string_view s) {
    while (!s.empty()) {
        ssize_t done = ::write(2, s.data(), s.size());
        if (done <= 0) return;
        s.remove_prefix(static_cast<std::size_t>(done));
    }
}

std::string hexOf(std::uint32_t v) {
    std::string s(8, '0');
    for (std::size_t i = 8; i > 0; --i) {
        s[i - 1] = "0123456789ABCDEF"[v % 16];
        v /= 16;
    }
    return s;
}

bool parseHex8(std::string_view s, std::uint32_t& v) {
    if (s.size() != 8) return false;
    v = 0;
    for (char ch : s) {
        std::uint32_t d = 0;
        if (ch >= '0' && ch <= '9') {
            d = static_cast<std::uint32_t>(ch - '0');
        } else if (ch >= 'A' && ch <= 'F') {
            d = static_cast<std::uint32_t>(ch - 'A' + 10);
        } else {
            return false;
        }
        v = v * 16 + d;
    }
    return true;
}

template <typename F> std::uint32_t low32Of(F* fn) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(fn) & 0xFFFFFFFFu);
}

// Written by a child before it fails: the low 32 bits of the function that
// holds the failing call or instruction.
void markSite(std::uint32_t fnLow32) { writeErr("site " + hexOf(fnLow32) + "\n"); }

// Matches the whole standard error of a child: `expected` with 8 uppercase
// hexadecimal digits where it has ########. With a site check, the child first
// wrote "site XXXXXXXX" and the reported address must lie in that function.
class ReportMatcher : public testing::MatcherInterface<const std::string&> {
  public:
    ReportMatcher(std::string expected, bool checkSite)
        : expected_(std::move(expected)), checkSite_(checkSite) {}

    bool MatchAndExplain(const std::string& err,
                         testing::MatchResultListener* listener) const override {
        std::string_view rest = err;
        std::uint32_t site = 0;
        if (checkSite_) {
            if (rest.substr(0, 5) != "site " || rest.size() < 14 ||
                !parseHex8(rest.substr(5, 8), site) || rest[13] != '\n') {
                *listener << "no site line";
                return false;
            }
            rest.remove_prefix(14);
        }
        const std::size_t hole = expected_.find(kAddrHole);
        if (rest.size() != expected_.size() || rest.substr(0, hole) != expected_.substr(0, hole) ||
            rest.substr(hole + 8) != std::string_view(expected_).substr(hole + 8)) {
            *listener << "text differs";
            return false;
        }
        std::uint32_t addr = 0;
        if (!parseHex8(rest.substr(hole, 8), addr)) {
            *listener << "address is not 8 uppercase hexadecimal digits";
            return false;
        }
        if (checkSite_ && addr - site >= kSiteWindow) {
            *listener << "address " << hexOf(addr) << " is not within the function at "
                      << hexOf(site);
            return false;
        }
        return true;
    }

    void DescribeTo(std::ostream* os) const override {
        *os << "is \"" << expected_ << "\"" << (checkSite_ ? " after a site line" : "");
    }

  private:
    std::string expected_;
    bool checkSite_;
};

testing::Matcher<const std::string&> stderrIs(std::string consoleOutput, std::string_view message,
                                              bool checkSite = true) {
    std::string expected = std::move(consoleOutput);
    expected += "Unhandled exception\nat ";
    expected += kAddrHole;
    expected += " -> ";
    expected += message;
    expected += "\n";
    return testing::Matcher<const std::string&>(new ReportMatcher(expected, checkSite));
}

// In the child: leftovers of the parent's console go out first, then standard
// output joins standard error, so the captured text shows the order of both.
void startChild() {
    runtime::conFlush();
    ::dup2(2, 1);
    runtime::conInit();
    runtime::failInit();
}

// ---------------------------------------------------------------------------
// Real faults. The instructions are written in asm so that the compiler can
// neither see undefined behaviour nor remove them: each one really faults.

[[gnu::noinline]] void writeNowhere() {
    markSite(low32Of(&writeNowhere));
    volatile std::uintptr_t where = 0;
    __asm__ volatile("movl $0, (%0)" : : "r"(where) : "memory");
}

// A shared mapping of an empty file: touching it is a bus error.
[[gnu::noinline]] void touchPastEndOfFile() {
    int fd = ::memfd_create("rpncalc-bus", 0);
    void* page = ::mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (fd < 0 || page == MAP_FAILED) return; // the test then fails on the exit status
    markSite(low32Of(&touchPastEndOfFile));
    __asm__ volatile("movl $0, (%0)" : : "r"(page) : "memory");
}

[[gnu::noinline]] void divideByZero() {
    markSite(low32Of(&divideByZero));
    volatile std::int32_t zero = 0;
    std::int32_t divisor = zero;
    std::int32_t quotient = 7;
    __asm__ volatile("cltd\n\tidivl %1" : "+a"(quotient) : "r"(divisor) : "edx", "cc");
}

[[gnu::noinline]] void illegalInstruction() {
    markSite(low32Of(&illegalInstruction));
    __asm__ volatile("ud2");
}

volatile std::uint32_t gNeverReached = 0xFFFFFFFFu;

// Each frame holds a page that is really written; the depth limit is never
// met, so the recursion runs until the stack is gone.
[[gnu::noinline]] std::uint32_t descend(std::uint32_t depth) {
    std::array<volatile char, 4096> pad{};
    pad[depth % pad.size()] = 1;
    if (depth == gNeverReached) return 0;
    return descend(depth + 1) + static_cast<std::uint32_t>(pad[0]);
}

void overflowStack() {
    markSite(low32Of(&descend));
    (void)descend(0);
}

void abortNow() { std::abort(); }

TEST(FailureDeathTest, ProcessorFaultsAreReportedWithTheirNames) {
    struct Case {
        void (*fault)();
        const char* name;
        bool checkSite;
    };
    const Case cases[] = {
        {writeNowhere, "ACCESS_VIOLATION", true},
        {touchPastEndOfFile, "ACCESS_VIOLATION", true},
        {divideByZero, "DIVIDE_BY_ZERO", true},
        {illegalInstruction, "ILLEGAL_INSTRUCTION", true},
        {overflowStack, "STACK_OVERFLOW", true},
        {abortNow, "00000006", false}, // any other fatal signal: its number
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(
            {
                startChild();
                c.fault();
            },
            testing::ExitedWithCode(255), stderrIs("", c.name, c.checkSite))
            << c.name;
    }
}

// ---------------------------------------------------------------------------
// Raised failures

[[gnu::noinline]] void raiseFrom(std::span<const char> message) {
    markSite(low32Of(&raiseFrom));
    runtime::RAISEFAIL(message);
}

TEST(FailureDeathTest, RaisedFailureReportsAtItsCallSite) {
    const std::string longest(48, 'M'); // fills the 63-character text exactly
    const std::string tooLong = std::string(40, 'a') + std::string(30, 'b');
    struct Case {
        std::string message; // passed without a terminating NUL
        std::string shown;
    };
    const Case cases[] = {
        {"CASE-RANGE", "CASE-RANGE"},
        {longest, longest},
        {tooLong, std::string(40, 'a') + std::string(8, 'b')}, // cut to fit 63
        {std::string("AB\0CD", 5), "AB"},                      // the text ends at its NUL
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(
            {
                startChild();
                raiseFrom(std::span<const char>(c.message.data(), c.message.size()));
            },
            testing::ExitedWithCode(255), stderrIs("", c.shown))
            << c.message;
    }
}

// ---------------------------------------------------------------------------
// Uncaught exceptions

void throwRuntimeError() { throw std::runtime_error("disk on fire"); }
void throwBadAlloc() { throw std::bad_alloc(); }
void throwLongText() { throw std::logic_error(std::string(50, 'x') + std::string(30, 'y')); }
void throwInt() { throw 42; }

// The exception leaves a function that may not throw, so nothing between it
// and the runtime catches it.
void escape(void (*thrower)()) noexcept { thrower(); }

TEST(FailureDeathTest, UncaughtExceptionIsAFailureWithItsText) {
    struct Case {
        void (*thrower)();
        std::string shown;
    };
    const Case cases[] = {
        {throwRuntimeError, "disk on fire"},
        {throwBadAlloc, std::bad_alloc().what()},
        {throwLongText, std::string(48, 'x')},
        {throwInt, "UNKNOWN_EXCEPTION"}, // not a std::exception: no text of its own
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(
            {
                startChild();
                escape(c.thrower);
            },
            testing::ExitedWithCode(255), stderrIs("", c.shown, false))
            << c.shown;
    }
}

// ---------------------------------------------------------------------------
// Console output before a failure, failures during the report, normal end

void writeThenRaise() {
    runtime::WRTSTR("first line");
    runtime::WRTLN();
    runtime::WRTSTR("no line end yet");
    raiseFrom("STOP");
}

void writeThenFault() {
    runtime::WRTSTR("first line");
    runtime::WRTLN();
    runtime::WRTSTR("no line end yet");
    writeNowhere();
}

void writeThenThrow() {
    runtime::WRTSTR("first line");
    runtime::WRTLN();
    runtime::WRTSTR("no line end yet");
    escape(throwRuntimeError);
}

TEST(FailureDeathTest, ConsoleOutputComesOutBeforeTheReport) {
    struct Case {
        void (*run)();
        const char* shown;
        bool checkSite;
    };
    const Case cases[] = {
        {writeThenRaise, "STOP", true},
        {writeThenFault, "ACCESS_VIOLATION", true},
        {writeThenThrow, "disk on fire", false},
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(
            {
                startChild();
                c.run();
            },
            testing::ExitedWithCode(255),
            stderrIs("first line\r\nno line end yet", c.shown, c.checkSite))
            << c.shown;
    }
}

void raiseSecond() { runtime::RAISEFAIL("SECOND"); }
void faultSecond() {
    volatile std::uintptr_t where = 0;
    __asm__ volatile("movl $0, (%0)" : : "r"(where) : "memory");
}
void throwSecond() { escape(throwRuntimeError); }

// A termination procedure that fails while the first failure is being
// reported: the first report still comes out, once, after the console output,
// and the status stays 255.
TEST(FailureDeathTest, FailureDuringTheReportIsNotReportedAgain) {
    struct Case {
        void (*second)();
        void (*first)();
        const char* shown;
    };
    const Case cases[] = {
        {raiseSecond, writeThenRaise, "STOP"},
        {faultSecond, writeThenRaise, "STOP"},
        {throwSecond, writeThenRaise, "STOP"},
        {raiseSecond, writeThenFault, "ACCESS_VIOLATION"},
        {faultSecond, writeThenFault, "ACCESS_VIOLATION"},
    };
    for (const Case& c : cases) {
        EXPECT_EXIT(
            {
                startChild();
                runtime::onHalt(c.second); // runs before the console flush
                c.first();
            },
            testing::ExitedWithCode(255), stderrIs("first line\r\nno line end yet", c.shown))
            << c.shown;
    }
}

TEST(FailureDeathTest, ReportWithoutARaisedFailureShowsNothing) {
    EXPECT_EXIT(
        {
            startChild();
            runtime::WRTSTR("kept");
            runtime::REPORTFAIL();
        },
        testing::ExitedWithCode(255), testing::Matcher<const std::string&>("kept"));
}

TEST(FailureDeathTest, HaltFlushesTheConsoleAndExitsWithItsStatus) {
    EXPECT_EXIT(
        {
            startChild();
            runtime::WRTSTR("kept");
            runtime::WRTLN();
            runtime::failDone();
            runtime::HALT(0);
        },
        testing::ExitedWithCode(0), testing::Matcher<const std::string&>("kept\r\n"));
}

#if !defined(__SANITIZE_ADDRESS__)
// After failDone a fault takes its default course again. (Skipped under
// AddressSanitizer, whose own handler is the default then.)
TEST(FailureDeathTest, FaildoneRemovesTheHandler) {
    EXPECT_EXIT(
        {
            startChild();
            runtime::failDone();
            writeNowhere();
        },
        testing::KilledBySignal(SIGSEGV), "");
}
#endif

} // namespace
