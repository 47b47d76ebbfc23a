// The command loop: prompt, read a line, evaluate it, show X twice, until a
// line is empty.
#pragma once

namespace calc::loop {

// Writes the result line for x: the label, x in a field of 15 characters,
// the separator and the cropped fixed-point text, then a line end.
void WRTRESULT(double x);
// Runs the dialogue until a trimmed line is empty or the input ends.
void CMDLOOP();
// Runs the script mode until the input ends: no prompt; for every line that
// is not blank (blanks and tabs only), X as text (runtime/scripttext.h) and
// an LF. Tabs separate tokens as blanks do.
void scriptLoop();

} // namespace calc::loop
