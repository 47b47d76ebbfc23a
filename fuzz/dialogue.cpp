// Fuzz target: the whole dialogue. Arbitrary bytes are the standard input of
// the command loop, with the console pointed at memory and today pinned.
//
// Beyond "no crash, no hang, no failure report", the dialogue's properties
// (dialogue_property.h, which the unit suite runs too) are checked, and here
// besides, by watching the evaluator's calls of the tokenizer:
// - the evaluator consumes each line in a bounded number of tokens: every
//   token it is handed moves the scanning position on, and a line yields at
//   most COUNT + 1 tokens (no line is ever scanned twice).
#include "dialogue_property.h"
#include "fuzzcheck.h"

#include "calc/regstack.h"
#include "runtime/console.h"
#include "runtime/platform.h"
#include "token/tokenizer_testing.h"

#include <cstring>
#include <string_view>

using fuzzcheck::require;

// The evaluator's token loop, observed from outside. This target is linked
// with --wrap for the tokenizer's INITTKNBUF and evalToken (see
// fuzz/CMakeLists.txt), so the evaluator's calls arrive here and are passed
// on to the real procedures; the names below are the linker's for them.
namespace fuzzwrap {

void realINITTKNBUF(const text::TEXTBUF& line) __asm__(
    "__real__ZN5token10INITTKNBUFERKN4text7TEXTBUFE");
void realEvalToken(
    text::TEXTBUF& tkn, token::TOKENKIND& kind, std::int64_t& value, double& real,
    std::uint32_t& rc) __asm__("__real__ZN5token9evalTokenERN4text7TEXTBUFERNS_9TOKENKINDERlRdRj");
void INITTKNBUF(const text::TEXTBUF& line) __asm__(
    "__wrap__ZN5token10INITTKNBUFERKN4text7TEXTBUFE");
void evalToken(
    text::TEXTBUF& tkn, token::TOKENKIND& kind, std::int64_t& value, double& real,
    std::uint32_t& rc) __asm__("__wrap__ZN5token9evalTokenERN4text7TEXTBUFERNS_9TOKENKINDERlRdRj");

// The tokenizer's state at the end of a plain line, or behind the plain
// tokens a line begins with, which starts it on the line in place of
// INITTKNBUF.
void realEndOfLine(const text::TEXTBUF& line, std::uint32_t start) __asm__(
    "__real__ZN5token5plain9endOfLineERKN4text7TEXTBUFEj");
void endOfLine(const text::TEXTBUF& line,
               std::uint32_t start) __asm__("__wrap__ZN5token5plain9endOfLineERKN4text7TEXTBUFEj");
void realHandOverAt(const text::TEXTBUF& line, std::uint32_t start) __asm__(
    "__real__ZN5token5plain10handOverAtERKN4text7TEXTBUFEj");
void handOverAt(const text::TEXTBUF& line, std::uint32_t start) __asm__(
    "__wrap__ZN5token5plain10handOverAtERKN4text7TEXTBUFEj");

struct LineScan {
    std::uint32_t lines = 0; // lines started: one per evaluated line
    std::uint32_t count = 0; // COUNT of the line being scanned
    std::uint32_t tokens = 0;
};
LineScan scan;

void INITTKNBUF(const text::TEXTBUF& line) {
    realINITTKNBUF(line);
    ++scan.lines;
    scan.count = line.COUNT;
    scan.tokens = 0;
}

void endOfLine(const text::TEXTBUF& line, std::uint32_t start) {
    realEndOfLine(line, start);
    ++scan.lines;
}

void handOverAt(const text::TEXTBUF& line, std::uint32_t start) {
    realHandOverAt(line, start);
    ++scan.lines;
    scan.count = line.COUNT;
    scan.tokens = 0;
}

void evalToken(text::TEXTBUF& tkn, token::TOKENKIND& kind, std::int64_t& value, double& real,
               std::uint32_t& rc) {
    const std::uint32_t before = token::CURPOSN();
    realEvalToken(tkn, kind, value, real, rc);
    ++scan.tokens;
    if (rc == 0)
        require(token::CURPOSN() > before, "the evaluator was handed a token that did not move on");
    require(scan.tokens <= scan.count + 1,
            "the evaluator scans a line again: more tokens than characters");
}

} // namespace fuzzwrap

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzcheck::catchFailureReports();
    runtime::platPinToday(runtime::LocalDate{2003, 7, 21});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view in(reinterpret_cast<const char*>(data), size);
    fuzzwrap::scan = fuzzwrap::LineScan{};
    const fuzzprop::Outcome fast = fuzzprop::runDialogue(in);
    const std::size_t lines = fuzzprop::checkDialogueOutput(in, fast.out);
    // Only the dialogue itself starts the tokenizer through the evaluator.
    require(fuzzwrap::scan.lines == lines,
            "the evaluator starts the tokenizer once per evaluated line");
    fuzzprop::checkLinesOf(in);
    return 0;
}
