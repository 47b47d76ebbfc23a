// The dialogue's properties, shared by the dialogue fuzz target and the unit
// suite (which runs them over fuzz/regressions/dialogue and a fixed seeded
// corpus):
// - the loop runs exactly as many dialogue steps as the input has lines
//   before its first empty one (worked out here: lines end at LF, a CR before
//   an LF or the end of input belongs to the line end, 256 characters are
//   kept, the text ends at its first NUL, trailing blanks are trimmed);
// - every step is the prompt and a line end, whatever the evaluator wrote,
//   and one result line; the output ends with the last prompt and line end;
// - every result line has its shape: " Result =", the value in a field of 15
//   characters (16 when rounding carries) as fixed-point or mantissa text or
//   "Infinite", then ",       " and the cropped nine-place text; and the two
//   renderings agree to within their last computed places;
// - every line end is CR LF, and the output stays within a fixed multiple of
//   the input (no runaway loop);
// - line by line, the evaluator with its whole-line lane leaves what the
//   general way leaves (registers, LASTX, X, console output, the tokenizer's
//   line, positions and stop record), with the default delimiters and with
//   tab added to them.
#pragma once

#include "fuzzcheck.h"

#include "calc/cmdloop.h"
#include "calc/evaluator.h"
#include "calc/evaluator_testing.h"
#include "calc/regstack.h"
#include "runtime/console.h"
#include "token/tokenizer_testing.h"

#include <array>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace fuzzprop {

using fuzzcheck::isDigit;

using fuzzcheck::pow10;
using fuzzcheck::require;

constexpr std::string_view kPrompt = " 21Jul03 Enter calc, or HELP: ";
constexpr std::string_view kLabel = " Result =";
constexpr std::string_view kSeparator = ",       ";
constexpr std::string_view kCRLF = "\r\n";
constexpr std::size_t kLineCap = 256;
// The most output one input byte can cause: a five-byte HELP writes about
// 1.3 KB. Far below what a loop that does not end would write.
constexpr std::size_t kOutputPerInputByte = 1000;

// The lines the loop evaluates: those before the first line that is empty
// once read into 256 characters, cut at its first NUL and trimmed.
inline std::vector<std::string> evaluatedLines(std::string_view in) {
    std::size_t pos = 0;
    std::vector<std::string> lines;
    for (;;) {
        std::string text;
        while (text.size() < kLineCap && pos < in.size()) {
            char c = in[pos];
            if (c == '\n') break;
            if (c == '\r' && (pos + 1 == in.size() || in[pos + 1] == '\n')) break;
            text.push_back(c);
            ++pos;
        }
        while (pos < in.size() && in[pos] != '\n') ++pos; // the rest of the line
        if (pos < in.size()) ++pos;                       // and its LF
        std::size_t len = text.find('\0');
        if (len == std::string::npos) len = text.size();
        while (len > 0 && text[len - 1] == ' ') --len;
        if (len == 0) return lines;
        lines.push_back(text.substr(0, len));
    }
}

struct Rendering {
    bool infinite = false;
    long double value = 0;
    long double unit = 0; // one unit of the last digit the conversion computed
    bool cut = false;     // digits cut before the point: the value is unknown
};

// The width-15 field: "Infinite" after blanks, fixed-point text, or mantissa
// and three-digit exponent.
inline Rendering readField(std::string_view f, std::string_view line) {
    std::string what(line);
    require(f.size() == 15 || f.size() == 16, "the real field has 15 characters (16 on a carry)",
            what);
    Rendering r;
    if (f == "       Infinite") {
        r.infinite = true;
        return r;
    }
    require(f[0] != ' ', "a finite real fills its field", what);
    std::size_t i = f[0] == '-' ? 1 : 0;
    std::size_t e = f.find('E');
    if (e != std::string_view::npos) {
        require(f.size() == 15, "the mantissa form has exactly 15 characters", what);
        require(e + 5 == f.size() && (f[e + 1] == '+' || f[e + 1] == '-'),
                "exponent of E, sign, three digits", what);
        require(isDigit(f[i]) && f[i + 1] == '.', "mantissa of a digit and a point", what);
        long double m = 0;
        int digits = 0;
        for (std::size_t k = i; k < e; ++k) {
            if (k == i + 1) continue;
            require(isDigit(f[k]), "mantissa digits", what);
            m = m * 10 + (f[k] - '0');
            ++digits;
        }
        require(f[i] != '0' || m == 0, "the first mantissa digit is not 0", what);
        int x = 0;
        for (std::size_t k = e + 2; k < f.size(); ++k) {
            require(isDigit(f[k]), "exponent digits", what);
            x = x * 10 + (f[k] - '0');
        }
        if (f[e + 1] == '-') x = -x;
        r.unit = pow10(x - digits + 1);
        r.value = (i == 1 ? -m : m) * r.unit;
        return r;
    }
    std::size_t point = f.find('.');
    require(point != std::string_view::npos && point > i,
            "fixed-point field with integer digits and a point", what);
    for (std::size_t k = i; k < f.size(); ++k)
        require(k == point || isDigit(f[k]), "fixed-point digits", what);
    auto v = fuzzcheck::readDecimal(f);
    require(v.has_value(), "the field reads back", what);
    r.value = *v;
    std::size_t ndig = point - i;
    std::size_t places = f.size() - point - 1;
    r.unit = ndig >= 15 ? pow10(static_cast<int>(ndig) - 14)
                        : pow10(-static_cast<int>(std::min<std::size_t>(places, 15 - ndig)));
    return r;
}

