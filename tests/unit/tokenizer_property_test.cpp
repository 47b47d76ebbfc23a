// Random lines through both tokenizers: every scan that delivers a token
// moves the position forward, so no line can make a caller that loops until
// a nonzero return code (the evaluator) see the same token twice; positions
// stay on the line, token texts stay inside CHARS, and no push back fails.
#include "testutil.h"
#include "token/table_tokenizer.h"
#include "token/tokenizer.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <string>
#include <string_view>

namespace {

using token::TOKENKIND;

// Pieces lines are made of: the characters that steer the scanners, in the
// arrangements that matter (signs before digits, exponents, quotes, pairs of
// operator characters), and a few that do not.
constexpr std::array<std::string_view, 40> kPieces = {
    "0",  "7",  "12",   "3.5",  ".5",   ".", "E",     "e",  "E-", "e+3", "-",
    "+",  "*",  "/",    "^",    "<",    ">", "=",     "#",  "**", "><",  "<>",
    "-5", "+1", "'",    "\"",   "'.5'", " ", " ",     "  ", ",",  ";",   std::string_view("\0", 1),
    "a",  "Zq", "sqrt", "\xe9", "\xff", "x", "1e400",
};

std::string randomLine(std::mt19937& rng) {
    std::uniform_int_distribution<std::size_t> lengthOf(0, 256);
    std::uniform_int_distribution<std::size_t> pieceOf(0, kPieces.size() - 1);
    std::uniform_int_distribution<int> percent(0, 99);
    std::size_t length = lengthOf(rng);
    std::string line;
    while (line.size() < length) {
        int p = percent(rng);
        if (p < 3) {
            line.append(std::uniform_int_distribution<std::size_t>(60, 256)(rng),
                        '9'); // long numbers
        } else if (p < 6) {
            line.append(std::uniform_int_distribution<std::size_t>(70, 120)(rng),
                        'w'); // long words
        } else if (p < 10) {
            line.push_back(static_cast<char>(std::uniform_int_distribution<int>(0, 255)(rng)));
        } else {
            line.append(kPieces[pieceOf(rng)]);
        }
    }
    line.resize(length);
    return line;
}

// Both tokenizers behind one face: op 0 is GETTKNREAL, 1 GETTKN, 2 the
// module's extra scan (GETTKNTODELIM, GETWORDTKN).
struct SetTokenizer {
    static void start(const text::TEXTBUF& line) { token::INITTKNBUF(line); }
    static std::uint32_t posn() { return token::CURPOSN(); }
    static std::uint32_t count() { return token::TKNBUF().COUNT; }
    static void scan(int op, text::TEXTBUF& tkn, TOKENKIND& kind, double& real, std::uint32_t& rc) {
        std::int64_t value = 0;
        if (op == 0) token::GETTKNREAL(tkn, kind, value, real, rc);
        if (op == 1) token::GETTKN(tkn, kind, value, rc);
        if (op == 2) token::GETTKNTODELIM(tkn, value, rc);
    }
};

struct TableTokenizer {
    static void start(const text::TEXTBUF& line) { token::table::INITTKNBUF(line); }
    static std::uint32_t posn() { return token::table::CURPOSN(); }
    static std::uint32_t count() { return token::table::TKNBUF().COUNT; }
    static void scan(int op, text::TEXTBUF& tkn, TOKENKIND& kind, double& real, std::uint32_t& rc) {
        std::int32_t value = 0;
        if (op == 0) token::table::GETTKNREAL(tkn, kind, value, real, rc);
        if (op == 1) token::table::GETTKN(tkn, kind, value, rc);
        if (op == 2) token::table::GETWORDTKN(tkn, value, rc);
    }
};

// Scans lines until the end of each, with the scans drawn from ops (all of
// them GETTKNREAL when ops is 1), and checks every step.
template <class T> void checkLines(std::uint32_t seed, int lines, int ops) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> opOf(0, ops - 1);
    testutil::CapturedConsole con;
    int failures = 0;
    for (int n = 0; n < lines && failures < 5; ++n) {
        const std::string line = randomLine(rng);
        T::start(testutil::makeBuf(line));
        const std::uint32_t end = T::count() + 1;
        std::uint32_t calls = 0;
        for (;;) {
            const std::uint32_t before = T::posn();
            text::TEXTBUF tkn{};
            TOKENKIND kind = TOKENKIND::WORD;
            double real = 0.0;
            std::uint32_t rc = 99;
            const int op = opOf(rng);
            T::scan(op, tkn, kind, real, rc);
            ++calls;
            const std::uint32_t after = T::posn();
            bool ok = after <= end && tkn.COUNT <= tkn.CHARS.size() &&
                      (tkn.COUNT == tkn.CHARS.size() || tkn.CHARS[tkn.COUNT] == '\0');
            if (rc == token::kTknEndOfLine) {
                ok = ok && after == end && (op == 2 || kind == TOKENKIND::DELIMITER);
            } else {
                ok = ok && after > before && calls <= end; // forward, every time
            }
            if (op == 0 && rc == token::kTknOk && kind == TOKENKIND::NUMBER) {
                ok = ok && std::isfinite(real);
            }
            if (!ok) {
                ADD_FAILURE() << "line " << ::testing::PrintToString(line) << ": scan " << calls
                              << " (op " << op << ") went from " << before << " to " << after
                              << " with rc " << rc << ", text count " << tkn.COUNT;
                ++failures;
                break;
            }
            if (rc == token::kTknEndOfLine) break;
        }
        // The only message a consistent scan writes is the overlong word's.
        std::string out = con.take();
        for (std::size_t at = 0; at < out.size();) {
            std::size_t eol = out.find("\r\n", at);
            std::string_view msg(out.data() + at,
                                 (eol == std::string::npos ? out.size() : eol) - at);
            if (msg.rfind("PARAM NAME TOO LONG, FIRST 80 CHAR'S ARE: ", 0) != 0) {
                ADD_FAILURE() << "line " << ::testing::PrintToString(line) << " wrote " << msg;
                ++failures;
                break;
            }
            at = eol == std::string::npos ? out.size() : eol + 2;
        }
    }
}

class TokenizerProperty : public ::testing::Test {
  protected:
    void SetUp() override { testutil::freshStart(); }
};

TEST_F(TokenizerProperty, GettknrealNeverDeliversTheSameTokenTwice) {
    checkLines<SetTokenizer>(20240601u, 250000, 1);
}

TEST_F(TokenizerProperty, TableGettknrealNeverDeliversTheSameTokenTwice) {
    checkLines<TableTokenizer>(20240602u, 250000, 1);
}

TEST_F(TokenizerProperty, MixedScansAlwaysMoveForward) {
    checkLines<SetTokenizer>(20240603u, 80000, 3);
    checkLines<TableTokenizer>(20240604u, 80000, 3);
}

} // namespace
