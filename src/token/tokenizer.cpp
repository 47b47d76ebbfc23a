// The tokenizer the evaluator reads every line through: the scanner core
// with characters classed by three replaceable 256-bit sets (delimiters,
// operator characters, digits, tested in that order), a 64-bit token value
// with a nine-digit limit on numbers, and the full operator table.
#include "token/tokenizer.h"

#include "token/linescan.h"
#include "token/tokenizer_testing.h"
#include "token/tokenscan.h"

#include <algorithm>
#include <cassert>
#include <string_view>

namespace token {

constinit char STOPCHR = '\0';
constinit TOKENKIND STOPKIND = TOKENKIND::DELIMITER;

namespace {

constexpr CharSet kDefaultDelims = setOf(std::string_view("\0 ,;", 4));
constexpr CharSet kDefaultOpChrs = setOf("#*+-/<=>^");
constexpr CharSet kDefaultDigits = setOf("0123456789");

constexpr bool member(const CharSet& set, unsigned char c) {
    return ((set[c / 8u] >> (c % 8u)) & 1u) != 0;
}

struct TokenState {
    core::ScanState scan{};
    CharSet DELIMSET{};
    CharSet OPCHRSET{};
    CharSet DIGITSET{};
    // The class of every code by the three sets, tested in their order;
    // rebuilt whenever a set is replaced, so that classing a character is
    // one look-up instead of three set tests.
    std::array<TOKENKIND, 256> classes{};
    // The same classes for the whole-line scan (token/linescan.h).
    plain::Classes plainClasses{};
};
constinit TokenState st{};

// The whole-line scan's classes (token/linescan.h) by the classes of the
// three sets.
constexpr plain::Classes plainClassesOf(const std::array<TOKENKIND, 256>& classes) {
    const std::array<unsigned char, 256>& upper = core::kUpper;
    auto classOfRaw = [&](char ch) { return classes[upper[static_cast<unsigned char>(ch)]]; };
    plain::Classes plainClasses{};
    plainClasses.plainDigits = classOfRaw('.') == TOKENKIND::WORD;
    for (char d = '0'; d <= '9'; ++d)
        plainClasses.plainDigits = plainClasses.plainDigits && classOfRaw(d) == TOKENKIND::NUMBER;
    // Words end at a NUL of word or digit class as if at a closing quote:
    // with such sets they are left to the general way.
    const bool plainWords = classOfRaw('\0') < TOKENKIND::NUMBER;
    for (std::size_t c = 0; c < plainClasses.of.size(); ++c) {
        const char ch = static_cast<char>(static_cast<unsigned char>(c));
        const TOKENKIND kind = classOfRaw(ch);
        std::uint8_t cls = plain::kOther;
        if (upper[c] == 0) {
            // A NUL ends the general scan: such a line is not plain.
        } else if (kind == TOKENKIND::DELIMITER) {
            cls = plain::kDelim;
        } else if (kind == TOKENKIND::NUMBER && core::isDecimalDigit(ch)) {
            cls = plain::kDigit;
        } else if (kind >= TOKENKIND::NUMBER) {
            if (plainWords) {
                const char u = static_cast<char>(upper[c]);
                const bool begins = kind == TOKENKIND::WORD && u != '.' && u != '\'' && u != '"';
                cls = begins ? plain::kWord : plain::kWordOn;
            }
        } else if (kind == TOKENKIND::OPERATOR) {
            constexpr std::string_view kSymbols = "+-*/";
            if (const auto at = kSymbols.find(ch); at != std::string_view::npos) {
                cls = static_cast<std::uint8_t>(plain::kAdd + at);
            } else if (ch == '<' || ch == '>') {
                cls = ch == '<' ? plain::kLess : plain::kGreater;
            }
        }
        plainClasses.of[c] = {cls, upper[c]};
    }
    return plainClasses;
}

// The class of every code by the three sets, tested in their order.
constexpr std::array<TOKENKIND, 256> classesOf(const CharSet& delims, const CharSet& opChrs,
                                               const CharSet& digits) {
    std::array<TOKENKIND, 256> classes{};
    for (std::size_t c = 0; c < classes.size(); ++c) {
        const auto code = static_cast<unsigned char>(c);
        TOKENKIND kind = TOKENKIND::WORD;
        if (member(delims, code)) {
            kind = TOKENKIND::DELIMITER;
        } else if (member(opChrs, code)) {
            kind = TOKENKIND::OPERATOR;
        } else if (member(digits, code)) {
            kind = TOKENKIND::NUMBER;
        }
        classes[c] = kind;
    }
    return classes;
}

// The classes of the default sets, made by the compiler rather than at every start.
constexpr std::array<TOKENKIND, 256> kDefaultClasses =
    classesOf(kDefaultDelims, kDefaultOpChrs, kDefaultDigits);
constexpr plain::Classes kDefaultPlainClasses = plainClassesOf(kDefaultClasses);

void classifyAll() {
    st.classes = classesOf(st.DELIMSET, st.OPCHRSET, st.DIGITSET);
    st.plainClasses = plainClassesOf(st.classes);
}

// What sets this tokenizer apart from the table-driven one.
struct SetClasses {
    using Value = std::int64_t;
    static constexpr std::uint32_t kMaxDigits = 9;
    static constexpr std::array<core::OpSymbol, 3> kMoreOpCodes = {{
        {'^', '\0', OpCode::Caret},
        {'>', '<', OpCode::GreaterLess},
        {'*', '*', OpCode::StarStar},
    }};

