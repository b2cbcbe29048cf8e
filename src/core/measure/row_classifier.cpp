// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "measure/row_classifier.hpp"

#include "measure/bit_rows.hpp"

#include <bit>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define DIMORA_HAVE_SSSE3_PATH 1
#endif

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
template <class IsBlack>
void packBits(std::int64_t count, std::uint64_t* out, IsBlack isBlack)
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

// Appends runs of up to 32 bits to a row of words.
class BitAppender {
public:
    explicit BitAppender(std::uint64_t* out) : out_(out) {}
    void append(std::uint64_t bits, int count)
    {
        pending_ |= bits << filled_;
        filled_ += count;
        if (filled_ >= 64) {
            *out_++ = pending_;
            filled_ -= 64;
            pending_ = filled_ != 0 ? bits >> (count - filled_) : 0;
        }
    }
    void finish()
    {
        if (filled_ != 0)
            *out_ = pending_;
    }

private:
    std::uint64_t* out_;
    std::uint64_t pending_ = 0;
    int filled_ = 0;
};

#ifdef DIMORA_HAVE_SSSE3_PATH
// Red byte 0 for 24-bit pixels, 64 pixels (192 bytes) per word: the red bytes
// of 16 pixels are gathered into one register by three byte shuffles and
// compared with 0 at once. Returns the number of pixels done (a multiple of
// 64); the caller finishes the rest.
__attribute__((target("ssse3"))) std::int64_t redZeroBits24(const std::uint8_t* pixels, std::int64_t count,
                                                           std::uint64_t* out)
{
    const __m128i fromFirst = _mm_setr_epi8(2, 5, 8, 11, 14, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i fromSecond = _mm_setr_epi8(-1, -1, -1, -1, -1, 1, 4, 7, 10, 13, -1, -1, -1, -1, -1, -1);
    const __m128i fromThird = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, 3, 6, 9, 12, 15);
    const __m128i zero = _mm_setzero_si128();
    std::int64_t done = 0;
    for (; done + 64 <= count; done += 64) {
        std::uint64_t word = 0;
        for (int quarter = 0; quarter < 4; ++quarter) {
            const auto* p = reinterpret_cast<const __m128i*>(pixels + 3 * (done + 16 * quarter));
            const __m128i reds = _mm_or_si128(
                _mm_or_si128(_mm_shuffle_epi8(_mm_loadu_si128(p), fromFirst),
                             _mm_shuffle_epi8(_mm_loadu_si128(p + 1), fromSecond)),
                _mm_shuffle_epi8(_mm_loadu_si128(p + 2), fromThird));
            const auto bits = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(reds, zero)));
            word |= static_cast<std::uint64_t>(bits & 0xFFFFu) << (16 * quarter);
        }
        *out++ = word;
    }
    return done;
}

bool haveSsse3()
{
    static const bool have = __builtin_cpu_supports("ssse3") != 0;
    return have;
}
#endif

std::uint32_t loadWord16(const std::uint8_t* p) { return p[0] | static_cast<std::uint32_t>(p[1]) << 8; }
std::uint32_t loadWord32(const std::uint8_t* p)
{
    return p[0] | static_cast<std::uint32_t>(p[1]) << 8 | static_cast<std::uint32_t>(p[2]) << 16 |
           static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

bool passes(PixelTest test, Colour colour)
{
    switch (test) {
    case PixelTest::BlackByRed: return isBlackByRed(colour);
    case PixelTest::NonBlackByRed: return isNonBlackByRed(colour);
    case PixelTest::BlackByColour: return isBlackByColour(colour);
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
        for (unsigned byte = 0; byte < 256; ++byte) {
            unsigned bits = 0;
            for (int pixel = 0; pixel < 8; ++pixel)
                bits |= static_cast<unsigned>(blackIndex_[byte >> (7 - pixel) & 1u]) << pixel;
            blackByte_[byte] = static_cast<std::uint8_t>(bits);
        }
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

void RowClassifier::classifyBlack(const std::uint8_t* row, std::int64_t first, std::int64_t count,
                                  std::uint64_t* out) const
{
    switch (format_) {
    case PixelFormat::Indexed1: {
        // Whole bytes through the byte table, the pixels before and after them
        // one by one.
        BitAppender bits(out);
        std::int64_t x = first;
        const std::int64_t end = first + count;
        const auto indexBit = [&](std::int64_t at) { return blackIndex_[row[at >> 3] >> (7 - (at & 7)) & 1u]; };
        for (; x < end && (x & 7) != 0; ++x)
            bits.append(indexBit(x), 1);
        for (; x + 8 <= end; x += 8)
            bits.append(blackByte_[row[x >> 3]], 8);
        for (; x < end; ++x)
            bits.append(indexBit(x), 1);
        bits.finish();
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
        if (blackByColour_) {
            packBits(count, out, [&](std::int64_t i) { return (p[3 * i] | p[3 * i + 1] | p[3 * i + 2]) == 0; });
            return;
        }
        std::int64_t done = 0;
#ifdef DIMORA_HAVE_SSSE3_PATH
        if (haveSsse3())
            done = redZeroBits24(p, count, out);
#endif
        packBits(count - done, out + done / 64, [&](std::int64_t i) { return p[3 * (done + i) + 2] == 0; });
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
