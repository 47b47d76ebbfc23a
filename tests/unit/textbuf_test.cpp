// Text buffer operations: lengths, comparison, trimming, searching, scanning,
// appending, inserting, removing, and the RMVCHR diagnostic.
#include "testutil.h"
#include "text/textbuf.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace text;
using testutil::makeBuf;
using testutil::textOf;

namespace {

class TextBuf : public ::testing::Test {
  protected:
    void SetUp() override { testutil::freshStart(); }
};

TEST_F(TextBuf, StrlngStopsAtNulOrCapacity) {
    std::array<char, 256> full{};
    full.fill('x');
    EXPECT_EQ(STRLNG(full), 256u);
    std::array<char, 256> empty{};
    EXPECT_EQ(STRLNG(empty), 0u);
    EXPECT_EQ(STRLNG("SQRT"), 4u); // the literal carries its NUL: capacity 5
    std::array<char, 3> abc = {'a', 'b', 'c'};
    EXPECT_EQ(STRLNG(abc), 3u);
}

TEST_F(TextBuf, CmpstrGivesFirstDifferenceOrLengthDifference) {
    struct Case {
        const char* a;
        const char* b;
        std::int32_t want;
    };
    const Case cases[] = {
        {"SQR", "SQRT", -1}, {"SQRT", "SQRT", 0}, {"SQRT", "sqrt", -32},
        {"B", "A", 1},       {"", "", 0},         {"\xff", "A", 255 - 65},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CMPSTR(std::span<const char>(c.a, std::strlen(c.a) + 1),
                         std::span<const char>(c.b, std::strlen(c.b) + 1)),
                  c.want)
            << c.a << " vs " << c.b;
    }
}

TEST_F(TextBuf, CmpstrIgnoresWhatFollowsTheNul) {
    TEXTBUF a = makeBuf("HELP");
    a.CHARS[5] = 'Z';
    EXPECT_EQ(CMPSTR(a.CHARS, "HELP"), 0);
}

TEST_F(TextBuf, TrmbufRemovesOnlyTrailingBlanks) {
    struct Case {
        std::string in;
        std::uint32_t count;
        std::string text;
    };
    const Case cases[] = {
        {"    ", 0, ""}, {"12 3  ", 4, "12 3"}, {"\t", 1, "\t"}, {"", 0, ""}, {" a", 2, " a"},
    };
    for (const Case& c : cases) {
        TEXTBUF b = makeBuf(c.in);
        b.ORIGCNT = 99;
        TRMBUF(b);
        EXPECT_EQ(b.COUNT, c.count) << '"' << c.in << '"';
        EXPECT_EQ(textOf(b.CHARS), c.text);
        EXPECT_EQ(b.CHARS[b.COUNT], '\0');
        EXPECT_EQ(b.ORIGCNT, 99u);
    }
}

TEST_F(TextBuf, TrmbufOnAFullArrayKeepsEveryCharacter) {
    TEXTBUF b{};
    b.CHARS.fill('7');
    TRMBUF(b);
    EXPECT_EQ(b.COUNT, 256u);
    EXPECT_EQ(b.CHARS[255], '7');
    b.CHARS[255] = ' ';
    TRMBUF(b);
    EXPECT_EQ(b.COUNT, 255u);
    EXPECT_EQ(b.CHARS[255], '\0');
}

TEST_F(TextBuf, FndlstchrSearchesTheCountedText) {
    TEXTBUF b = makeBuf("3.14");
    EXPECT_EQ(FNDLSTCHR(b, '.'), 2u);
    EXPECT_EQ(FNDLSTCHR(b, 'x'), 0u);
    b.COUNT = 0;
    EXPECT_EQ(FNDLSTCHR(b, '3'), 0u);
    TEXTBUF dots = makeBuf("1.2.3");
    EXPECT_EQ(FNDLSTCHR(dots, '.'), 4u);
    TEXTBUF bad = makeBuf("..");
    bad.COUNT = 1000; // an inconsistent count is clipped to the array
    EXPECT_EQ(FNDLSTCHR(bad, '.'), 2u);
}

TEST_F(TextBuf, CharacterClassesAndUpperCase) {
    EXPECT_TRUE(ISCTLCHR('\t'));
    EXPECT_TRUE(ISCTLCHR('\x1f'));
    EXPECT_FALSE(ISCTLCHR(' '));
    EXPECT_FALSE(ISCTLCHR('\x80'));
    EXPECT_TRUE(ISDGTCHR('0'));
    EXPECT_TRUE(ISDGTCHR('9'));
    EXPECT_FALSE(ISDGTCHR('a'));
    EXPECT_EQ(UPRCHR('a'), 'A');
    EXPECT_EQ(UPRCHR('z'), 'Z');
    EXPECT_EQ(UPRCHR('{'), '{');
    EXPECT_EQ(UPRCHR('\xe9'), '\xe9');
    EXPECT_EQ(MAXCRD(3, 5), 5u);
    EXPECT_EQ(MAXCRD(5, 3), 5u);
    EXPECT_EQ(MAXCRD(0xFFFFFFFFu, 1), 0xFFFFFFFFu);
}

