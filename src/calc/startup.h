// The one start-up list: every module with state is brought into its
// starting state here, once, in a fixed order. The program, the unit tests
// and the fuzz targets all start through startModules, never through a copy of
// the list.
#pragma once

namespace calc {

// Who starts: the program itself, or a library caller (a test or a fuzz
// target) that keeps its own signal handling and points the console at
// memory itself.
enum class StartFor { Program, Library };

// Runs every start-up procedure of the list in order; for a library caller,
// all but those that take over the process (signal handlers, the standard
// channels and the line editor).
void startModules(StartFor who);

} // namespace calc
