// Numeric text helpers: whole numbers and reals through their decimal text,
// and the cropping of number text that the command loop shares.
#include "text/numtext.h"

#include "realtext/chop.h"
#include "realtext/inttext.h"
#include "realtext/realtext.h"
#include "runtime/console.h"
#include "text/bytewords.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace text::num {
namespace {

// REALTOFIX with D = 15 and I = 14: one place after the point.
constexpr std::uint32_t kOnePlaceD = 15;
constexpr std::uint32_t kOnePlaceI = 14;
// INTTOREAL right-aligns the digits in this many characters.
constexpr std::int32_t kIntWidth = 40;

static_assert(std::numeric_limits<double>::is_iec559,
              "a long double beyond the double range must round to an infinity");

} // namespace

std::int32_t NEARINT(double x) { return realtext::low32Signed(realtext::chopNearest(x)); }

double PWRR(double base, double exponent) {
    // The logarithm of a base that is not positive fails; that gives NaN, 0 to
    // any power included.
    if (!(base > 0)) return std::numeric_limits<double>::quiet_NaN();
    long double u = static_cast<long double>(exponent) * std::log2l(base);
    return static_cast<double>(std::exp2l(u));
}

void CROPNUM(std::span<char> s) {
    std::uint32_t len = STRLNG(s);
    std::uint32_t last = SCNBWD(s, len, '0', false); // last character that is not "0"
    if (last == 0) {
        // Empty or nothing but zeros: nothing is left to keep.
        if (!s.empty()) s[0] = '\0';
        return;
    }
    std::uint32_t first = SCNFWD(s, last, ' ', false); // first character that is not a blank
    std::uint32_t kept = last - (first - 1);
    if (first > 1) MOVFWD(s.subspan(first - 1), s, kept); // else it would stay where it is
    if (kept < s.size()) s[kept] = '\0';
}

void cropFixed(std::span<char> s) {
    std::uint32_t len = STRLNG(s);
    if (SCNFWD(s, len, '.', true) <= len) CROPNUM(s);
}

namespace {

using bytes::kEachByte;
using bytes::wordAt;

// The length of text[0, n) without its trailing '0' characters: a word
// equal to eight of them is skipped whole, and in the first that is not, the
// highest byte that differs from '0' is the last character kept.
std::size_t withoutTrailingZeros(const char* text, std::size_t n) {
    for (; n >= 8; n -= 8) {
        const std::uint64_t other = wordAt(text + n - 8) ^ (kEachByte * '0');
        if (other != 0) return n - static_cast<std::size_t>(std::countl_zero(other) / 8);
    }
    while (n > 0 && text[n - 1] == '0') --n;
    return n;
}

// Whether text[0, n) holds a point, looked for from the end, where it is a
// few places away: a word holds one when a byte of it XOR '.' is zero.
bool holdsPoint(const char* text, std::size_t n) {
    for (; n >= 8; n -= 8) {
        const std::uint64_t x = wordAt(text + n - 8) ^ (kEachByte * '.');
        if (bytes::zeroBytes(x) != 0) return true;
    }
    return std::memchr(text, '.', n) != nullptr;
}

} // namespace

std::size_t croppedLength(std::span<const char> text) {
    const std::size_t n = withoutTrailingZeros(text.data(), text.size());
    if (n == text.size()) return n; // no zeros to drop
    // The zeros go when a point stands before them.
    return holdsPoint(text.data(), n) ? n : text.size();
}

void GETCROPNUM(double x, std::span<char> s) {
    std::uint32_t pos = 0;
    bool ok = false;
    realtext::REALTOFIX(x, kOnePlaceD, kOnePlaceI, s, pos, ok);
    if (!ok) {
        const runtime::MessageScope message;
        runtime::WRTSTR(" Error while converting real to string in GETCROPNUM,");
        runtime::WRTLN();
        runtime::WRTSTR(" probably because string was too small.");
        runtime::WRTLN();
    }
    // Whatever fitted is cropped, but only where its point shows that the
    // trailing zeros are decimals: 10^63 is not to become "1".
    cropFixed(s);
}

double INTTOREAL(std::int64_t n) {
    TEXTBUF work{};
    std::uint32_t pos = 0;
    bool ok = false;
    realtext::INTTOTEXT(n, kIntWidth, work.CHARS, pos, ok);
    double value = 0.0; // always replaced: the text holds at least one digit
    pos = 0;
    realtext::TEXTTOREAL(work.CHARS, pos, value, ok);
    return value;
}

std::int64_t REALTOINT(double x) {
    TEXTBUF work{};
    if (!wholeDigits(x, work)) return realtext::kIntIndefinite;
    std::int64_t result = 0;
    std::uint32_t pos = 0;
    bool ok = false;
    // An integer part too long for 64 bits gives the digits read before the
    // overflow: 10^19 gives 10^18.
    realtext::TEXTTOINT(work.CHARS, pos, result, ok);
    return result;
}

bool wholeDigits(double x, TEXTBUF& buf) {
    std::uint32_t pos = 0;
    bool ok = false;
    realtext::REALTOFIX(x, kOnePlaceD, kOnePlaceI, buf.CHARS, pos, ok);
    TRMBUF(buf);
    std::uint32_t p = FNDLSTCHR(buf, '.');
    if (p == 0) return false;
    buf.CHARS[p - 1] = '\0';
    buf.COUNT = p - 1;
    return true;
}

} // namespace text::num
