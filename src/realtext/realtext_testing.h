// Test-only entry points of the real text conversion: the digit generators
// the general way only. FIXDIGITS and FLTDIGITS take the shortcut for
// ordinary values and must give the same texts; the tests and the fuzz
// target compare. Defined in realtext_testing.cpp, which only the test
// programs build.
#pragma once

#include "realtext/realtext.h"

namespace realtext::general {
WorkArea FIXDIGITS(double v, std::int32_t places);
WorkArea FLTDIGITS(double v, std::uint32_t n);
} // namespace realtext::general
