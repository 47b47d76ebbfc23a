// The command loop's result line by the rendering lane (runtime/fastreal.h).
#pragma once

namespace calc::fast {

// Writes WRTRESULT's line for x and returns true when the rendering lane
// takes both of its texts; returns false having written nothing otherwise.
bool WRTRESULT(double x);

} // namespace calc::fast