TEST_F(TextBuf, RmvchrRemovesAndShortens) {
    struct Case {
        std::uint32_t start, n;
        std::string text;
    };
    const Case cases[] = {
        {2, 2, "ADE"}, {1, 5, ""}, {4, 2, "ABC"}, {3, 0, "ABCDE"}, {1, 1, "BCDE"},
    };
    for (const Case& c : cases) {
        TEXTBUF b = makeBuf("ABCDE");
        testutil::CapturedConsole con;
        RMVCHR(b, c.start, c.n);
        EXPECT_EQ(con.take(), "");
        EXPECT_EQ(textOf(b.CHARS), c.text) << c.start << "," << c.n;
        EXPECT_EQ(b.COUNT, c.text.size());
        EXPECT_EQ(b.ORIGCNT, 5u);
    }
}

TEST_F(TextBuf, RmvchrReportsParametersThatMakeNoSense) {
    struct Case {
        std::string text;
        std::uint32_t start, n;
        std::string message;
    };
    const Case cases[] = {
        {"", 1, 0,
         " IN RMVCHR; PARAMS DON'T MAKE SENSE: RMVCNT= 0, STRTCL= 1, BUF.COUNT= 0\r\n BUF: "},
        {"ABCDE", 4, 3,
         " IN RMVCHR; PARAMS DON'T MAKE SENSE: RMVCNT= 3, STRTCL= 4, BUF.COUNT= 5\r\n BUF: ABCDE"},
        {"ABCDE", 0, 1,
         " IN RMVCHR; PARAMS DON'T MAKE SENSE: RMVCNT= 1, STRTCL= 0, BUF.COUNT= 5\r\n BUF: ABCDE"},
        {"AB", 4294967295u, 2,
         " IN RMVCHR; PARAMS DON'T MAKE SENSE: RMVCNT= 2, STRTCL= 4294967295, BUF.COUNT= 2\r\n"
         " BUF: AB"},
    };
    for (const Case& c : cases) {
        TEXTBUF b = makeBuf(c.text);
        TEXTBUF before = b;
        testutil::CapturedConsole con;
        RMVCHR(b, c.start, c.n);
        EXPECT_EQ(con.take(), c.message);
        EXPECT_EQ(b.CHARS, before.CHARS);
        EXPECT_EQ(b.COUNT, before.COUNT);
    }
}

TEST_F(TextBuf, AddbufAcceptsUpTo255Characters) {
    TEXTBUF target = makeBuf(std::string(200, 'a'));
    TEXTBUF source = makeBuf(std::string(55, 'b'));
    source.ORIGCNT = 7;
    ADDBUF(source, target);
    EXPECT_EQ(target.COUNT, 255u);
    EXPECT_EQ(target.ORIGCNT, 207u);
    EXPECT_EQ(textOf(target.CHARS), std::string(200, 'a') + std::string(55, 'b'));

    TEXTBUF target2 = makeBuf(std::string(200, 'a'));
    TEXTBUF before = target2;
    ADDBUF(makeBuf(std::string(56, 'b')), target2);
    EXPECT_EQ(target2.CHARS, before.CHARS);
    EXPECT_EQ(target2.COUNT, 200u);
}

TEST_F(TextBuf, CatbufJoinsTwoTextsIntoTheTarget) {
    TEXTBUF target = makeBuf("old text");
    CATBUF(makeBuf("12"), makeBuf("AB"), target);
    EXPECT_EQ(textOf(target.CHARS), "12AB");
    EXPECT_EQ(target.COUNT, 4u);
    EXPECT_EQ(target.ORIGCNT, 4u);

    TEXTBUF self = makeBuf("xy");
    CATBUF(self, self, self);
    EXPECT_EQ(textOf(self.CHARS), "xyxy");

    TEXTBUF unchanged = makeBuf("keep");
    CATBUF(makeBuf(std::string(128, 'a')), makeBuf(std::string(128, 'b')), unchanged);
    EXPECT_EQ(textOf(unchanged.CHARS), "keep");
}

TEST_F(TextBuf, ApndbufAppendsAndStaysInsideChars) {
    TEXTBUF target = makeBuf("AB");
    APNDBUF(target, makeBuf("CD"));
    EXPECT_EQ(textOf(target.CHARS), "ABCD");
    EXPECT_EQ(target.COUNT, 4u);
    EXPECT_EQ(target.ORIGCNT, 4u);

    TEXTBUF big = makeBuf(std::string(250, 'a'));
    APNDBUF(big, makeBuf(std::string(20, 'b')));
    EXPECT_EQ(big.COUNT, 256u); // cut at the capacity
    EXPECT_EQ(big.CHARS[255], 'b');
}

