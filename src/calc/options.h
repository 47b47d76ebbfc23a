// The command line: options in the GNU style (getopt_long), and the input
// sources they and the file operands name.
//
//   rpncalc [-s] [-e EXPR]... [FILE]...
//
//   -e, --expression=EXPR  EXPR is one input line (repeatable, read in order
//                          before any FILE); implies --script; without a
//                          FILE, standard input is not read
//   -s, --script           the script mode (calc/cmdloop.h)
//   -h, --help             the usage on standard output
//   -V, --version          "rpncalc VERSION" on standard output
//
// FILE operands are read in order as one input, "-" being standard input.
// Parsing only decides; the caller writes the texts and ends the run.
#pragma once

#include "runtime/consource.h"

#include <string>
#include <string_view>
#include <vector>

namespace calc::options {

enum class Action {
    Run,     // run the dialogue or the script mode on the sources
    Help,    // write helpText() on standard output, status 0
    Version, // write versionText() on standard output, status 0
    Misuse,  // write the error and the hint on standard error, status 2
};

struct Options {
    Action action = Action::Run;
    bool script = false;
    std::vector<runtime::InputSource> sources; // empty: standard input alone
    std::string error; // for Misuse: "rpncalc: unrecognized option '--bogus'"
};

// Reads argv (argc entries); keeps views into its strings, which live for the
// whole run. Can be called more than once.
Options parseOptions(int argc, char** argv);

std::string_view helpText();
std::string_view versionText(); // "rpncalc 1.1.0" and an LF
// The second line of a usage error.
constexpr std::string_view kTryHelp = "Try 'rpncalc --help' for more information.";
// The exit status of a usage error or an unreadable file.
constexpr int kMisuseStatus = 2;

} // namespace calc::options
