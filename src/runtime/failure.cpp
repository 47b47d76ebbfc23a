// Failure reporting and program end: the floating-point control state, the
// one failure record, its report and HALT with its termination procedures.
#include "runtime/failure.h"

#include "runtime/platform.h"

#include <cstddef>
#include <string_view>
#include <unistd.h>

namespace runtime {
namespace {

constexpr std::uint32_t kSourceReported = 0;   // not a valid identifier
constexpr std::uint32_t kSourceRuntime = 1;    // the runtime's general source
constexpr std::size_t kReportCap = 63;
constexpr std::size_t kMaxHaltProcs = 8;

struct FailState {
    FAILREC rec{};
    std::array<void (*)(), kMaxHaltProcs> haltProcs{};
    std::size_t haltCount = 0;
};
constinit FailState st{};

// Appends s to the report text while there is room.
void appendCut(std::array<char, kReportCap>& text, std::size_t& len, std::string_view s) {
    for (char ch : s) {
        if (len == text.size()) return;
        text[len++] = ch;
    }
}

void hex8(std::uint32_t v, std::array<char, 8>& out) {
    constexpr std::string_view digits = "0123456789ABCDEF";
    for (std::size_t i = 0; i < out.size(); ++i) {
        out[out.size() - 1 - i] = digits[v & 0xFu];
        v >>= 4;
    }
}

// Runs the registered termination procedures, last registered first, each once.
void runHaltProcs() {
    while (st.haltCount > 0) {
        void (*proc)() = st.haltProcs[--st.haltCount];
        proc();
    }
}

} // namespace

void FPINIT() {
#if defined(__x86_64__) || defined(__i386__)
    // x87: all exceptions masked, 64-bit significand, round to nearest.
    const unsigned short x87 = 0x037F;
    __asm__ volatile("fldcw %0" : : "m"(x87));
    // SSE: all exceptions masked, round to nearest, no flush-to-zero.
    const unsigned int mxcsr = 0x1F80;
    __asm__ volatile("ldmxcsr %0" : : "m"(mxcsr));
#endif
}

void FAILINIT() {}

void FAILDONE() {}

void RAISEFAIL(std::span<const char> message) {
    FAILREC& rec = st.rec;
    rec.source = kSourceRuntime;
    std::size_t n = 0;
    while (n < message.size() && n < kFailMessageCap && message[n] != '\0') {
        rec.message[n] = message[n];
        ++n;
    }
    rec.message[n] = '\0';
    auto addr = reinterpret_cast<std::uintptr_t>(__builtin_return_address(0));
    rec.codeaddr = static_cast<std::uint32_t>(addr & 0xFFFFFFFFu);
    REPORTFAIL();
}

void REPORTFAIL() {
    FAILREC& rec = st.rec;
    runHaltProcs(); // the console output so far comes before the report
    if (rec.source != kSourceReported) {
        rec.source = kSourceReported; // never shown twice
        std::array<char, kReportCap> text{};
        std::size_t len = 0;
        std::array<char, 8> addr{};
        hex8(rec.codeaddr, addr);
        appendCut(text, len, "at ");
        appendCut(text, len, std::string_view(addr.data(), addr.size()));
        appendCut(text, len, " -> ");
        std::size_t mlen = 0;
        while (mlen < kFailMessageCap && rec.message[mlen] != '\0') ++mlen;
        appendCut(text, len, std::string_view(rec.message.data(), mlen));
        PLATREPORT("Unhandled exception", std::string_view(text.data(), len));
    }
    ::_exit(255);
}

void ONHALT(void (*proc)()) {
    if (st.haltCount < st.haltProcs.size()) st.haltProcs[st.haltCount++] = proc;
}

void HALT(int status) {
    runHaltProcs();
    ::_exit(status);
}

} // namespace runtime
