// Fuzz target: the text-buffer operations with arbitrary positions and counts.
//
// Three TEXTBUFs sit between guard bytes; a script of operations (taken from
// the input) runs on them with arbitrary positions, counts, characters and
// texts, the same buffer allowed as source and target. After every operation:
// - no byte outside the three records has changed (the guards) and no index
//   left its array (the library's bounds checks in the fuzz build);
// - while every COUNT is a real count (at most 256), each buffer equals a
//   model worked out here, step by step from the rules of the operations, and
//   so does every result and the RMVCHR diagnostic to the byte;
// - once a COUNT has been set to anything at all, the operations must still
//   stay inside the records: only the guards are checked from then on.
#include "fuzzcheck.h"

#include "runtime/console.h"
#include "runtime/failure.h"
#include "text/textbuf.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

namespace {

using fuzzcheck::require;
using text::TEXTBUF;

constexpr std::uint32_t kCap = 256;

struct Buffers {
    std::array<fuzzcheck::Guarded<TEXTBUF>, 3> real{};
    std::array<TEXTBUF, 3> model{};
    bool wild = false; // some COUNT is past the capacity: models no longer apply
};

std::uint32_t modelStrlng(const char* s, std::size_t cap) {
    std::uint32_t n = 0;
    while (n < cap && s[n] != '\0') ++n;
    return n;
}

void modelAddbuf(const TEXTBUF& sourceIn, TEXTBUF& target) {
    TEXTBUF source = sourceIn; // a buffer appended to itself appends its old text
    if (std::uint64_t{target.COUNT} + source.COUNT > 255) return;
    for (std::uint32_t i = 0; i <= source.COUNT; ++i)
        target.CHARS[target.COUNT + i] = source.CHARS[i];
    target.ORIGCNT += source.ORIGCNT;
    target.COUNT += source.COUNT;
}

void modelInsbuf(const TEXTBUF& sourceIn, TEXTBUF& target, std::uint32_t position) {
    TEXTBUF source = sourceIn;
    std::uint64_t tc = target.COUNT;
    std::uint32_t sc = source.COUNT;
    if (tc + sc >= 255 || position > tc + 1 || position == 0) return;
    for (std::uint64_t q = tc + 1; q >= position; --q)
        target.CHARS[q + sc - 1] = target.CHARS[q - 1];
    for (std::uint32_t i = 0; i < sc; ++i) target.CHARS[position - 1 + i] = source.CHARS[i];
    // The counts follow the grown text, as the appending operations' do.
    target.COUNT += sc;
    target.ORIGCNT += sc;
}

std::string cardText(std::uint32_t n) { return " " + fuzzcheck::decimal(std::uint64_t{n}); }

// Applies RMVCHR to the model; returns the diagnostic it must write.
std::string modelRmvchr(TEXTBUF& buf, std::uint32_t start, std::uint32_t count) {
    if (std::uint64_t{start} + count > std::uint64_t{buf.COUNT} + 1 || buf.COUNT == 0 ||
        start == 0) {
        return " IN RMVCHR; PARAMS DON'T MAKE SENSE: RMVCNT=" + cardText(count) +
               ", STRTCL=" + cardText(start) + ", BUF.COUNT=" + cardText(buf.COUNT) +
               "\r\n BUF: " + std::string(buf.CHARS.data(), modelStrlng(buf.CHARS.data(), kCap));
    }
    for (std::uint64_t p = std::uint64_t{start} + count; p <= buf.COUNT; ++p)
        buf.CHARS[p - count - 1] = buf.CHARS[p - 1];
    buf.COUNT -= count;
    if (buf.COUNT < kCap) buf.CHARS[buf.COUNT] = '\0';
    return {};
}

void modelTrmbuf(TEXTBUF& buf) {
    std::uint32_t len = modelStrlng(buf.CHARS.data(), kCap);
    while (len > 0 && buf.CHARS[len - 1] == ' ') --len;
    buf.COUNT = len;
    if (len < kCap) buf.CHARS[len] = '\0';
}

bool same(const TEXTBUF& a, const TEXTBUF& b) {
    return a.CHARS == b.CHARS && a.COUNT == b.COUNT && a.ORIGCNT == b.ORIGCNT;
}

std::string describe(const TEXTBUF& b) {
    return "COUNT " + fuzzcheck::decimal(std::uint64_t{b.COUNT}) + " ORIGCNT " +
           fuzzcheck::decimal(std::uint64_t{b.ORIGCNT}) + " [" +
           std::string(b.CHARS.data(), b.CHARS.size()) + "]";
}

void checkAll(Buffers& bufs, const std::string& op) {
    for (std::size_t i = 0; i < 3; ++i) {
        bufs.real[i].check(op);
        if (!bufs.wild) {
            require(same(bufs.real[i].value, bufs.model[i]), "buffer differs from its model",
                    op + "\n got  " + describe(bufs.real[i].value) + "\n want " +
                        describe(bufs.model[i]));
        }
    }
    std::string out = runtime::conTakeOutput();
    require(out.empty(), "an operation wrote on the console unasked", op + ": " + out);
}

// A sub-range of a buffer's CHARS as the byte operations take it.
struct Range {
    std::size_t buf = 0;
    std::size_t from = 0;
    std::size_t len = 0;
};

Range takeRange(FuzzedDataProvider& fdp) {
    Range r;
    r.buf = fdp.ConsumeIntegralInRange<std::size_t>(0, 2);
    r.from = fdp.ConsumeIntegralInRange<std::size_t>(0, kCap);
    r.len = fdp.ConsumeIntegralInRange<std::size_t>(0, kCap - r.from);
    return r;
}

std::uint32_t takeCount(FuzzedDataProvider& fdp) {
    switch (fdp.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
        return fdp.ConsumeIntegralInRange<std::uint32_t>(0, 8);
    case 1:
        return fdp.ConsumeIntegralInRange<std::uint32_t>(240, 260);
    case 2:
        return fdp.ConsumeIntegralInRange<std::uint32_t>(0, 300);
    default:
        return fdp.ConsumeIntegral<std::uint32_t>();
    }
}

void runOne(Buffers& bufs, FuzzedDataProvider& fdp) {
    const int op = fdp.ConsumeIntegralInRange<int>(0, 20);
    const std::size_t a = fdp.ConsumeIntegralInRange<std::size_t>(0, 2);
    const std::size_t b = fdp.ConsumeIntegralInRange<std::size_t>(0, 2);
    const std::size_t c = fdp.ConsumeIntegralInRange<std::size_t>(0, 2);
    TEXTBUF& A = bufs.real[a].value;
    TEXTBUF& B = bufs.real[b].value;
    TEXTBUF& C = bufs.real[c].value;
    std::string name = "op " + fuzzcheck::decimal(std::int64_t{op}) + " on " +
                       fuzzcheck::decimal(std::uint64_t{a}) + "," +
                       fuzzcheck::decimal(std::uint64_t{b}) + "," +
                       fuzzcheck::decimal(std::uint64_t{c});
    switch (op) {
    case 0: { // SETBUF from a text of any capacity, NULs anywhere
        std::string s = fdp.ConsumeRandomLengthString(300);
        std::vector<char> text(s.begin(), s.end());
        text::SETBUF(text, A);
        TEXTBUF& m = bufs.model[a];
        std::uint32_t len = std::min(modelStrlng(text.data(), text.size()), kCap);
        for (std::uint32_t i = 0; i < len; ++i) m.CHARS[i] = text[i];
        if (len < kCap) m.CHARS[len] = '\0';
        m.COUNT = len;
        m.ORIGCNT = len;
        break;
    }
    case 1: { // raw characters and a count of up to 256: consistent, NULs anywhere
        std::string s = fdp.ConsumeBytesAsString(kCap);
        std::uint32_t count = fdp.ConsumeIntegralInRange<std::uint32_t>(0, kCap);
        for (std::size_t i = 0; i < kCap; ++i) A.CHARS[i] = i < s.size() ? s[i] : '\0';
        A.COUNT = count;
        A.ORIGCNT = fdp.ConsumeIntegral<std::uint32_t>();
        bufs.model[a] = A;
        break;
    }
    case 2: { // any count at all
        A.COUNT = fdp.ConsumeIntegral<std::uint32_t>();
        bufs.model[a] = A;
        if (A.COUNT > kCap) bufs.wild = true;
        break;
    }
    case 3:
        text::TRMBUF(A);
        modelTrmbuf(bufs.model[a]);
        break;
    case 4: {
        std::uint32_t start = takeCount(fdp);
        std::uint32_t count = takeCount(fdp);
        name += " RMVCHR " + fuzzcheck::decimal(std::uint64_t{start}) + " " +
                fuzzcheck::decimal(std::uint64_t{count});
        text::RMVCHR(A, start, count);
        std::string out = runtime::conTakeOutput();
        if (!bufs.wild) {
            std::string want = modelRmvchr(bufs.model[a], start, count);
            require(out == want, "RMVCHR diagnostic", name + "\n got  " + out + "\n want " + want);
        }
        break;
    }
    case 5:
        name += " ADDBUF";
        text::ADDBUF(B, A);
        if (!bufs.wild) modelAddbuf(bufs.model[b], bufs.model[a]);
        break;
    case 6: {
        name += " CATBUF";
        text::CATBUF(B, C, A);
        if (!bufs.wild && std::uint64_t{bufs.model[b].COUNT} + bufs.model[c].COUNT <= 255) {
            TEXTBUF r = bufs.model[b];
            modelAddbuf(bufs.model[c], r);
            bufs.model[a] = r;
        }
        break;
    }
    case 7: {
        std::uint32_t position = takeCount(fdp);
        name += " INSBUF at " + fuzzcheck::decimal(std::uint64_t{position});
        text::INSBUF(B, A, position);
        if (!bufs.wild) modelInsbuf(bufs.model[b], bufs.model[a], position);
        break;
    }
    case 8: {
        name += " APNDBUF";
        const bool fits = std::uint64_t{A.COUNT} + B.COUNT <= 255;
        text::APNDBUF(A, B);
        // Without room the result is the implementation's; it must stay inside.
        if (!bufs.wild && fits) {
            TEXTBUF source = bufs.model[b];
            TEXTBUF& m = bufs.model[a];
            for (std::uint32_t i = 0; i <= source.COUNT; ++i)
                m.CHARS[m.COUNT + i] = source.CHARS[i];
            m.ORIGCNT += source.ORIGCNT;
            m.COUNT += source.COUNT;
        } else {
            bufs.model[a] = A;
            require(A.COUNT <= kCap || bufs.wild, "APNDBUF made a count past the capacity", name);
        }
        break;
    }
    case 9: {
        char ch = fdp.ConsumeIntegral<char>();
        std::uint32_t got = text::FNDLSTCHR(A, ch);
        if (!bufs.wild) {
            std::uint32_t p = bufs.model[a].COUNT;
            while (p > 0 && bufs.model[a].CHARS[p - 1] != ch) --p;
            require(got == p, "FNDLSTCHR position", name);
        }
        break;
    }
    case 10: {
        Range r = takeRange(fdp);
        TEXTBUF& buf = bufs.real[r.buf].value;
        std::uint32_t got = text::STRLNG(std::span<const char>(buf.CHARS).subspan(r.from, r.len));
        require(got == modelStrlng(buf.CHARS.data() + r.from, r.len), "STRLNG", name);
        break;
    }
    case 11: {
        Range r1 = takeRange(fdp);
        Range r2 = takeRange(fdp);
        auto s1 = std::span<const char>(bufs.real[r1.buf].value.CHARS).subspan(r1.from, r1.len);
        auto s2 = std::span<const char>(bufs.real[r2.buf].value.CHARS).subspan(r2.from, r2.len);
        std::int32_t got = text::CMPSTR(s1, s2);
        std::uint32_t la = modelStrlng(s1.data(), s1.size());
        std::uint32_t lb = modelStrlng(s2.data(), s2.size());
        std::int32_t want = static_cast<std::int32_t>(la) - static_cast<std::int32_t>(lb);
        for (std::uint32_t i = 0; i < la && i < lb; ++i) {
            if (s1[i] != s2[i]) {
                want = static_cast<std::int32_t>(static_cast<unsigned char>(s1[i])) -
                       static_cast<std::int32_t>(static_cast<unsigned char>(s2[i]));
                break;
            }
        }
        require(got == want, "CMPSTR", name);
        break;
    }
    case 12:
    case 13: { // MOVFWD / MOVBWD within or between buffers, overlaps included
        Range src = takeRange(fdp);
        Range dst = takeRange(fdp);
        std::uint32_t n = takeCount(fdp);
        auto s = std::span<const char>(bufs.real[src.buf].value.CHARS).subspan(src.from, src.len);
        auto d = std::span<char>(bufs.real[dst.buf].value.CHARS).subspan(dst.from, dst.len);
        std::size_t len = std::min<std::size_t>({n, src.len, dst.len});
        TEXTBUF& ms = bufs.model[src.buf];
        TEXTBUF& md = bufs.model[dst.buf];
        if (op == 12) {
            text::MOVFWD(s, d, n);
            for (std::size_t i = 0; i < len; ++i) md.CHARS[dst.from + i] = ms.CHARS[src.from + i];
        } else {
            text::MOVBWD(s, d, n);
            for (std::size_t i = len; i > 0; --i)
                md.CHARS[dst.from + i - 1] = ms.CHARS[src.from + i - 1];
        }
        break;
    }
    case 14: {
        Range dst = takeRange(fdp);
        std::uint32_t n = takeCount(fdp);
        char ch = fdp.ConsumeIntegral<char>();
        text::FILLCHR(std::span<char>(bufs.real[dst.buf].value.CHARS).subspan(dst.from, dst.len), n,
                      ch);
        for (std::size_t i = 0; i < std::min<std::size_t>(n, dst.len); ++i)
            bufs.model[dst.buf].CHARS[dst.from + i] = ch;
        break;
    }
    case 15:
    case 16: {
        Range r = takeRange(fdp);
        std::uint32_t n = takeCount(fdp);
        char ch = fdp.ConsumeIntegral<char>();
        bool wanted = fdp.ConsumeBool();
        auto s = std::span<const char>(bufs.real[r.buf].value.CHARS).subspan(r.from, r.len);
        std::size_t len = std::min<std::size_t>(n, r.len);
        std::uint32_t want = 0;
        if (op == 15) {
            std::uint32_t got = text::SCNFWD(s, n, ch, wanted);
            if (n != 0) {
                want = n + 1; // none qualifies
                for (std::size_t i = 0; i < len; ++i) {
                    if ((s[i] == ch) == wanted) {
                        want = static_cast<std::uint32_t>(i + 1);
                        break;
                    }
                }
            }
            require(got == want, "SCNFWD", name);
        } else {
            std::uint32_t got = text::SCNBWD(s, n, ch, wanted);
            for (std::size_t i = len; i > 0; --i) {
                if ((s[i - 1] == ch) == wanted) {
                    want = static_cast<std::uint32_t>(i);
                    break;
                }
            }
            require(got == want, "SCNBWD", name);
        }
        break;
    }
    case 17: {
        std::uint32_t got = text::TRMLNG(A.CHARS);
        std::uint32_t len = modelStrlng(A.CHARS.data(), kCap);
        while (len > 0 && A.CHARS[len - 1] == ' ') --len;
        require(got == len, "TRMLNG", name);
        break;
    }
    case 18: {
        char ch = fdp.ConsumeIntegral<char>();
        auto u = static_cast<unsigned char>(ch);
        require(text::ISCTLCHR(ch) == (u < 32), "ISCTLCHR", name);
        require(text::ISDGTCHR(ch) == (u >= '0' && u <= '9'), "ISDGTCHR", name);
        char up = u >= 'a' && u <= 'z' ? static_cast<char>(u - 32) : ch;
        require(text::UPRCHR(ch) == up, "UPRCHR", name);
        break;
    }
    case 19: {
        std::uint32_t x = fdp.ConsumeIntegral<std::uint32_t>();
        std::uint32_t y = fdp.ConsumeIntegral<std::uint32_t>();
        require(text::MAXCRD(x, y) == (x > y ? x : y), "MAXCRD", name);
        break;
    }
    default: { // a whole record copied by value, as the tokenizer copies a line
        A = B;
        bufs.model[a] = bufs.model[b];
        break;
    }
    }
    checkAll(bufs, name);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzcheck::catchFailureReports();
    runtime::conUseMemory({});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzcheck::freshStart();
    FuzzedDataProvider fdp(data, size);
    Buffers bufs;
    for (std::size_t step = 0; step < 200 && fdp.remaining_bytes() > 0; ++step) runOne(bufs, fdp);
    return 0;
}
