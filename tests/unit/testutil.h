// Small helpers shared by the unit tests: the fresh start, console capture
// and TEXTBUF setup.
#pragma once

#include "calc/startup.h"
#include "runtime/console.h"
#include "text/textbuf.h"

#include <string>
#include <string_view>

namespace testutil {

// Every module in its starting state, as the program starts it; the console
// and the signal handling stay the test's own.
inline void freshStart() { calc::startModules(calc::StartFor::Library); }

// Points the console at memory for the lifetime of the object.
struct CapturedConsole {
    explicit CapturedConsole(std::string_view input = {}) { runtime::conUseMemory(input); }
    ~CapturedConsole() { runtime::conUseStdio(); }
    CapturedConsole(const CapturedConsole&) = delete;
    CapturedConsole& operator=(const CapturedConsole&) = delete;
    std::string take() { return runtime::conTakeOutput(); }
};

// A TEXTBUF holding s, NUL-terminated when shorter than 256, with COUNT and
// ORIGCNT set to its length.
inline text::TEXTBUF makeBuf(std::string_view s) {
    text::TEXTBUF b{};
    std::size_t n = s.size() < b.CHARS.size() ? s.size() : b.CHARS.size();
    for (std::size_t i = 0; i < n; ++i) b.CHARS[i] = s[i];
    if (n < b.CHARS.size()) b.CHARS[n] = '\0';
    b.COUNT = static_cast<std::uint32_t>(n);
    b.ORIGCNT = b.COUNT;
    return b;
}

// The text of a character array up to its first NUL.
template <typename Array> std::string textOf(const Array& a) {
    std::string s;
    for (char c : a) {
        if (c == '\0') break;
        s.push_back(c);
    }
    return s;
}

} // namespace testutil
