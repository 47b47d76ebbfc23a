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
// only drops its trailing zeros.
#include "calc/fastresult.h"

#include "runtime/console.h"
#include "runtime/fastreal.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace calc::fast {

bool WRTRESULT(double x) {
    constexpr std::string_view kLabel = " Result =";
    constexpr std::string_view kSeparator = ",       ";
    std::array<char, kLabel.size() + kSeparator.size() + 2 * runtime::fast::kRoom> line;
    char* out = line.data();
    std::memcpy(out, kLabel.data(), kLabel.size());
    out += kLabel.size();
    const std::size_t field = runtime::fast::FIELD15(x, out);
    if (field == 0) return false;
    out += field;
    std::memcpy(out, kSeparator.data(), kSeparator.size());
    out += kSeparator.size();
    std::size_t fixed = runtime::fast::FIXEDTEXT(x, 9, out);
    if (fixed == 0) return false;
    out += fixed;
    // Trailing zeros dropped: counted in the last sixteen characters, as
    // zero bytes once xor "0" (the point stops the count, and there are at
    // most nine places). Counting, not a loop, spares a branch per zero.
    constexpr std::uint64_t kZeros = 0x3030303030303030ull;
    std::uint64_t last = 0;
    std::uint64_t before = 0;
    std::memcpy(&last, out - 8, 8);
    std::memcpy(&before, out - 16, 8);
    const auto tail = static_cast<std::size_t>(std::countl_zero(last ^ kZeros) / 8);
    const auto more = static_cast<std::size_t>(std::countl_zero(before ^ kZeros) / 8);
    out -= tail + (tail == 8 ? more : 0);
    out[0] = '\r';
    out[1] = '\n';
    runtime::WRTCHARS(
        std::span<const char>(line.data(), static_cast<std::size_t>(out + 2 - line.data())));
    return true;
}

} // namespace calc::fast
