// The message channel: in the script mode a message is gathered while its
// module writes it and goes to standard error, line by line, with the source
// and the line it is about.
#include "runtime/conmessage.h"

#include "runtime/console.h"
#include "runtime/consource.h"
#include "runtime/sysio.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace runtime {
namespace {

// Room for a message of a few lines, each holding at most a line of input;
// what goes beyond is dropped.
constexpr std::size_t kMessageCap = 2048;
constexpr std::size_t kErrorLineCap = 4096 + kMessageCap;
constexpr std::size_t kLineDigits = 10;

struct MessageState {
    bool toStderr = false;
    std::uint32_t depth = 0;
    bool written = false;
    std::array<char, kMessageCap> text{};
    std::size_t len = 0;
};
constinit MessageState st{};

void gather(std::span<const char> chars) {
    const std::size_t n = std::min(chars.size(), st.text.size() - st.len);
    std::copy_n(chars.data(), n, st.text.data() + st.len);
    st.len += n;
}

std::string_view decimal(std::uint32_t n, std::array<char, kLineDigits>& digits) {
    std::size_t start = digits.size();
    do {
        digits[--start] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    return {digits.data() + start, digits.size() - start};
}

// One line of the gathered text, without its leading blanks and its CR.
void writeMessageLine(std::string_view line) {
    line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) return;
    std::array<char, kLineDigits> digits{};
    const std::string_view parts[] = {"rpncalc: ", source::currentName(),
                                      ":",         decimal(source::currentLine(), digits),
                                      ": ",        line};
    writeErrorLine(parts);
    st.written = true;
}

} // namespace

void beginMessage() {
    if (!st.toStderr) return;
    if (st.depth++ == 0) {
        st.len = 0;
        divertOutput(gather);
    }
}

void endMessage() {
    if (!st.toStderr || st.depth == 0) return;
    if (--st.depth > 0) return;
    divertOutput(nullptr);
    // Written in order with the results so far when both go to one place.
    conFlush();
    std::string_view text(st.text.data(), st.len);
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        writeMessageLine(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
}

void messagesToStderr() { st.toStderr = true; }

bool anyMessageWritten() { return st.written; }

void writeErrorLine(std::span<const std::string_view> parts) {
    std::array<char, kErrorLineCap> line{};
    std::size_t len = 0;
    for (std::string_view part : parts) {
        const std::size_t n = std::min(part.size(), line.size() - 1 - len);
        std::copy_n(part.data(), n, line.data() + len);
        len += n;
    }
    line[len++] = '\n';
    std::size_t done = 0;
    (void)sysWrite(2, std::span<const char>(line.data(), len), done);
}

} // namespace runtime
