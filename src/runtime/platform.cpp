// Platform layer for Linux: upper-case mapping, the local date, and the
// failure report on standard error.
#include "runtime/platform.h"

#include "runtime/sysio.h"

#include <ctime>
#include <span>

namespace runtime {
namespace {

struct PlatformState {
    bool pinned = false;
    LocalDate pin{};
};
constinit PlatformState st{};

// Nothing is left to do when standard error fails as well.
void writeErr(std::string_view s) {
    std::size_t done = 0;
    (void)sysWrite(2, std::span<const char>(s.data(), s.size()), done);
}

} // namespace

LocalDate platToday() {
    if (st.pinned) return st.pin;
    // clock_gettime tells a failure by its return value: time() answers with
    // -1 both for a failure and for 23:59:59 UTC on 31 December 1969.
    timespec now{};
    std::tm local{};
    if (clock_gettime(CLOCK_REALTIME, &now) != 0 || localtime_r(&now.tv_sec, &local) == nullptr) {
        return LocalDate{}; // no clock: an invalid date, which the calendar answers with 0
    }
    return LocalDate{static_cast<std::uint32_t>(local.tm_year + 1900),
                     static_cast<std::uint32_t>(local.tm_mon + 1),
                     static_cast<std::uint32_t>(local.tm_mday)};
}

void platPinToday(LocalDate date) {
    st.pinned = true;
    st.pin = date;
}

void platUnpin() { st.pinned = false; }

void platReport(std::string_view title, std::string_view text) {
    writeErr(title);
    writeErr("\n");
    writeErr(text);
    writeErr("\n");
}

} // namespace runtime
