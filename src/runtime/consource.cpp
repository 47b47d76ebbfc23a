// The console's input sources: which one is read now, its name and line
// count, and the reading of texts and files. Standard input itself is read
// by the console (runtime/console.cpp), with its line editor and Ctrl-C.
#include "runtime/consource.h"

#include "runtime/conmessage.h"
#include "runtime/console.h"
#include "runtime/failure.h"
#include "runtime/sysio.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace runtime {
namespace {

constexpr std::string_view kTextName = "-e";
constexpr std::string_view kStdinName = "-";
// Status of a run ended by a file that cannot be read, as for a usage error.
constexpr int kFileStatus = 2;
// Room for the path of a file that cannot be read, in its message.
constexpr std::size_t kPathCap = 4096;

struct SourceState {
    std::span<const InputSource> list{};
    std::size_t current = 0;
    int fd = -1;              // the open file of a File source
    std::size_t textDone = 0; // how much of a Text is read
    std::uint32_t line = 0;
};
constinit SourceState st{};

constexpr InputSource kStdinAlone{SourceKind::Stdin, {}};

const InputSource& currentSource() {
    return st.current < st.list.size() ? st.list[st.current] : kStdinAlone;
}

// "rpncalc: FILE: reason" on standard error, after the output so far; the
// run ends with status 2.
[[noreturn]] void fileFailed(std::string_view name, int error) {
    conFlush();
    const std::string_view parts[] = {"rpncalc: ", name.substr(0, kPathCap), ": ",
                                      sysErrText(error)};
    writeErrorLine(parts);
    HALT(kFileStatus);
}

void openCurrent() {
    const InputSource& src = currentSource();
    if (src.kind != SourceKind::File) return;
    // The name comes from the command line, NUL-terminated there.
    const std::string path(src.text);
    int fd = -1;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) fileFailed(src.text, errno);
    st.fd = fd;
}

} // namespace

void setInputSources(std::span<const InputSource> sources) {
    if (st.fd >= 0) ::close(st.fd);
    st = SourceState{};
    st.list = sources;
    openCurrent();
}

namespace source {

bool atStdin() { return currentSource().kind == SourceKind::Stdin; }

std::size_t readCurrent(std::span<char> into) {
    const InputSource& src = currentSource();
    if (src.kind == SourceKind::Text) {
        const std::size_t n = std::min(into.size(), src.text.size() - st.textDone);
        std::copy_n(src.text.data() + st.textDone, n, into.data());
        st.textDone += n;
        return n;
    }
    for (;;) {
        const SysReadResult got = sysRead(st.fd, into);
        switch (got.kind) {
        case SysReadKind::Data:
            return got.count;
        case SysReadKind::End:
            return 0;
        case SysReadKind::Failed:
            fileFailed(src.text, got.error);
        case SysReadKind::Interrupted:
            break; // a Ctrl-C meant for a terminal line: the file goes on
        }
    }
}

bool advance() {
    if (st.current >= st.list.size()) return false;
    const SourceKind was = currentSource().kind;
    if (st.fd >= 0) ::close(st.fd);
    st.fd = -1;
    st.textDone = 0;
    ++st.current;
    if (st.current >= st.list.size()) return false;
    // The texts count their lines together, as one source "-e".
    if (!(was == SourceKind::Text && currentSource().kind == SourceKind::Text)) st.line = 0;
    openCurrent();
    return true;
}

std::string_view currentName() {
    const InputSource& src = currentSource();
    switch (src.kind) {
    case SourceKind::Text:
        return kTextName;
    case SourceKind::File:
        return src.text;
    case SourceKind::Stdin:
        break;
    }
    return kStdinName;
}

std::uint32_t currentLine() { return st.line; }

void countLine() { ++st.line; }

} // namespace source
} // namespace runtime
