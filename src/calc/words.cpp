// Command words: the thirty words, tried in the order of the table below, each
// with whether it first saves X in LASTX. A word is found through an index
// built from the table at compile time, comparing one candidate. Formulas are evaluated in long
// double (x87 extended) and rounded once into X.
#include "calc/words.h"
#include "calc/words_testing.h"

#include "calc/arith.h"
#include "calc/regstack.h"
#include "calc/x87.h"
#include "calendar/daynum.h"
#include "realtext/chop.h"
#include "runtime/console.h"
#include "text/bytewords.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <span>
#include <string_view>

namespace calc::words {
namespace {

using stack::REGSTK;
using stack::T1;
using stack::X;
using stack::Y;
using stack::Z;

using arith::kLn2;
using arith::kLog2E;
constexpr double kPi = 3.141592653589793; // the double nearest pi

long double x() { return REGSTK[X]; }
void setX(long double v) { REGSTK[X] = static_cast<double>(v); }

// Functions of one REAL argument receive it rounded to double, as a call
// passing a register value does; their result stays in extended precision.
long double sqrtOfReal(double v) { return std::sqrt(static_cast<long double>(v)); }
long double atanOfReal(double v) { return std::atan(static_cast<long double>(v)); }

constexpr std::array<std::string_view, 19> kHelp = {
    " This is an RPN style calculator as used by Marovec.",
    " SQRT,SQR -- X = sqrt(X) or sqr(X) register.",
    " STO,RCL  -- store/recall the X register to/from the memory register.",
    " SWAP,SWAPXY,<>,>< -- equivalent commands that swap the X and Y registers.",
    " LASTX -- put the value of the LASTX register back into the X register.",
    " ROLLDN -- roll the stack down one register.  X goes to T1.",
    " DUMP -- dump the stack to the screen.",
    " EXP,LN -- evaluate exp(X) or ln(X) and put result back into X.",
    " ^   -- evaluate ABS(Y) to the X power, put result in X and pop stack 1 reg.",
    " **  -- like \"^\" but rounds X before calling the PWRI function.",
    " INT, ROUND, FRAC -- do what their names suggest.",
    " MOD -- evaluate Y MOD X, put result in X and pop stack 1 reg.",
    " SIN,COS,TAN,ARCTAN,ARCSIN,ARCCOS -- take a wild guess.  In radians.",
    " D2R -- perform degrees to radians conversion of the X register.",
    " R2D -- perform radians to degrees conversion of the X register.",
    " JUL -- Return Julian date number of Z month, Y day, X year.  Pop stack x2.",
    " TODAY- Return Julian date number of today's date.  Pop stack x2.",
    " GREG-- Return Z month, Y day, X year of Julian date number in X.",
    " DOW -- Return day number 1..7 of julian date number in X register.",
};

void help() {
    for (std::string_view line : kHelp) {
        runtime::WRTSTR(line);
        runtime::WRTLN();
    }
}

void rolldn() {
    double t = REGSTK[X];
    REGSTK[X] = REGSTK[Y];
    stack::STKDROP();
    REGSTK[T1] = t;
}

void round() {
    if (REGSTK[X] < 0) {
        setX(arith::REALINT(static_cast<double>(x() - 0.5L)));
    } else { // NaN takes this side too
        setX(arith::REALINT(static_cast<double>(x() + 0.5L)));
    }
}

void arcsin() {
    long double cosine = sqrtOfReal(static_cast<double>(1.0L - x() * x()));
    setX(atanOfReal(static_cast<double>(x() / cosine)));
}

void arccos() {
    long double sine = sqrtOfReal(static_cast<double>(1.0L - x() * x()));
    setX(atanOfReal(static_cast<double>(sine / x())));
}

// Registers to a date: the low 32 bits, unsigned, of each rounded register.
// fits turns false when a rounded register lies outside the 32-bit range
// (signed or unsigned), where its low bits alone would be some other date.
std::uint32_t dateField(double r, bool& fits) {
    const std::int64_t n = arith::RNDINT(r);
    if (n < std::numeric_limits<std::int32_t>::min() ||
        n > std::numeric_limits<std::uint32_t>::max()) {
        fits = false;
    }
    return realtext::low32(n);
}

void jul() {
    bool fits = true;
    stack::MONTH = dateField(REGSTK[Z], fits);
    stack::DAY = dateField(REGSTK[Y], fits);
    stack::YEAR = dateField(REGSTK[X], fits);
    const std::int64_t n =
        fits ? calendar::JULDATENUM(stack::MONTH, stack::DAY, stack::YEAR) : 0; // 0: invalid
    REGSTK[X] = static_cast<double>(n);
    stack::STKDROP();
    stack::STKDROP();
}

void today() {
    stack::STKLIFT();
    calendar::GETTODAY(stack::MONTH, stack::DAY, stack::YEAR);
    REGSTK[X] = static_cast<double>(calendar::JULDATENUM(stack::MONTH, stack::DAY, stack::YEAR));
}

void greg() {
    stack::STKLIFT();
    stack::STKLIFT();
    // The whole rounded number: a day number beyond 32 bits is no date, where
    // its low 32 bits could be one. GREGDATE answers it with 0, 0, 0.
    const std::int64_t n = arith::RNDINT(REGSTK[X]);
    calendar::GREGDATE(n, stack::MONTH, stack::DAY, stack::YEAR);
    REGSTK[Z] = stack::MONTH;
    REGSTK[Y] = stack::DAY;
    REGSTK[X] = stack::YEAR;
}

struct Word {
    std::span<const char> name; // with its NUL, as CMPSTR expects
    bool savesX;                // LASTX := X before the action
    void (*action)();
};

// The words in the order they are tried; the first that matches is performed.
// No two are equal (the index below could not be built otherwise), so at most
// one matches, and the index finds it without trying the others.
constexpr std::array<Word, 30> kWords = {{
    {"SQRT", true, [] { setX(sqrtOfReal(REGSTK[X])); }},
    {"SQR", true, [] { setX(x() * x()); }},
    {"HELP", false, help},
    {"STO", false, [] { stack::MEMREG = REGSTK[X]; }},
    {"RCL", false, [] { stack::STKPUSH(stack::MEMREG); }},
    {"SWAP", false, stack::STKSWAP},
    {"SWAPXY", false, stack::STKSWAP},
    {"LASTX", false, [] { stack::STKPUSH(stack::LASTX); }},
    {"ROLLDN", false, rolldn},
    {"DUMP", false, stack::STKDUMP},
    {"EXP", true, [] { setX(arith::pow2Split(x() * kLog2E)); }},
    {"LN", true, [] { setX(calc::x87::FYL2X(kLn2, x())); }},
    {"Y^X", true,
     [] {
         setX(arith::powAbs(REGSTK[Y], x()));
         stack::STKDROP();
     }},
    {"INT", true, [] { REGSTK[X] = arith::REALINT(REGSTK[X]); }},
    {"TRUNC", true, [] { REGSTK[X] = arith::TRUNCPLC(REGSTK[X], 1); }},
    {"ROUND", true, round},
    {"FRAC", true, [] { setX(x() - arith::REALINT(REGSTK[X])); }},
    {"MOD", true,
     [] {
         REGSTK[X] = arith::REALMOD(REGSTK[Y], REGSTK[X]);
         stack::STKDROP();
     }},
    {"SIN", true, [] { setX(std::sin(x())); }},
    {"COS", true, [] { setX(std::cos(x())); }},
    {"TAN", true, [] { setX(std::sin(x()) / std::cos(x())); }},
    {"ARCTAN", true, [] { setX(std::atan2(x(), 1.0L)); }},
    {"ARCSIN", true, arcsin},
    {"ARCCOS", true, arccos},
    {"D2R", true, [] { setX((x() * kPi) / 180.0L); }},
    {"R2D", true, [] { setX((x() * 180.0L) / kPi); }},
    {"JUL", true, jul},
    {"TODAY", true, today},
    {"GREG", true, greg},
    {"DOW", true, [] { setX(arith::REALMOD(REGSTK[X], 7.0) + 1.0L); }},
}};

// A text of up to seven characters as one 64-bit key: character i in bits
// 8i to 8i + 7, every byte from its NUL on zero. Two texts compare equal
// (CMPSTR gives 0) exactly when their keys are equal, and no word's key is 0.
constexpr std::size_t kKeyChars = 8;

// The key of whatever text CHARS holds, or 0 when no NUL ends it within the
// first eight bytes: a text of eight characters or more is no word. The
// lowest byte flagged by the zero-byte test is the first NUL (a borrow only
// flags bytes above a zero byte).
constexpr std::uint64_t keyOf(std::span<const char, kKeyChars> first) {
    const std::uint64_t v = text::bytes::wordAt(first.data());
    const std::uint64_t zeros = text::bytes::zeroBytes(v);
    if (zeros == 0) return 0;
    const int length = std::countr_zero(zeros) / 8;
    return v & ((std::uint64_t{1} << (8 * length)) - 1);
}

constexpr std::uint64_t wordKey(std::span<const char> name) {
    std::array<char, kKeyChars> first{};
    for (std::size_t i = 0; i < name.size() && i < kKeyChars; ++i) first[i] = name[i];
    return keyOf(first);
}

// A multiplicative hash, key * multiplier >> (64 - kSlotBits), with no two
// words in one slot: the multiplier is searched for at compile time, so
// that the table above stays the only list of the words.
constexpr int kSlotBits = 7;
constexpr std::size_t kSlots = std::size_t{1} << kSlotBits;

struct WordIndex {
    std::uint64_t multiplier = 0;                   // 0: none found
    std::array<std::uint64_t, kWords.size()> key{}; // of kWords[i]
    std::array<std::uint8_t, kSlots> slot{};        // 1 + the index of its word, 0 when empty
};

constexpr std::size_t slotOf(std::uint64_t key, std::uint64_t multiplier) {
    return static_cast<std::size_t>((key * multiplier) >> (64 - kSlotBits));
}

constexpr WordIndex buildIndex() {
    WordIndex index{};
    for (std::size_t i = 0; i < kWords.size(); ++i) {
        const std::span<const char> name = kWords[i].name;
        // The literal's NUL, no other, and room for it in the key.
        if (name.size() > kKeyChars || name.back() != '\0') return {};
        index.key[i] = wordKey(name);
        const auto keyLength =
            static_cast<std::size_t>(64 - std::countl_zero(index.key[i]) + 7) / 8;
        if (index.key[i] == 0 || keyLength != name.size() - 1) return {};
    }
    std::uint64_t candidate = 0x9E3779B97F4A7C15u; // odd multipliers by Weyl steps
    for (int trial = 0; trial < 4096; ++trial, candidate += 0x9E3779B97F4A7C16u) {
        index.slot = {};
        bool clash = false;
        for (std::size_t i = 0; i < kWords.size() && !clash; ++i) {
            std::uint8_t& s = index.slot[slotOf(index.key[i], candidate)];
            clash = s != 0;
            s = static_cast<std::uint8_t>(i + 1);
        }
        if (!clash) {
            index.multiplier = candidate;
            return index;
        }
    }
    return {};
}

constexpr WordIndex kIndex = buildIndex();
static_assert(kIndex.multiplier != 0, "the words must be distinct, each at most seven characters");

// The word with this key, or none; one candidate is compared.
const Word* findWord(std::uint64_t key) {
    const std::uint8_t s = kIndex.slot[slotOf(key, kIndex.multiplier)];
    if (s == 0 || kIndex.key[s - 1u] != key) return nullptr;
    return &kWords[s - 1u];
}

// The word the token text names, or none.
const Word* findWord(const text::TEXTBUF& tkn) {
    return findWord(keyOf(std::span<const char, kKeyChars>(tkn.CHARS.data(), kKeyChars)));
}

void perform(const Word& w) {
    if (w.savesX) stack::LASTX = REGSTK[X];
    w.action();
}

} // namespace

bool doWordOfKey(std::uint64_t key) {
    const Word* w = findWord(key);
    if (w == nullptr) return false;
    perform(*w);
    return true;
}

void doWord(const text::TEXTBUF& tkn) {
    if (const Word* w = findWord(tkn)) {
        perform(*w);
        return;
    }
    const runtime::MessageScope message;
    runtime::WRTSTR(tkn.CHARS);
    runtime::WRTSTR(" is an unrecognized command.");
    runtime::WRTLN();
}

std::string_view testing::matchedWord(const text::TEXTBUF& tkn) {
    const Word* w = findWord(tkn);
    return w == nullptr ? std::string_view{} : std::string_view(w->name.data(), w->name.size() - 1);
}

} // namespace calc::words
