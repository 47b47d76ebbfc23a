// Line editing on libedit: emacs-style keys, cursor keys, and Up/Down through
// the lines typed earlier in this run. No start-up file is read and no
// history file is kept: the history lives in memory and ends with the run.
//
// The keys are read here, not by libedit, so that a read goes through the
// program's own input rules: a failed read is reported, a non-blocking
// terminal is waited on, and Ctrl-C ends the wait.
#include "runtime/lineedit.h"

#include "runtime/failure.h"
#include "runtime/sysio.h"

#include <array>
#include <cerrno>
#include <climits>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cwchar>
#include <histedit.h>
#include <termios.h>
#include <unistd.h>

namespace runtime {
namespace {

// Enough to call back a long session; the oldest lines go first.
constexpr int kHistoryLines = 500;

struct EditState {
    EditLine* el = nullptr;
    History* hist = nullptr;
    HistEvent ev{};
    std::array<char, kEditPromptCap + 1> prompt{}; // NUL-terminated
    // The terminal's modes before the editor changed them, put back on every
    // way out while the editor may hold the terminal in its own modes.
    termios saved{};
    volatile std::sig_atomic_t editorModes = 0;
    // What ended the last key read: a Ctrl-C, or a failed read (its errno).
    bool interrupted = false;
    int readError = 0;
    std::array<char, MB_LEN_MAX> pending{}; // bytes of a character not yet complete
    std::size_t pendingLen = 0;
};
constinit EditState st{};

// libedit asks for the prompt each time it draws the line, redraws included.
char* promptText(EditLine*) { return st.prompt.data(); }

// Lines of blanks end the dialogue: not worth calling back.
bool isBlank(std::span<const char> line) {
    for (char ch : line) {
        if (ch != ' ') return false;
    }
    return true;
}

// A termination procedure: async-signal-safe (tcsetattr only).
void restoreTerminal() {
    if (st.editorModes != 0) ::tcsetattr(0, TCSANOW, &st.saved);
}

// The editor's messages (such as an unknown terminal type) go nowhere:
// standard error is for failure reports, and the editor falls back to a
// plain terminal by itself.
ssize_t discard(void*, const char*, std::size_t size) { return static_cast<ssize_t>(size); }

FILE* nowhere() {
    cookie_io_functions_t io{};
    io.write = discard;
    return ::fopencookie(nullptr, "w", io);
}

// Decodes the bytes read so far by the user's locale. Returns 1 with a
// character, 0 when more bytes are needed. A byte that cannot start or
// continue a character is dropped, as libedit's own reader does.
int decode(EditState& s, wchar_t* ch) {
    while (s.pendingLen > 0) {
        std::mbstate_t state{};
        const std::size_t used = std::mbrtowc(ch, s.pending.data(), s.pendingLen, &state);
        if (used == static_cast<std::size_t>(-2)) {
            if (s.pendingLen < s.pending.size()) return 0;
            s.pendingLen = 0; // longer than any character: dropped
            return 0;
        }
        if (used != static_cast<std::size_t>(-1)) {
            s.pendingLen = 0;
            return 1; // a NUL gives the character 0, which libedit keeps
        }
        // Invalid: the last byte may still start a character of its own.
        if (s.pendingLen == 1) {
            s.pendingLen = 0;
            return 0;
        }
        s.pending[0] = s.pending[s.pendingLen - 1];
        s.pendingLen = 1;
    }
    return 0;
}

// libedit's key reader: 1 with a character, 0 at the end of the input, -1
// after a Ctrl-C or a failed read (which EDITREAD then handles).
int readKey(EditLine*, wchar_t* ch) {
    EditState& s = st;
    *ch = L'\0';
    for (;;) {
        char byte = 0;
        const SYSREADRESULT got = SYSREAD(0, std::span<char>(&byte, 1));
        switch (got.kind) {
        case SYSREADKIND::DATA:
            s.pending[s.pendingLen++] = byte;
            if (decode(s, ch) == 1) return 1;
            continue;
        case SYSREADKIND::END:
            s.pendingLen = 0;
            return 0;
        case SYSREADKIND::INTERRUPTED:
            s.interrupted = true;
            s.pendingLen = 0;
            errno = EINTR;
            return -1;
        case SYSREADKIND::FAILED:
            s.readError = got.error;
            errno = got.error;
            return -1;
        }
    }
}

// After Ctrl-C: the line typed so far is dropped; a line end moves the fresh
// prompt below it.
void newLineAfterInterrupt() {
    constexpr char kLineEnd[] = {'\r', '\n'};
    std::size_t done = 0;
    const int error = SYSWRITE(1, kLineEnd, done);
    if (error != 0) IOFAIL(IOCHANNEL::OUTPUT, error);
}

} // namespace

bool EDITSTART() {
    EditState& s = st;
    if (s.el != nullptr) return true;
    if (::isatty(0) != 1 || ::isatty(1) != 1) return false;
    if (::tcgetattr(0, &s.saved) != 0) return false;
    // The editor decodes what the terminal sends by the character type of the
    // user's locale; in the default "C" locale it would drop every byte from
    // 128 on. Nothing else of the program depends on the locale.
    std::setlocale(LC_CTYPE, "");
    History* hist = history_init();
    if (hist == nullptr) return false;
    history(hist, &s.ev, H_SETSIZE, kHistoryLines);
    history(hist, &s.ev, H_SETUNIQUE, 1); // Up, Enter does not fill the history with copies
    FILE* errors = nowhere();
    // The name is only used to look up start-up files, which are never read.
    EditLine* el = el_init("rpncalc", stdin, stdout, errors != nullptr ? errors : stderr);
    if (el == nullptr) {
        history_end(hist);
        return false;
    }
    el_set(el, EL_EDITOR, "emacs");
    el_set(el, EL_SIGNAL, 1); // restores the terminal on Ctrl-Z and kill, redraws after a resize
    el_set(el, EL_GETCFN, readKey);
    el_set(el, EL_PROMPT, promptText);
    el_set(el, EL_HIST, history, hist);
    s.el = el;
    s.hist = hist;
    ONHALT(restoreTerminal);
    return true;
}

bool EDITREAD(std::span<const char> prompt, std::span<const char>& text) {
    EditState& s = st;
    text = {};
    if (s.el == nullptr) return false;
    std::size_t n = 0;
    for (char ch : prompt) {
        if (n == kEditPromptCap || ch == '\0') break;
        s.prompt[n++] = ch;
    }
    s.prompt[n] = '\0';

    SYSCLEARINTERRUPT(); // a Ctrl-C before the prompt showed discards nothing
    int count = 0;
    const char* line = nullptr;
    for (;;) {
        s.interrupted = false;
        s.readError = 0;
        // The terminal goes into editing mode before the prompt is drawn, so
        // that keys typed as soon as it shows are already the editor's.
        s.editorModes = 1;
        el_set(s.el, EL_PREP_TERM, 1);
        errno = 0;
        line = el_gets(s.el, &count);
        s.editorModes = 0; // el_gets has put the terminal back
        if (line != nullptr && count > 0) break;
        if (s.interrupted) {
            newLineAfterInterrupt();
            continue;
        }
        if (s.readError != 0) IOFAIL(IOCHANNEL::INPUT, s.readError);
        if (count < 0 && errno == EINTR && s.readError == 0) continue;
        return false;
    }

    // The text ends at its line end, or at a NUL typed into it (libedit's own
    // copy of the line stops there), and never past the count.
    std::size_t len = 0;
    const auto limit = static_cast<std::size_t>(count);
    while (len < limit && line[len] != '\0' && line[len] != '\n') ++len;
    std::span<const char> got(line, len);
    if (!isBlank(got)) history(s.hist, &s.ev, H_ENTER, line);
    text = got;
    return true;
}

} // namespace runtime
