// Eight characters at a time as one 64-bit word, character i in byte i (the
// target is little-endian, as the x87 format already requires): the load
// and the zero-byte test the text scans that go a word at a time share.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace text::bytes {

static_assert(std::endian::native == std::endian::little);

// 1 in every byte: times a character, that character in every byte.
constexpr std::uint64_t kEachByte = 0x0101010101010101u;

// The eight characters from at, one load at run time.
constexpr std::uint64_t wordAt(const char* at) {
    std::uint64_t w = 0;
    if (!std::is_constant_evaluated()) {
        std::memcpy(&w, at, sizeof w);
        return w;
    }
    for (int i = 0; i < 8; ++i) w |= std::uint64_t{static_cast<unsigned char>(at[i])} << (8 * i);
    return w;
}

// The top bit of the lowest zero byte of w and of none below it (a borrow
// may also flag bytes above a zero byte); 0 when no byte is zero.
constexpr std::uint64_t zeroBytes(std::uint64_t w) {
    return (w - kEachByte) & ~w & (kEachByte * 0x80);
}

} // namespace text::bytes
