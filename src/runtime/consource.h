// The console's input sources: the texts given on the command line, files
// and standard input, read in order as one input, as if concatenated. The
// end of each source ends its last line, so that a file without a final line
// end does not run into the next one. A run without a list reads standard
// input alone.
//
// A file that cannot be opened or read ends the program with
// "rpncalc: FILE: reason" on standard error and status 2, once the output of
// the earlier lines has been written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace runtime {

enum class SourceKind : std::uint8_t {
    Text,  // one input line given as text (-e); consecutive texts count as one source
    File,  // a file by its name
    Stdin, // standard input ("-")
};
struct InputSource {
    SourceKind kind = SourceKind::Stdin;
    std::string_view text; // the line of a Text, the name of a File
};

// The sources of this run, read from the first on; the caller keeps them for
// the whole run. An empty list is standard input alone.
void setInputSources(std::span<const InputSource> sources);

namespace source {

// Whether the current source is standard input.
bool atStdin();
// Reads from the current source, which is not standard input, into `into`:
// the number of bytes, 0 at its end.
std::size_t readCurrent(std::span<char> into);
// Goes on to the next source; false when there is none.
bool advance();
// The current source's name for messages ("-e", "-" or the file's name) and
// the number of the line read last from it (1 for its first).
std::string_view currentName();
std::uint32_t currentLine();
// Counts one line read to its end from the current source.
void countLine();

} // namespace source
} // namespace runtime