// The text after the separator: "infinity", "-infinity", the nine-place text
// with its trailing zeros cropped, or (from 10^63 on) integer digits cut
// before their point.
inline Rendering readFixed(std::string_view t, std::string_view line) {
    std::string what(line);
    Rendering r;
    if (t == "infinity" || t == "-infinity") {
        r.infinite = true;
        return r;
    }
    std::size_t i = !t.empty() && t[0] == '-' ? 1 : 0;
    require(i < t.size() && isDigit(t[i]), "the fixed text starts with a digit", what);
    std::size_t point = t.find('.');
    for (std::size_t k = i; k < t.size(); ++k)
        require(k == point || isDigit(t[k]), "fixed text digits", what);
    std::size_t ndig = (point == std::string_view::npos ? t.size() : point) - i;
    require(ndig == 1 || t[i] != '0', "no leading zero in the fixed text", what);
    if (point == std::string_view::npos) {
        require(t.size() - i == 64, "a fixed text without a point is cut at 64 characters", what);
        r.cut = true;
    } else {
        std::size_t places = t.size() - point - 1;
        require(places <= 9, "at most nine places", what);
        require(places == 0 || t.back() != '0', "trailing zeros are cropped", what);
        r.unit = ndig >= 15 ? pow10(static_cast<int>(ndig) - 14)
                            : pow10(-static_cast<int>(std::min<std::size_t>(9, 15 - ndig)));
    }
    auto v = fuzzcheck::readDecimal(t);
    require(v.has_value(), "the fixed text reads back", what);
    r.value = *v;
    return r;
}

inline void checkResultLine(std::string_view line) {
    std::string what(line);
    require(line.substr(0, kLabel.size()) == kLabel, "a step ends with its result line", what);
    std::string_view rest = line.substr(kLabel.size());
    std::size_t sep = rest.find(',');
    require(sep != std::string_view::npos, "the result line has its separator", what);
    require(rest.substr(sep, kSeparator.size()) == kSeparator,
            "the separator is a comma and seven blanks", what);
    Rendering field = readField(rest.substr(0, sep), line);
    Rendering fixed = readFixed(rest.substr(sep + kSeparator.size()), line);
    require(field.infinite == fixed.infinite, "both renderings are infinite or neither", what);
    if (field.infinite) return;
    if (fixed.cut) {
        // Only the first digits survive the cut; the value is 10^63 or more.
        require(std::fabs(field.value) >= 1e63L * (1 - 1e-8L),
                "a fixed text cut before its point stands for 10^63 or more", what);
        return;
    }
    long double tol = field.unit + fixed.unit + std::fabs(field.value) * 0x1p-56L;
    require(std::fabs(field.value - fixed.value) <= tol, "the two renderings show the same value",
            what);
}

// Checks the whole output; returns the number of lines evaluated.
inline std::size_t checkDialogueOutput(std::string_view in, const std::string& out) {
    require(out.size() <= 200 + kOutputPerInputByte * in.size(),
            "output out of all proportion to the input");
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '\n') require(i > 0 && out[i - 1] == '\r', "every line end is CR LF");
    }
    const std::string step = std::string(kPrompt) + std::string(kCRLF);
    std::vector<std::string_view> parts;
    std::string_view o(out);
    std::size_t at = 0;
    for (;;) {
        std::size_t next = o.find(step, at);
        if (next == std::string_view::npos) {
            parts.push_back(o.substr(at));
            break;
        }
        parts.push_back(o.substr(at, next - at));
        at = next + step.size();
    }
    const std::size_t lines = evaluatedLines(in).size();
    // parts: before the first prompt, one per evaluated line, after the last.
    require(parts.size() == lines + 2, "one prompt per evaluated line and one to end",
            "lines " + fuzzcheck::decimal(std::uint64_t{lines}) + ", prompts " +
                fuzzcheck::decimal(std::uint64_t{parts.size() - 1}));
    require(parts.front().empty(), "the output starts with the prompt");
    require(parts.back().empty(), "the output ends with the last prompt and a line end");
    for (std::size_t k = 1; k + 1 < parts.size(); ++k) {
        std::string_view p = parts[k];
        require(p.size() >= 2 && p.substr(p.size() - 2) == kCRLF, "a step ends with a line end",
                std::string(p));
        std::string_view body = p.substr(0, p.size() - 2);
        std::size_t start = body.rfind(kCRLF);
        std::string_view last = start == std::string_view::npos ? body : body.substr(start + 2);
        checkResultLine(last);
    }
    return lines;
}

// Everything a dialogue leaves behind: its output and the registers, bit for bit.
struct Outcome {
    std::string out;
    std::array<double, calc::stack::kRegs + 2> regs{};
};

