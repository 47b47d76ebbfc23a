// The fuzz targets' properties (fuzz/*_property.h) on fixed inputs: the
// inputs kept in fuzz/regressions, and corpora made here from a fixed seed
// out of the pieces that steer the scanners and the evaluator. A property
// that fails stops the test with its reason on standard error.
#include "dialogue_property.h"
#include "tokenizer_property.h"

#include "calc/evaluator_testing.h"
#include "calc/regstack.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The inputs kept for a fuzz target.
std::vector<std::string> regressions(std::string_view target) {
    const char* tests = std::getenv("RPNCALC_TESTDATA");
    std::vector<std::string> inputs;
    if (tests == nullptr) return inputs;
    const auto dir = std::filesystem::path(tests) / ".." / "fuzz" / "regressions" / target;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::ifstream in(entry.path(), std::ios::binary);
        inputs.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return inputs;
}

std::size_t pick(std::mt19937_64& rng, std::size_t n) {
    return static_cast<std::size_t>(rng() % n);
}

std::string digits(std::mt19937_64& rng, std::size_t n) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i) s += static_cast<char>('0' + pick(rng, 10));
    return s;
}

// A line of the evaluator's kind: plain numbers of every length the lane
// takes and some it does not, the four operators and the swaps, delimiters
// (tab among them), and now and then a command word in any case, a word
// that is none, or a token no plain line has.
std::string arithmeticLine(std::mt19937_64& rng) {
    constexpr std::array<const char*, 25> kOthers = {
        "SQRT", "-3",    "+4",      "**",     "<",    "1E5",    ".25",   "X",   "1.2.3",
        "/-",   "<><>",  "^",       "sqrt",   "SwAp", "rolldn", "LASTX", "sto", "RCL",
        "d2r",  "SQRTX", "SWAPXYZ", "'SWAP'", "A.B",  "Y^X",    "DUMP"};
    constexpr std::array<const char*, 6> kDelims = {" ", "  ", ",", ";", " , ", "\t"};
    std::string line;
    const std::size_t tokens = 1 + pick(rng, 8);
    for (std::size_t t = 0; t < tokens; ++t) {
        if (t > 0) line += kDelims[pick(rng, kDelims.size())];
        const std::size_t kind = pick(rng, 100);
        if (kind < 45) {
            line += digits(rng, 1 + (pick(rng, 4) == 0 ? pick(rng, 18) : pick(rng, 4)));
            if (pick(rng, 2) == 0)
                line += "." + digits(rng, pick(rng, 4) == 0 ? pick(rng, 27) : pick(rng, 4));
        } else if (kind < 85) {
            line += "+-*/"[pick(rng, 4)];
        } else if (kind < 92) {
            line += pick(rng, 2) == 0 ? "<>" : "><";
        } else {
            line += kOthers[pick(rng, kOthers.size())];
        }
    }
    if (pick(rng, 3) == 0) line += kDelims[pick(rng, kDelims.size())];
    return line;
}

TEST(DialogueProperty, HoldsOnTheKeptInputs) {
    const std::vector<std::string> inputs = regressions("dialogue");
    EXPECT_FALSE(inputs.empty());
    for (const std::string& in : inputs) fuzzprop::checkDialogue(in);
}

TEST(DialogueProperty, HoldsOnSeededDialogues) {
    std::mt19937_64 rng(20260803);
    std::size_t lines = 0, taken = 0;
    for (int d = 0; d < 400; ++d) {
        std::string in;
        for (std::size_t n = 1 + pick(rng, 12); n > 0; --n, ++lines)
            in += arithmeticLine(rng) + "\n";
        if (d % 2 == 1) in += "\n"; // tab among the delimiters for an odd length
        if (in.size() % 2 != static_cast<std::size_t>(d % 2)) in += "\n";
        taken += fuzzprop::checkDialogue(in);
    }
    EXPECT_GT(taken, lines / 3); // the lane is really exercised
}

