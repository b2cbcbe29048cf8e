// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/bit_rows.hpp"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace dimora {
namespace {

std::vector<std::uint64_t> randomRow(std::int64_t bits, std::mt19937_64& random)
{
    std::vector<std::uint64_t> row(bitWords(bits) + 1, 0);
    for (std::size_t w = 0; w < bitWords(bits); ++w)
        row[w] = random() & random();  // about a quarter of the bits set
    if (bits % 64 != 0)
        row[bitWords(bits) - 1] &= ~std::uint64_t{0} >> (64 - bits % 64);
    return row;
}

TEST(HalveBits, OrsNeighbouringPairsWithAndWithoutAShift)
{
    std::mt19937_64 random(7);
    // Long rows are halved 1024 and 512 bits a step, the rest word by word.
    for (std::int64_t bits = 1; bits <= 2100; bits += bits < 300 ? 1 : 17) {
        for (int shift = 0; shift <= 1; ++shift) {
            const auto in = randomRow(bits, random);
            const std::int64_t outBits = (bits + shift + 1) / 2;
            std::vector<std::uint64_t> out(bitWords(outBits) + 1, 0xDEADBEEFu);
            halveBits(in.data(), bits, shift, out.data());
            for (std::int64_t j = 0; j < outBits; ++j) {
                const std::int64_t a = 2 * j - shift, b = a + 1;
                const bool expected =
                    (a >= 0 && a < bits && testBit(in.data(), a)) || (b < bits && testBit(in.data(), b));
                ASSERT_EQ(testBit(out.data(), j), expected)
                    << bits << " bits, shift " << shift << ", bit " << j;
            }
            // The bits past the output's length stay 0, and nothing past its words is written.
            for (std::int64_t j = outBits; j < static_cast<std::int64_t>(bitWords(outBits)) * 64; ++j)
                ASSERT_FALSE(testBit(out.data(), j)) << bits << " bits, shift " << shift;
            ASSERT_EQ(out[bitWords(outBits)], 0xDEADBEEFu);
        }
    }
}

TEST(CountBits, CountsExactlyTheBitsOfTheRange)
{
    std::mt19937_64 random(11);
    const auto row = randomRow(400, random);
    for (std::int64_t begin = 0; begin <= 400; begin += 7) {
        for (std::int64_t end = begin; end <= 400; end += 13) {
            std::int64_t expected = 0;
            for (std::int64_t i = begin; i < end; ++i)
                expected += testBit(row.data(), i) ? 1 : 0;
            ASSERT_EQ(countBits(row.data(), begin, end), expected) << begin << ".." << end;
        }
    }
    EXPECT_EQ(countBits(row.data(), 10, 5), 0);
    EXPECT_EQ(countWordBits(row.data(), bitWords(400)), countBits(row.data(), 0, 400));
}

TEST(CountWordBits, CountsEveryWordOfShortAndLongRows)
{
    // Long rows are counted several words at a time, with the words past the
    // last whole step one by one: every count of words up to a few steps,
    // sparse, dense and full.
    std::mt19937_64 random(13);
    for (const int density : {0, 1, 2}) {
        for (std::size_t words = 0; words <= 70; ++words) {
            std::vector<std::uint64_t> row(words);
            for (std::uint64_t& word : row)
                word = density == 0   ? random() & random()
                       : density == 1 ? random() | random()
                                      : ~std::uint64_t{0};
            std::int64_t expected = 0;
            for (std::int64_t i = 0; i < static_cast<std::int64_t>(64 * words); ++i)
                expected += testBit(row.data(), i) ? 1 : 0;
            ASSERT_EQ(countWordBits(row.data(), words), expected) << words << " words, density " << density;
        }
    }
}

// Pixel i of a row stored eight pixels a byte, the first in the high bit.
bool storedBit(const std::vector<std::uint8_t>& row, std::int64_t i)
{
    return (row[static_cast<std::size_t>(i / 8)] >> (7 - i % 8) & 1u) != 0;
}

TEST(PackedRows, FoldCountAndHalveAsPixelByPixel)
{
    // Lengths past a few vector steps, not whole bytes among them; the bytes
    // past a row's pixels hold noise that must not count.
    std::mt19937_64 random(17);
    for (std::int64_t bits = 1; bits <= 2100; bits += bits < 80 ? 1 : 23) {
        const auto bytes = static_cast<std::size_t>((bits + 7) / 8);
        std::vector<std::uint8_t> first(bytes), second(bytes);
        for (std::size_t i = 0; i < bytes; ++i) {
            first[i] = static_cast<std::uint8_t>(random());
            second[i] = static_cast<std::uint8_t>(random() | random());
        }
        for (const PackedFold fold : {PackedFold::And, PackedFold::Or}) {
            std::vector<std::uint8_t> folded(bytes);
            std::int64_t expectedOnes[2] = {0, 0};
            for (std::int64_t i = 0; i < bits; ++i) {
                expectedOnes[0] += storedBit(first, i) ? 1 : 0;
                expectedOnes[1] += storedBit(second, i) ? 1 : 0;
            }
            ASSERT_EQ(foldPackedRow(folded.data(), first.data(), bits, PackedFold::Copy), expectedOnes[0])
                << bits;
            ASSERT_EQ(foldPackedRow(folded.data(), second.data(), bits, fold), expectedOnes[1]) << bits;
            for (const bool value : {false, true}) {
                const std::int64_t outBits = (bits + 1) / 2;
                std::vector<std::uint64_t> out(bitWords(outBits) + 1, 0xDEADBEEFu);
                halvePackedRow(folded.data(), bits, value, out.data());
                const auto stores = [&](std::int64_t i) {
                    if (i >= bits)
                        return false;
                    const bool a = storedBit(first, i), b = storedBit(second, i);
                    return (fold == PackedFold::And ? a && b : a || b) == value;
                };
                for (std::int64_t j = 0; j < static_cast<std::int64_t>(bitWords(outBits)) * 64; ++j)
                    ASSERT_EQ(testBit(out.data(), j), stores(2 * j) || stores(2 * j + 1))
                        << bits << " bits, value " << value << ", bit " << j;
                ASSERT_EQ(out[bitWords(outBits)], 0xDEADBEEFu);
            }
        }
    }
}

// Rows of tiles: pair by pair as foldPackedRow and halvePackedRow give them,
// into rows of a wider row, the last row alone when the count is odd.
TEST(PackedRows, RowPairsAtOnceAsPairByPair)
{
    std::mt19937_64 random(19);
    // Widths for each kind of step: 512 bits, 256 bits, and the rest.
    for (const std::int64_t bits : {1, 100, 300, 512, 700, 800, 1024, 1536, 1601, 1800}) {
        const auto stride = static_cast<std::size_t>((bits + 7) / 8 + 3);
        for (const std::int32_t height : {1, 2, 5}) {
            std::vector<std::uint8_t> rows(stride * static_cast<std::size_t>(height));
            for (std::uint8_t& byte : rows)
                byte = static_cast<std::uint8_t>(random() | random());
            for (const bool value : {false, true}) {
                const std::size_t outStride = bitWords((bits + 1) / 2) + 2;
                const auto pairs = static_cast<std::size_t>((height + 1) / 2);
                std::vector<std::uint64_t> got(outStride * pairs, 7), want(outStride * pairs, 7);
                std::vector<std::uint8_t> scratch(stride);
                std::int64_t wantOnes = 0;
                for (std::int32_t i = 0; i < height; i += 2) {
                    wantOnes +=
                        foldPackedRow(scratch.data(), rows.data() + i * stride, bits, PackedFold::Copy);
                    if (i + 1 < height)
                        wantOnes += foldPackedRow(scratch.data(), rows.data() + (i + 1) * stride, bits,
                                                  value ? PackedFold::Or : PackedFold::And);
                    halvePackedRow(scratch.data(), bits, value,
                                   want.data() + static_cast<std::size_t>(i / 2) * outStride);
                }
                EXPECT_EQ(halvePackedRowPairs(rows.data(), static_cast<std::ptrdiff_t>(stride), height, bits,
                                              value, got.data(), outStride, scratch.data()),
                          wantOnes)
                    << bits << " bits, " << height << " rows";
                EXPECT_EQ(got, want) << bits << " bits, " << height << " rows, value " << value;
            }
        }
    }
}

}  // namespace
}  // namespace dimora
