// The tokenizer the evaluator reads through: characters, classes and
// positions; the tokens of every kind with their texts, values and return
// codes; signed and quoted numbers; the messages, byte for byte.
#include "realtext/realtext.h"
#include "testutil.h"
#include "token/tokenizer.h"
#include "token/tokenizer_testing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace token;
using testutil::CapturedConsole;
using testutil::makeBuf;
using testutil::textOf;

namespace {

constexpr TOKENKIND DLM = TOKENKIND::DELIMITER;
constexpr TOKENKIND OPR = TOKENKIND::OPERATOR;
constexpr TOKENKIND NUM = TOKENKIND::NUMBER;
constexpr TOKENKIND WRD = TOKENKIND::WORD;

struct Tok {
    TOKENKIND kind;
    std::string text;
    std::int64_t value;
    std::uint32_t rc;
    double real = 0.0;
};

bool operator==(const Tok& a, const Tok& b) {
    return a.kind == b.kind && a.text == b.text && a.value == b.value && a.rc == b.rc &&
           a.real == b.real && std::signbit(a.real) == std::signbit(b.real);
}

std::ostream& operator<<(std::ostream& os, const Tok& t) {
    return os << "{kind " << static_cast<int>(t.kind) << ", \"" << t.text << "\", value " << t.value
              << ", rc " << t.rc << ", real " << t.real << "}";
}

// One scan by GETTKNREAL (real) or GETTKN into tkn, which keeps whatever
// the scan leaves behind the text.
Tok scan(bool real, text::TEXTBUF& tkn) {
    Tok t{WRD, "?", -1, 99};
    if (real) {
        GETTKNREAL(tkn, t.kind, t.value, t.real, t.rc);
    } else {
        GETTKN(tkn, t.kind, t.value, t.rc);
    }
    t.text = textOf(tkn.CHARS);
    EXPECT_EQ(tkn.ORIGCNT, tkn.COUNT);
    EXPECT_EQ(tkn.COUNT, t.text.size());
    return t;
}

// The same into a buffer full of leftovers of an earlier, longer token.
Tok scan(bool real) {
    text::TEXTBUF tkn{};
    tkn.CHARS.fill('Q');
    return scan(real, tkn);
}

// Every token of the line, up to and including the first nonzero return
// code (at most 20, so that a scanner that does not advance cannot hang).
std::vector<Tok> tokensOf(std::string_view line, bool real) {
    INITTKNBUF(makeBuf(line));
    std::vector<Tok> out;
    for (int i = 0; i < 20; ++i) {
        out.push_back(scan(real));
        if (out.back().rc != kTknOk) break;
    }
    return out;
}

// One character from GETCHR, with its class and end flag.
struct Chr {
    char ch;
    TOKENKIND cls;
    std::uint32_t eol;
    bool operator==(const Chr&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Chr& c) {
    return os << "{" << int(c.ch) << ", class " << int(c.cls) << ", eol " << c.eol << "}";
}

Chr nextChr() {
    Chr c{'x', WRD, 9};
    GETCHR(c.ch, c.cls, c.eol);
    return c;
}

const Chr kEol{'\0', DLM, 1};

// The characters up to the end of the line, with their classes (D, O, N, W).
std::string readRest(std::string* classes = nullptr) {
    std::string chars;
    for (Chr c = nextChr(); c.eol == 0; c = nextChr()) {
        chars.push_back(c.ch);
        if (classes != nullptr) classes->push_back("DONW"[static_cast<int>(c.cls)]);
    }
    return chars;
}

std::uint32_t ungetChr() {
    std::uint32_t fail = 9;
    UNGETCHR(fail);
    return fail;
}

std::uint32_t ungetTkn() {
    std::uint32_t fail = 9;
    UNGETTKN(fail);
    return fail;
}

const Tok kEnd{DLM, "", 0, kTknEndOfLine};

class Tokenizer : public ::testing::Test {
  protected:
    void SetUp() override { testutil::freshStart(); }
    CapturedConsole con;
};

// ---- Characters, classes and positions ----

TEST_F(Tokenizer, GetchrUpperCasesAndClassifies) {
    struct Case {
        char in;
        char out;
        TOKENKIND cls;
    };
    const Case cases[] = {
        {'a', 'A', WRD},       {'5', '5', NUM},       {'^', '^', OPR},       {',', ',', DLM},
        {';', ';', DLM},       {' ', ' ', DLM},       {'.', '.', WRD},       {'E', 'E', WRD},
        {'e', 'E', WRD},       {'z', 'Z', WRD},       {'#', '#', OPR},       {'=', '=', OPR},
        {'\0', '\0', DLM},     {'\xe9', '\xe9', WRD}, {'\xff', '\xff', WRD}, {'{', '{', WRD},
        {'\x80', '\x80', WRD}, {'`', '`', WRD},
    };
    for (const Case& c : cases) {
        INITTKNBUF(makeBuf(std::string(1, c.in)));
        EXPECT_EQ(nextChr(), (Chr{c.out, c.cls, 0})) << int(c.in);
        EXPECT_EQ(CURPOSN(), 2u);
    }
}

TEST_F(Tokenizer, GetchrReportsTheEndAgainAndAgain) {
    for (std::string line : {"", "ab"}) {
        INITTKNBUF(makeBuf(line));
        EXPECT_EQ(readRest(), line == "" ? "" : "AB");
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(nextChr(), kEol);
            EXPECT_EQ(CURPOSN(), line.size() + 1);
        }
    }
}

TEST_F(Tokenizer, ReadsOnlyCountCharactersButShowsTheTextToItsNul) {
    text::TEXTBUF line = makeBuf("abc");
    line.COUNT = 2;
    INITTKNBUF(line);
    EXPECT_EQ(readRest(), "AB");
    EXPECT_EQ(ungetChr(), 0u);
    EXPECT_EQ(ungetChr(), 0u);
    EXPECT_EQ(ungetChr(), 1u);
    EXPECT_EQ(con.take(),
              " *ERROR*  Cannot UNGETCHR because CURPOSN is out of range.  It is  1.\r\n"
              " BEGINNING OF TKNBUF: abc\r\n");
}

TEST_F(Tokenizer, ACountBeyondCharsIsReadOnlyAsFarAsChars) {
    text::TEXTBUF line = makeBuf(std::string(256, '7'));
    line.COUNT = 1000;
    INITTKNBUF(line);
    EXPECT_EQ(TKNBUF().COUNT, 256u);
    EXPECT_EQ(scan(true).kind, NUM);
    EXPECT_EQ(CURPOSN(), 257u);
    EXPECT_EQ(scan(true), kEnd);
}

TEST_F(Tokenizer, UngetchrBounds) {
    INITTKNBUF(makeBuf("xy"));
    EXPECT_EQ(ungetChr(), 1u); // at position 1: refused
    EXPECT_EQ(CURPOSN(), 1u);
    EXPECT_EQ(con.take(),
              " *ERROR*  Cannot UNGETCHR because CURPOSN is out of range.  It is  1.\r\n"
              " BEGINNING OF TKNBUF: xy\r\n");
    EXPECT_EQ(readRest(), "XY");
    EXPECT_EQ(nextChr(), kEol); // the end: CURPOSN 3
    EXPECT_EQ(ungetChr(), 0u);  // from COUNT + 1 back onto the last character
    EXPECT_EQ(CURPOSN(), 2u);
    EXPECT_EQ(nextChr(), (Chr{'Y', WRD, 0}));
    EXPECT_EQ(con.take(), "");
}

TEST_F(Tokenizer, StoAndRclRoundTripWithoutMessages) {
    INITTKNBUF(makeBuf("abc"));
    nextChr();
    STOTKNPOSN(); // position 2 on abc
    INITTKNBUF(makeBuf("xyz"));
    nextChr();
    RCLTKNPOSN();
    EXPECT_EQ(CURPOSN(), 2u);
    EXPECT_EQ(textOf(TKNBUF().CHARS), "abc");
    EXPECT_EQ(nextChr().ch, 'B');
    RCLTKNPOSN(); // as many times as wanted
    EXPECT_EQ(CURPOSN(), 2u);
    EXPECT_EQ(con.take(), "");
}

TEST_F(Tokenizer, StotknposnAtTheEndWritesItsMessageAndStillSaves) {
    INITTKNBUF(makeBuf("abc"));
    readRest();
    STOTKNPOSN();
    EXPECT_EQ(con.take(), " *ERROR*  In STOTKNPOSN and CURPOSN out of range.  It is  4\r\n"
                          " Beginning of TKNBUF is : abc\r\n");
    INITTKNBUF(makeBuf("defg"));
    RCLTKNPOSN(); // 4 is beyond the saved COUNT 3: message, and restored anyway
    EXPECT_EQ(con.take(), "*ERROR* In RCLTKNPOSN and HOLDCURPOSN out of range.  It is  4\r\n"
                          " Beginning of TKNBUF is : defg\r\n");
    EXPECT_EQ(CURPOSN(), 4u);
    EXPECT_EQ(textOf(TKNBUF().CHARS), "abc");
}

TEST_F(Tokenizer, RcltknposnWithNothingSavedLeavesPositionZeroReadingAsTheEnd) {
    INITTKNBUF(makeBuf("12 ab"));
    RCLTKNPOSN();
    EXPECT_EQ(con.take(), "*ERROR* In RCLTKNPOSN and HOLDCURPOSN out of range.  It is  0\r\n"
                          " Beginning of TKNBUF is : 12 ab\r\n");
    EXPECT_EQ(CURPOSN(), 0u);
    EXPECT_EQ(TKNBUF().COUNT, 0u); // the empty saved copy came back
    EXPECT_EQ(nextChr(), kEol);
    EXPECT_EQ(CURPOSN(), 0u);
    EXPECT_EQ(ungetChr(), 1u);
    EXPECT_EQ(CURPOSN(), 0u);
    EXPECT_EQ(con.take(),
              " *ERROR*  Cannot UNGETCHR because CURPOSN is out of range.  It is  0.\r\n"
              " BEGINNING OF TKNBUF: \r\n");
    EXPECT_EQ(tokensOf("", true), std::vector<Tok>{kEnd});
}

// A set of the given codes, built bit by bit as the layout says: code c is
// bit (c mod 8) of byte (c div 8).
CharSet setOf(std::string_view codes) {
    CharSet s{};
    for (char ch : codes) {
        unsigned c = static_cast<unsigned char>(ch);
        s[c >> 3] = static_cast<std::uint8_t>(s[c >> 3] | (1u << (c & 7u)));
    }
    return s;
}

TEST_F(Tokenizer, ReplacedSetsTakeEffectInTheirOrder) {
    struct Case {
        const char* what;
        CharSet delims, ops, digits;
        std::string line;
        std::string classes;
    };
    const CharSet stdDelims = setOf(std::string_view("\0 ,;", 4));
    const CharSet stdOps = setOf("#*+-/<=>^");
    const CharSet stdDigits = setOf("0123456789");
    const Case cases[] = {
        {"defaults", stdDelims, stdOps, stdDigits, "a5^,", "WNOD"},
        {"comma also an operator: the delimiter test comes first", stdDelims, setOf("+,"),
         stdDigits, ",+^", "DOW"},
        {"letters as digits, tested on the upper-case character", stdDelims, stdOps,
         setOf("ABCDEF"), "fa9", "NNW"},
        {"high codes as delimiters", setOf("\x80\xff"), stdOps, stdDigits, "\xff\x80 ", "DDW"},
        {"operator before digit", stdDelims, setOf("7"), setOf("7"), "7", "O"},
    };
    for (const Case& c : cases) {
        SETDELIMSET(c.delims);
        SETOPCHRSET(c.ops);
        SETDIGITSET(c.digits);
        INITTKNBUF(makeBuf(c.line));
        std::string got;
        readRest(&got);
        EXPECT_EQ(got, c.classes) << c.what;
    }
}

TEST_F(Tokenizer, UnknownOperatorGivesReturnCodeSixAndValueZero) {
    SETOPCHRSET(setOf("!+"));
    EXPECT_EQ(tokensOf("! +", false), (std::vector<Tok>{{OPR, "!", 0, kTknBadOperator}}));
    EXPECT_EQ(tokensOf("!+", false), (std::vector<Tok>{{OPR, "!+", 0, kTknBadOperator}}));
}

TEST_F(Tokenizer, AReplacedDigitSetValuesItsCharactersByTheirDistanceFromZero) {
    SETDIGITSET(setOf("\xff!7"));
    // 255 - 48 = 207 for each byte FF; 33 - 48 = -15 for "!".
    EXPECT_EQ(tokensOf("\xff\xff !7 -\xff", false),
              (std::vector<Tok>{{NUM, "\xff\xff", 207 * 10 + 207, 0},
                                {NUM, "!7", -15 * 10 + 7, 0},
                                {NUM, "\xff", -207, 0},
                                kEnd}));
}

// ---- Tokens ----

TEST_F(Tokenizer, TokensOfGettknreal) {
    struct Case {
        std::string line;
        std::vector<Tok> toks;
    };
    const Case cases[] = {
        {"3 4 +", {{NUM, "03", 3, 0, 3.0}, {NUM, "04", 4, 0, 4.0}, {OPR, "+", 8, 0}, kEnd}},
        {"3,4;+", {{NUM, "03", 3, 0, 3.0}, {NUM, "04", 4, 0, 4.0}, {OPR, "+", 8, 0}, kEnd}},
        {"<> >< **", {{OPR, "<>", 6, 0}, {OPR, "><", 20, 0}, {OPR, "**", 18, 0}, kEnd}},
        {">= ^=", {{OPR, ">=", 4, 0}, {OPR, "^=", 17, 0}, kEnd}},
        {"<= += -= *= /=",
         {{OPR, "<=", 2, 0},
          {OPR, "+=", 9, 0},
          {OPR, "-=", 11, 0},
          {OPR, "*=", 13, 0},
          {OPR, "/=", 15, 0},
          kEnd}},
        {"< > = # / ^",
         {{OPR, "<", 1, 0},
          {OPR, ">", 3, 0},
          {OPR, "=", 5, 0},
          {OPR, "#", 7, 0},
          {OPR, "/", 14, 0},
          {OPR, "^", 16, 0},
          kEnd}},
        {"==", {{OPR, "=", 5, 0}, {OPR, "=", 5, 0}, kEnd}},
        {"#=", {{OPR, "#", 7, 0}, {OPR, "=", 5, 0}, kEnd}},
        {"=<", {{OPR, "=", 5, 0}, {OPR, "<", 1, 0}, kEnd}},
        {"+++", {{OPR, "+", 8, 0}, {OPR, "+", 8, 0}, {OPR, "+", 8, 0}, kEnd}},
        {"5*2", {{NUM, "05", 5, 0, 5.0}, {OPR, "*", 12, 0}, {NUM, "02", 2, 0, 2.0}, kEnd}},
        {".5", {{NUM, "0.5", 46 + 53, 0, 0.5}, kEnd}},
        {".X", {{WRD, ".X", 46 + 88, 0}, kEnd}},
        {"1e-3", {{NUM, "01E-3", 1, 0, 0.001}, kEnd}},
        {"1.5", {{NUM, "01.5", 1, 0, 1.5}, kEnd}},
        {"1.5E3", {{NUM, "01.5E3", 1, 0, 1500.0}, kEnd}},
        {"sqrt", {{WRD, "SQRT", 330, 0}, kEnd}},
        {"'a b'", {{WRD, "A B", 65 + 32 + 66, 0}, kEnd}},
        {"\"a b\"", {{WRD, "A B", 65 + 32 + 66, 0}, kEnd}},
        {"\"it's\"", {{WRD, "IT'S", 73 + 84 + 39 + 83, 0}, kEnd}},
        {"'a+5;b' x", {{WRD, "A+5;B", 65 + 43 + 53 + 59 + 66, 0}, {WRD, "X", 88, 0}, kEnd}},
        {"'abc", {{WRD, "ABC", 65 + 66 + 67, 0}, kEnd}},
        {"''", {{WRD, "", 0, 0}, kEnd}},
        {"1.2.3", {{NUM, "01.2.3", 1, 0, 1.2}, kEnd}},
        {"1234567890", {{NUM, "01234567890", 123456789, 0, 1234567890.0}, kEnd}},
        {"1e400 2", {{NUM, "01E400", 1, kTknBadReal, HUGE_VAL}}},
        {"", {kEnd}},
        {"   ", {kEnd}},
        {"sqrt2", {{WRD, "SQRT2", 330 + 50, 0}, kEnd}},
        {"ab+", {{WRD, "AB", 65 + 66, 0}, {OPR, "+", 8, 0}, kEnd}},
        {"2'x'", {{NUM, "02", 2, 0, 2.0}, {WRD, "X", 88, 0}, kEnd}},
    };
    for (const Case& c : cases) EXPECT_EQ(tokensOf(c.line, true), c.toks) << c.line;
    EXPECT_EQ(con.take(), "");
}

TEST_F(Tokenizer, TokensOfGettknAlone) {
    struct Case {
        std::string line;
        std::vector<Tok> toks;
    };
    const Case cases[] = {
        {"*-5", {{OPR, "*", 12, 0}, {NUM, "5", -5, 0}, kEnd}},
        {"+-5", {{OPR, "+", 8, 0}, {NUM, "5", -5, 0}, kEnd}},
        {"<=5", {{OPR, "<=", 2, 0}, {NUM, "5", 5, 0}, kEnd}},
        {"*5", {{OPR, "*", 12, 0}, {NUM, "5", 5, 0}, kEnd}},
        {".5", {{WRD, ".5", 46 + 53, 0}, kEnd}},
        {"1.5", {{NUM, "1", 1, 0}, {WRD, ".5", 46 + 53, 0}, kEnd}},
        {"1234567890", {{NUM, "123456789", 123456789, kTknTooManyDigits}}},
        {"123456789", {{NUM, "123456789", 123456789, 0}, kEnd}},
        {"-42x", {{NUM, "42", -42, 0}, {WRD, "X", 88, 0}, kEnd}},
        {"+7", {{NUM, "7", 7, 0}, kEnd}},
    };
    for (const Case& c : cases) EXPECT_EQ(tokensOf(c.line, false), c.toks) << c.line;
}

TEST_F(Tokenizer, TenthDigitIsConsumedAndTheScanGoesOnBehindIt) {
    EXPECT_EQ(tokensOf("12345678901 x", false),
              (std::vector<Tok>{{NUM, "123456789", 123456789, kTknTooManyDigits}}));
    EXPECT_EQ(CURPOSN(), 11u); // behind the tenth digit
}

TEST_F(Tokenizer, SignedNumbersConvertToTheirSignedValue) {
    struct Case {
        std::string line;
        std::vector<Tok> toks;
    };
    const Case cases[] = {
        {"-5", {{NUM, "05", -5, 0, -5.0}, kEnd}},
        {"+5", {{NUM, "05", 5, 0, 5.0}, kEnd}},
        {"3-2", {{NUM, "03", 3, 0, 3.0}, {NUM, "02", -2, 0, -2.0}, kEnd}},
        {"-1.5E3", {{NUM, "01.5E3", -1, 0, -1500.0}, kEnd}},
        {"-0", {{NUM, "00", 0, 0, -0.0}, kEnd}},
        {"5 -3 +", {{NUM, "05", 5, 0, 5.0}, {NUM, "03", -3, 0, -3.0}, {OPR, "+", 8, 0}, kEnd}},
        {"1e+3", {{NUM, "01E+3", 1, 0, 1000.0}, kEnd}},
        {"2-", {{NUM, "02", 2, 0, 2.0}, {OPR, "-", 10, 0}, kEnd}},
        {"- 5", {{OPR, "-", 10, 0}, {NUM, "05", 5, 0, 5.0}, kEnd}},
        {"*-5", {{OPR, "*", 12, 0}, {NUM, "05", -5, 0, -5.0}, kEnd}},
        {"--5", {{OPR, "-", 10, 0}, {NUM, "05", -5, 0, -5.0}, kEnd}},
        {"-.5", {{OPR, "-", 10, 0}, {NUM, "0.5", 46 + 53, 0, 0.5}, kEnd}},
        {"-1e400", {{NUM, "01E400", -1, kTknBadReal, -HUGE_VAL}}},
        {"1E+-3", {{NUM, "01E+", 1, 0, 1.0}, {NUM, "03", -3, 0, -3.0}, kEnd}},
    };
    for (const Case& c : cases) EXPECT_EQ(tokensOf(c.line, true), c.toks) << c.line;
}

TEST_F(Tokenizer, AQuotedNumberIsConvertedFromItsTextAndTheScanStaysBehindTheQuote) {
    struct Case {
        std::string line;
        std::vector<Tok> toks;
        std::uint32_t posAfterFirst;
    };
    const Case cases[] = {
        {"'.5'", {{NUM, "0.5", 46 + 53, 0, 0.5}, kEnd}, 5},
        {"\".25\" 2", {{NUM, "0.25", 46 + 50 + 53, 0, 0.25}, {NUM, "02", 2, 0, 2.0}, kEnd}, 6},
        {"'.5x' +", {{NUM, "0.5X", 46 + 53 + 88, 0, 0.5}, {OPR, "+", 8, 0}, kEnd}, 6},
        {"'.5", {{NUM, "0.5", 46 + 53, 0, 0.5}, kEnd}, 4},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tokensOf(c.line, true), c.toks) << c.line;
        INITTKNBUF(makeBuf(c.line));
        scan(true);
        EXPECT_EQ(CURPOSN(), c.posAfterFirst) << c.line;
        EXPECT_EQ(ungetTkn(), 0u); // back in front of the opening quote
        EXPECT_EQ(CURPOSN(), 1u);
    }
}

