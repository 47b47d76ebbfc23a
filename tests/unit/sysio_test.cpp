// System input and output at the system-call seam, for what cannot be made
// for real around the program (the real faults are in tests/io): a write
// that is cut short, interrupted or refused goes on from the right byte, and
// an input/output error (EIO) on either console channel is reported as one
// line with status 255, before a failure report already under way.
#include "runtime/console.h"
#include "runtime/failure.h"
#include "runtime/sysio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// What the scripted write call does, one step per call: a count to take, or
// an errno value to fail with.
struct Step {
    int take = 0;
    int error = 0;
};
std::vector<Step> gScript;
std::size_t gNext = 0;
std::string gWritten;

ssize_t scriptedWrite(int, const void* buf, std::size_t count) {
    const Step step = gNext < gScript.size() ? gScript[gNext++] : Step{1 << 20, 0};
    if (step.error != 0) {
        errno = step.error;
        return -1;
    }
    const std::size_t n = std::min(count, static_cast<std::size_t>(step.take));
    gWritten.append(static_cast<const char*>(buf), n);
    return static_cast<ssize_t>(n);
}

TEST(SysWrite, GoesOnFromTheCountAndStopsAtAnError) {
    struct Case {
        const char* what;
        std::size_t from; // bytes already written before the call
        std::vector<Step> script;
        std::string written;
        int result;
    };
    const std::string data = "0123456789";
    const Case cases[] = {
        {"cut short, interrupted, not ready",
         0,
         {{3, 0}, {0, EINTR}, {0, EAGAIN}, {2, 0}},
         "0123456789",
         0},
        {"from the middle", 6, {}, "6789", 0},
        {"already all written", 10, {}, "", 0},
        {"an error after part", 0, {{4, 0}, {0, EIO}}, "0123", EIO},
        {"no room at all", 0, {{0, ENOSPC}}, "", ENOSPC},
    };
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0); // writable, for the wait after EAGAIN
    for (const Case& c : cases) {
        gScript = c.script;
        gNext = 0;
        gWritten.clear();
        runtime::sysUseCalls({::read, scriptedWrite});
        std::size_t done = c.from;
        const int result = runtime::sysWrite(fds[1], data, done);
        runtime::sysUseRealCalls();
        EXPECT_EQ(gWritten, c.written) << c.what;
        EXPECT_EQ(result, c.result) << c.what;
        EXPECT_EQ(done, c.from + c.written.size()) << c.what;
    }
    ::close(fds[0]);
    ::close(fds[1]);
}

// Standard output (and only it) fails with EIO.
ssize_t outputFails(int fd, const void* buf, std::size_t count) {
    if (fd != 1) return ::write(fd, buf, count);
    errno = EIO;
    return -1;
}

ssize_t inputFails(int, void*, std::size_t) {
    errno = EIO;
    return -1;
}

// In the child: standard output joins standard error (the capture shows the
// order of both) before the seam takes over.
void startChild(const runtime::SysCalls& calls) {
    runtime::conFlush();
    ::dup2(2, 1);
    runtime::conUseStdio();
    runtime::conInit();
    runtime::failInit();
    runtime::sysUseCalls(calls);
}

TEST(SysIoDeathTest, InputOutputErrorsAreReportedOnce) {
    const std::string eio = "Input/output error\n";
    EXPECT_EXIT(
        {
            startChild({inputFails, ::write});
            runtime::WRTSTR("prompt: ");
            (void)runtime::conAtEnd();
        },
        testing::ExitedWithCode(255),
        testing::Matcher<const std::string&>("prompt: rpncalc: cannot read standard input: " + eio))
        << "read";
    EXPECT_EXIT(
        {
            startChild({::read, outputFails});
            runtime::WRTSTR("lost");
            runtime::conFlush();
            runtime::WRTSTR("never tried");
            runtime::HALT(0);
        },
        testing::ExitedWithCode(255),
        testing::Matcher<const std::string&>("rpncalc: cannot write standard output: " + eio))
        << "write";
    // The flush of a failure's report fails: both are shown, the write first.
    EXPECT_EXIT(
        {
            startChild({::read, outputFails});
            runtime::WRTSTR("lost");
            runtime::RAISEFAIL("STOP");
        },
        testing::ExitedWithCode(255),
        testing::ContainsRegex("^rpncalc: cannot write standard output: Input/output error\n"
                               "Unhandled exception\nat [0-9A-F]{8} -> STOP\n$"))
        << "write during a report";
}

} // namespace
