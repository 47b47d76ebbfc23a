// The terminal's signals while the line editor is on: stop and continue,
// window changes, and the signals that end the process, each handled for
// this process alone (see termsignals.h).
#include "runtime/lineedit/termsignals.h"

#include <array>
#include <cerrno>
#include <unistd.h>

namespace runtime::termsig {
namespace {

// Default action: stop the process.
constexpr std::array<int, 3> kStopSignals = {SIGTSTP, SIGTTIN, SIGTTOU};
// Default action: end the process (the faults SIGSEGV, SIGBUS, SIGILL, SIGFPE,
// SIGABRT, SIGTRAP and SIGSYS are the failure handler's; SIGINT marks a
// Ctrl-C once the first line is read). The real-time signals come on top.
constexpr std::array<int, 14> kEndSignals = {SIGHUP,  SIGQUIT, SIGTERM,   SIGUSR1,   SIGUSR2,
                                             SIGALRM, SIGXCPU, SIGXFSZ,   SIGVTALRM, SIGPROF,
                                             SIGIO,   SIGPIPE, SIGSTKFLT, SIGPWR};

struct SigState {
    termios shell{};
    termios editor{};
    volatile std::sig_atomic_t inEditor = 0;
    volatile std::sig_atomic_t resized = 0;
    volatile std::sig_atomic_t continued = 0;
    bool installed = false;
    sigset_t events{};
    sigset_t handled{}; // held off while any of the handlers runs
};
constinit SigState st{};

bool inForeground() { return ::tcgetpgrp(0) == ::getpgrp(); }

// Back from a stop: the editor's modes again if the line is still being
// edited and the terminal is ours (not after "bg"), and a redraw.
void resume() {
    if (st.inEditor != 0 && inForeground()) ::tcsetattr(0, TCSANOW, &st.editor);
    st.continued = 1;
}

// Sets sig to its default action, lets it in and sends it to this process.
void defaultAction(int sig) {
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    ::sigaction(sig, &dfl, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, sig);
    ::sigprocmask(SIG_UNBLOCK, &only, nullptr);
    ::kill(::getpid(), sig);
}

void onStop(int sig) {
    const int savedErrno = errno;
    // SIGTTOU is held off here, so this works in the background too.
    restoreShellModes();
    sigset_t mask;
    ::sigprocmask(SIG_BLOCK, nullptr, &mask);
    struct sigaction mine {};
    ::sigaction(sig, nullptr, &mine);
    defaultAction(sig); // stops here until continued
    ::sigprocmask(SIG_SETMASK, &mask, nullptr);
    ::sigaction(sig, &mine, nullptr);
    resume();
    errno = savedErrno;
}

void onContinue(int) {
    const int savedErrno = errno;
    resume();
    errno = savedErrno;
}

void onResize(int) { st.resized = 1; }

void onEnd(int sig) {
    restoreShellModes();
    defaultAction(sig);
    ::_exit(128 + sig); // not reached: the default action has ended the process
}

// Installs handler for sig; unless always, only where sig has its default
// action (a signal ignored or handled by whoever started the program stays so).
void catchSignal(int sig, void (*handler)(int), bool always) {
    struct sigaction old {};
    if (::sigaction(sig, nullptr, &old) != 0) return;
    const bool isDefault = (old.sa_flags & SA_SIGINFO) == 0 && old.sa_handler == SIG_DFL;
    if (!always && !isDefault) return;
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_mask = st.handled;
    action.sa_flags = SA_RESTART;
    ::sigaction(sig, &action, nullptr);
}

} // namespace

void install(const termios& shell) {
    if (st.installed) return;
    st.installed = true;
    st.shell = shell;
    sigemptyset(&st.events);
    sigaddset(&st.events, SIGWINCH);
    sigaddset(&st.events, SIGCONT);
    sigaddset(&st.events, SIGINT); // the Ctrl-C mark ends a wait too
    st.handled = st.events;
    for (int sig : kStopSignals) sigaddset(&st.handled, sig);
    for (int sig : kEndSignals) sigaddset(&st.handled, sig);
    for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig) sigaddset(&st.handled, sig);

    catchSignal(SIGWINCH, onResize, true);
    catchSignal(SIGCONT, onContinue, true);
    for (int sig : kStopSignals) catchSignal(sig, onStop, false);
    for (int sig : kEndSignals) catchSignal(sig, onEnd, false);
    for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig) catchSignal(sig, onEnd, false);
}

void editorModesOn(const termios& editor) {
    st.editor = editor;
    st.inEditor = 1;
}

void editorModesOff() { st.inEditor = 0; }

void restoreShellModes() {
    if (st.inEditor != 0) ::tcsetattr(0, TCSANOW, &st.shell);
}

bool takeResized() {
    if (st.resized == 0) return false;
    st.resized = 0;
    return true;
}

bool takeContinued() {
    if (st.continued == 0) return false;
    st.continued = 0;
    return true;
}

const sigset_t& eventSignals() { return st.events; }

} // namespace runtime::termsig