TEST_F(Tokenizer, EveryDigitOfALongNumberCounts) {
    // The re-scan text holds "0" and 255 characters; characters past those
    // are dropped from the text but still read, each r*10 + d and each scaling
    // step rounded to double. Values from Python's exact fractions, rounded
    // step by step (tests/transcripts/reference.py texttoreal).
    struct Case {
        std::string line;
        double real;
        std::uint32_t count; // of the re-scan text
    };
    const std::string z250(250, '0');
    const Case cases[] = {
        {std::string(255, '1'), 1.1111111111111144e+254, 256},
        {std::string(256, '1'), 1.1111111111111145e+255, 256},
        {"1" + std::string(254, '0'), 1.0000000000000001e+254, 256},
        {"1" + std::string(255, '0'), 1e+255, 256},
        {"1" + z250.substr(1) + "E-200", 1.0000000000000001e+49, 256}, // 255 characters
        {"1" + z250 + "E-200", 9.999999999999999e+49, 256},            // the exponent cut
        {"0." + std::string(253, '0') + "1", 1e-254, 256},             // the last digit cut
        {"-" + std::string(255, '1'), -1.1111111111111144e+254, 256},
    };
    for (bool viaGeneral : {false, true}) {
        for (const Case& c : cases) {
            INITTKNBUF(makeBuf(c.line));
            text::TEXTBUF tkn{};
            Tok t{WRD, "?", -1, 99};
            if (viaGeneral) {
                token::general::GETTKNREAL(tkn, t.kind, t.value, t.real, t.rc);
            } else {
                GETTKNREAL(tkn, t.kind, t.value, t.real, t.rc);
            }
            const std::string where =
                c.line.substr(0, 12) + "... general " + std::to_string(viaGeneral);
            EXPECT_EQ(t.kind, NUM) << where;
            EXPECT_EQ(t.rc, 0u) << where;
            EXPECT_EQ(t.real, c.real) << where;
            EXPECT_EQ(tkn.COUNT, c.count) << where;
            EXPECT_EQ(CURPOSN(), c.line.size() + 1) << where; // every character consumed
        }
    }
}

