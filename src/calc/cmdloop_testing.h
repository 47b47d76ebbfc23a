// Test-only entry point of the command loop: one result line on its own.
// The program reaches it only through commandLoop.
#pragma once

namespace calc::loop {

// Writes the result line for x: the label, x in a field of 15 characters,
// the separator and the cropped fixed-point text, then a line end.
void writeResult(double x);

} // namespace calc::loop
