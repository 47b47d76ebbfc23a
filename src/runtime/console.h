// Console: the line reader (RDSTR, SKIPLN) and the writers (WRTSTR, WRTLN,
// WRTCARD) every module talks through.
//
// Output is buffered and flushed only when the program is about to wait for
// input, when the buffer fills, and at exit (a HALT termination procedure), so
// a piped run does not pay a system call per line. Input lines end at LF; a CR
// right before the LF belongs to the line end. Output line ends are CR LF.
//
// A failed read or write ends the program with a report (ioFail); the end of
// the input is the normal end. On a terminal, Ctrl-C discards the line being
// typed and shows the prompt again; elsewhere it keeps its default action.
//
// The input is read from the sources set with setInputSources
// (runtime/consource.h), standard input when none are set.
//
// One seam for tests and fuzzing: conUseMemory points the reader at a string
// and collects everything written in memory instead of on standard output.
#pragma once

#include "runtime/conmessage.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace runtime {

// Module start-up: reader and writer on standard input and output. Registers
// the flush as a HALT termination procedure.
void conInit();

// Reads the characters of the current input line, without its line end, into
// text: at most text.size() of them, NUL-terminated when fewer (what lies
// behind the NUL is undefined). At the end of the input it stores an empty
// text. The line end itself is left for SKIPLN.
void RDSTR(std::span<char> text);
// Discards what is left of the current line, its line end included.
void SKIPLN();
// RDSTR and then SKIPLN, the line end RDSTR finds not looked for again.
// Returns the length of the text up to its first NUL (STRLNG of it). What
// text holds behind its NUL is undefined.
std::uint32_t readLine(std::span<char> text);

// True when the input has ended: nothing more can be read. (May wait for
// input to find out.)
bool conAtEnd();

// Writes the characters before the first NUL (all of them when there is none).
void WRTSTR(std::span<const char> text);
// Writes every character given, NULs included.
void writeChars(std::span<const char> chars);
// WRTSTR of a string literal: the NUL is found when compiling, so that the
// prompt and the labels of every result line cost no search.
template <std::size_t N> void WRTSTR(const char (&text)[N]) {
    const char* nul = std::char_traits<char>::find(text, N, '\0');
    writeChars(
        std::span<const char>(text, nul != nullptr ? static_cast<std::size_t>(nul - text) : N));
}
// For a writer that builds its text in place: room for n characters (at
// most kPlaceCap) at the returned address, which writePlaced(len) then writes
// out as if by writeChars of its first len characters.
constexpr std::size_t kPlaceCap = 256;
char* writePlace(std::size_t n);
void writePlaced(std::size_t len);
// Writes one line end: carriage return, line feed.
void WRTLN();
// Writes n in decimal, right-aligned in width; width 0 writes one blank first.
void WRTCARD(std::uint32_t n, std::uint32_t width);
// Writes one character.
void writeChar(char ch);

// Writes out whatever output is buffered.
void conFlush();

// While a sink is given, everything written goes to it instead, in the order
// written (the message channel's seam, runtime/conmessage.h); null ends that.
void divertOutput(void (*sink)(std::span<const char>));

// Test seam: read from input and write into memory until conUseStdio.
void conUseMemory(std::string_view input);
// The output collected in memory since conUseMemory or the last conTakeOutput.
std::string conTakeOutput();
// Back to standard input and output (drops any memory input left).
void conUseStdio();

} // namespace runtime
