// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/row_classifier.hpp"

#include "core/measure/bit_rows.hpp"
#include "core/measure/load_time_clones.hpp"
#include "core/measure/zero_byte_scan.hpp"

#include <bit>
#include <cstring>

namespace dimora {
namespace {

// The top bits of a channel mask that its widening to 8 bits keeps: all of a
// channel of 8 bits or less (bit replication maps only 0 to 0), the top 8 of
// a wider one.
std::uint32_t significantBitsOf(std::uint32_t mask)
{
    if (mask == 0)
        return 0;
    const int bits = std::popcount(mask);
    if (bits <= 8)
        return mask;
    const int shift = std::countr_zero(mask) + bits - 8;
    return mask & ~((std::uint32_t{1} << shift) - 1);
}

// Packs isBlack(i) for i = 0 .. count − 1 into bits.
template <class IsBlack> void packBits(std::int64_t count, std::uint64_t* out, IsBlack isBlack)
{
    std::int64_t i = 0;
    for (; i + 64 <= count; i += 64) {
        std::uint64_t word = 0;
        for (int b = 0; b < 64; ++b)
            word |= static_cast<std::uint64_t>(isBlack(i + b)) << b;
        *out++ = word;
    }
    if (i < count) {
        std::uint64_t word = 0;
        for (int b = 0; i + b < count; ++b)
            word |= static_cast<std::uint64_t>(isBlack(i + b)) << b;
        *out = word;
    }
}

// 1-bit rows keep the leftmost pixel in a byte's top bit, bit rows in the
// lowest bit.
std::uint64_t reverseBitsOfEachByte(std::uint64_t x)
{
    x = (x >> 1 & 0x5555555555555555u) | (x & 0x5555555555555555u) << 1;
    x = (x >> 2 & 0x3333333333333333u) | (x & 0x3333333333333333u) << 2;
    return (x >> 4 & 0x0F0F0F0F0F0F0F0Fu) | (x & 0x0F0F0F0F0F0F0F0Fu) << 4;
}

// The bits of 1-bit pixels, a word of them for each eight bytes, in a loop
// without branches that the compiler vectorises (for AVX2 as well, the
// processor choosing at load time). Little-endian only.
DIMORA_AVX2_CLONES
void classifyWholeWords(const std::uint8_t* bytes, std::size_t words, std::uint64_t where1,
                        std::uint64_t where0, std::uint64_t* out)
{
    for (std::size_t w = 0; w < words; ++w) {
        std::uint64_t raw = 0;
        std::memcpy(&raw, bytes + 8 * w, sizeof raw);
        const std::uint64_t indices = reverseBitsOfEachByte(raw);
        out[w] = (indices & where1) | (~indices & where0);
    }
}

std::uint32_t loadWord16(const std::uint8_t* p)
{
    return p[0] | static_cast<std::uint32_t>(p[1]) << 8;
}
std::uint32_t loadWord32(const std::uint8_t* p)
{
    return p[0] | static_cast<std::uint32_t>(p[1]) << 8 | static_cast<std::uint32_t>(p[2]) << 16 |
           static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

bool passes(PixelTest test, Colour colour)
{
    switch (test) {
    case PixelTest::BlackByRed:
        return isBlackByRed(colour);
    case PixelTest::NonBlackByRed:
        return isNonBlackByRed(colour);
    case PixelTest::BlackByColour:
        return isBlackByColour(colour);
    }
    return false;
}

RowClassifier::RowClassifier(const PixelLayout& layout, PixelTest test)
    : format_(layout.format()), test_(test), complement_(test == PixelTest::NonBlackByRed),
      blackByColour_(test == PixelTest::BlackByColour)
{
    const PixelTest blackTest = blackByColour_ ? PixelTest::BlackByColour : PixelTest::BlackByRed;
    if (layout.isIndexed()) {
        for (unsigned i = 0; i < 256; ++i)
            blackIndex_[i] = passes(blackTest, layout.colourOfValue(i)) ? 1 : 0;
        blackWhereIndex0_ = blackIndex_[0] != 0 ? ~std::uint64_t{0} : 0;
        blackWhereIndex1_ = blackIndex_[1] != 0 ? ~std::uint64_t{0} : 0;
    } else if (format_ == PixelFormat::Masked16 || format_ == PixelFormat::Masked32) {
        const ChannelMasks& masks = layout.masks();
        significantBits_ = significantBitsOf(masks.red);
        if (blackByColour_)
            significantBits_ |= significantBitsOf(masks.green) | significantBitsOf(masks.blue);
    }
}

void RowClassifier::classify(const std::uint8_t* row, std::int64_t first, std::int64_t count,
                             std::uint64_t* out) const
{
    if (count <= 0)
        return;
    classifyBlack(row, first, count, out);
    if (complement_) {
        const std::size_t words = bitWords(count);
        for (std::size_t w = 0; w < words; ++w)
            out[w] = ~out[w];
        if (count % 64 != 0)
            out[words - 1] &= ~std::uint64_t{0} >> (64 - count % 64);
    }
}

std::optional<bool> RowClassifier::passingBitValue() const
{
    if (format_ != PixelFormat::Indexed1 || blackWhereIndex0_ == blackWhereIndex1_)
        return std::nullopt;
    // Index 1 is black where index 0 is not; the complement swaps them.
    return (blackWhereIndex1_ != 0) != complement_;
}

void RowClassifier::classifyBlack(const std::uint8_t* row, std::int64_t first, std::int64_t count,
                                  std::uint64_t* out) const
{
    switch (format_) {
    case PixelFormat::Indexed1: {
        // Eight bytes of pixels make one word of palette indices, their bits
        // turned round within each byte; a run that starts inside a byte is
        // shifted into place with a ninth byte.
        const std::uint8_t* bytes = row + (first >> 3);
        const int shift = static_cast<int>(first & 7);
        const std::int64_t lastByte = ((first + count - 1) >> 3) - (first >> 3);
        const std::size_t words = bitWords(count);
        const auto byteAt = [&](std::int64_t i) -> std::uint64_t { return i <= lastByte ? bytes[i] : 0; };
        const auto indicesAt = [&](std::int64_t b) {
            std::uint64_t raw = 0;
            if (b + 7 <= lastByte && std::endian::native == std::endian::little) {
                std::memcpy(&raw, bytes + b, sizeof raw);
            } else {
                for (int k = 0; k < 8; ++k)
                    raw |= byteAt(b + k) << (8 * k);
            }
            return reverseBitsOfEachByte(raw);
        };
        std::size_t w = 0;
        if (shift == 0 && std::endian::native == std::endian::little) {
            w = static_cast<std::size_t>((lastByte + 1) / 8);
            classifyWholeWords(bytes, w, blackWhereIndex1_, blackWhereIndex0_, out);
        }
        for (; w < words; ++w) {
            const auto b = static_cast<std::int64_t>(8 * w);
            std::uint64_t indices = indicesAt(b);
            if (shift != 0)
                indices = indices >> shift | reverseBitsOfEachByte(byteAt(b + 8)) << (64 - shift);
            out[w] = (indices & blackWhereIndex1_) | (~indices & blackWhereIndex0_);
        }
        if (count % 64 != 0)
            out[words - 1] &= ~std::uint64_t{0} >> (64 - count % 64);
        return;
    }
    case PixelFormat::Indexed4:
        packBits(count, out, [&](std::int64_t i) {
            const std::int64_t x = first + i;
            return blackIndex_[row[x >> 1] >> ((x & 1) != 0 ? 0 : 4) & 0xFu];
        });
        return;
    case PixelFormat::Indexed8: {
        const std::uint8_t* p = row + first;
        packBits(count, out, [&](std::int64_t i) { return blackIndex_[p[i]]; });
        return;
    }
    case PixelFormat::Rgb24: {
        const std::uint8_t* p = row + 3 * first;
        const std::int64_t done = scanZeroPixels24(
            p, count, out, blackByColour_ ? ZeroBytes::AllThree : ZeroBytes::Red, fastestScanPath());
        const std::uint8_t* rest = p + 3 * done;
        if (blackByColour_)
            packBits(count - done, out + done / 64,
                     [&](std::int64_t i) { return (rest[3 * i] | rest[3 * i + 1] | rest[3 * i + 2]) == 0; });
        else
            packBits(count - done, out + done / 64, [&](std::int64_t i) { return rest[3 * i + 2] == 0; });
        return;
    }
    case PixelFormat::Masked16: {
        const std::uint8_t* p = row + 2 * first;
        packBits(count, out, [&](std::int64_t i) { return (loadWord16(p + 2 * i) & significantBits_) == 0; });
        return;
    }
    case PixelFormat::Masked32: {
        const std::uint8_t* p = row + 4 * first;
        packBits(count, out, [&](std::int64_t i) { return (loadWord32(p + 4 * i) & significantBits_) == 0; });
        return;
    }
    }
}

}  // namespace dimora