// A buffer appended to itself holds its text twice, still NUL-terminated: a
// copy that reads the source while writing it once carried the first
// character into the place of the NUL (found by fuzzing).
TEST_F(TextBuf, AppendingABufferToItselfKeepsItsTerminator) {
    TEXTBUF added = makeBuf("ab");
    ADDBUF(added, added);
    EXPECT_EQ(added.COUNT, 4u);
    EXPECT_EQ(added.ORIGCNT, 4u);
    EXPECT_EQ(textOf(added.CHARS), "abab");

    TEXTBUF appended = makeBuf(">");
    APNDBUF(appended, appended);
    EXPECT_EQ(appended.COUNT, 2u);
    EXPECT_EQ(textOf(appended.CHARS), ">>");
}

TEST_F(TextBuf, InsbufInsertsAndCountsTheGrownText) {
    TEXTBUF target = makeBuf("ADE");
    INSBUF(makeBuf("BC"), target, 2);
    EXPECT_EQ(textOf(target.CHARS), "ABCDE");
    EXPECT_EQ(target.COUNT, 5u);
    EXPECT_EQ(target.ORIGCNT, 5u);

    TEXTBUF atEnd = makeBuf("AB");
    INSBUF(makeBuf("C"), atEnd, 3);
    EXPECT_EQ(textOf(atEnd.CHARS), "ABC");

    struct Refused {
        std::size_t targetLen, sourceLen;
        std::uint32_t position;
    };
    const Refused refused[] = {{200, 55, 1}, {3, 1, 0}, {3, 1, 5}};
    for (const Refused& r : refused) {
        TEXTBUF t = makeBuf(std::string(r.targetLen, 'a'));
        TEXTBUF before = t;
        INSBUF(makeBuf(std::string(r.sourceLen, 'b')), t, r.position);
        EXPECT_EQ(t.CHARS, before.CHARS) << r.targetLen << "+" << r.sourceLen << "@" << r.position;
        EXPECT_EQ(t.COUNT, before.COUNT);
    }
    TEXTBUF fits = makeBuf(std::string(200, 'a'));
    INSBUF(makeBuf(std::string(54, 'b')), fits, 1);
    EXPECT_EQ(textOf(fits.CHARS), std::string(54, 'b') + std::string(200, 'a'));
    EXPECT_EQ(fits.COUNT, 254u);
}

TEST_F(TextBuf, SetbufCopiesAndTerminates) {
    TEXTBUF b = makeBuf(std::string(256, 'z'));
    SETBUF("HELLO", b);
    EXPECT_EQ(textOf(b.CHARS), "HELLO");
    EXPECT_EQ(b.COUNT, 5u);
    EXPECT_EQ(b.ORIGCNT, 5u);

    // A 255-character text gets its NUL too, hiding what was there before.
    std::string s255(255, 'q');
    TEXTBUF c = makeBuf(std::string(256, 'z'));
    SETBUF(std::span<const char>(s255.c_str(), 256), c);
    EXPECT_EQ(c.COUNT, 255u);
    EXPECT_EQ(textOf(c.CHARS), s255);

    std::string s300(300, 'w');
    TEXTBUF d{};
    SETBUF(std::span<const char>(s300.c_str(), 301), d);
    EXPECT_EQ(d.COUNT, 256u);
    EXPECT_EQ(d.CHARS[255], 'w');
}

TEST_F(TextBuf, MovesAndFills) {
    std::array<char, 8> a = {'1', '2', '3', '4', '5', '6', '7', '8'};
    MOVFWD(std::span<const char>(a).subspan(2), a, 3); // left over an overlap
    EXPECT_EQ(std::string(a.data(), 8), "34545678");
    std::array<char, 8> b = {'1', '2', '3', '4', '5', '6', '7', '8'};
    MOVBWD(b, std::span<char>(b).subspan(2), 3); // right over an overlap
    EXPECT_EQ(std::string(b.data(), 8), "12123678");
    FILLCHR(b, 2, '*');
    EXPECT_EQ(std::string(b.data(), 8), "**123678");
    FILLCHR(b, 100, '-'); // bounded by the array
    EXPECT_EQ(std::string(b.data(), 8), "--------");
    MOVFWD(a, b, 0);
    EXPECT_EQ(std::string(b.data(), 8), "--------");
}

TEST_F(TextBuf, ScansFindPositionsFromEitherEnd) {
    struct Case {
        std::string s;
        bool forward;
        char ch;
        bool wanted;
        std::uint32_t want;
    };
    const Case cases[] = {
        {"3.140000000", false, '0', false, 4},
        {"0000", false, '0', false, 0},
        {"   12", true, ' ', false, 4},
        {"    ", true, ' ', false, 5},
        {"", true, ' ', false, 0},
        {"", false, '0', false, 0},
        {"a.b.c", true, '.', true, 2},
        {"a.b.c", false, '.', true, 4},
        {"abc", true, '.', true, 4},
        {"abc", false, '.', true, 0},
    };
    for (const Case& c : cases) {
        auto n = static_cast<std::uint32_t>(c.s.size());
        std::uint32_t got =
            c.forward ? SCNFWD(c.s, n, c.ch, c.wanted) : SCNBWD(c.s, n, c.ch, c.wanted);
        EXPECT_EQ(got, c.want) << '"' << c.s << '"' << (c.forward ? " forward" : " backward");
    }
}

} // namespace