    static constexpr core::ScanState& kScan = st.scan;
    static constexpr char& kStopChr = STOPCHR;
    static constexpr TOKENKIND& kStopKind = STOPKIND;

    static TOKENKIND classOf(unsigned char c) { return st.classes[c]; }
    static bool plainDigits() { return st.plainClasses.plainDigits; }
    static bool digitFits(Value, std::uint32_t count, Value) { return count < kMaxDigits; }
    // At most 80 codes of at most 255: no guard needed.
    static Value addWordCode(Value value, std::uint32_t code) { return value + code; }
};

} // namespace

static_assert(core::ScanPolicy<SetClasses>);

void tknInit() {
    core::startUp<SetClasses>();
    st.DELIMSET = kDefaultDelims;
    st.OPCHRSET = kDefaultOpChrs;
    st.DIGITSET = kDefaultDigits;
    st.classes = kDefaultClasses;
    st.plainClasses = kDefaultPlainClasses;
}

void INITTKNBUF(const text::TEXTBUF& line) { core::startLine(st.scan, line, 1); }
void SETDELIMSET(CharSet set) {
    st.DELIMSET = set;
    classifyAll();
}
void SETOPCHRSET(CharSet set) {
    st.OPCHRSET = set;
    classifyAll();
}
CharSet delimitersWith(std::string_view extra) {
    CharSet set = setOf(extra);
    for (std::size_t i = 0; i < set.size(); ++i)
        set[i] = static_cast<std::uint8_t>(set[i] | kDefaultDelims[i]);
    return set;
}
void SETDIGITSET(CharSet set) {
    st.DIGITSET = set;
    classifyAll();
}

void GETCHR(char& ch, TOKENKIND& kind, std::uint32_t& eol) {
    core::getChr<SetClasses>(ch, kind, eol);
}
void UNGETCHR(std::uint32_t& fail) { core::UNGETCHR(st.scan, fail); }
void STOTKNPOSN() { core::STOTKNPOSN(st.scan); }
void RCLTKNPOSN() { core::RCLTKNPOSN(st.scan); }

void GETTKN(text::TEXTBUF& tkn, TOKENKIND& kind, std::int64_t& value, std::uint32_t& rc) {
    core::scanToken<SetClasses>(tkn, kind, value, rc);
}
void GETTKNREAL(text::TEXTBUF& tkn, TOKENKIND& kind, std::int64_t& value, double& real,
                std::uint32_t& rc) {
    core::getTknReal<SetClasses>(tkn, kind, value, real, rc);
}
void evalToken(text::TEXTBUF& tkn, TOKENKIND& kind, std::int64_t& value, double& real,
               std::uint32_t& rc) {
    core::getTknReal<SetClasses, true, false>(tkn, kind, value, real, rc);
}
void general::GETTKNREAL(text::TEXTBUF& tkn, TOKENKIND& kind, std::int64_t& value, double& real,
                         std::uint32_t& rc) {
    core::getTknReal<SetClasses, false>(tkn, kind, value, real, rc);
}
void UNGETTKN(std::uint32_t& fail) { core::UNGETTKN(st.scan, fail); }
void GETOPCODE(text::TEXTBUF& tkn, std::uint32_t& code, std::uint32_t& fail) {
    core::getOpCode<SetClasses>(tkn, code, fail);
}
void GETRESTOFLN(text::TEXTBUF& tkn, std::uint32_t& rc) { core::getRestOfLn<SetClasses>(tkn, rc); }

// A token, and unless it is a word that ended at a delimiter, everything up
// to the next delimiter behind it.
void GETTKNTODELIM(text::TEXTBUF& tkn, std::int64_t& value, std::uint32_t& rc) {
    TOKENKIND kind = TOKENKIND::DELIMITER;
    core::scanToken<SetClasses>(tkn, kind, value, rc);
    if (kind == TOKENKIND::DELIMITER) return;
    if (kind == TOKENKIND::WORD && STOPKIND == TOKENKIND::DELIMITER) return;
    char ch = '\0';
    TOKENKIND cls = TOKENKIND::DELIMITER;
    for (;;) {
        std::uint32_t eol = 0;
        GETCHR(ch, cls, eol);
        if (eol != 0) break;
        if (cls == TOKENKIND::DELIMITER && tkn.COUNT > 0) break; // consumed
        // Past CHARS the characters are consumed and dropped.
        if (core::appendChr(tkn, ch)) value += static_cast<unsigned char>(ch);
    }
    STOPCHR = ch;
    STOPKIND = cls;
    core::endText(tkn);
    tkn.ORIGCNT = tkn.COUNT;
}

const plain::Classes& plain::classesInForce() { return st.plainClasses; }

void plain::endOfLine(const text::TEXTBUF& line, std::uint32_t start) {
    INITTKNBUF(line);
    st.scan.PREVPOSN = start;
    st.scan.CURPOSN = st.scan.TKNBUF.COUNT + 1;
    core::setStop<SetClasses>('\0', TOKENKIND::DELIMITER);
}

// Worked out from the text rather than kept while the lane's tokens go by:
// each plain token is a run of non-delimiters with a delimiter behind it,
// which a number or a word consumes and a symbol hands back.
void plain::handOverAt(const text::TEXTBUF& line, std::uint32_t start) {
    core::startLine(st.scan, line, 1);
    if (start == 1) return;
    const std::array<char, core::kTextCap>& chars = line.CHARS;
    auto delim = [&](std::uint32_t i) {
        return st.plainClasses.of[static_cast<unsigned char>(chars[i])].cls == kDelim;
    };
    // A number's or a word's delimiter lies before start, a symbol's at it.
    const std::uint32_t stop = delim(start - 2) ? start - 2 : start - 1;
    std::uint32_t first = stop;
    while (first > 0 && !delim(first - 1)) --first;
    std::uint32_t end = first; // behind the token before the last, if any
    while (end > 0 && delim(end - 1)) --end;
    std::uint32_t prev = 1;
    if (end > 0) {
        // A symbol is made of operator characters, a number or a word of none.
        const std::uint8_t last =
            st.plainClasses.of[static_cast<unsigned char>(chars[end - 1])].cls;
        const bool symbol = last == kLess || last == kGreater || last >= kAdd;
        prev = symbol ? end + 1 : end + 2;
    }
    st.scan.PREVPOSN = prev;
    st.scan.CURPOSN = start;
    core::setStop<SetClasses>(
        static_cast<char>(st.scan.upper[static_cast<unsigned char>(chars[stop])]),
        TOKENKIND::DELIMITER);
}

// d / q for digit d at each place after the point, q stepping 10, 100, ...
// as TEXTTOREAL steps it, made by its own step on 0 (0 + d / q is d / q).
const plain::PlaceValues plain::kPlaceValues = [] {
    PlaceValues p;
    double q = realtext::RealFromDigits{}.q;
    for (auto& place : p.add) {
        realtext::RealFromDigits one{};
        for (std::size_t d = 0; d < 10; ++d) {
            one = realtext::RealFromDigits{0.0, q};
            one.afterPoint(static_cast<double>(d));
            place[d] = one.r;
        }
        q = one.q; // the next place's divisor, by the reading's own step
    }
    return p;
}();

std::uint32_t CURPOSN() { return st.scan.CURPOSN; }
std::uint32_t PREVPOSN() { return st.scan.PREVPOSN; }
const text::TEXTBUF& TKNBUF() { return st.scan.TKNBUF; }

} // namespace token
