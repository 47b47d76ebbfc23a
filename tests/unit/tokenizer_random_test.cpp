// Random lines through both tokenizers, two checks on the same faces.
//
// Progress (TokenizerProperty):
//   every scan that delivers a token moves the position forward, so no line
//   can make a caller that loops until a nonzero return code (the evaluator)
//   see the same token twice; positions stay on the line, token texts stay
//   inside CHARS, and no push back fails.
//
// One pass (TokenShortcut):
//   GETTKNREAL reads the tokens of ordinary lines (numbers that begin with a
//   digit, one-character operators) in one pass; general::GETTKNREAL takes
//   every token the general way, GETTKN and then the re-scan of a number from
//   where its token began. Both tokenizer modules must give the same results
//   either way, in every detail a caller can see: the token text (all of
//   CHARS, COUNT, ORIGCNT), kind, integer value, real value, return code,
//   CURPOSN, PREVPOSN, STOPCHR, STOPKIND and every console message.
//
//   Many generated lines are scanned twice from the same state, once each
//   way, with the same script of scans and position moves in between
//   (stepping back, saving and restoring positions, replaced character sets,
//   word mode), and the two records must be equal step by step.
#include "testutil.h"
#include "token/table_tokenizer_testing.h"
#include "token/tokenizer_testing.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

using token::TOKENKIND;

// Lines of the one-pass comparison are made of these: numbers of every shape
// the re-scan accepts or stops at, operators alone and in pairs, signs before
// digits, delimiters (NUL included), words, quotes, the digit limits of both
// modules.
constexpr std::array<std::string_view, 58> kShortcutPieces = {
    "0",          "7",          "12",         "3.5",         ".5",          ".",        "E",
    "e",          "E-",         "e+3",        "-",           "+",           "*",        "/",
    "^",          "<",          ">",          "=",           "#",           "**",       "><",
    "<>",         "-5",         "+1",         "'",           "\"",          "'.5'",     " ",
    " ",          "  ",         ",",          ";",           "a",           "sqrt",     "\xe9",
    "1e400",      "1e-3",       "1E5E",       "3-2",         "5*2",         "*-5",      "+=",
    "1.2.3",      "224.9",      "007",        "9.",          "1.5e",        "2e+",      "999999999",
    "1234567890", "2147483647", "2147483648", "12345678901", "0.000000001", "4.9e-324", "1e308",
    "x1",         "1x",
};

std::string shortcutLine(std::mt19937& rng) {
    std::uniform_int_distribution<int> percent(0, 99);
    const std::size_t length = percent(rng) < 80
                                   ? static_cast<std::size_t>(percent(rng) / 2)
                                   : std::uniform_int_distribution<std::size_t>(0, 300)(rng);
    std::string line;
    while (line.size() < length) {
        const int p = percent(rng);
        if (p < 2) {
            line.append(std::uniform_int_distribution<std::size_t>(200, 300)(rng), '9');
        } else if (p < 5) {
            line.push_back(static_cast<char>(std::uniform_int_distribution<int>(0, 255)(rng)));
        } else if (p < 8) {
            line.push_back('\0');
        } else {
            line.append(kShortcutPieces[std::uniform_int_distribution<std::size_t>(
                0, kShortcutPieces.size() - 1)(rng)]);
        }
    }
    line.resize(length);
    return line;
}

// A set of mostly the default members with a few codes added or taken away,
// so that digits, points, "E", signs or NUL change their class now and then.
token::CharSet nearlyDefault(std::mt19937& rng, std::string_view members) {
    token::CharSet set{};
    for (char ch : members) {
        auto c = static_cast<unsigned char>(ch);
        set[c / 8u] = static_cast<std::uint8_t>(set[c / 8u] | (1u << (c % 8u)));
    }
    constexpr std::string_view kSwitch("0159.E+-*' \0,aZ", 15);
    for (int i = std::uniform_int_distribution<int>(1, 3)(rng); i > 0; --i) {
        auto c = static_cast<unsigned char>(
            kSwitch[std::uniform_int_distribution<std::size_t>(0, kSwitch.size() - 1)(rng)]);
        set[c / 8u] = static_cast<std::uint8_t>(set[c / 8u] ^ (1u << (c % 8u)));
    }
    return set;
}

// Everything a caller can see after one step.
struct Seen {
    text::TEXTBUF tkn{};
    int kind = -1;
    std::int64_t value = 0;
    std::uint64_t realBits = 0;
    std::uint32_t rc = 0;
    std::uint32_t curposn = 0;
    std::uint32_t prevposn = 0;
    char stopchr = '\0';
    int stopkind = -1;
    std::string console;

