// Test helper for the pseudo-terminal tests: the command loop's reading steps
// (prompt, RDSTR, SKIPLN, WRTLN) with no evaluation, followed by a line that
// shows exactly what the reader returned, so that a test can check the text
// the program received after editing or recall. Bytes outside printable ASCII
// are shown as <XX> in hexadecimal. Ends at an empty text, like the loop.
#include "runtime/console.h"
#include "runtime/failure.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace {

void writeShown(const std::array<char, 256>& line) {
    constexpr std::string_view hex = "0123456789ABCDEF";
    runtime::WRTSTR("read [");
    for (char ch : line) {
        if (ch == '\0') break;
        const auto code = static_cast<unsigned char>(ch);
        if (code >= 0x20 && code < 0x7F) {
            runtime::writeChar(ch);
            continue;
        }
        runtime::writeChar('<');
        runtime::writeChar(hex[code >> 4]);
        runtime::writeChar(hex[code & 0xFu]);
        runtime::writeChar('>');
    }
    runtime::WRTSTR("]");
    runtime::WRTLN();
}

} // namespace

int main() {
    runtime::conInit();
    std::array<char, 256> line{};
    for (;;) {
        runtime::WRTSTR(" 21Jul03 Enter calc, or HELP: ");
        runtime::RDSTR(line);
        runtime::SKIPLN();
        runtime::WRTLN();
        if (line[0] == '\0') break;
        writeShown(line);
    }
    runtime::HALT(0);
}