// Each row: a line, and whether the whole-line lane takes it with the
// default delimiters and with tab among them. Both ways must agree on it
// from registers already holding values.
TEST(DialogueProperty, LaneTakesPlainLinesOnly) {
    struct Case {
        std::string line;
        bool lane;
        bool laneWithTab;
    };
    const Case cases[] = {
        {"224.9 418.35 - 361.3 + 717.37 * 245 +", true, true},
        {"1 3 /", true, true},
        {"1 0 /", true, true},            // an infinity, as the general way gives
        {"0 0 / 2 *", true, true},        // NaN
        {"  7.,;8 ;, *  ", true, true},   // other delimiters, a point without places
        {"9007199254740993", true, true}, // 16 digits above 2^53: rounded once
        {"9999999999999999 1 +", true, true},
        {"0.1000000000000000055511151231257827", false, false}, // more places than the table
        {"0.123456789012345678901234", true, true},             // 24 places
        {"99999999999999999", false, false},                    // 17 digits
        {"00000000000000001", false, false},
        {"1 2 + -", true, true}, // operators on the registers already there
        {"1 2,", true, true},    // the last scan begins behind the comma
        {"1 + ;", true, true},   // and here before the semicolon
        {"", true, true},
        {"-5 3 +", false, false}, // a signed number
        {"5 -", true, true},
        {"1+2", false, false},
        {"1 2 ++", false, false},
        {"2 SQRT", true, true},
        {"2 sQrT;d2r,LASTX rolldn SWAPXY", true, true}, // command words in any case
        {"3 DUMP", true, true},
        {"2 SQRTX", false, false},   // no command word: the general way says so
        {"2 ARCTANX", false, false}, // eight characters
        {"2 SQRT+", false, false},   // an operator character ends it
        {"2 Y^X", false, false},
        {"2 'SQRT'", false, false},
        {"2 SQRT.", false, false},
        {"1E3", false, false},
        {".5", false, false},
        {"1..2", false, false},
        {"2 3 ^", false, false},
        {"1 2 <>", true, true}, // the swaps leave LASTX alone
        {"1 2 ><", true, true},
        {"<> 3 -", true, true},
        {"1 2 <>3", false, false},
        {"1 2 <><>", false, false}, // two swaps to the tokenizer
        {"1 2 <=", false, false},
        {"1 2 <", false, false},
        {"1 2 #", false, false},
        {std::string("1 \0 2", 5), true, true}, // cut at the NUL
        {"1\t2\t+", false, true},               // tab: a word character, or a delimiter
        {"3 4\t*\t", false, true},
        {"\t5 6 <>", false, true},
        // Taken whole now that the lane reads command words, or a plain
        // beginning taken by it and the rest by the token loop.
        {"1 2 + sqrt 3 *", true, true},
        {"4,5;LASTX <> 6 ><,STO", true, true},
        {"7 8 - -2 <>", false, false},
        {"9 <> 1.5E2 +", false, false},
        {"3\t4 * SWAP", false, true},
        {"rcl 5 sto", true, true}, // RCL reads what the lines before stored
    };
    testutil::CapturedConsole con;
    for (bool tab : {false, true}) {
        for (const Case& c : cases) {
            testutil::freshStart();
            if (tab) fuzzprop::addTabDelimiter();
            calc::stack::REGSTK = {1.5, -2, 3e300, 0.1, 5, 6, 7, 8};
            calc::stack::LASTX = -7.25;
            EXPECT_EQ(fuzzprop::checkLinesBothWays({c.line}) == 1, tab ? c.laneWithTab : c.lane)
                << "[" << c.line << "]" << (tab ? " with tab" : "");
        }
    }
}

// The tokenizer property's inputs: a line, then the script, as the property
// reads them (fuzz/fuzzcheck.h, Script).
struct TokenizerInput {
    std::string bytes;
    void line(std::string_view text) {
        for (char c : text) {
            bytes += c;
            if (c == '\\') bytes += c;
        }
        bytes += "\\.";
    }
    void byte(std::size_t b) { bytes += static_cast<char>(b & 0xFFu); }
};

// Lines are made of these: numbers of every shape the re-scan accepts or
// stops at, operators alone and in pairs, signs before digits, delimiters,
// words, quotes, the digit limits of both modules.
constexpr std::array<std::string_view, 62> kPieces = {
    "0",           "7",
    "12",          "3.5",
    ".5",          ".",
    "E",           "e",
    "E-",          "e+3",
    "-",           "+",
    "*",           "/",
    "^",           "<",
    ">",           "=",
    "#",           "**",
    "><",          "<>",
    "-5",          "+1",
    "'",           "\"",
    "'.5'",        " ",
    " ",           "  ",
    ",",           ";",
    "a",           "sqrt",
    "\xe9",        "1e400",
    "1e-3",        "1E5E",
    "3-2",         "5*2",
    "*-5",         "+=",
    "1.2.3",       "224.9",
    "007",         "9.",
    "1.5e",        "2e+",
    "999999999",   "1234567890",
    "2147483647",  "2147483648",
    "12345678901", "0.000000001",
    "4.9e-324",    "1e308",
    "x1",          "1x",
    "Zq",          "\xff",
    "\t",          "12345678901234567",
};