    bool operator==(const Seen& o) const {
        return tkn.CHARS == o.tkn.CHARS && tkn.COUNT == o.tkn.COUNT &&
               tkn.ORIGCNT == o.tkn.ORIGCNT && kind == o.kind && value == o.value &&
               realBits == o.realBits && rc == o.rc && curposn == o.curposn &&
               prevposn == o.prevposn && stopchr == o.stopchr && stopkind == o.stopkind &&
               console == o.console;
    }
};

std::string describe(const Seen& s) {
    return "text [" + testutil::textOf(s.tkn.CHARS) + "] COUNT " + std::to_string(s.tkn.COUNT) +
           " kind " + std::to_string(s.kind) + " value " + std::to_string(s.value) + " real " +
           std::to_string(std::bit_cast<double>(s.realBits)) + " rc " + std::to_string(s.rc) +
           " CURPOSN " + std::to_string(s.curposn) + " PREVPOSN " + std::to_string(s.prevposn) +
           " STOPCHR " + std::to_string(static_cast<unsigned char>(s.stopchr)) + " STOPKIND " +
           std::to_string(s.stopkind) + " console [" + s.console + "]";
}

// The first tokenizer and the table-driven one behind one face, for both
// checks.
struct First {
    using Value = std::int64_t;
    static void reset(std::mt19937& rng) {
        token::TKNINIT();
        if (std::uniform_int_distribution<int>(0, 9)(rng) == 0) {
            token::SETDELIMSET(nearlyDefault(rng, std::string_view("\0 ,;", 4)));
            token::SETOPCHRSET(nearlyDefault(rng, "#*+-/<=>^"));
            token::SETDIGITSET(nearlyDefault(rng, "0123456789"));
        }
    }
    static void init(const text::TEXTBUF& line, std::mt19937&) { token::INITTKNBUF(line); }
    static void start(const text::TEXTBUF& line) { token::INITTKNBUF(line); }
    static std::uint32_t count() { return token::TKNBUF().COUNT; }
    static void real(bool shortcut, text::TEXTBUF& t, TOKENKIND& k, Value& v, double& r,
                     std::uint32_t& rc) {
        if (shortcut) {
            token::GETTKNREAL(t, k, v, r, rc);
        } else {
            token::general::GETTKNREAL(t, k, v, r, rc);
        }
    }
    static void other(int op, text::TEXTBUF& t, TOKENKIND& k, Value& v, std::uint32_t& rc) {
        char ch = '\0';
        switch (op) {
        case 0:
            token::GETTKN(t, k, v, rc);
            break;
        case 1:
            token::GETCHR(ch, k, rc);
            v = static_cast<unsigned char>(ch);
            break;
        case 2:
            token::UNGETCHR(rc);
            break;
        case 3:
            token::UNGETTKN(rc);
            break;
        case 4:
            token::STOTKNPOSN();
            break;
        case 5:
            token::RCLTKNPOSN();
            break;
        default:
            token::GETTKNTODELIM(t, v, rc);
            break;
        }
    }
    static std::uint32_t curposn() { return token::CURPOSN(); }
    static std::uint32_t prevposn() { return token::PREVPOSN(); }
    static char stopchr() { return token::STOPCHR; }
    static TOKENKIND stopkind() { return token::STOPKIND; }
};

struct Table {
    using Value = std::int32_t;
    static void reset(std::mt19937&) { token::table::TKNINIT(); }
    static void start(const text::TEXTBUF& line) { token::table::INITTKNBUF(line); }
    static std::uint32_t count() { return token::table::TKNBUF().COUNT; }
    static void init(const text::TEXTBUF& line, std::mt19937& rng) {
        if (std::uniform_int_distribution<int>(0, 3)(rng) == 0) {
            token::table::INITTKNBUFAT3(line);
        } else {
            token::table::INITTKNBUF(line);
        }
    }
    static void real(bool shortcut, text::TEXTBUF& t, TOKENKIND& k, Value& v, double& r,
                     std::uint32_t& rc) {
        if (shortcut) {
            token::table::GETTKNREAL(t, k, v, r, rc);
        } else {
            token::table::general::GETTKNREAL(t, k, v, r, rc);
        }
    }
    static void other(int op, text::TEXTBUF& t, TOKENKIND& k, Value& v, std::uint32_t& rc) {
        char ch = '\0';
        switch (op) {
        case 0:
            token::table::GETTKN(t, k, v, rc);
            break;
        case 1:
            token::table::GETCHR(ch, k, rc);
            v = static_cast<unsigned char>(ch);
            break;
        case 2:
            token::table::UNGETCHR(rc);
            break;
        case 3:
            token::table::UNGETTKN(rc);
            break;
        case 4:
            token::table::STOTKNPOSN();
            break;
        case 5:
            token::table::RCLTKNPOSN();
            break;
        default:
            token::table::GETWORDTKN(t, v, rc);
            break;
        }
    }
    static std::uint32_t curposn() { return token::table::CURPOSN(); }
    static std::uint32_t prevposn() { return token::table::PREVPOSN(); }
    static char stopchr() { return token::table::STOPCHR; }
    static TOKENKIND stopkind() { return token::table::STOPKIND; }
};