TEST_F(Tokenizer, ANulInsideTheCountedTextIsADelimiter) {
    const std::string line("5 \0 7\0x", 7);
    EXPECT_EQ(tokensOf(line, true), (std::vector<Tok>{{NUM, "05", 5, 0, 5.0},
                                                      {DLM, "", 0, 0},
                                                      {NUM, "07", 7, 0, 7.0},
                                                      {WRD, "X", 88, 0},
                                                      kEnd}));
    EXPECT_EQ(STOPCHR, '\0');
    // A quoted word ends at a NUL too; the quote behind b is then a word
    // character like any other.
    EXPECT_EQ(tokensOf(std::string("'a\0b'", 5), true),
              (std::vector<Tok>{{WRD, "A", 65, 0}, {WRD, "B'", 66 + 39, 0}, kEnd}));
    // Messages show the line up to its first NUL.
    INITTKNBUF(makeBuf(line));
    EXPECT_EQ(ungetTkn(), 1u);
    EXPECT_EQ(con.take(), " *ERROR*  Cannot UNGETTKN because CURPOSN is too small or \r\n"
                          "  there is no last token to UNGET.  CURPOSN =  1, PREVPOSN =  0\r\n"
                          " BEGINNING OF TKNBUF: 5 \r\n");
}

TEST_F(Tokenizer, ScanPositionsAfterTokens) {
    struct Case {
        std::string line;
        std::uint32_t pos;
        char stop;
        TOKENKIND stopKind;
    };
    const Case cases[] = {
        {"+ 5", 2, ' ', DLM},    // an operator leaves the blank for the next scan
        {"5 +", 3, ' ', DLM},    // a number consumes it
        {"ab +", 4, ' ', DLM},   // so does a word
        {"5*2", 2, '*', OPR},    // the operator character is pushed back
        {"'ab'c", 5, '\'', DLM}, // the closing quote is consumed and counts as a delimiter
        {"*-5", 2, '-', NUM},    // the sign is handed back with the digit's class
        {"==", 2, '=', OPR},     // the split pair stops at its second character
        {"ab", 3, '\0', DLM},    // the end of the line
        {"ab.c", 5, '\0', DLM},  {"12x", 3, 'X', WRD},
    };
    for (const Case& c : cases) {
        INITTKNBUF(makeBuf(c.line));
        scan(false);
        EXPECT_EQ(CURPOSN(), c.pos) << c.line;
        EXPECT_EQ(PREVPOSN(), 1u) << c.line;
        EXPECT_EQ(STOPCHR, c.stop) << c.line;
        EXPECT_EQ(STOPKIND, c.stopKind) << c.line;
    }
}

