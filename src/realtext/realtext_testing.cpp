// Test-only entry points of the real text conversion (realtext_testing.h),
// built into the tests and the fuzz targets, not into the program.
#include "realtext/realtext_testing.h"
#include "realtext/realdigits.h"

namespace realtext::general {

WorkArea FIXDIGITS(double v, std::int32_t places) {
    WorkArea w{};
    digits::Area out(w.data());
    digits::fixDigitsGeneral(v, places, out);
    return w;
}

WorkArea FLTDIGITS(double v, std::uint32_t n) {
    WorkArea w{};
    digits::Area out(w.data());
    digits::fltDigitsGeneral(v, n, out);
    return w;
}

} // namespace realtext::general
