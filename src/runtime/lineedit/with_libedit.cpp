// Line editing on libedit: emacs-style keys, cursor keys, and Up/Down through
// the lines typed earlier in this run. No start-up file is read and no
// history file is kept: the history lives in memory and ends with the run.
#include "runtime/lineedit.h"

#include <array>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <histedit.h>
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

} // namespace

bool EDITSTART() {
    EditState& s = st;
    if (s.el != nullptr) return true;
    if (::isatty(0) != 1 || ::isatty(1) != 1) return false;
    // The editor decodes what the terminal sends by the character type of the
    // user's locale; in the default "C" locale it would drop every byte from
    // 128 on. Nothing else of the program depends on the locale.
    std::setlocale(LC_CTYPE, "");
    History* hist = history_init();
    if (hist == nullptr) return false;
    history(hist, &s.ev, H_SETSIZE, kHistoryLines);
    history(hist, &s.ev, H_SETUNIQUE, 1); // Up, Enter does not fill the history with copies
    // The name is only used to look up start-up files, which are never read.
    EditLine* el = el_init("rpncalc", stdin, stdout, stderr);
    if (el == nullptr) {
        history_end(hist);
        return false;
    }
    el_set(el, EL_EDITOR, "emacs");
    el_set(el, EL_SIGNAL, 1); // restores the terminal on Ctrl-C, redraws after a resize
    el_set(el, EL_PROMPT, promptText);
    el_set(el, EL_HIST, history, hist);
    s.el = el;
    s.hist = hist;
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

    int count = 0;
    const char* line = nullptr;
    do {
        // The terminal goes into editing mode before the prompt is drawn, so
        // that keys typed as soon as it shows are already the editor's.
        el_set(s.el, EL_PREP_TERM, 1);
        errno = 0;
        line = el_gets(s.el, &count);
    } while (line == nullptr && count < 0 && errno == EINTR);
    if (line == nullptr || count <= 0) return false;

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