std::string tokenizerLine(std::mt19937_64& rng) {
    if (pick(rng, 4) == 0) return arithmeticLine(rng);
    const std::size_t length = pick(rng, 5) != 0 ? pick(rng, 50) : pick(rng, 301);
    std::string line;
    while (line.size() < length) {
        const std::size_t p = pick(rng, 100);
        if (p < 2) {
            line.append(60 + pick(rng, 240), '9'); // long numbers
        } else if (p < 4) {
            line.append(70 + pick(rng, 50), 'w'); // long words
        } else if (p < 7) {
            line.push_back(static_cast<char>(pick(rng, 256)));
        } else if (p < 9) {
            line.push_back('\0');
        } else {
            line.append(kPieces[pick(rng, kPieces.size())]);
        }
    }
    line.resize(length);
    return line;
}

// A character set of mostly the given members with a few codes added or
// taken away, so that digits, points, "E", signs, NUL or tab change their
// class now and then.
void nearlyDefaultSet(TokenizerInput& in, std::mt19937_64& rng, std::string_view members) {
    token::CharSet set = fuzzprop::tokenizer::setOf(members);
    constexpr std::string_view kSwitch("0159.E+-*' \0,aZ\t", 16);
    for (std::size_t i = 1 + pick(rng, 3); i > 0; --i) {
        const auto c = static_cast<unsigned char>(kSwitch[pick(rng, kSwitch.size())]);
        set[c / 8u] = static_cast<std::uint8_t>(set[c / 8u] ^ (1u << (c % 8u)));
    }
    for (std::uint8_t b : set) in.byte(b);
}

std::string tokenizerInput(std::mt19937_64& rng) {
    TokenizerInput in;
    in.line(tokenizerLine(rng));
    const bool table = pick(rng, 2) == 0;
    in.byte(table ? 1 : 0);
    in.byte(pick(rng, 2));   // junk behind the NUL
    if (pick(rng, 8) == 0) { // COUNT cut short
        in.byte(1);
        in.byte(pick(rng, 256));
        in.byte(pick(rng, 256));
    } else {
        in.byte(0);
    }
    for (int i = 0; i < 4; ++i) in.byte(pick(rng, 256)); // ORIGCNT
    if (table) in.byte(pick(rng, 4) == 0 ? 1 : 0);       // start at the third character
    if (!table && pick(rng, 10) == 0) {                  // replaced sets: ops 15, one of each
        const std::array<std::string_view, 3> defaults = {std::string_view("\0 ,;", 4), "#*+-/<=>^",
                                                          "0123456789"};
        for (std::size_t k = 0; k < 3; ++k) {
            in.byte(15);
            nearlyDefaultSet(in, rng, defaults[k]);
            in.byte(k);
        }
    }
    // The script: mostly GETTKNREAL, now and then any other operation.
    for (std::size_t steps = pick(rng, 40); steps > 0; --steps) {
        const std::size_t op = pick(rng, 3) != 0 ? 5 : pick(rng, 16);
        in.byte(op);
        if (op == 10) {
            for (int i = 0; i < 4; ++i) in.byte(pick(rng, 256));
        } else if (op == 12) {
            in.byte(pick(rng, 2));
        } else if (op == 15) {
            for (int i = 0; i < 33; ++i) in.byte(pick(rng, 256));
        }
    }
    return in.bytes;
}

TEST(TokenizerProperty, HoldsOnSeededScripts) {
    testutil::CapturedConsole con;
    std::mt19937_64 rng(20250101);
    for (int n = 0; n < 40000; ++n) {
        const std::string in = tokenizerInput(rng);
        fuzzprop::tokenizer::check(reinterpret_cast<const std::uint8_t*>(in.data()), in.size());
    }
}

} // namespace
