// The message channel: what a module says about the input (an unrecognized
// command, a token too long, a date it cannot take) is written between
// beginMessage and endMessage, through the console writers as any text.
//
// In the dialogue that changes nothing: the message goes to standard output
// where it stands. In the script mode (messagesToStderr) the console gathers
// it instead, and endMessage writes each of its lines to standard error,
// without its leading blanks, as "rpncalc: SOURCE:LINE: text" and an LF:
//     "FOO is an unrecognized command." on line 3 of sums.txt
//         -> "rpncalc: sums.txt:3: FOO is an unrecognized command."
// Messages may nest (a message that calls a procedure with its own): the
// outermost endMessage writes them all.
#pragma once

#include <span>
#include <string_view>

namespace runtime {

void beginMessage();
void endMessage();

// beginMessage for the life of a scope, endMessage at its end.
struct MessageScope {
    MessageScope() { beginMessage(); }
    ~MessageScope() { endMessage(); }
    MessageScope(const MessageScope&) = delete;
    MessageScope& operator=(const MessageScope&) = delete;
};

// From now on messages go to standard error, prefixed as above.
void messagesToStderr();
// Whether any message has gone to standard error.
bool anyMessageWritten();

// Writes the parts and an LF to standard error at once, as one line.
void writeErrorLine(std::span<const std::string_view> parts);

} // namespace runtime
