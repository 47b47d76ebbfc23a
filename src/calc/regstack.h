// The register stack: eight double registers (X at index 0, Y, Z, ..., T1 at
// index 7), LASTX and the memory register MEMREG, with the moves every
// operation is built from and the DUMP display. The stack never grows or
// shrinks: a push loses T1, a drop duplicates it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace calc::stack {

constexpr std::size_t kRegs = 8;
constexpr std::size_t X = 0, Y = 1, Z = 2, T1 = 7;

// Read and written directly by the evaluator and the command words.
extern std::array<double, kRegs> REGSTK;
extern double LASTX;
extern double MEMREG;
// Working variables of the calendar commands.
extern std::uint32_t MONTH, DAY, YEAR;

void STKINIT();
void STKLIFT();
void STKDROP();
void STKPUSH(double value);
void STKSWAP();
double STKGETX();
void STKCOPY(std::span<double> regs, std::uint32_t& err);
void STKDUMP();

} // namespace calc::stack
