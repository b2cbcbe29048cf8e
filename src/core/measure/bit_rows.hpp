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

// ---- rows as 1-bit images store them ----------------------------------------
// Eight pixels a byte, the first in the byte's high bit: (bits + 7) / 8 bytes
// for a row of `bits` pixels, whatever the last byte holds past them.

// How foldPackedRow puts a row together with the rows before it.
enum class PackedFold : std::uint8_t { Copy, And, Or };

// Sets into[i] to row[i], into[i] & row[i] or into[i] | row[i] over the row's
// bytes, and returns the number of 1 bits among its first `bits` pixels: one
// pass over the row.
std::int64_t foldPackedRow(std::uint8_t* into, const std::uint8_t* row, std::int64_t bits, PackedFold fold);

// Halves a stored row into a row of bits: output bit j is 1 when pixel 2j or
// 2j + 1 (of those below `bits`) stores `value`. The output has (bits + 1) / 2
// bits.
void halvePackedRow(const std::uint8_t* row, std::int64_t bits, bool value, std::uint64_t* out);

// Halves the row pairs (0, 1), (2, 3), … of `height` stored rows `stride`
// bytes apart (an odd last row alone) into rows of bits `outStride` words
// apart, as foldPackedRow and halvePackedRow would pair by pair, and returns
// the number of 1 bits among the rows' first `bits` pixels. `scratch` holds a
// row. For the short rows of tiles, where a call per row would cost more than
// the row.
std::int64_t halvePackedRowPairs(const std::uint8_t* rows, std::ptrdiff_t stride, std::int32_t height,
                                 std::int64_t bits, bool value, std::uint64_t* out, std::size_t outStride,
                                 std::uint8_t* scratch);

}  // namespace dimora