// The whole dialogue on input in, the console in memory, from a fresh start.
inline Outcome runDialogue(std::string_view in) {
    runtime::conUseMemory(in);
    fuzzcheck::freshStart();
    calc::loop::commandLoop();
    Outcome o;
    o.out = runtime::conTakeOutput();
    std::copy(calc::stack::REGSTK.begin(), calc::stack::REGSTK.end(), o.regs.begin());
    o.regs[calc::stack::kRegs] = calc::stack::LASTX;
    o.regs[calc::stack::kRegs + 1] = calc::stack::MEMREG;
    return o;
}

// Everything one line leaves that a later step could read.
struct LineOutcome {
    std::string out;
    std::array<double, calc::stack::kRegs + 3> regs{}; // X..T1, LASTX, the returned X, MEMREG
    text::TEXTBUF tknbuf{};
    std::uint32_t cur = 0;
    std::uint32_t prev = 0;
    char stop = 0;
    token::TOKENKIND stopKind{};
};

template <class Eval> LineOutcome runLine(const text::TEXTBUF& line, Eval eval) {
    LineOutcome o;
    const double x = eval(line);
    o.out = runtime::conTakeOutput();
    std::copy(calc::stack::REGSTK.begin(), calc::stack::REGSTK.end(), o.regs.begin());
    o.regs[calc::stack::kRegs] = calc::stack::LASTX;
    o.regs[calc::stack::kRegs + 1] = x;
    o.regs[calc::stack::kRegs + 2] = calc::stack::MEMREG;
    o.tknbuf = token::TKNBUF();
    o.cur = token::CURPOSN();
    o.prev = token::PREVPOSN();
    o.stop = token::STOPCHR;
    o.stopKind = token::STOPKIND;
    return o;
}

inline bool operator==(const LineOutcome& a, const LineOutcome& b) {
    return a.out == b.out && std::memcmp(a.regs.data(), b.regs.data(), sizeof a.regs) == 0 &&
           std::memcmp(&a.tknbuf, &b.tknbuf, sizeof a.tknbuf) == 0 && a.cur == b.cur &&
           a.prev == b.prev && a.stop == b.stop && a.stopKind == b.stopKind;
}

// The default delimiters and tab, which divides tokens like a blank.
inline void addTabDelimiter() {
    token::CharSet delims{};
    for (const char ch : {'\0', ' ', ',', ';', '\t'}) {
        const auto c = static_cast<unsigned char>(ch);
        delims[c / 8u] = static_cast<std::uint8_t>(delims[c / 8u] | (1u << (c % 8u)));
    }
    token::SETDELIMSET(delims);
}

// The lines one after another, each both ways from the registers the line
// before left: the evaluator as the command loop calls it, and the general
// way alone. The console must point at memory. Returns how many lines the
// whole-line lane took.
inline std::size_t checkLinesBothWays(const std::vector<std::string>& lines) {
    std::size_t taken = 0;
    for (const std::string& text : lines) {
        text::TEXTBUF line{};
        std::memcpy(line.CHARS.data(), text.data(), std::min(text.size(), line.CHARS.size()));
        line.COUNT = static_cast<std::uint32_t>(std::min(text.size(), line.CHARS.size()));
        text::TRMBUF(line);
        // Every register a line reads, the memory register included (RCL
        // before STO reads what the line before left).
        const auto regs = calc::stack::REGSTK;
        const double lastx = calc::stack::LASTX;
        const double memreg = calc::stack::MEMREG;
        const LineOutcome general = runLine(line, calc::eval::general::EVALLINE);
        calc::stack::REGSTK = regs;
        calc::stack::LASTX = lastx;
        calc::stack::MEMREG = memreg;
        const LineOutcome lane = runLine(line, calc::eval::evalTrimmed);
        fuzzcheck::require(lane == general,
                           "the whole-line lane leaves what the general way leaves", text);
        // Whether the lane took the line: run it again from the same registers.
        const auto after = calc::stack::REGSTK;
        calc::stack::REGSTK = regs;
        calc::stack::LASTX = lastx;
        if (calc::eval::lane::evalPlain(line)) ++taken;
        runtime::conTakeOutput(); // a DUMP or HELP it performed again
        calc::stack::REGSTK = after;
        calc::stack::LASTX = lane.regs[calc::stack::kRegs];
        calc::stack::MEMREG = lane.regs[calc::stack::kRegs + 2];
    }
    return taken;
}

// The lines of in both ways, from a fresh start; with tab among the
// delimiters when in has an odd number of bytes.
inline std::size_t checkLinesOf(std::string_view in) {
    runtime::conUseMemory({});
    fuzzcheck::freshStart();
    if (in.size() % 2 == 1) addTabDelimiter();
    return checkLinesBothWays(evaluatedLines(in));
}

// The dialogue's properties on input in; returns how many of its lines the
// whole-line lane took.
inline std::size_t checkDialogue(std::string_view in) {
    const Outcome o = runDialogue(in);
    checkDialogueOutput(in, o.out);
    return checkLinesOf(in);
}

} // namespace fuzzprop
