// Numeric text helpers: whole numbers and reals through their decimal text,
// and the cropping of number text that the command loop shares.
#include "text/numtext.h"

#include "text/textbuf.h"

namespace text::num {

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
    MOVFWD(s.subspan(first - 1), s, kept);
    if (kept < s.size()) s[kept] = '\0';
}

} // namespace text::num
