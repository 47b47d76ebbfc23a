// System input and output: the one place where the program calls read(2) and
// write(2). A transfer goes on after an interrupted call (EINTR) and waits with
// poll(2) on a descriptor that is not ready (EAGAIN), so that nothing is lost
// on a non-blocking pipe or terminal; any other error goes back to the caller.
//
// Ctrl-C on a terminal: once sysCatchInterrupt has run, SIGINT only marks an
// interrupt, which the next read takes instead of waiting on.
//
// Everything here but sysCatchInterrupt is async-signal-safe: the failure
// handler writes through it.
#pragma once

#include <csignal>
#include <cstddef>
#include <span>
#include <sys/types.h>

namespace runtime {

// Writes data from data[done] to its end. done counts every byte written as
// soon as the call that wrote it returns; the signals in hold (none when it is
// null) are blocked from each call until its count is kept, so that a handler
// for them that goes on writing the same data from done writes each byte once.
// Returns 0 when everything is written, otherwise the errno value of the
// failed call (EPIPE only where SIGPIPE is ignored or blocked).
int sysWrite(int fd, std::span<const char> data, std::size_t& done, const sigset_t* hold = nullptr);

enum class SysReadKind { Data, End, Interrupted, Failed };
struct SysReadResult {
    SysReadKind kind = SysReadKind::End;
    std::size_t count = 0; // bytes read, for DATA
    int error = 0;         // errno value, for FAILED
};
// Reads at most into.size() bytes (at least one unless the input has ended).
// A Ctrl-C marked before or during the wait gives INTERRUPTED and is taken.
SysReadResult sysRead(int fd, std::span<char> into);

// Catches SIGINT from here on: it marks an interrupt and ends a read's wait.
void sysCatchInterrupt();
// Forgets a Ctrl-C that came before the program started to wait for a line.
void sysClearInterrupt();
// Whether a Ctrl-C is marked and not yet taken by a read (async-signal-safe).
bool interruptMarked();

// The English text of an errno value ("No space left on device"), or
// "Unknown error" for one without a text. Independent of the locale.
const char* sysErrText(int error);

// Test seam, for faults that cannot be made for real (EIO from a disk or a
// terminal): the read and write calls every transfer above goes through.
struct SysCalls {
    ssize_t (*read)(int fd, void* buf, std::size_t count);
    ssize_t (*write)(int fd, const void* buf, std::size_t count);
};
// Replaces the calls; sysUseRealCalls goes back to read(2) and write(2).
void sysUseCalls(const SysCalls& calls);
void sysUseRealCalls();

} // namespace runtime
