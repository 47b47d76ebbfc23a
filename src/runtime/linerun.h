// The console reader's way through the plain characters of a line: sixteen
// bytes at a time, each sixteen copied whole and only a byte below 14 (a line
// end, a NUL, a CR, a tab or another control character) looked at, so that
// the line end and the first NUL are found in the one pass that copies.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <emmintrin.h>
#include <limits>
#include <span>

namespace runtime::linerun {

constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

// What the reader has stored of a line.
struct Run {
    std::size_t length = 0;       // characters stored
    std::size_t firstNul = kNone; // where the first NUL among them is
    bool lineEnd = false;         // the line end, an LF or a CR and an LF, follows them
};

// One bit for each of the sixteen bytes of v below 14, the first byte's lowest.
inline unsigned lowBytes(__m128i v) {
    const __m128i capped = _mm_min_epu8(v, _mm_set1_epi8(13));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(capped, v)));
}

// Copies the line's characters from `from`, where `buffered` bytes are read,
// into text behind the r.length already there, in runs of sixteen while
// sixteen are buffered and fit: up to the line end when one is found (and
// r.lineEnd set), else as far as the runs reach. Returns how many bytes it
// took. A CR is plain unless an LF follows it; one that is the last byte
// buffered ends the runs, its meaning still to be seen. Bytes of text behind
// the characters copied, up to the end of the last run, are overwritten.
inline std::size_t copyRun(const char* from, std::size_t buffered, std::span<char> text, Run& r) {
    constexpr char kLF = '\n';
    constexpr char kCR = '\r';
    const std::size_t avail = std::min(buffered, text.size() - r.length);
    char* const to = text.data() + r.length;
    std::size_t run = 0;
    while (run + sizeof(__m128i) <= avail) {
        __m128i v;
        std::memcpy(&v, from + run, sizeof v);
        std::memcpy(to + run, &v, sizeof v);
        const unsigned low = lowBytes(v);
        if (low == 0) {
            run += sizeof v;
            continue;
        }
        const std::size_t k = run + static_cast<std::size_t>(std::countr_zero(low));
        const char c = from[k];
        if (c == kLF || (c == kCR && k + 1 < buffered && from[k + 1] == kLF)) {
            r.length += k;
            r.lineEnd = true;
            return k;
        }
        if (c == kCR && k + 1 == buffered) {
            run = k;
            break;
        }
        if (c == '\0') r.firstNul = std::min(r.firstNul, r.length + k);
        run = k + 1;
    }
    r.length += run;
    return run;
}

} // namespace runtime::linerun
