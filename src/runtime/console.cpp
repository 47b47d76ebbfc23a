// Console: buffered line reader and writer on standard input and output, with
// an in-memory mode for tests and fuzzing. On a terminal the reader takes its
// lines from the line editor when the build has one, and Ctrl-C discards the
// line being typed instead of ending the program.
#include "runtime/console.h"

#include "runtime/consource.h"
#include "runtime/failure.h"
#include "runtime/lineedit.h"
#include "runtime/linerun.h"
#include "runtime/sysio.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <unistd.h>

namespace runtime {
namespace {

constexpr std::size_t kInCap = 65536;
constexpr std::size_t kOutCap = 65536;
constexpr char kCR = '\r';
constexpr char kLF = '\n';

struct ConsoleState {
    std::array<char, kInCap> in{};
    std::size_t head = 0;             // next unread byte of in
    std::size_t tail = 0;             // end of the bytes read into in
    bool inputEnded = false;          // every source has ended
    bool sourceEnded = false;         // the current source has ended
    bool lineOpen = false;            // the last byte taken from the source was no LF
    bool editing = false;             // lines come from the line editor
    std::span<const char> editText{}; // what is left of the edited line
    bool editLineEnd = false;         // its line end is still to come
    std::array<char, kOutCap> out{};
    std::size_t outLen = 0;
    // How much of out a flush in progress has written: a flush from the
    // failure handler goes on from there instead of writing it twice.
    std::size_t outDone = 0;
    bool outFailed = false;                    // a write failed: nothing more is written
    bool started = false;                      // the first wait for input has set things up
    bool interactive = false;                  // standard input is a terminal
    std::array<char, kEditPromptCap> prompt{}; // shown again after Ctrl-C
    std::size_t promptLen = 0;
    std::array<char, kPlaceCap> place{}; // writePlace's room in memory mode
    bool memory = false;
    void (*sink)(std::span<const char>) = nullptr; // divertOutput's
    bool indirect = false;                         // memory, or a sink: not the output buffer
    std::size_t memPos = 0;
    bool haltRegistered = false;
};

constinit ConsoleState st{};

// The texts of the in-memory mode, apart from the constinit state: not every
// compiler can constant-initialise a std::string (clang 14 with libstdc++ 12
// cannot), and the fuzz build uses clang. They are reset with the channels
// (switchChannels), and so by conInit too.
struct MemoryText {
    std::string in;
    std::string out;
};
MemoryText mem;

// Writes out the first len bytes of the output buffer and empties it. A
// failed write is reported and ends the program; the failure path (when this
// runs inside a failure's report) only stops writing.
void flushFirst(ConsoleState& s, std::size_t len) {
    if (!s.outFailed) {
        const int error =
            sysWrite(1, std::span<const char>(s.out.data(), len), s.outDone, failSignals());
        if (error != 0) {
            s.outFailed = true;
            ioFail(IoChannel::Output, error);
        }
    }
    // Emptied in this order, so that a handler that comes in between finds
    // nothing left to write.
    s.outLen = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    s.outDone = 0;
}

// Where the unterminated text at the end of the output (the prompt) starts.
std::size_t promptStart(const ConsoleState& s) {
    std::size_t start = s.outLen;
    while (start > 0 && s.out[start - 1] != kLF && s.outLen - start < kEditPromptCap) --start;
    return start;
}

// Hands the prompt to the line editor, which draws it itself and again on
// every redraw, and writes out everything before it.
std::span<const char> takePrompt(ConsoleState& s) {
    const std::size_t start = promptStart(s);
    std::span<const char> prompt(s.out.data() + start, s.outLen - start);
    flushFirst(s, start); // the prompt stays in place until the editor has copied it
    return prompt;
}

// Before the first wait for input: Ctrl-C on a terminal becomes a request to
// discard the line, not the end of the program. (Not at start-up: tests and
// other users of the console in memory keep their Ctrl-C.)
void startReading(ConsoleState& s) {
    if (s.started) return;
    s.started = true;
    s.interactive = ::isatty(0) == 1;
    if (s.interactive) sysCatchInterrupt();
}

// Plain lines from a terminal: Ctrl-C has discarded the line being typed (the
// terminal drops its own copy); a line end and the prompt start a fresh one.
void restartLine(ConsoleState& s) {
    s.head = s.tail = 0;
    WRTLN();
    writeChars(std::span<const char>(s.prompt.data(), s.promptLen));
    conFlush();
}

// Waits for more input on standard input. Returns false at its end.
bool readPlain(ConsoleState& s) {
    if (s.interactive && s.outLen > 0) { // kept for Ctrl-C
        const std::size_t start = promptStart(s);
        s.promptLen = s.outLen - start;
        std::copy_n(s.out.data() + start, s.promptLen, s.prompt.data());
    }
    // A Ctrl-C before the prompt shows discards nothing; one that comes once
    // it is out (before the read has started too) drops the line.
    sysClearInterrupt();
    conFlush(); // the user must see everything before the program waits
    for (;;) {
        const SysReadResult got = sysRead(0, std::span<char>(s.in).subspan(s.tail));
        switch (got.kind) {
        case SysReadKind::Data:
            s.tail += got.count;
            return true;
        case SysReadKind::Interrupted:
            restartLine(s);
            continue;
        case SysReadKind::Failed:
            ioFail(IoChannel::Input, got.error);
            break;
        case SysReadKind::End:
            break;
        }
        return false;
    }
}

// Fills the free part of in from the edited line, then its line end; asks
// the editor for the next line only when the last one is used up.
bool refillEdited(ConsoleState& s) {
    if (s.editText.empty() && !s.editLineEnd) {
        if (!editReady()) return readPlain(s);
        if (!editRead(takePrompt(s), s.editText)) return false;
        s.editLineEnd = true;
    }
    std::size_t n = std::min(s.in.size() - s.tail, s.editText.size());
    for (std::size_t i = 0; i < n; ++i) s.in[s.tail + i] = s.editText[i];
    s.tail += n;
    s.editText = s.editText.subspan(n);
    if (s.editText.empty() && s.tail < s.in.size()) {
        s.in[s.tail++] = kLF;
        s.editLineEnd = false;
    }
    return true;
}

// Reads more of the current source. At its end, a last line without its line
// end gets one, so that the next source starts a line of its own; once that
// line has been read, the next source is opened. False when every source has
// ended.
bool readSources(ConsoleState& s) {
    for (;;) {
        if (!s.sourceEnded) {
            bool got = false;
            if (source::atStdin()) {
                startReading(s);
                got = s.editing ? refillEdited(s) : readPlain(s);
            } else {
                const std::size_t n = source::readCurrent(std::span<char>(s.in).subspan(s.tail));
                s.tail += n;
                got = n > 0;
            }
            if (got) {
                s.lineOpen = s.in[s.tail - 1] != kLF;
                return true;
            }
            s.sourceEnded = true;
            if (s.lineOpen) {
                s.in[s.tail++] = kLF; // there is room: refill reads only into free room
                s.lineOpen = false;
                return true;
            }
        }
        // Only an empty buffer asks for more once the source has ended with
        // a line end: every line of it is then read.
        if (s.tail > 0) return false;
        if (!source::advance()) {
            s.inputEnded = true;
            return false;
        }
        s.sourceEnded = false;
    }
}

// Moves the unread bytes to the front and reads more behind them. Returns
// false when no more bytes can come.
bool refill(ConsoleState& s) {
    if (s.inputEnded) return false;
    if (s.head > 0) {
        std::size_t left = s.tail - s.head;
        for (std::size_t i = 0; i < left; ++i) s.in[i] = s.in[s.head + i];
        s.head = 0;
        s.tail = left;
    }
    if (s.tail == s.in.size()) return true;
    if (s.memory) {
        std::size_t n = std::min(s.in.size() - s.tail, mem.in.size() - s.memPos);
        for (std::size_t i = 0; i < n; ++i) s.in[s.tail + i] = mem.in[s.memPos + i];
        s.memPos += n;
        s.tail += n;
        if (n == 0) s.inputEnded = true;
        return n > 0;
    }
    return readSources(s);
}

// The byte at offset k from the read position, or -1 past the end of input.
int peek(ConsoleState& s, std::size_t k) {
    while (s.tail - s.head <= k) {
        if (!refill(s)) return -1;
    }
    return static_cast<unsigned char>(s.in[s.head + k]);
}

// A CR belongs to the line end when an LF or the end of the input follows it.
bool atLineEnd(ConsoleState& s, int c) {
    if (c == kLF) return true;
    if (c != kCR) return false;
    int next = peek(s, 1);
    return next == kLF || next < 0;
}

void flushHalt() { conFlush(); }

// writeChars into memory, or when the buffer has no room for all of it: kept
// out of writeChars so that the common case stays a few instructions and a
// copy, without the set-up a loop and a call would need.
[[gnu::cold]] void writeRest(std::span<const char> chars) {
    ConsoleState& s = st;
    if (s.sink != nullptr) {
        s.sink(chars);
        return;
    }
    if (s.memory) {
        mem.out.append(chars.data(), chars.size());
        return;
    }
    // Copied in runs as large as the buffer's free room.
    std::size_t done = 0;
    while (done < chars.size()) {
        if (s.outLen == s.out.size()) conFlush();
        const std::size_t n = std::min(chars.size() - done, s.out.size() - s.outLen);
        std::copy_n(chars.data() + done, n, s.out.data() + s.outLen);
        s.outLen += n;
        done += n;
    }
}

// Points the console at memory or at the standard channels, with nothing
// read or collected yet.
void switchChannels(bool memory) {
    st.memory = memory;
    st.indirect = memory || st.sink != nullptr;
    mem.in.clear();
    st.memPos = 0;
    mem.out.clear();
    st.head = st.tail = 0;
    st.inputEnded = false;
    st.sourceEnded = false;
    st.lineOpen = false;
    st.editText = {};
    st.editLineEnd = false;
}

// Room for n more bytes in the output buffer, taken; null when they must go
// writeRest's way (into memory, to a sink, or with the buffer too full).
char* takeRoom(ConsoleState& s, std::size_t n) {
    if (s.indirect || n > s.out.size() - s.outLen) return nullptr;
    char* const at = s.out.data() + s.outLen;
    s.outLen += n;
    return at;
}

// RDSTR: what it stored, as one run. When it stops at the line end it found
// in the buffer, that is the next byte, an LF or a CR and an LF. The bytes
// at the end of the buffer or of text go one at a time.
linerun::Run readText(std::span<char> text) {
    ConsoleState& s = st;
    linerun::Run r;
    std::size_t& n = r.length;
    while (n < text.size()) {
        const std::size_t taken = linerun::copyRun(s.in.data() + s.head, s.tail - s.head, text, r);
        s.head += taken;
        if (r.lineEnd) break;
        if (taken > 0) continue;
        int c = peek(s, 0);
        if (c < 0 || atLineEnd(s, c)) break;
        if (c == 0) r.firstNul = std::min(r.firstNul, n);
        text[n++] = static_cast<char>(c);
        ++s.head;
    }
    if (n < text.size()) text[n] = '\0';
    return r;
}

} // namespace

void conInit() {
    ConsoleState& s = st;
    if (!s.haltRegistered) {
        onHalt(flushHalt);
        s.haltRegistered = true;
    }
    switchChannels(false);
    s.editing = editStart();
}

void RDSTR(std::span<char> text) { readText(text); }

std::uint32_t readLine(std::span<char> text) {
    ConsoleState& s = st;
    const linerun::Run r = readText(text);
    if (r.lineEnd) {
        // The line end found: skipped without looking for it again.
        s.head += s.in[s.head] == kCR ? 2 : 1;
        source::countLine();
    } else {
        SKIPLN();
    }
    return static_cast<std::uint32_t>(std::min(r.firstNul, r.length));
}

void SKIPLN() {
    ConsoleState& s = st;
    for (;;) {
        int c = peek(s, 0);
        if (c < 0) return;
        ++s.head;
        if (c == kLF) {
            source::countLine();
            return;
        }
    }
}

bool conAtEnd() { return peek(st, 0) < 0; }

void writeChar(char ch) { writeChars(std::span<const char>(&ch, 1)); }

void writeChars(std::span<const char> chars) {
    if (char* const at = takeRoom(st, chars.size())) { // nearly always
        std::memcpy(at, chars.data(), chars.size());
        return;
    }
    writeRest(chars);
}

void WRTSTR(std::span<const char> text) {
    const char* nul = std::char_traits<char>::find(text.data(), text.size(), '\0');
    writeChars(
        text.first(nul != nullptr ? static_cast<std::size_t>(nul - text.data()) : text.size()));
}

char* writePlace(std::size_t n) {
    ConsoleState& s = st;
    if (s.indirect) return s.place.data();
    if (s.out.size() - s.outLen < n) conFlush();
    return s.out.data() + s.outLen;
}

void writePlaced(std::size_t len) {
    ConsoleState& s = st;
    if (s.indirect) {
        writeRest(std::span<const char>(s.place.data(), len));
        return;
    }
    s.outLen += len;
}

void WRTLN() {
    constexpr char kLineEnd[] = {kCR, kLF};
    // Two stores, not a copy of a length known only inside writeChars.
    if (char* const at = takeRoom(st, sizeof kLineEnd)) {
        std::memcpy(at, kLineEnd, sizeof kLineEnd);
        return;
    }
    writeRest(kLineEnd);
}

void WRTCARD(std::uint32_t n, std::uint32_t width) {
    if (width == 0) writeChar(' ');
    std::array<char, 10> digits{};
    std::uint32_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    for (std::uint32_t pad = count; pad < width; ++pad) writeChar(' ');
    while (count > 0) writeChar(digits[--count]);
}

void conFlush() {
    // Called from a signal handler too: only write(2) on the fixed buffer.
    if (st.memory) return;
    flushFirst(st, st.outLen);
}

void conUseMemory(std::string_view input) {
    conFlush();
    switchChannels(true);
    mem.in.assign(input);
}

std::string conTakeOutput() {
    std::string taken;
    taken.swap(mem.out);
    return taken;
}

void conUseStdio() { switchChannels(false); }

void divertOutput(void (*sink)(std::span<const char>)) {
    st.sink = sink;
    st.indirect = st.memory || sink != nullptr;
}

} // namespace runtime