TEST_F(Tokenizer, UngettknStepsBackOnceOnly) {
    INITTKNBUF(makeBuf("  12 +"));
    scan(true);
    EXPECT_EQ(CURPOSN(), 6u);
    EXPECT_EQ(ungetTkn(), 0u);
    EXPECT_EQ(CURPOSN(), 1u); // in front of the blanks where the re-scan began
    EXPECT_EQ(PREVPOSN(), 0u);
    EXPECT_EQ(ungetTkn(), 1u);
    EXPECT_EQ(CURPOSN(), 1u);
    EXPECT_EQ(con.take(), " *ERROR*  Cannot UNGETTKN because CURPOSN is too small or \r\n"
                          "  there is no last token to UNGET.  CURPOSN =  1, PREVPOSN =  0\r\n"
                          " BEGINNING OF TKNBUF:   12 +\r\n");
    EXPECT_EQ(scan(true).real, 12.0); // the same number again, after the step back
}

TEST_F(Tokenizer, OverlongWordShowsExactlyTheEightyCharactersKept) {
    for (std::string open : {"", "'"}) {
        INITTKNBUF(makeBuf(open + std::string(81, 'z') + "q w"));
        EXPECT_EQ(scan(true), (Tok{WRD, std::string(80, 'Z'), 80 * 90, kTknWordTooLong}));
        EXPECT_EQ(CURPOSN(), open.size() + 82); // just behind the 81st letter
        EXPECT_EQ(con.take(),
                  "PARAM NAME TOO LONG, FIRST 80 CHAR'S ARE: " + std::string(80, 'Z') + "\r\n");
    }
    // Eighty letters are still a word.
    EXPECT_EQ(tokensOf(std::string(80, 'a'), true),
              (std::vector<Tok>{{WRD, std::string(80, 'A'), 80 * 65, 0}, kEnd}));
    EXPECT_EQ(con.take(), "");
}

