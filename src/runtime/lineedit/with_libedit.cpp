// Line editing on libedit: emacs-style keys, cursor keys, and Up/Down through
// the lines typed earlier in this run. No start-up file is read and no
// history file is kept: the history lives in memory and ends with the run.
//
// The keys are read here, not by libedit, so that a read goes through the
// program's own input rules: a failed read is reported, a non-blocking
// terminal is waited on, and Ctrl-C ends the wait. Every byte typed reaches
// the line: a byte the locale cannot decode goes through as itself, so the
// line holds what a pipe would have read. The terminal's signals are this
// program's own (termsignals.h), not libedit's.
#include "runtime/lineedit.h"

#include "runtime/failure.h"
#include "runtime/lineedit/termsignals.h"
#include "runtime/sysio.h"

#include <array>
#include <cerrno>
#include <climits>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <histedit.h>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace runtime {
namespace {

// Enough to call back a long session; the oldest lines go first.
constexpr int kHistoryLines = 500;
// The editor keeps two character grids of the window's size: a larger window
// is read in plain lines (its grids would cost up to gigabytes).
constexpr unsigned kMaxColumns = 1024;
constexpr unsigned kMaxRows = 512;
// The size libedit takes when the terminal does not say.
constexpr unsigned short kDefaultColumns = 80;
constexpr unsigned short kDefaultRows = 24;
// What the editor needs besides its grids: terminal description, key maps,
// line and history buffers, with a margin.
constexpr std::size_t kEditorRoom = std::size_t{1} << 20;
// A byte b the locale cannot decode goes to the editor as kByteEscape + b: a
// surrogate code point, which no decoded character can be.
constexpr wchar_t kByteEscape = 0xDC00;
constexpr wchar_t kByteEscapeLast = kByteEscape + 0xFF;

struct EditState {
    EditLine* el = nullptr;
    HistoryW* hist = nullptr;
    HistEventW ev{};
    bool on = false;          // editStart found two terminals
    bool startFailed = false; // the editor could not be made: plain lines for good
    // NUL-terminated, wide: libedit would otherwise convert it (allocating) on
    // every redraw.
    std::array<wchar_t, kEditPromptCap + 1> prompt{};
    // The terminal's modes before the editor changed them.
    termios saved{};
    // What ended the last key read: a Ctrl-C, or a failed read (its errno).
    bool interrupted = false;
    int readError = 0;
    std::array<char, MB_LEN_MAX> pending{}; // bytes of a character not yet complete
    std::size_t pendingLen = 0;
    std::array<wchar_t, MB_LEN_MAX> ready{}; // decoded, not yet handed to the editor
    std::size_t readyHead = 0;
    std::size_t readyLen = 0;
    std::size_t gridCells = 0; // the largest window found room for so far
};
constinit EditState st{};
// The bytes of the last line read (apart: not every compiler can
// constant-initialise a std::string); its room is kept from line to line.
std::string lineBytes;

// libedit asks for the prompt each time it draws the line, redraws included.
wchar_t* promptText(EditLine*) { return st.prompt.data(); }

// Lines of blanks end the dialogue: not worth calling back.
bool isBlank(std::span<const char> line) {
    for (char ch : line) {
        if (ch != ' ') return false;
    }
    return true;
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

// Whether the window is small enough for the editor (an unknown size is),
// and there is room for the editor's two character grids of its size and
// for kEditorRoom besides. libedit does not survive running out of memory
// half-way (it goes on with null buffers), so it is not asked to try.
bool windowFits() {
    winsize ws{};
    if (::ioctl(0, TIOCGWINSZ, &ws) != 0) ws = winsize{kDefaultRows, kDefaultColumns, 0, 0};
    if (ws.ws_col > kMaxColumns || ws.ws_row > kMaxRows) return false;
    const std::size_t cells = (std::size_t{ws.ws_row} + 1) * (std::size_t{ws.ws_col} + 1);
    if (cells <= st.gridCells) return true; // no larger than grids it has had
    void* room = std::malloc(2 * cells * sizeof(wchar_t) + kEditorRoom);
    std::free(room);
    if (room != nullptr) st.gridCells = cells;
    return room != nullptr;
}

bool isByteEscape(wchar_t ch) { return ch >= kByteEscape && ch <= kByteEscapeLast; }

// Decodes the pending bytes by the user's locale onto the ready queue. A byte
// that cannot start a character (with the bytes after it) goes as itself;
// bytes that may still start one stay pending.
void decode(EditState& s) {
    while (s.pendingLen > 0) {
        wchar_t ch = 0;
        std::mbstate_t state{};
        const std::size_t used = std::mbrtowc(&ch, s.pending.data(), s.pendingLen, &state);
        const bool incomplete = used == static_cast<std::size_t>(-2);
        if (incomplete && s.pendingLen < s.pending.size()) return;
        std::size_t take = used == 0 ? 1 : used; // a NUL gives the character 0
        if (incomplete || used == static_cast<std::size_t>(-1) || isByteEscape(ch)) {
            ch = static_cast<wchar_t>(kByteEscape + static_cast<unsigned char>(s.pending[0]));
            take = 1;
        }
        s.ready[s.readyLen++] = ch;
        s.pendingLen -= take;
        for (std::size_t i = 0; i < s.pendingLen; ++i) s.pending[i] = s.pending[take + i];
    }
}

// After a continue or a window change: the editor takes the new size (unless
// it is too large: the old one is kept) and draws the line again.
void redraw(EditLine* el, bool resized) {
    if (resized && windowFits()) el_resize(el);
    el_set(el, EL_REFRESH);
}

// Waits for a key, a Ctrl-C or a terminal event; the event signals are let in
// only inside the wait, so that none comes between the look and the wait.
// Returns false when an event came, for the caller to handle it first.
bool waitForKey(bool& continued, bool& resized) {
    sigset_t old;
    ::sigprocmask(SIG_BLOCK, &termsig::eventSignals(), &old);
    continued = termsig::takeContinued();
    resized = termsig::takeResized();
    bool go = continued || resized || interruptMarked();
    if (!go) {
        pollfd p{0, POLLIN, 0};
        go = ::ppoll(&p, 1, nullptr, &old) >= 0 || errno != EINTR; // errors: the read reports
    }
    ::sigprocmask(SIG_SETMASK, &old, nullptr);
    return go && !continued && !resized;
}

// libedit's key reader: 1 with a character, 0 at the end of the input, -1
// after a Ctrl-C or a failed read (which editRead then handles).
int readKey(EditLine* el, wchar_t* ch) {
    EditState& s = st;
    *ch = L'\0';
    for (;;) {
        if (s.readyHead < s.readyLen) {
            *ch = s.ready[s.readyHead++];
            return 1;
        }
        s.readyHead = s.readyLen = 0;
        bool continued = false;
        bool resized = false;
        if (!waitForKey(continued, resized)) {
            if (continued || resized) redraw(el, resized);
            continue;
        }
        char byte = 0;
        const SysReadResult got = sysRead(0, std::span<char>(&byte, 1));
        switch (got.kind) {
        case SysReadKind::Data:
            s.pending[s.pendingLen++] = byte;
            decode(s);
            continue;
        case SysReadKind::End:
            s.pendingLen = 0;
            return 0;
        case SysReadKind::Interrupted:
            s.interrupted = true;
            s.pendingLen = 0;
            errno = EINTR;
            return -1;
        case SysReadKind::Failed:
            s.readError = got.error;
            errno = got.error;
            return -1;
        }
    }
}

// The line as bytes, up to its line end or a NUL typed into it: each
// character in the locale's encoding, each byte escape as its byte.
void toBytes(const wchar_t* line, std::size_t count, std::string& out) {
    out.clear();
    std::mbstate_t state{};
    std::array<char, MB_LEN_MAX> buf{};
    for (std::size_t i = 0; i < count && line[i] != L'\0' && line[i] != L'\n'; ++i) {
        if (isByteEscape(line[i])) {
            out.push_back(static_cast<char>(line[i] - kByteEscape));
            continue;
        }
        const std::size_t n = std::wcrtomb(buf.data(), line[i], &state);
        if (n != static_cast<std::size_t>(-1)) out.append(buf.data(), n);
    }
}

// After Ctrl-C: the line typed so far is dropped; a line end moves the fresh
// prompt below it.
void newLineAfterInterrupt() {
    constexpr char kLineEnd[] = {'\r', '\n'};
    std::size_t done = 0;
    const int error = sysWrite(1, kLineEnd, done);
    if (error != 0) ioFail(IoChannel::Output, error);
}

// Makes the editor. False when it cannot be made (no memory, say): the
// terminal is then read in plain lines.
bool startEditor(EditState& s) {
    HistoryW* hist = history_winit();
    if (hist == nullptr) return false;
    history_w(hist, &s.ev, H_SETSIZE, kHistoryLines);
    history_w(hist, &s.ev, H_SETUNIQUE, 1); // Up, Enter does not fill the history with copies
    FILE* errors = nowhere();
    // The name is only used to look up start-up files, which are never read.
    EditLine* el = el_init("rpncalc", stdin, stdout, errors != nullptr ? errors : stderr);
    if (el == nullptr) {
        history_wend(hist);
        if (errors != nullptr) std::fclose(errors);
        return false;
    }
    // Wide arguments: a narrow one is converted in a buffer that libedit
    // allocates and does not check.
    el_wset(el, EL_EDITOR, L"emacs");
    el_set(el, EL_SIGNAL, 0); // the signals are this program's own
    el_set(el, EL_GETCFN, readKey);
    el_wset(el, EL_PROMPT, promptText);
    el_wset(el, EL_HIST, history_w, hist);
    s.el = el;
    s.hist = hist;
    return true;
}

} // namespace

bool editStart() {
    EditState& s = st;
    if (s.on) return true;
    if (::isatty(0) != 1 || ::isatty(1) != 1) return false;
    if (::tcgetattr(0, &s.saved) != 0) return false;
    // The editor decodes what the terminal sends by the character type of the
    // user's locale. Nothing else of the program depends on the locale.
    std::setlocale(LC_CTYPE, "");
    termsig::install(s.saved);
    onHalt(termsig::restoreShellModes);
    s.on = true;
    return true;
}

bool editReady() {
    EditState& s = st;
    if (!s.on || s.startFailed || !windowFits()) return false;
    // Made at the first line that fits: a window too large at start costs nothing.
    if (s.el == nullptr && !startEditor(s)) s.startFailed = true;
    return s.el != nullptr;
}

bool editRead(std::span<const char> prompt, std::span<const char>& text) {
    EditState& s = st;
    text = {};
    if (s.el == nullptr) return false;
    std::size_t n = 0;
    for (char ch : prompt) {
        if (n == kEditPromptCap || ch == '\0') break;
        const auto code = static_cast<unsigned char>(ch);
        s.prompt[n++] = code < 0x80 ? static_cast<wchar_t>(code) : kByteEscape + code;
    }
    s.prompt[n] = L'\0';

    sysClearInterrupt(); // a Ctrl-C before the prompt showed discards nothing
    int count = 0;
    const wchar_t* line = nullptr;
    for (;;) {
        s.interrupted = false;
        s.readError = 0;
        // The terminal goes into editing mode before the prompt is drawn, so
        // that keys typed as soon as it shows are already the editor's. No
        // signal comes between the switch and the note of it, but a stop (from
        // the background: the switch waits for the foreground) and a fault.
        sigset_t held;
        sigset_t old;
        sigfillset(&held);
        for (int sig : {SIGTSTP, SIGTTIN, SIGTTOU, SIGSEGV, SIGBUS, SIGILL, SIGFPE}) {
            sigdelset(&held, sig);
        }
        ::sigprocmask(SIG_BLOCK, &held, &old);
        el_set(s.el, EL_PREP_TERM, 1);
        termios editor{};
        ::tcgetattr(0, &editor);
        termsig::editorModesOn(editor);
        (void)termsig::takeContinued(); // el_wgets draws the line for the size of now
        (void)termsig::takeResized();
        ::sigprocmask(SIG_SETMASK, &old, nullptr);
        errno = 0;
        line = el_wgets(s.el, &count);
        termsig::editorModesOff(); // el_wgets has put the terminal back
        if (line != nullptr && count > 0) break;
        if (s.interrupted) {
            newLineAfterInterrupt();
            continue;
        }
        if (s.readError != 0) ioFail(IoChannel::Input, s.readError);
        if (count < 0 && errno == EINTR && s.readError == 0) continue;
        return false;
    }

    toBytes(line, static_cast<std::size_t>(count), lineBytes);
    std::span<const char> got(lineBytes.data(), lineBytes.size());
    if (!isBlank(got)) history_w(s.hist, &s.ev, H_ENTER, line);
    text = got;
    return true;
}

} // namespace runtime
