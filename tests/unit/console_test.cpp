// Console reader and writers through the in-memory seam: line ends, long
// lines, the end of the input, and the number writer.
#include "runtime/console.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Reads lines into 256 characters until an empty text comes back, and
// returns them: with RDSTR and SKIPLN, or with readLine, the two in one.
std::vector<std::string> readLinesWith(std::string_view input, bool fused, int max) {
    testutil::CapturedConsole con(input);
    std::vector<std::string> lines;
    for (int i = 0; i < max; ++i) {
        std::array<char, 256> buf{};
        buf.fill('#');
        if (fused) {
            const std::uint32_t length = runtime::readLine(buf);
            EXPECT_EQ(length, testutil::textOf(buf).size()) << "the length up to the NUL";
        } else {
            runtime::RDSTR(buf);
            runtime::SKIPLN();
        }
        std::string s = testutil::textOf(buf);
        if (s.empty()) break;
        lines.push_back(s);
    }
    return lines;
}

// The lines both ways, which must agree.
std::vector<std::string> readLines(std::string_view input, int max = 10) {
    std::vector<std::string> lines = readLinesWith(input, false, max);
    EXPECT_EQ(readLinesWith(input, true, max), lines)
        << "readLine differs on " << input.substr(0, 20);
    return lines;
}

TEST(ConsoleReader, LineEnds) {
    struct Case {
        std::string input;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"1\n2\n", {"1", "2"}},
        {"1\r\n2\r\n", {"1", "2"}}, // CR LF is a line end
        {"1\r2\n", {"1\r2"}},       // a lone CR is an ordinary character
        {"last", {"last"}},         // no final line end
        {"last\r", {"last"}},       // a CR at the very end closes the line
        {"a\n\nb\n", {"a"}},        // an empty line reads as an empty text
        {"", {}},
        {"\t\n", {"\t"}},
        // Longer lines, read sixteen bytes at a time: the line end, a CR, a
        // NUL and a tab anywhere in such a run or at its edge.
        {"0123456789abcdef0123\nnext\n", {"0123456789abcdef0123", "next"}},
        {"0123456789abcde\r\n0123456789abcdef\r\n", {"0123456789abcde", "0123456789abcdef"}},
        {"0123456789\rabcdef0123456789\n", {"0123456789\rabcdef0123456789"}},
        {"0123456789abcdef\r0123456789abcdef\n", {"0123456789abcdef\r0123456789abcdef"}},
        {"0123\t56789\tbcdef0123456789\n", {"0123\t56789\tbcdef0123456789"}},
        {std::string("0123456789ab\0def0123456789\nnext\n", 33), {"0123456789ab", "next"}},
        {"0123456789abcdef0123456789abcdef\r", {"0123456789abcdef0123456789abcdef"}},
        {"0123456789abcdef0123456789abcdef\r\r\n", {"0123456789abcdef0123456789abcdef\r"}},
    };
    for (const Case& c : cases) EXPECT_EQ(readLines(c.input), c.lines) << c.input;
}

TEST(ConsoleReader, KeepsAtMost256CharactersAndSkipsTheRest) {
    std::string longLine(300, 'x');
    longLine[255] = 'y';
    longLine[256] = 'z';
    std::vector<std::string> lines = readLines(longLine + "\nnext\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(255, 'x') + "y"); // 256 characters, no terminator
    EXPECT_EQ(lines[1], "next");
}

TEST(ConsoleReader, Exactly256CharactersBeforeCrLf) {
    std::string line(256, 'k');
    std::vector<std::string> lines = readLines(line + "\r\nnext\r\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], line);
    EXPECT_EQ(lines[1], "next");
}

TEST(ConsoleReader, LinesLongerThanTheInputBuffer) {
    // More than the reader's chunk, so the line spans several refills.
    std::string huge(200000, 'h');
    std::vector<std::string> lines = readLines(huge + "\nafter\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(256, 'h'));
    EXPECT_EQ(lines[1], "after");
}

TEST(ConsoleReader, EndOfInputGivesAnEmptyTextAgainAndAgain) {
    testutil::CapturedConsole con("x");
    std::array<char, 4> buf{};
    runtime::RDSTR(buf);
    runtime::SKIPLN();
    EXPECT_EQ(testutil::textOf(buf), "x");
    for (int i = 0; i < 3; ++i) {
        buf.fill('#');
        runtime::RDSTR(buf);
        runtime::SKIPLN();
        EXPECT_EQ(buf[0], '\0');
    }
}

TEST(ConsoleWriter, StringsLinesAndCardinals) {
    testutil::CapturedConsole con;
    runtime::WRTSTR("abc");
    runtime::WRTLN();
    std::array<char, 3> noNul = {'x', 'y', 'z'};
    runtime::WRTSTR(noNul);
    runtime::WRTSTR("");
    EXPECT_EQ(con.take(), "abc\r\nxyz");

    struct Case {
        std::uint32_t n, width;
        std::string text;
    };
    const Case cases[] = {
        {7, 0, " 7"},
        {0, 0, " 0"},
        {42, 5, "   42"},
        {12345, 2, "12345"},
        {4294967295u, 0, " 4294967295"},
        {0, 1, "0"},
    };
    for (const Case& c : cases) {
        runtime::WRTCARD(c.n, c.width);
        EXPECT_EQ(con.take(), c.text) << c.n << " in " << c.width;
    }
}

} // namespace
