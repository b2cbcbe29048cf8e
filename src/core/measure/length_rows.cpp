// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/length_rows.hpp"

#include "core/measure/bit_rows.hpp"

#include <algorithm>
#include <bit>

namespace dimora {
namespace {

constexpr double kSideWeight = 1.0;
constexpr double kCornerWeight = 1.4;

}  // namespace

BlackRowReader::BlackRowReader(const PixelLayout& layout, std::int64_t imageWidth, std::int64_t first,
                               std::int64_t count)
    : classifier_(layout, PixelTest::BlackByColour), first_(first), count_(count),
      inFirst_(std::max<std::int64_t>(first, 0)), inEnd_(std::min<std::int64_t>(first + count, imageWidth)),
      pixels_(bitWords(inEnd_ - inFirst_))
{
}

void BlackRowReader::read(const std::uint8_t* row, std::uint64_t* out)
{
    std::fill_n(out, bitWords(count_), 0);
    if (row == nullptr || inEnd_ <= inFirst_)
        return;
    classifier_.classify(row, inFirst_, inEnd_ - inFirst_, pixels_.data());
    // Move the bits to their place in the row of `count` columns.
    const std::int64_t offset = inFirst_ - first_;
    for (std::int64_t i = 0; i < inEnd_ - inFirst_; i += 64) {
        const std::uint64_t word = pixels_[static_cast<std::size_t>(i >> 6)];
        const std::int64_t at = offset + i;
        out[at >> 6] |= word << (at & 63);
        if ((at & 63) != 0 && ((at >> 6) + 1) < static_cast<std::int64_t>(bitWords(count_)))
            out[(at >> 6) + 1] |= word >> (64 - (at & 63));
    }
}

void addRowLinks(const std::uint64_t* above, const std::uint64_t* centre, const std::uint64_t* below,
                 std::int64_t columns, double& sum)
{
    const std::size_t words = bitWords(columns);
    for (std::size_t w = 0; w < words; ++w) {
        std::uint64_t centres = centre[w];
        while (centres != 0) {
            const std::int64_t i = static_cast<std::int64_t>(w) * 64 + std::countr_zero(centres);
            centres &= centres - 1;
            if (i == 0 || i == columns - 1)
                continue;  // a neighbour column, not a centre
            if (testBit(centre, i - 1))
                sum += kSideWeight;
            if (testBit(centre, i + 1))
                sum += kSideWeight;
            if (testBit(above, i))
                sum += kSideWeight;
            if (testBit(below, i))
                sum += kSideWeight;
            if (testBit(above, i - 1))
                sum += kCornerWeight;
            if (testBit(below, i - 1))
                sum += kCornerWeight;
            if (testBit(above, i + 1))
                sum += kCornerWeight;
            if (testBit(below, i + 1))
                sum += kCornerWeight;
        }
    }
}

}  // namespace dimora
