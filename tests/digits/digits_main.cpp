// The digit generators on the command line, for the exact reference model
// (tests/transcripts/reference.py) to check: each input line "F BITS PLACES"
// or "E BITS N" (BITS the double's 16 hexadecimal digits) gives one line,
// FIXDIGITS or FLTDIGITS of that value; "R" and "P" give the bits of the
// rounding and power tables, one entry a line.
#include "realtext/realtables.h"
#include "realtext/realtext.h"

#include <bit>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

void printArea(const realtext::WorkArea& w) {
    std::fwrite(w.data(), 1, strnlen(w.data(), w.size()), stdout);
    std::fputc('\n', stdout);
}

template <class Table> void printTable(const Table& t) {
    for (double x : t) std::printf("%016" PRIx64 "\n", std::bit_cast<std::uint64_t>(x));
}

} // namespace

int main() {
    char kind = 0;
    std::uint64_t bits = 0;
    long long count = 0;
    char line[128];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        if (line[0] == 'R') {
            printTable(realtext::digits::R);
        } else if (line[0] == 'P') {
            printTable(realtext::digits::P);
        } else if (std::sscanf(line, "%c %" SCNx64 " %lld", &kind, &bits, &count) == 3) {
            const double v = std::bit_cast<double>(bits);
            if (kind == 'F') {
                printArea(realtext::FIXDIGITS(v, static_cast<std::int32_t>(count)));
            } else {
                printArea(realtext::FLTDIGITS(v, static_cast<std::uint32_t>(count)));
            }
        }
    }
    return 0;
}
