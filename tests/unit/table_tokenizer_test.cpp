// The table-driven tokenizer the date entry reads through: its class table,
// its smaller operator table, the 32-bit value and its guards, the start at
// the third character, word mode, and the stop character the date entry reads.
#include "testutil.h"
#include "token/table_tokenizer_testing.h"
#include "token/tokenizer_testing.h"

#include <gtest/gtest.h>

#include <string>

using token::TOKENKIND;
namespace table = token::table;
using testutil::CapturedConsole;
using testutil::makeBuf;
using testutil::textOf;

namespace {

const char* kindName(TOKENKIND k) {
    switch (k) {
    case TOKENKIND::DELIMITER:
        return "D";
    case TOKENKIND::OPERATOR:
        return "O";
    case TOKENKIND::NUMBER:
        return "N";
    case TOKENKIND::WORD:
        return "W";
    }
    return "?";
}

enum class Scan { Tkn, Real, Word };

// One scan by GETTKN, GETTKNREAL or GETWORDTKN, and all it gave back.
struct Scanned {
    Scan how;
    TOKENKIND kind = TOKENKIND::WORD;
    text::TEXTBUF tkn{};
    std::int32_t value = -1;
    double real = -1.0;
    std::uint32_t rc = 99;

    // Kind, text and value ("N 12 =12"; "w" for word mode, which gives no
    // kind), followed by " rc3" when the return code is not 0.
    std::string str() const {
        std::string s = how == Scan::Word ? "w" : kindName(kind);
        s += " " + textOf(tkn.CHARS) + " =" + std::to_string(value);
        if (rc != 0) s += " rc" + std::to_string(rc);
        return s;
    }
};

Scanned scanOnce(Scan how = Scan::Tkn) {
    Scanned r{how};
    if (how == Scan::Real) {
        table::GETTKNREAL(r.tkn, r.kind, r.value, r.real, r.rc);
    } else if (how == Scan::Word) {
        table::GETWORDTKN(r.tkn, r.value, r.rc);
    } else {
        table::GETTKN(r.tkn, r.kind, r.value, r.rc);
    }
    return r;
}

// Successive tokens of the line, separated by " | ", up to the first nonzero
// return code (at most 20 scans). The first scan is of the given kind, the
// rest GETTKN.
std::string scanLine(std::string_view line, Scan first = Scan::Tkn, bool at3 = false) {
    if (at3) {
        table::INITTKNBUFAT3(makeBuf(line));
    } else {
        table::INITTKNBUF(makeBuf(line));
    }
    std::string out;
    for (int i = 0; i < 20; ++i) {
        Scanned r = scanOnce(i == 0 ? first : Scan::Tkn);
        out += (out.empty() ? "" : " | ") + r.str();
        if (r.rc != 0) break;
    }
    return out;
}

// The next character and its class letter ("A W"); "end" at the end.
std::string nextChr() {
    char ch = 0;
    TOKENKIND cls = TOKENKIND::WORD;
    std::uint32_t eol = 9;
    table::GETCHR(ch, cls, eol);
    return eol != 0 ? "end" : std::string(1, ch) + " " + kindName(cls);
}

class TableTokenizer : public ::testing::Test {
  protected:
    void SetUp() override { testutil::freshStart(); }
    CapturedConsole con;
};

TEST_F(TableTokenizer, CharacterClassesComeFromTheTable) {
    // Each character with the class letter GETCHR gives it.
    const std::string line = "a5^,+\xe9\x7f\x05#*-/<=>; 0.E\xff\"'";
    const std::string want = "WNWDOWWWOOOOOOODDNWWWWW";
    table::INITTKNBUF(makeBuf(line));
    std::string got;
    std::string chars;
    for (std::string c = nextChr(); c != "end"; c = nextChr()) {
        chars.push_back(c[0]);
        got.push_back(c[2]);
    }
    EXPECT_EQ(got, want);
    EXPECT_EQ(chars, "A5^,+\xe9\x7f\x05#*-/<=>; 0.E\xff\"'");
}

TEST_F(TableTokenizer, Tokens) {
    struct Case {
        std::string line;
        std::string want;
    };
    const Case cases[] = {
        // "^" is a word character here.
        {"2^3", "N 2 =2 | W ^3 =145 | D  =0 rc1"},
        {"><", "O > =3 | O < =1 | D  =0 rc1"},
        {"**", "O * =12 | O * =12 | D  =0 rc1"},
        {"<> <= >= += -= *= /=",
         "O <> =6 | O <= =2 | O >= =4 | O += =9 | O -= =11 | O *= =13 | O /= =15 | D  =0 rc1"},
        {"== #=", "O = =5 | O = =5 | O # =7 | O = =5 | D  =0 rc1"},
        {"2147483647", "N 2147483647 =2147483647 | D  =0 rc1"},
        {"-2147483647", "N 2147483647 =-2147483647 | D  =0 rc1"},
        {"2147483648", "N 214748364 =214748364 rc3"},
        {"2147483650", "N 214748365 =214748365 rc3"},
        {"123456789012", "N 1234567890 =1234567890 rc3"},
        {"0000000000000", "N 0000000000000 =0 | D  =0 rc1"}, // leading zeros never overflow
        {"*-5", "O * =12 | N 5 =-5 | D  =0 rc1"},
        {"sqrt 'a b'", "W SQRT =330 | W A B =163 | D  =0 rc1"},
        {"\xe9\xff", "W \xe9\xff =488 | D  =0 rc1"},
        {"12/25/2003", "N 12 =12 | O / =14 | N 25 =25 | O / =14 | N 2003 =2003 | D  =0 rc1"},
    };
    for (const Case& c : cases) EXPECT_EQ(scanLine(c.line), c.want) << c.line;
    EXPECT_EQ(con.take(), "");
}

TEST_F(TableTokenizer, TheEleventhDigitIsConsumed) {
    EXPECT_EQ(scanLine("123456789012"), "N 1234567890 =1234567890 rc3");
    EXPECT_EQ(table::CURPOSN(), 12u);
    EXPECT_EQ(scanOnce().str(), "N 2 =2");
}

TEST_F(TableTokenizer, WordValuesStopGrowingAbove3276) {
    struct Case {
        std::string line;
        std::int32_t value;
    };
    const Case cases[] = {
        {std::string(80, 'z'), 37 * 90},           // grows up to the 37th letter
        {std::string(36, '['), 3276},              // 36 x 91: exactly at the limit
        {std::string(36, '[') + "\x05", 3276 + 5}, // a code of at most 7 still adds
        {std::string(36, '[') + "\x08", 3276},     // a larger one does not
        {std::string(36, '[') + "\x08\x05", 3281}, // ... but the next small one does
        {std::string(36, '[') + "\x05\x05", 3281}, // above the limit: no more
        {"'" + std::string(36, '[') + "1'", 3276}, // digits count as word characters
    };
    for (const Case& c : cases) {
        table::INITTKNBUF(makeBuf(c.line));
        Scanned r = scanOnce();
        EXPECT_EQ(r.kind, TOKENKIND::WORD);
        EXPECT_EQ(r.rc, 0u);
        EXPECT_EQ(r.value, c.value) << c.line;
    }
    EXPECT_EQ(con.take(), "");
}

TEST_F(TableTokenizer, OverlongWordMessageIsTheSame) {
    EXPECT_EQ(scanLine(std::string(81, 'z')), "W " + std::string(80, 'Z') + " =3330 rc2");
    EXPECT_EQ(con.take(),
              "PARAM NAME TOO LONG, FIRST 80 CHAR'S ARE: " + std::string(80, 'Z') + "\r\n");
    EXPECT_EQ(table::CURPOSN(), 82u);
}

TEST_F(TableTokenizer, StartAtThirdCharacter) {
    EXPECT_EQ(scanLine("AB3", Scan::Tkn, true), "N 3 =3 | D  =0 rc1");
    EXPECT_EQ(scanLine("12/25", Scan::Tkn, true), "O / =14 | N 25 =25 | D  =0 rc1");
    // Shorter lines start at their end.
    EXPECT_EQ(scanLine("A", Scan::Tkn, true), "D  =0 rc1");
    EXPECT_EQ(table::CURPOSN(), 2u);
    EXPECT_EQ(scanLine("", Scan::Tkn, true), "D  =0 rc1");
    EXPECT_EQ(table::CURPOSN(), 1u);

    // The first two characters can still be stepped back onto.
    table::INITTKNBUFAT3(makeBuf("AB3"));
    EXPECT_EQ(table::CURPOSN(), 3u);
    std::uint32_t fail = 9;
    table::UNGETCHR(fail);
    EXPECT_EQ(fail, 0u);
    EXPECT_EQ(nextChr(), "B W");
    EXPECT_EQ(con.take(), "");
}

TEST_F(TableTokenizer, WordModeRunsToTheNextDelimiterForOneScan) {
    struct Case {
        std::string line;
        std::string want;
    };
    const Case cases[] = {
        {"12+AB CD", "w 12+AB =273 | W CD =135 | D  =0 rc1"},
        {"+5 5", "w +5 =96 | N 5 =5 | D  =0 rc1"},
        {"'1 2' 3", "w 1 2 =131 | N 3 =3 | D  =0 rc1"},
        {"a,5", "w A =65 | N 5 =5 | D  =0 rc1"},
        {"  ", "w  =0 rc1"},
        {std::string(81, '7'), "w " + std::string(80, '7') + " =3300 rc2"}, // 60 x 55
    };
    for (const Case& c : cases) EXPECT_EQ(scanLine(c.line, Scan::Word), c.want) << c.line;
    con.take();

    // A character read right after it is classed by the default table.
    table::INITTKNBUF(makeBuf("A 5+"));
    EXPECT_EQ(scanOnce(Scan::Word).str(), "w A =65");
    EXPECT_EQ(nextChr(), "5 N");
    EXPECT_EQ(nextChr(), "+ O");
}

TEST_F(TableTokenizer, StopCharacterForTheDateEntry) {
    struct Case {
        std::string line;
        char stop;
        TOKENKIND kind;
    };
    const Case cases[] = {
        {"12", '\0', TOKENKIND::DELIMITER},                   // ran to the end of the line
        {std::string("12\0", 3), '\0', TOKENKIND::DELIMITER}, // followed by a NUL
        {"12 x", ' ', TOKENKIND::DELIMITER},                  // a delimiter, consumed
        {"12,x", ',', TOKENKIND::DELIMITER},
        {"12/25", '/', TOKENKIND::OPERATOR}, // pushed back
        {"12x", 'X', TOKENKIND::WORD},
        {"12^", '^', TOKENKIND::WORD},
    };
    for (const Case& c : cases) {
        table::INITTKNBUF(makeBuf(c.line));
        EXPECT_EQ(scanOnce().str(), "N 12 =12") << c.line;
        EXPECT_EQ(table::STOPCHR, c.stop) << c.line;
        EXPECT_EQ(table::STOPKIND, c.kind) << c.line;
    }
}

TEST_F(TableTokenizer, GetopcodeHasNoCaretAndNoDoublePairs) {
    struct Case {
        std::string text;
        std::uint32_t code;
        std::uint32_t fail;
    };
    const Case cases[] = {{"^", 0, 1}, {"^=", 0, 1}, {"<>", 6, 0}, {"<", 1, 0}, {"/=", 15, 0}};
    for (const Case& c : cases) {
        table::INITTKNBUF(makeBuf("abc"));
        text::TEXTBUF tkn = makeBuf(c.text);
        std::uint32_t code = 99;
        std::uint32_t fail = 99;
        table::GETOPCODE(tkn, code, fail);
        EXPECT_EQ(code, c.code) << c.text;
        EXPECT_EQ(fail, c.fail) << c.text;
    }
}

TEST_F(TableTokenizer, RealsUseThisModulesScan) {
    struct Case {
        std::string line;
        double real;
        std::int32_t value;
        std::uint32_t pos;
    };
    const Case cases[] = {
        {"-1.5", -1.5, -1, 5},
        {"2147483648 x", 2147483648.0, 214748364, 12}, // the guard's stop is not passed on
        {"'.5'", 0.5, 46 + 53, 5},
        {"2^3", 2.0, 2, 2},
        // 2 and 254 or 255 zeros: every digit counts, each r*10 rounded to
        // double (Python's float products), also those the text cannot hold.
        {"2" + std::string(254, '0'), 2.0000000000000001e+254, 2000000000, 256},
        {"2" + std::string(255, '0'), 2e+255, 2000000000, 257},
    };
    for (const Case& c : cases) {
        table::INITTKNBUF(makeBuf(c.line));
        Scanned r = scanOnce(Scan::Real);
        EXPECT_EQ(r.kind, TOKENKIND::NUMBER) << c.line;
        EXPECT_EQ(r.rc, 0u) << c.line;
        EXPECT_EQ(r.real, c.real) << c.line;
        EXPECT_EQ(r.value, c.value) << c.line;
        EXPECT_EQ(table::CURPOSN(), c.pos) << c.line;
    }
}

TEST_F(TableTokenizer, PositionMessagesAreWordForWordThoseOfTheFirstTokenizer) {
    table::INITTKNBUF(makeBuf("d8"));
    std::uint32_t fail = 0;
    table::UNGETCHR(fail);
    table::UNGETTKN(fail);
    table::RCLTKNPOSN();
    EXPECT_EQ(con.take(),
              " *ERROR*  Cannot UNGETCHR because CURPOSN is out of range.  It is  1.\r\n"
              " BEGINNING OF TKNBUF: d8\r\n"
              " *ERROR*  Cannot UNGETTKN because CURPOSN is too small or \r\n"
              "  there is no last token to UNGET.  CURPOSN =  1, PREVPOSN =  0\r\n"
              " BEGINNING OF TKNBUF: d8\r\n"
              "*ERROR* In RCLTKNPOSN and HOLDCURPOSN out of range.  It is  0\r\n"
              " Beginning of TKNBUF is : d8\r\n");
}

TEST_F(TableTokenizer, KeepsItsOwnStateApartFromTheFirstTokenizer) {
    token::tknInit();
    token::INITTKNBUF(makeBuf("first line"));
    table::INITTKNBUF(makeBuf("9 x"));
    table::STOTKNPOSN();
    EXPECT_EQ(scanOnce().str(), "N 9 =9");
    EXPECT_EQ(token::CURPOSN(), 1u);
    EXPECT_EQ(textOf(token::TKNBUF().CHARS), "first line");
    EXPECT_EQ(token::STOPCHR, '\0');
    EXPECT_EQ(table::STOPCHR, ' ');
    token::RCLTKNPOSN(); // nothing saved in the first tokenizer
    EXPECT_EQ(con.take(), "*ERROR* In RCLTKNPOSN and HOLDCURPOSN out of range.  It is  0\r\n"
                          " Beginning of TKNBUF is : first line\r\n");
    EXPECT_EQ(table::CURPOSN(), 3u);
}

TEST_F(TableTokenizer, RestOfLine) {
    table::INITTKNBUFAT3(makeBuf("12 ab, c  "));
    text::TEXTBUF rest{};
    std::uint32_t rc = 9;
    table::GETRESTOFLN(rest, rc);
    EXPECT_EQ(rc, 0u);
    EXPECT_EQ(textOf(rest.CHARS), " AB, C");
    EXPECT_EQ(rest.COUNT, 6u);
}

} // namespace
