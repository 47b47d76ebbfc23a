// The command line, read with getopt_long. Its own messages are off: the
// errors are composed here, as GNU tools word them, so that they name the
// program as "rpncalc" whatever path started it.
#include "calc/options.h"

#include "calc/version.h"

#include <array>
#include <getopt.h>

namespace calc::options {
namespace {

// The leading ':' makes a missing argument ':' instead of '?'.
constexpr char kShortOptions[] = ":e:shV";

constexpr std::array<option, 5> kLongOptions = {{
    {"expression", required_argument, nullptr, 'e'},
    {"script", no_argument, nullptr, 's'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
}};

constexpr std::string_view kHelp =
    "Usage: rpncalc [-s] [-e EXPR]... [FILE]...\n"
    "A calculator in reverse Polish notation. Without arguments it holds its\n"
    "dialogue on standard input and output. FILE operands are read in order as\n"
    "one input ('-' is standard input).\n"
    "\n"
    "  -e, --expression=EXPR  take EXPR as one input line (repeatable, before any\n"
    "                         FILE); implies -s; without FILE, standard input is\n"
    "                         not read\n"
    "  -s, --script           script mode: no prompt; for each non-blank line, X\n"
    "                         alone on one line; tabs separate tokens; messages\n"
    "                         on standard error as 'rpncalc: SOURCE:LINE: text'\n"
    "  -h, --help             show this help and exit\n"
    "  -V, --version          show the version and exit\n"
    "\n"
    "Exit status: 0 on success, 1 when the script mode wrote a message, 2 for a\n"
    "usage error or a file that cannot be read, 255 after a failure.\n"
    "The commands and the output rules are in rpncalc(1).\n";

// The long name of a short option, for the messages.
std::string_view longName(int shortName) {
    for (const option& o : kLongOptions) {
        if (o.name != nullptr && o.val == shortName) return o.name;
    }
    return {};
}

bool isShortOption(int c) {
    return c != ':' &&
           std::string_view(kShortOptions).find(static_cast<char>(c)) != std::string_view::npos;
}

std::string misuse(char** argv, int c) {
    const std::string element = argv[optind - 1] != nullptr ? argv[optind - 1] : "";
    const bool longForm = element.starts_with("--");
    if (c == ':') { // a missing argument: the option was the last element
        if (longForm)
            return "option '--" + std::string(longName(optopt)) + "' requires an argument";
        return std::string("option requires an argument -- '") + static_cast<char>(optopt) + "'";
    }
    if (optopt == 0) return "unrecognized option '" + element + "'";
    if (isShortOption(optopt)) { // only a long option given an argument fails so
        return "option '--" + std::string(longName(optopt)) + "' doesn't allow an argument";
    }
    return std::string("invalid option -- '") + static_cast<char>(optopt) + "'";
}

} // namespace

Options parseOptions(int argc, char** argv) {
    Options result;
    std::vector<runtime::InputSource> files;
    opterr = 0;
    optind = 0; // a fresh scan, also on a second call
    for (;;) {
        const int c = getopt_long(argc, argv, kShortOptions, kLongOptions.data(), nullptr);
        if (c == -1) break;
        switch (c) {
        case 'e':
            result.sources.push_back({runtime::SourceKind::Text, optarg});
            result.script = true;
            break;
        case 's':
            result.script = true;
            break;
        case 'h':
            if (result.action == Action::Run) result.action = Action::Help;
            break;
        case 'V':
            if (result.action == Action::Run) result.action = Action::Version;
            break;
        default:
            result.action = Action::Misuse;
            result.error = "rpncalc: " + misuse(argv, c);
            return result;
        }
    }
    for (int i = optind; i < argc; ++i) {
        const std::string_view name = argv[i];
        files.push_back(
            {name == "-" ? runtime::SourceKind::Stdin : runtime::SourceKind::File, name});
    }
    result.sources.insert(result.sources.end(), files.begin(), files.end());
    return result;
}

std::string_view helpText() { return kHelp; }

std::string_view versionText() {
    static const std::string text = "rpncalc " + std::string(kVersion) + "\n";
    return text;
}

} // namespace calc::options