// One line scanned from a fresh module state by a script drawn from seed:
// mostly GETTKNREAL (one way or the other), now and then another operation;
// or, as the evaluator scans, GETTKNREAL alone until a nonzero return code.
template <class T>
std::vector<Seen> scan(bool shortcut, const std::string& line, std::uint32_t seed,
                       testutil::CapturedConsole& con, bool asEvaluator = false) {
    std::mt19937 rng(seed);
    T::reset(rng);
    text::TEXTBUF buf = testutil::makeBuf(line);
    if (std::uniform_int_distribution<int>(0, 7)(rng) == 0 && buf.COUNT > 0) {
        buf.COUNT = std::uniform_int_distribution<std::uint32_t>(0, buf.COUNT)(rng);
    }
    T::init(buf, rng);
    con.take();
    text::TEXTBUF tkn{};
    tkn.CHARS.fill('#');
    std::vector<Seen> record;
    const int steps = asEvaluator ? static_cast<int>(buf.COUNT) + 1
                                  : std::uniform_int_distribution<int>(1, 40)(rng);
    for (int i = 0; i < steps; ++i) {
        TOKENKIND kind = TOKENKIND::WORD;
        typename T::Value value = 99;
        double real = -1.0;
        std::uint32_t rc = 99;
        const int op = asEvaluator ? 0 : std::uniform_int_distribution<int>(0, 19)(rng);
        if (op < 12) {
            T::real(shortcut, tkn, kind, value, real, rc);
        } else {
            T::other(op - 12, tkn, kind, value, rc);
        }
        Seen s;
        s.tkn = tkn;
        s.kind = static_cast<int>(kind);
        s.value = value;
        s.realBits = std::bit_cast<std::uint64_t>(real);
        s.rc = rc;
        s.curposn = T::curposn();
        s.prevposn = T::prevposn();
        s.stopchr = T::stopchr();
        s.stopkind = static_cast<int>(T::stopkind());
        s.console = con.take();
        record.push_back(s);
        if (asEvaluator && rc != token::kTknOk) break;
    }
    return record;
}

template <class T> void compareWays(std::uint32_t seed, int lines) {
    std::mt19937 rng(seed);
    testutil::CapturedConsole con;
    int failures = 0;
    for (int n = 0; n < lines && failures < 5; ++n) {
        const std::string line = shortcutLine(rng);
        const std::uint32_t script = static_cast<std::uint32_t>(rng());
        const std::vector<Seen> quick = scan<T>(true, line, script, con);
        const std::vector<Seen> general = scan<T>(false, line, script, con);
        ASSERT_EQ(quick.size(), general.size());
        for (std::size_t i = 0; i < quick.size(); ++i) {
            if (!(quick[i] == general[i])) {
                ADD_FAILURE() << "line " << ::testing::PrintToString(line) << " step " << i
                              << "\n  one pass: " << describe(quick[i])
                              << "\n  general:  " << describe(general[i]);
                ++failures;
                break;
            }
        }
    }
}

// Lines of the progress check are made of these: the characters that steer
// the scanners, in the arrangements that matter (signs before digits,
// exponents, quotes, pairs of operator characters), and a few that do not.
constexpr std::array<std::string_view, 40> kProgressPieces = {
    "0",  "7",  "12",   "3.5",  ".5",   ".", "E",     "e",  "E-", "e+3", "-",
    "+",  "*",  "/",    "^",    "<",    ">", "=",     "#",  "**", "><",  "<>",
    "-5", "+1", "'",    "\"",   "'.5'", " ", " ",     "  ", ",",  ";",   std::string_view("\0", 1),
    "a",  "Zq", "sqrt", "\xe9", "\xff", "x", "1e400",
};

std::string progressLine(std::mt19937& rng) {
    std::uniform_int_distribution<std::size_t> lengthOf(0, 256);
    std::uniform_int_distribution<std::size_t> pieceOf(0, kProgressPieces.size() - 1);
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
            line.append(kProgressPieces[pieceOf(rng)]);
        }
    }
    line.resize(length);
    return line;
}

