// Text buffers: bounded length, comparison, trimming, searching, scanning,
// copying, inserting and removing characters in caller-owned TEXTBUFs.
//
// Counts in a TEXTBUF are trusted only as far as CHARS reaches: every index
// is checked against the capacity, so a record with an inconsistent COUNT can
// give a short result but never an access outside CHARS.
#include "text/textbuf.h"

#include "runtime/console.h"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <string>

namespace text {
namespace {

struct TextState {
    std::uint32_t CASEOFST = 0;
};
constinit TextState st{};

constexpr std::uint32_t kTextCount = static_cast<std::uint32_t>(kTextCap);

// A count clipped to the capacity of CHARS.
std::uint32_t clip(std::uint32_t count) { return std::min(count, kTextCount); }

// Copies source elements 0..n-1 into target from element at, never past CHARS.
void copyInto(std::array<char, kTextCap>& target, std::uint32_t at, const char* source,
              std::uint32_t n) {
    for (std::uint32_t i = 0; i < n && at + i < kTextCount; ++i) target[at + i] = source[i];
}

// Appends source to target as ADDBUF does, once the caller has checked that
// the combined length is at most 255: the source's character after its text
// (normally its NUL) comes along.
void appendChecked(const TEXTBUF& source, TEXTBUF& target) {
    std::uint32_t sc = source.COUNT; // <= 255 - target.COUNT, so sc + 1 elements exist
    copyInto(target.CHARS, target.COUNT, source.CHARS.data(), sc + 1);
    target.ORIGCNT += source.ORIGCNT;
    target.COUNT += sc;
}

} // namespace

void textInit() { st.CASEOFST = 32; }

std::uint32_t STRLNG(std::span<const char> text) {
    // The first NUL within the capacity (the library's memchr); the capacity
    // when there is none. No element past the array is read.
    const char* nul = std::char_traits<char>::find(text.data(), text.size(), '\0');
    return static_cast<std::uint32_t>(nul != nullptr ? nul - text.data()
                                                     : static_cast<std::ptrdiff_t>(text.size()));
}

std::int32_t CMPSTR(std::span<const char> first, std::span<const char> second) {
    std::uint32_t la = STRLNG(first);
    std::uint32_t lb = STRLNG(second);
    for (std::uint32_t i = 0; i < la && i < lb; ++i) {
        auto a = static_cast<unsigned char>(first[i]);
        auto b = static_cast<unsigned char>(second[i]);
        if (a != b) return static_cast<std::int32_t>(a) - static_cast<std::int32_t>(b);
    }
    return static_cast<std::int32_t>(la) - static_cast<std::int32_t>(lb);
}

std::uint32_t FNDLSTCHR(const TEXTBUF& buf, char ch) {
    std::uint32_t p = clip(buf.COUNT);
    while (p > 0 && buf.CHARS[p - 1] != ch) --p;
    return p;
}

std::uint32_t MAXCRD(std::uint32_t a, std::uint32_t b) { return b >= a ? b : a; }

void APNDBUF(TEXTBUF& target, const TEXTBUF& source) {
    if (&source == &target) { // appended to itself: the text before the append, not after
        const TEXTBUF copy = source;
        APNDBUF(target, copy);
        return;
    }
    // Callers are to keep the two counts within 255; a longer result is cut at
    // the capacity instead of running past CHARS.
    std::uint32_t tc = clip(target.COUNT);
    std::uint32_t sc = clip(source.COUNT);
    std::uint32_t withNul = sc < kTextCount ? sc + 1 : sc;
    copyInto(target.CHARS, tc, source.CHARS.data(), withNul);
    target.COUNT = std::min(tc + sc, kTextCount);
    target.ORIGCNT += source.ORIGCNT;
}

namespace {

// The length of the text's first len characters without the blanks that end them.
std::uint32_t withoutTrailingBlanks(const std::array<char, kTextCap>& text, std::uint32_t len) {
    while (len > 0 && text[len - 1] == ' ') --len;
    return len;
}

} // namespace

std::uint32_t TRMLNG(const std::array<char, kTextCap>& text) {
    return withoutTrailingBlanks(text, STRLNG(text));
}

void TRMBUF(TEXTBUF& buf) { trimMeasured(buf, STRLNG(buf.CHARS)); }

void trimMeasured(TEXTBUF& buf, std::uint32_t length) {
    assert(length == STRLNG(buf.CHARS));
    const std::uint32_t len = withoutTrailingBlanks(buf.CHARS, length);
    buf.COUNT = len;
    if (len < kTextCount) buf.CHARS[len] = '\0'; // a full 256-character text has no room for one
}

bool ISCTLCHR(char ch) { return static_cast<unsigned char>(ch) < 32; }

bool ISDGTCHR(char ch) { return ch >= '0' && ch <= '9'; }

char UPRCHR(char ch) {
    if (ch >= 'a' && ch <= 'z')
        return static_cast<char>(static_cast<std::uint32_t>(ch) - st.CASEOFST);
    return ch;
}

void RMVCHR(TEXTBUF& BUF, std::uint32_t STRTCL, std::uint32_t RMVCNT) {
    std::uint64_t end = std::uint64_t{STRTCL} + RMVCNT;
    std::uint32_t count = clip(BUF.COUNT);
    // Position 0 does not exist: it is refused like any other impossible range.
    if (end > std::uint64_t{BUF.COUNT} + 1 || BUF.COUNT == 0 || STRTCL == 0) {
        const runtime::MessageScope message;
        runtime::WRTSTR(" IN RMVCHR; PARAMS DON'T MAKE SENSE: RMVCNT=");
        runtime::WRTCARD(RMVCNT, 0);
        runtime::WRTSTR(", STRTCL=");
        runtime::WRTCARD(STRTCL, 0);
        runtime::WRTSTR(", BUF.COUNT=");
        runtime::WRTCARD(BUF.COUNT, 0);
        runtime::WRTLN();
        runtime::WRTSTR(" BUF: ");
        runtime::WRTSTR(BUF.CHARS);
        return;
    }
    for (std::uint64_t p = end; p <= count; ++p) BUF.CHARS[p - RMVCNT - 1] = BUF.CHARS[p - 1];
    BUF.COUNT = count - std::min(RMVCNT, count);
    if (BUF.COUNT < kTextCount) BUF.CHARS[BUF.COUNT] = '\0';
}

void ADDBUF(const TEXTBUF& source, TEXTBUF& target) {
    if (std::uint64_t{target.COUNT} + source.COUNT > kTextCount - 1) return;
    if (&source ==
        &target) { // appended to itself: its NUL must come along, not its first character
        const TEXTBUF copy = source;
        appendChecked(copy, target);
        return;
    }
    appendChecked(source, target);
}

void CATBUF(const TEXTBUF& first, const TEXTBUF& second, TEXTBUF& target) {
    if (std::uint64_t{first.COUNT} + second.COUNT > kTextCount - 1) return;
    TEXTBUF result = first; // second may be the target itself
    appendChecked(second, result);
    target = result;
}

void INSBUF(const TEXTBUF& source, TEXTBUF& target, std::uint32_t position) {
    std::uint64_t tc = target.COUNT;
    std::uint32_t sc = source.COUNT;
    if (tc + sc >= kTextCount - 1 || position > tc + 1 || position == 0) return;
    TEXTBUF src = source; // source may be the target itself
    // Open a gap of sc characters at position, moving the tail and its NUL right.
    for (std::uint64_t q = tc + 1; q >= position; --q)
        target.CHARS[q + sc - 1] = target.CHARS[q - 1];
    copyInto(target.CHARS, position - 1, src.CHARS.data(), sc);
    // The text has grown by the inserted characters; the counts follow it.
    target.COUNT += sc;
    target.ORIGCNT += sc;
}

void SETBUF(std::span<const char> text, TEXTBUF& target) {
    std::uint32_t len = std::min(STRLNG(text), kTextCount);
    copyInto(target.CHARS, 0, text.data(), len);
    // Terminate whenever there is room, so that no character of an earlier
    // text shows behind a 255-character one.
    if (len < kTextCount) target.CHARS[len] = '\0';
    target.COUNT = len;
    target.ORIGCNT = len;
}

void MOVFWD(std::span<const char> source, std::span<char> destination, std::uint32_t n) {
    std::size_t len = std::min<std::size_t>({n, source.size(), destination.size()});
    for (std::size_t i = 0; i < len; ++i) destination[i] = source[i];
}

void MOVBWD(std::span<const char> source, std::span<char> destination, std::uint32_t n) {
    std::size_t len = std::min<std::size_t>({n, source.size(), destination.size()});
    for (std::size_t i = len; i > 0; --i) destination[i - 1] = source[i - 1];
}

void FILLCHR(std::span<char> destination, std::uint32_t n, char ch) {
    std::size_t len = std::min<std::size_t>(n, destination.size());
    for (std::size_t i = 0; i < len; ++i) destination[i] = ch;
}

std::uint32_t SCNFWD(std::span<const char> s, std::uint32_t n, char ch, bool wanted) {
    if (n == 0) return 0;
    std::uint32_t len = static_cast<std::uint32_t>(std::min<std::size_t>(n, s.size()));
    for (std::uint32_t i = 0; i < len; ++i) {
        if ((s[i] == ch) == wanted) return i + 1;
    }
    return n + 1;
}

std::uint32_t SCNBWD(std::span<const char> s, std::uint32_t n, char ch, bool wanted) {
    if (n == 0) return 0;
    std::uint32_t len = static_cast<std::uint32_t>(std::min<std::size_t>(n, s.size()));
    for (std::uint32_t i = len; i > 0; --i) {
        if ((s[i - 1] == ch) == wanted) return i;
    }
    return 0;
}

} // namespace text
