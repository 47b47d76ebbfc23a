// The command loop: prompt, read a line, evaluate it, show X twice, until a
// line is empty.
#pragma once

namespace calc::loop {

// Runs the dialogue until a trimmed line is empty or the input ends.
void commandLoop();
// Runs the script mode until the input ends: no prompt; for every line that
// is not blank (blanks and tabs only), X as text (realtext/scripttext.h) and
// an LF. Tabs separate tokens as blanks do.
void scriptLoop();

} // namespace calc::loop
