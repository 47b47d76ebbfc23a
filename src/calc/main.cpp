// rpncalc: a reverse Polish console calculator. main reads the command line,
// starts every module once, runs the dialogue or the script mode on the
// input sources and ends through HALT.
#include "calc/cmdloop.h"
#include "calc/options.h"
#include "calc/startup.h"
#include "runtime/conmessage.h"
#include "runtime/consource.h"
#include "runtime/failure.h"
#include "runtime/sysio.h"

#include <string_view>

namespace {

// The texts written before anything is started: at once, to the channel.
void writeNow(int fd, std::string_view text) {
    std::size_t done = 0;
    const int error = runtime::sysWrite(fd, std::span<const char>(text.data(), text.size()), done);
    if (error != 0 && fd == 1) runtime::ioFail(runtime::IoChannel::Output, error);
}

} // namespace

int main(int argc, char** argv) {
    namespace opt = calc::options;
    const opt::Options options = opt::parseOptions(argc, argv);
    switch (options.action) {
    case opt::Action::Help:
        writeNow(1, opt::helpText());
        return 0;
    case opt::Action::Version:
        writeNow(1, opt::versionText());
        return 0;
    case opt::Action::Misuse: {
        const std::string lines = options.error + "\n" + std::string(opt::kTryHelp) + "\n";
        writeNow(2, lines);
        return opt::kMisuseStatus;
    }
    case opt::Action::Run:
        break;
    }

    calc::startModules(calc::StartFor::Program);
    runtime::setInputSources(options.sources);
    if (options.script) {
        runtime::messagesToStderr();
        calc::loop::scriptLoop();
    } else {
        calc::loop::commandLoop();
    }
    runtime::failDone();
    runtime::HALT(runtime::anyMessageWritten() ? 1 : 0);
}
