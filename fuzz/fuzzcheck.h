// Shared pieces of the fuzz targets: property checks that stop the run with a
// readable reason, guard bytes around caller-owned storage, and reading back
// the decimal texts the conversions write.
//
// A failed property aborts, so libFuzzer keeps the input that broke it. The
// module under test reports nothing through these helpers: they are the
// fuzzer's own view from outside.
#pragma once

#include "calc/startup.h"
#include "runtime/console.h"
#include "runtime/failure.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>

namespace fuzzcheck {

inline void writeErr(std::string_view s) {
    while (!s.empty()) {
        ssize_t done = ::write(2, s.data(), s.size());
        if (done <= 0) return;
        s.remove_prefix(static_cast<std::size_t>(done));
    }
}

// Shows s with every byte outside printable ASCII as \xHH.
inline std::string printable(std::string_view s) {
    constexpr std::string_view hex = "0123456789ABCDEF";
    std::string out;
    for (char ch : s) {
        auto c = static_cast<unsigned char>(ch);
        if (c >= 32 && c < 127 && c != '\\') {
            out.push_back(ch);
        } else {
            out += "\\x";
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15u]);
        }
    }
    return out;
}

[[noreturn]] inline void fail(std::string_view what, std::string_view detail = {}) {
    writeErr("\n*** property failed: ");
    writeErr(what);
    if (!detail.empty()) {
        writeErr("\n*** detail: ");
        writeErr(printable(detail));
    }
    writeErr("\n");
    std::abort();
}

inline void require(bool holds, std::string_view what, std::string_view detail = {}) {
    if (!holds) fail(what, detail);
}

inline std::string decimal(std::uint64_t n) {
    std::string s;
    do {
        s.insert(s.begin(), static_cast<char>('0' + n % 10));
        n /= 10;
    } while (n != 0);
    return s;
}

inline std::string decimal(std::int64_t n) {
    if (n >= 0) return decimal(static_cast<std::uint64_t>(n));
    return "-" + decimal(0u - static_cast<std::uint64_t>(n));
}

// The bits of a double, as 16 hexadecimal digits, for failure details.
inline std::string bitsOf(double v) {
    constexpr std::string_view hex = "0123456789ABCDEF";
    std::uint64_t b = 0;
    static_assert(sizeof b == sizeof v);
    __builtin_memcpy(&b, &v, sizeof b);
    std::string s(16, '0');
    for (std::size_t i = 0; i < 16; ++i) s[15 - i] = hex[(b >> (4 * i)) & 15u];
    return s;
}

// A failure report (RAISEFAIL, REPORTFAIL) would end the process with status
// 255, which libFuzzer cannot tell from a clean exit. The termination
// procedures run first, so one registered here turns every report into a
// finding with its input kept.
inline void onFailureReport() {
    fail("the failure handler was reached (the program would end with 255)");
}

inline void catchFailureReports() {
    static bool registered = false;
    if (!registered) {
        runtime::onHalt(onFailureReport);
        registered = true;
    }
}

// A fresh start for one input: every module as the program starts it (the
// console and the signal handling stay the target's), and no console output
// left over from the input before.
inline void freshStart() {
    calc::startModules(calc::StartFor::Library);
    runtime::conTakeOutput();
}

// Storage of type T between two runs of guard bytes. AddressSanitizer cannot
// see a write that stays inside one object, so the guards are checked by hand
// after every operation.
template <typename T> struct Guarded {
    static constexpr std::uint8_t kGuard = 0xA5;
    std::array<std::uint8_t, 32> before{};
    T value{};
    std::array<std::uint8_t, 32> after{};

    Guarded() {
        before.fill(kGuard);
        after.fill(kGuard);
    }
    void check(std::string_view what) const {
        for (std::uint8_t b : before) require(b == kGuard, "write before the storage", what);
        for (std::uint8_t b : after) require(b == kGuard, "write after the storage", what);
    }
};

// The value of a decimal text ("-12.5", "1.25E-003", "7."), or nothing when it
// is not one. Long double keeps 64 bits, so the texts of doubles read back with
// an error far below any unit in their last shown place.
inline std::optional<long double> readDecimal(std::string_view s) {
    std::string t(s);
    if (!t.empty() && t.back() == '.') t.pop_back(); // "5." is five
    if (t.empty()) return std::nullopt;
    long double v = 0;
    const char* first = t.data();
    const char* last = t.data() + t.size();
    auto [end, ec] = std::from_chars(first, last, v);
    if (ec != std::errc{} || end != last) return std::nullopt;
    return v;
}

inline bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }

// 10^k as a long double, for tolerances.
inline long double pow10(int k) {
    long double r = 1;
    long double base = k < 0 ? 0.1L : 10.0L;
    for (int i = 0; i < (k < 0 ? -k : k); ++i) r *= base;
    return r;
}

// A fuzz input read as a script, front to back: what the targets that need
// it consume, readable without libFuzzer so that the unit suite runs the same
// properties on inputs it makes itself. Past the end every value is its low
// bound, every flag false and every text empty.
class Script {
  public:
    Script(const std::uint8_t* data, std::size_t size) : at_(data), left_(size) {}

    std::size_t remaining_bytes() const { return left_; }

    // lo plus the next bytes, as many as the range needs (least significant
    // first), reduced into lo..hi.
    template <typename T> T ConsumeIntegralInRange(T lo, T hi) {
        const auto range = static_cast<std::uint64_t>(hi) - static_cast<std::uint64_t>(lo);
        std::uint64_t acc = 0;
        for (std::size_t k = 0; k < 8 && (range >> (8 * k)) != 0 && left_ > 0; ++k) {
            acc |= std::uint64_t{next()} << (8 * k);
        }
        if (range != ~std::uint64_t{0}) acc %= range + 1;
        return static_cast<T>(static_cast<std::uint64_t>(lo) + acc);
    }
    template <typename T> T ConsumeIntegral() {
        return ConsumeIntegralInRange<T>(std::numeric_limits<T>::min(),
                                         std::numeric_limits<T>::max());
    }
    bool ConsumeBool() { return (ConsumeIntegral<std::uint8_t>() & 1u) != 0; }
    std::string ConsumeBytesAsString(std::size_t n) {
        std::string s;
        while (s.size() < n && left_ > 0) s.push_back(static_cast<char>(next()));
        return s;
    }
    // Characters up to a backslash followed by anything but a backslash (two
    // backslashes stand for one), at most max of them.
    std::string ConsumeRandomLengthString(std::size_t max) {
        std::string s;
        while (s.size() < max && left_ > 0) {
            char c = static_cast<char>(next());
            if (c == '\\' && left_ > 0) {
                c = static_cast<char>(next());
                if (c != '\\') break;
            }
            s.push_back(c);
        }
        return s;
    }

  private:
    std::uint8_t next() {
        --left_;
        return *at_++;
    }
    const std::uint8_t* at_;
    std::size_t left_;
};

} // namespace fuzzcheck
