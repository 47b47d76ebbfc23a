// System input and output: write everything, read what is there, wait in
// poll(2) when a descriptor is not ready, and the Ctrl-C mark.
#include "runtime/sysio.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <unistd.h>

namespace runtime {
namespace {

constexpr SysCalls kRealCalls{::read, ::write};

struct SysState {
    SysCalls calls = kRealCalls;
    volatile std::sig_atomic_t interrupted = 0;
    bool catching = false;
};
constinit SysState st{};

void onInterrupt(int) { st.interrupted = 1; }

// Takes the Ctrl-C mark, if there is one.
bool takeInterrupt() {
    if (st.interrupted == 0) return false;
    st.interrupted = 0;
    return true;
}

// Waits until fd is ready for events (or has an error or a hang-up, which the
// next call then reports). Returns 0, or the errno value of a failed poll;
// EINTR when a signal ended the wait.
int waitReady(int fd, short events) {
    pollfd p{fd, events, 0};
    return ::poll(&p, 1, -1) < 0 ? errno : 0;
}

} // namespace

int sysWrite(int fd, std::span<const char> data, std::size_t& done, const sigset_t* hold) {
    while (done < data.size()) {
        sigset_t saved;
        if (hold != nullptr) ::sigprocmask(SIG_BLOCK, hold, &saved);
        const ssize_t n = st.calls.write(fd, data.data() + done, data.size() - done);
        const int error = n < 0 ? errno : 0;
        if (n > 0) done += static_cast<std::size_t>(n);
        // The count is in memory before a held signal can reach its handler.
        std::atomic_signal_fence(std::memory_order_seq_cst);
        if (hold != nullptr) ::sigprocmask(SIG_SETMASK, &saved, nullptr);
        if (n > 0 || error == EINTR) continue;
        if (n == 0 || error == EAGAIN || error == EWOULDBLOCK) {
            const int waitError = waitReady(fd, POLLOUT);
            if (waitError != 0 && waitError != EINTR) return waitError;
            continue;
        }
        return error;
    }
    return 0;
}

SysReadResult sysRead(int fd, std::span<char> into) {
    for (;;) {
        if (takeInterrupt()) return {SysReadKind::Interrupted, 0, 0};
        const ssize_t n = st.calls.read(fd, into.data(), into.size());
        if (n > 0) return {SysReadKind::Data, static_cast<std::size_t>(n), 0};
        if (n == 0) return {SysReadKind::End, 0, 0};
        const int error = errno;
        if (error == EINTR) continue;
        if (error != EAGAIN && error != EWOULDBLOCK) return {SysReadKind::Failed, 0, error};
        const int waitError = waitReady(fd, POLLIN);
        if (waitError != 0 && waitError != EINTR) return {SysReadKind::Failed, 0, waitError};
    }
}

void sysCatchInterrupt() {
    if (st.catching) return;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    action.sa_flags = 0; // no SA_RESTART: a waiting read must end
    sigemptyset(&action.sa_mask);
    st.catching = ::sigaction(SIGINT, &action, nullptr) == 0;
}

void sysClearInterrupt() { st.interrupted = 0; }

bool interruptMarked() { return st.interrupted != 0; }

const char* sysErrText(int error) {
    // strerrordesc_np reads a constant table: no locale, no buffer, safe in
    // a signal handler.
    const char* text = ::strerrordesc_np(error);
    return text != nullptr ? text : "Unknown error";
}

void sysUseCalls(const SysCalls& calls) { st.calls = calls; }

void sysUseRealCalls() { st.calls = kRealCalls; }

} // namespace runtime