TEST_F(Tokenizer, GetopcodeDirectly) {
    struct Case {
        std::string text;
        std::uint32_t code;
        std::uint32_t fail;
        std::string after;
    };
    const Case cases[] = {
        {"", 0, 1, ""},    {"<=>", 0, 1, "<=>"}, {"A", 0, 1, "A"},    {"A=", 0, 1, "A="},
        {"^", 16, 0, "^"}, {"^=", 17, 0, "^="},  {"**", 18, 0, "**"}, {"><", 20, 0, "><"},
        {"=", 5, 0, "="},  {"-", 10, 0, "-"},
    };
    for (const Case& c : cases) {
        INITTKNBUF(makeBuf("abc"));
        text::TEXTBUF tkn = makeBuf(c.text);
        std::uint32_t code = 99;
        std::uint32_t fail = 99;
        GETOPCODE(tkn, code, fail);
        EXPECT_EQ(code, c.code) << c.text;
        EXPECT_EQ(fail, c.fail) << c.text;
        EXPECT_EQ(textOf(tkn.CHARS), c.after) << c.text;
    }
    EXPECT_EQ(con.take(), "");
}

TEST_F(Tokenizer, GetopcodeSplitWithoutRoomToStepBackSaysSo) {
    INITTKNBUF(makeBuf("x"));
    text::TEXTBUF tkn = makeBuf("=*");
    std::uint32_t code = 0;
    std::uint32_t fail = 1;
    GETOPCODE(tkn, code, fail);
    EXPECT_EQ(code, 5u);
    EXPECT_EQ(fail, 0u);
    EXPECT_EQ(tkn.COUNT, 1u);
    EXPECT_EQ(textOf(tkn.CHARS), "=");
    EXPECT_EQ(STOPCHR, '*');
    EXPECT_EQ(STOPKIND, OPR);
    EXPECT_EQ(con.take(),
              " *ERROR*  Cannot UNGETCHR because CURPOSN is out of range.  It is  1.\r\n"
              " BEGINNING OF TKNBUF: x\r\n"
              " In GETOPCODE and UNGETCHR failed.\r\n");
}

