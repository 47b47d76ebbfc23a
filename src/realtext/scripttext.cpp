// The script mode's text of a real: the dialogue's fixed-point column where
// it shows every digit that matters, C's scientific form elsewhere.
#include "realtext/scripttext.h"

#include "realtext/realtext.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <string_view>

namespace realtext {
namespace {

// Where the fixed-point text with nine places shows the value.
constexpr double kFixedLow = 1e-9;
constexpr double kFixedHigh = 1e14;
constexpr std::uint32_t kSignificant = 15;

std::size_t put(std::string_view s, ScriptText& text) {
    std::copy(s.begin(), s.end(), text.begin());
    return s.size();
}

// The text without its trailing zeros after the point, and without the point
// when nothing follows it.
std::string_view dropZeros(std::string_view digits) {
    if (digits.find('.') == std::string_view::npos) return digits;
    digits.remove_suffix(digits.size() - 1 - digits.find_last_not_of('0'));
    if (digits.back() == '.') digits.remove_suffix(1);
    return digits;
}

std::size_t fixedText(double x, ScriptText& text) {
    std::array<char, kWorkArea + 1> work{};
    std::uint32_t pos = 0;
    bool ok = false;
    REALTOFIX(x, kShownD, kShownI, work, pos, ok);
    return put(dropZeros(std::string_view(work.data(), pos)), text);
}

// FLTDIGITS gives "-1.23450000000000E+020": the mantissa loses its trailing
// zeros, the exponent its leading zeros down to two digits.
std::size_t scientificText(double x, ScriptText& text) {
    const WorkArea w = FLTDIGITS(x, kSignificant);
    const char* nul = std::char_traits<char>::find(w.data(), w.size(), '\0');
    const std::string_view all(w.data(), nul != nullptr ? static_cast<std::size_t>(nul - w.data())
                                                        : w.size());
    const std::size_t e = all.find('E');
    std::size_t len = put(dropZeros(all.substr(0, e)), text);
    text[len++] = 'e';
    text[len++] = all[e + 1];
    std::string_view exponent = all.substr(e + 2);
    while (exponent.size() > 2 && exponent.front() == '0') exponent.remove_prefix(1);
    std::copy(exponent.begin(), exponent.end(), text.begin() + static_cast<std::ptrdiff_t>(len));
    return len + exponent.size();
}

} // namespace

std::size_t scriptText(double x, ScriptText& text) {
    if (std::isnan(x)) return put("nan", text);
    if (std::isinf(x)) return put(x < 0 ? "-inf" : "inf", text);
    if (x == 0) return put("0", text);
    const double a = std::fabs(x);
    if (a >= kFixedLow && a < kFixedHigh) return fixedText(x, text);
    return scientificText(x, text);
}

} // namespace realtext
