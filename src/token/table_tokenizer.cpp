// The table-driven tokenizer the date entry reads through: the scanner core
// with characters classed by a fixed 128-entry table (codes above 127 are
// word characters), a 32-bit token value with overflow guards instead of a
// digit limit, the operator table without "^", "**" and "><", a start at the
// third character, and a word mode in which only delimiters end a token.
#include "token/table_tokenizer.h"

#include "token/plainline.h"
#include "token/table_tokenizer_testing.h"
#include "token/tokenscan.h"

namespace token::table {

constinit char STOPCHR = '\0';
constinit TOKENKIND STOPKIND = TOKENKIND::DELIMITER;

namespace {

using Classes = std::array<TOKENKIND, 128>;

// The default table; in word mode digits and operator characters are word
// characters too, so that only NUL, blank, "," and ";" end a token.
constexpr Classes classTable(bool wordMode) {
    Classes t{};
    t.fill(TOKENKIND::WORD);
    t[0] = TOKENKIND::DELIMITER;
    if (!wordMode) {
        for (char c = '0'; c <= '9'; ++c) t[static_cast<unsigned char>(c)] = TOKENKIND::NUMBER;
    }
    for (char c : {' ', ',', ';'}) t[static_cast<unsigned char>(c)] = TOKENKIND::DELIMITER;
    if (!wordMode) {
        for (char c : {'#', '*', '+', '-', '/', '<', '=', '>'}) {
            t[static_cast<unsigned char>(c)] = TOKENKIND::OPERATOR;
        }
    }
    return t;
}
constexpr Classes kDefaultClasses = classTable(false);
constexpr Classes kWordModeClasses = classTable(true);

struct TableState {
    core::ScanState scan{};
    Classes CLASSTABLE{};
};
constinit TableState st{};

// Ten times a value above this no longer fits in 32 bits; at this value only
// the digits up to 7 do.
constexpr std::int32_t kTenthOfMax = 214748364;
// Word values stop growing above this.
constexpr std::int32_t kWordSumLimit = 3276;

// What sets this tokenizer apart from the first one.
struct TableClasses {
    using Value = std::int32_t;
    static constexpr std::array<core::OpSymbol, 0> kMoreOpCodes{};

    static constexpr core::ScanState& kScan = st.scan;
    static constexpr char& kStopChr = STOPCHR;
    static constexpr TOKENKIND& kStopKind = STOPKIND;

    static TOKENKIND classOf(unsigned char c) {
        return c < st.CLASSTABLE.size() ? st.CLASSTABLE[c] : TOKENKIND::WORD;
    }
    // The table is the default one or the word-mode one, which makes digits
    // word characters; "." is a word character in both.
    static bool plainDigits() { return st.CLASSTABLE['0'] == TOKENKIND::NUMBER; }
    // The largest number accepted is 2147483647.
    static bool digitFits(Value value, std::uint32_t, Value digit) {
        return value < kTenthOfMax || (value == kTenthOfMax && digit <= 7);
    }
    static Value addWordCode(Value value, std::uint32_t code) {
        if (value < kWordSumLimit || (value == kWordSumLimit && code <= 7)) {
            return value + static_cast<Value>(code); // code <= 255: no overflow
        }
        return value;
    }
};

} // namespace

static_assert(core::ScanPolicy<TableClasses>);

void FILLCLASSTABLE() { st.CLASSTABLE = kDefaultClasses; }

void tknInit() {
    core::startUp<TableClasses>();
    FILLCLASSTABLE();
}

void INITTKNBUF(const text::TEXTBUF& line) {
    core::startLine(st.scan, line, 1);
    FILLCLASSTABLE();
}

// The first two characters are never read (UNGETCHR can still step back
// onto them); a shorter line starts at its end.
void INITTKNBUFAT3(const text::TEXTBUF& line) {
    core::startLine(st.scan, line, 3);
    FILLCLASSTABLE();
}

void GETCHR(char& ch, TOKENKIND& kind, std::uint32_t& eol) {
    core::getChr<TableClasses>(ch, kind, eol);
}
void UNGETCHR(std::uint32_t& fail) { core::UNGETCHR(st.scan, fail); }
void STOTKNPOSN() { core::STOTKNPOSN(st.scan); }
void RCLTKNPOSN() { core::RCLTKNPOSN(st.scan); }

// Every token scan starts from the default class table, whatever a caller
// left in it; GETWORDTKN puts the word-mode table in for its one scan.
void GETTKN(text::TEXTBUF& tkn, TOKENKIND& kind, std::int32_t& value, std::uint32_t& rc) {
    FILLCLASSTABLE();
    core::scanToken<TableClasses>(tkn, kind, value, rc);
}
void GETTKNREAL(text::TEXTBUF& tkn, TOKENKIND& kind, std::int32_t& value, double& real,
                std::uint32_t& rc) {
    FILLCLASSTABLE();
    core::getTknReal<TableClasses>(tkn, kind, value, real, rc);
}
void general::GETTKNREAL(text::TEXTBUF& tkn, TOKENKIND& kind, std::int32_t& value, double& real,
                         std::uint32_t& rc) {
    FILLCLASSTABLE();
    core::getTknReal<TableClasses, false>(tkn, kind, value, real, rc);
}

// The word mode lasts for this one scan: the next read of any kind sees the
// default classes again.
void GETWORDTKN(text::TEXTBUF& tkn, std::int32_t& value, std::uint32_t& rc) {
    TOKENKIND kind = TOKENKIND::DELIMITER;
    st.CLASSTABLE = kWordModeClasses;
    core::scanToken<TableClasses>(tkn, kind, value, rc);
    FILLCLASSTABLE();
}

void UNGETTKN(std::uint32_t& fail) { core::UNGETTKN(st.scan, fail); }
void GETOPCODE(text::TEXTBUF& tkn, std::uint32_t& code, std::uint32_t& fail) {
    core::getOpCode<TableClasses>(tkn, code, fail);
}
void GETRESTOFLN(text::TEXTBUF& tkn, std::uint32_t& rc) {
    core::getRestOfLn<TableClasses>(tkn, rc);
}

std::uint32_t CURPOSN() { return st.scan.CURPOSN; }
std::uint32_t PREVPOSN() { return st.scan.PREVPOSN; }
const text::TEXTBUF& TKNBUF() { return st.scan.TKNBUF; }

} // namespace token::table