TEST_F(Tokenizer, GettkntodelimRunsToTheNextDelimiter) {
    struct Case {
        std::string line;
        std::string text;
        std::int64_t value;
        std::uint32_t rc;
        std::uint32_t pos;
    };
    const Case cases[] = {
        {"12 AB", "12AB", 12 + 65 + 66, 0, 6}, // the number consumed its delimiter
        {"+AB", "+AB", 8 + 65 + 66, 0, 4},     // the operator only what follows directly
        {"+ AB", "+", 8, 0, 3},                // its delimiter ends the extension at once
        {"AB CD", "AB", 65 + 66, 0, 4},        // a word ended at a delimiter: as it is
        {"AB+CD EF", "AB+CD", 65 + 66 + 43 + 67 + 68, 0, 7},
        {"'a b'c d", "A B", 65 + 32 + 66, 0, 6}, // a closing quote counts as a delimiter
        {"-5x,y", "5X", -5 + 88, 0, 5},
        {"  ", "", 0, kTknEndOfLine, 3},
        {"", "", 0, kTknEndOfLine, 1},
    };
    for (const Case& c : cases) {
        INITTKNBUF(makeBuf(c.line));
        text::TEXTBUF tkn{};
        tkn.CHARS.fill('Q');
        std::int64_t value = 0;
        std::uint32_t rc = 9;
        GETTKNTODELIM(tkn, value, rc);
        EXPECT_EQ(textOf(tkn.CHARS), c.text) << c.line;
        EXPECT_EQ(tkn.COUNT, c.text.size()) << c.line;
        EXPECT_EQ(tkn.ORIGCNT, tkn.COUNT) << c.line;
        EXPECT_EQ(value, c.value) << c.line;
        EXPECT_EQ(rc, c.rc) << c.line;
        EXPECT_EQ(CURPOSN(), c.pos) << c.line;
    }
}

