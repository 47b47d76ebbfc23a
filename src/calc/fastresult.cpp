// The result line by the rendering lane.
//
// What qualifies: every x the lane's field and fixed-point text take
// (10^-10 <= |x| < 10^13); any other x is the general WRTRESULT's, and
// nothing has been written then.
//
// Why the line is the same: it is put together from the same pieces as the
// general one (the label, WRTREAL's field of 15, the separator, the text of
// REALTOFIX with nine places, the line end), each piece the lane's text,
// which equals the general text for these values. Cropping: the nine-place
// text always holds a point and never starts with a blank, so CROPFIXED
// only drops its trailing zeros, which the lane counts as it writes them.
// The line is built where it is written, in the console's output buffer.
#include "calc/fastresult.h"

#include "runtime/console.h"
#include "realtext/fastreal.h"

#include <cmath>
#include <cstring>
#include <string_view>

namespace calc::fast {

bool WRTRESULT(double x) {
    constexpr std::string_view kLabel = " Result =";
    constexpr std::string_view kSeparator = ",       ";
    constexpr std::size_t kRoom = kLabel.size() + kSeparator.size() + 2 * realtext::fast::kRoom;
    const double a = std::fabs(x);
    if (!(a >= 1e-10 && a < 1e13)) return false; // what the field takes
    char* const line = runtime::WRTPLACE(kRoom);
    char* out = line;
    std::memcpy(out, kLabel.data(), kLabel.size());
    out += kLabel.size();
    const std::size_t field = realtext::fast::FIELD15(x, out);
    if (field == 0) return false; // nothing written out: WRTPLACED not called
    out += field;
    std::memcpy(out, kSeparator.data(), kSeparator.size());
    out += kSeparator.size();
    std::size_t zeros = 0;
    const std::size_t fixed = realtext::fast::FIXEDTEXT(x, 9, out, &zeros);
    if (fixed == 0) return false;
    out += fixed - zeros;
    out[0] = '\r';
    out[1] = '\n';
    runtime::WRTPLACED(static_cast<std::size_t>(out + 2 - line));
    return true;
}

} // namespace calc::fast
