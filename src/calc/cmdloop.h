// The command loop: prompt, read a line, evaluate it, show X twice, until a
// line is empty.
#pragma once

namespace calc::loop {

// Runs the dialogue until a trimmed line is empty or the input ends.
void commandLoop();

} // namespace calc::loop