// The scans of the progress check: op 0 is GETTKNREAL, 1 GETTKN, 2 the
// module's extra scan (GETTKNTODELIM, GETWORDTKN).
template <class T>
void progressScan(int op, text::TEXTBUF& tkn, TOKENKIND& kind, double& real, std::uint32_t& rc) {
    typename T::Value value = 0;
    if (op == 0) T::real(true, tkn, kind, value, real, rc);
    if (op == 1) T::other(0, tkn, kind, value, rc);
    if (op == 2) T::other(6, tkn, kind, value, rc);
}

// Scans lines until the end of each, with the scans drawn from ops (all of
// them GETTKNREAL when ops is 1), and checks every step.
template <class T> void checkLines(std::uint32_t seed, int lines, int ops) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> opOf(0, ops - 1);
    testutil::CapturedConsole con;
    int failures = 0;
    for (int n = 0; n < lines && failures < 5; ++n) {
        const std::string line = progressLine(rng);
        T::start(testutil::makeBuf(line));
        const std::uint32_t end = T::count() + 1;
        std::uint32_t calls = 0;
        for (;;) {
            const std::uint32_t before = T::curposn();
            text::TEXTBUF tkn{};
            TOKENKIND kind = TOKENKIND::WORD;
            double real = 0.0;
            std::uint32_t rc = 99;
            const int op = opOf(rng);
            progressScan<T>(op, tkn, kind, real, rc);
            ++calls;
            const std::uint32_t after = T::curposn();
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
    checkLines<First>(20240601u, 250000, 1);
}

TEST_F(TokenizerProperty, TableGettknrealNeverDeliversTheSameTokenTwice) {
    checkLines<Table>(20240602u, 250000, 1);
}

TEST_F(TokenizerProperty, MixedScansAlwaysMoveForward) {
    checkLines<First>(20240603u, 80000, 3);
    checkLines<Table>(20240604u, 80000, 3);
}

class TokenShortcut : public ::testing::Test {
  protected:
    void SetUp() override { testutil::freshStart(); }
    void TearDown() override { token::TKNINIT(); }
};

TEST_F(TokenShortcut, FirstTokenizerGivesWhatTheGeneralWayGives) {
    compareWays<First>(20250101u, 60000);
}

TEST_F(TokenShortcut, TableTokenizerGivesWhatTheGeneralWayGives) {
    compareWays<Table>(20250102u, 60000);
}

// The evaluator's own use: every token of an arithmetic line in a row, with
// nothing in between, from numbers of up to 17 digits and 9 places.
TEST_F(TokenShortcut, ArithmeticLinesScanAlikeBothWays) {
    std::mt19937 rng(20250103u);
    testutil::CapturedConsole con;
    constexpr std::string_view kOps[] = {"+", "-", "*", "/", "^", "**", "<>"};
    for (int n = 0; n < 20000; ++n) {
        std::string line;
        for (int t = std::uniform_int_distribution<int>(1, 12)(rng); t > 0; --t) {
            if (std::uniform_int_distribution<int>(0, 2)(rng) == 0) {
                line += kOps[std::uniform_int_distribution<std::size_t>(0, 6)(rng)];
            } else {
                line += std::to_string(std::uniform_int_distribution<std::uint64_t>(
                    0, std::uint64_t{1} << std::uniform_int_distribution<int>(1, 56)(rng))(rng));
                if (std::uniform_int_distribution<int>(0, 1)(rng) == 0) {
                    line += ".";
                    line += std::to_string(
                        std::uniform_int_distribution<std::uint32_t>(0, 999999999)(rng));
                }
            }
            line += std::uniform_int_distribution<int>(0, 5)(rng) == 0 ? "  " : " ";
        }
        const std::vector<Seen> quick[] = {scan<First>(true, line, 7, con, true),
                                           scan<Table>(true, line, 7, con, true)};
        const std::vector<Seen> general[] = {scan<First>(false, line, 7, con, true),
                                             scan<Table>(false, line, 7, con, true)};
        for (int m = 0; m < 2; ++m) {
            ASSERT_EQ(quick[m].size(), general[m].size());
            for (std::size_t i = 0; i < quick[m].size(); ++i) {
                ASSERT_TRUE(quick[m][i] == general[m][i])
                    << "line " << line << " module " << m << " step " << i
                    << "\n  one pass: " << describe(quick[m][i])
                    << "\n  general:  " << describe(general[m][i]);
            }
        }
    }
}

} // namespace
