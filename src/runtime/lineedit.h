// Line editing: on a terminal, the console reader takes its lines from an
// editor that lets the user move the cursor, edit the line and call back the
// lines typed earlier in the run. Nothing is read from or written to files.
//
// The build links one of two implementations: one on libedit, and one without
// it, for which line editing is never on and the reader reads plain lines.
#pragma once

#include <cstddef>
#include <span>

namespace runtime {

// The longest prompt handed to the editor; a longer unterminated text before
// a read is written out except for its last characters.
constexpr std::size_t kEditPromptCap = 256;

// Turns line editing on when the build has it and standard input and
// standard output are both terminals. Returns whether it is on. The terminal's
// modes are then put back on every way out of the program (a termination
// procedure, and every signal that can be caught and ends it), should the
// editor hold it in its own.
bool editStart();

// Whether the editor serves the next line: it is on, could be made, and the
// window is small enough for it. Otherwise the line is read plain.
bool editReady();

// Shows prompt, lets the user edit one line and sets text to it, without its
// line end; the bytes stay valid until the next editRead. Returns false, with
// an empty text, when the input has ended: Ctrl-D on an empty line, or the
// terminal is gone. Ctrl-C (once sysCatchInterrupt has run) drops the line
// being typed and starts a fresh one below it; a failed read goes to ioFail.
bool editRead(std::span<const char> prompt, std::span<const char>& text);

} // namespace runtime