TEST_F(Tokenizer, GetrestoflnCopiesTheRestUpperCasedAndTrimmed) {
    INITTKNBUF(makeBuf("ab  cd , e;  "));
    scan(false); // AB and the blank behind it
    std::uint32_t rc = 9;
    text::TEXTBUF rest{};
    rest.CHARS.fill('Q');
    rest.ORIGCNT = 77;
    GETRESTOFLN(rest, rc);
    EXPECT_EQ(rc, 0u);
    EXPECT_EQ(textOf(rest.CHARS), " CD , E;");
    EXPECT_EQ(rest.COUNT, 8u);
    EXPECT_EQ(rest.ORIGCNT, 77u); // not set
    EXPECT_EQ(PREVPOSN(), 4u);
    EXPECT_EQ(CURPOSN(), 14u);
    GETRESTOFLN(rest, rc);
    EXPECT_EQ(rc, kTknEndOfLine);
    EXPECT_EQ(rest.COUNT, 0u);

    INITTKNBUF(makeBuf(std::string(256, 'k')));
    GETRESTOFLN(rest, rc);
    EXPECT_EQ(rc, 0u);
    EXPECT_EQ(rest.COUNT, 256u);
    EXPECT_EQ(std::string(rest.CHARS.data(), 256), std::string(256, 'K'));
}

TEST_F(Tokenizer, TknInitRestoresTheDefaultsAndClearsTheSavedPosition) {
    SETDELIMSET(setOf("x"));
    INITTKNBUF(makeBuf("abc"));
    STOTKNPOSN();
    tknInit();
    EXPECT_EQ(CURPOSN(), 0u);
    EXPECT_EQ(STOPCHR, '\0');
    EXPECT_EQ(STOPKIND, DLM);
    RCLTKNPOSN();
    EXPECT_EQ(con.take(), "*ERROR* In RCLTKNPOSN and HOLDCURPOSN out of range.  It is  0\r\n"
                          " Beginning of TKNBUF is : \r\n");
    EXPECT_EQ(tokensOf("x,1", true),
              (std::vector<Tok>{{WRD, "X", 88, 0}, {NUM, "01", 1, 0, 1.0}, kEnd}));
}

} // namespace
