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
    const auto at = [words](const std::uint64_t* row, std::size_t w) -> std::uint64_t {
        return w < words ? row[w] : 0;
    };
    // The running sum stays in a register; its additions are the ones the
    // whole-image order makes, one by one.
    double s = sum;
    for (std::size_t w = 0; w < words; ++w) {
        std::uint64_t centres = centre[w];
        // Columns 0 and columns − 1 are neighbours only, not centres.
        if (w == 0)
            centres &= ~std::uint64_t{1};
        if (static_cast<std::size_t>((columns - 1) >> 6) == w)
            centres &= ~(std::uint64_t{1} << ((columns - 1) & 63));
        if (centres == 0)
            continue;
        // Bit b of each mask: whether that neighbour of the centre in bit b
        // is black (the words before and after give the bits across a word's
        // edge; bits past the row are 0).
        const std::uint64_t before = w > 0 ? centre[w - 1] : 0, after = at(centre, w + 1);
        const std::uint64_t aboveBefore = w > 0 ? above[w - 1] : 0, aboveAfter = at(above, w + 1);
        const std::uint64_t belowBefore = w > 0 ? below[w - 1] : 0, belowAfter = at(below, w + 1);
        const std::uint64_t left = centre[w] << 1 | before >> 63;
        const std::uint64_t right = centre[w] >> 1 | after << 63;
        const std::uint64_t up = above[w], down = below[w];
        const std::uint64_t upLeft = above[w] << 1 | aboveBefore >> 63;
        const std::uint64_t downLeft = below[w] << 1 | belowBefore >> 63;
        const std::uint64_t upRight = above[w] >> 1 | aboveAfter << 63;
        const std::uint64_t downRight = below[w] >> 1 | belowAfter << 63;
        while (centres != 0) {
            const int b = std::countr_zero(centres);
            centres &= centres - 1;
            // Left, right, above, below (1.0 each), then upper left, lower
            // left, upper right, lower right (1.4 each): the sides all come
            // before the corners, so only how many of each matters.
            const unsigned sides =
                static_cast<unsigned>((left >> b & 1) + (right >> b & 1) + (up >> b & 1) + (down >> b & 1));
            const unsigned corners = static_cast<unsigned>((upLeft >> b & 1) + (downLeft >> b & 1) +
                                                           (upRight >> b & 1) + (downRight >> b & 1));
            for (unsigned k = 0; k < sides; ++k)
                s += kSideWeight;
            for (unsigned k = 0; k < corners; ++k)
                s += kCornerWeight;
        }
    }
    sum = s;
}

}  // namespace dimora
