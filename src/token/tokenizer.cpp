// The tokenizer the evaluator reads every line through: the scanner core
// with characters classed by three replaceable 256-bit sets (delimiters,
// operator characters, digits, tested in that order), a 64-bit token value
// with a nine-digit limit on numbers, and the full operator table.
#include "token/tokenizer.h"

#include "token/cursor.h"
#include "token/opscan.h"
#include "token/realscan.h"
#include "token/scanpolicy.h"
#include "token/tokenizer_testing.h"
#include "token/tokenscan.h"

#include <string_view>

namespace token {

constinit char STOPCHR = '\0';
constinit TOKENKIND STOPKIND = TOKENKIND::DELIMITER;

namespace {

constexpr CHARSET setOf(std::string_view members) {
    CHARSET set{};
    for (char ch : members) {
        auto c = static_cast<unsigned char>(ch);
        set[c / 8u] = static_cast<std::uint8_t>(set[c / 8u] | (1u << (c % 8u)));
    }
    return set;
}

constexpr CHARSET kDefaultDelims = setOf(std::string_view("\0 ,;", 4));
constexpr CHARSET kDefaultOpChrs = setOf("#*+-/<=>^");
constexpr CHARSET kDefaultDigits = setOf("0123456789");

constexpr bool member(const CHARSET& set, unsigned char c) {
    return ((set[c / 8u] >> (c % 8u)) & 1u) != 0;
}

struct TokenState {
    core::ScanState scan{};
    CHARSET DELIMSET{};
    CHARSET OPCHRSET{};
    CHARSET DIGITSET{};
    // The class of every code by the three sets, tested in their order;
    // rebuilt whenever a set is replaced, so that classing a character is
    // one look-up instead of three set tests.
    std::array<TOKENKIND, 256> CLASSOF{};
    bool defaultSets = false; // none replaced since TKNINIT
};
constinit TokenState st{};

// The class of every code by the three sets, tested in their order.
constexpr std::array<TOKENKIND, 256> classesOf(const CHARSET& delims, const CHARSET& opChrs,
                                               const CHARSET& digits) {
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

void classifyAll() { st.CLASSOF = classesOf(st.DELIMSET, st.OPCHRSET, st.DIGITSET); }

// What sets this tokenizer apart from the table-driven one.
struct SetClasses {
    using Value = std::int64_t;
    static constexpr std::uint32_t kMaxDigits = 9;
    static constexpr std::array<core::OPCODE, 3> kMoreOpCodes = {{
        {'^', '\0', OpCode::Caret},
        {'>', '<', OpCode::GreaterLess},
        {'*', '*', OpCode::StarStar},
    }};

    static constexpr core::ScanState& kScan = st.scan;
    static constexpr char& kStopChr = STOPCHR;
    static constexpr TOKENKIND& kStopKind = STOPKIND;

    static TOKENKIND classOf(unsigned char c) { return st.CLASSOF[c]; }
    static bool digitFits(Value, std::uint32_t count, Value) { return count < kMaxDigits; }
    // At most 80 codes of at most 255: no guard needed.
    static Value addWordCode(Value value, std::uint32_t code) { return value + code; }
};

} // namespace

static_assert(core::ScanPolicy<SetClasses>);

void TKNINIT() {
    core::startUp<SetClasses>();
    st.DELIMSET = kDefaultDelims;
    st.OPCHRSET = kDefaultOpChrs;
    st.DIGITSET = kDefaultDigits;
    st.CLASSOF = kDefaultClasses;
    st.defaultSets = true;
}

void INITTKNBUF(const text::TEXTBUF& line) { core::INITLINE(st.scan, line, 1); }
void SETDELIMSET(CHARSET set) {
    st.DELIMSET = set;
    st.defaultSets = false;
    classifyAll();
}
void SETOPCHRSET(CHARSET set) {
    st.OPCHRSET = set;
    st.defaultSets = false;
    classifyAll();
}
void SETDIGITSET(CHARSET set) {
    st.DIGITSET = set;
    st.defaultSets = false;
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
        if (core::APPENDCHR(tkn, ch)) value += static_cast<unsigned char>(ch);
    }
    STOPCHR = ch;
    STOPKIND = cls;
    core::ENDTEXT(tkn);
    tkn.ORIGCNT = tkn.COUNT;
}

bool DEFAULTSETS() { return st.defaultSets; }
void ENDOFLINE(std::uint32_t start) {
    st.scan.PREVPOSN = start;
    st.scan.CURPOSN = st.scan.TKNBUF.COUNT + 1;
    core::setStop<SetClasses>('\0', TOKENKIND::DELIMITER);
}

std::uint32_t CURPOSN() { return st.scan.CURPOSN; }
std::uint32_t PREVPOSN() { return st.scan.PREVPOSN; }
const text::TEXTBUF& TKNBUF() { return st.scan.TKNBUF; }

} // namespace token
