// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Rows of bits, one bit per pixel or per box, packed into 64-bit words: bit i
// of a row is bit (i mod 64) of word i / 64, least significant first. Bits
// past a row's length are kept 0, so whole words can be ORed and counted.

#include <cstddef>
#include <cstdint>

namespace dimora {

// Words that hold a row of the given number of bits.
[[nodiscard]] constexpr std::size_t bitWords(std::int64_t bits)
{
    return bits <= 0 ? 0 : static_cast<std::size_t>((bits + 63) / 64);
}

[[nodiscard]] inline bool testBit(const std::uint64_t* row, std::int64_t i)
{
    return (row[i >> 6] >> (i & 63) & 1u) != 0;
}

// Number of set bits among bits [begin, end) of a row.
[[nodiscard]] std::int64_t countBits(const std::uint64_t* row, std::int64_t begin, std::int64_t end);

// Number of set bits in whole words.
[[nodiscard]] std::int64_t countWordBits(const std::uint64_t* words, std::size_t count);

// target[i] |= source[i] for count words.
void orWords(std::uint64_t* target, const std::uint64_t* source, std::size_t count);

// Halves a row: output bit j is the OR of input bits 2j − shift and
// 2j + 1 − shift (shift 0 or 1; bit −1 reads as 0). With shift 1 the row's
// first bit pairs with nothing, as when the row starts on an odd box. The
// output has (inBits + shift + 1) / 2 bits.
void halveBits(const std::uint64_t* in, std::int64_t inBits, int shift, std::uint64_t* out);

}  // namespace dimora
