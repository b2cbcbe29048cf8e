// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The occupancy of the boxes of one side over the part of a region that lies
// on an image, one bit per box, and how the boxes of side 2s come from those
// of side s. Shared by the two- and three-dimensional box counting.

#include "core/image/bitmap.hpp"
#include "core/measure/bit_rows.hpp"

#include <algorithm>
#include <cstdint>

namespace dimora {

[[nodiscard]] inline std::int64_t ceilDiv(std::int64_t a, std::int64_t b)
{
    return a >= 0 ? (a + b - 1) / b : -(-a / b);
}

// The part of a region's edge that lies on the image: `offset` pixels from the
// region's start, `length` pixels long (0 when the edge misses the image).
struct Overlap {
    std::int64_t offset = 0;
    std::int64_t length = 0;
};

[[nodiscard]] inline Overlap overlapOf(std::int64_t start, std::int64_t length, std::int64_t imageLength)
{
    const std::int64_t low = std::max<std::int64_t>(start, 0);
    const std::int64_t high = std::min(start + length, imageLength);
    if (high <= low)
        return {};
    return {low - start, high - low};
}

// The boxes of one side along one edge of the region whose pixels inside the
// region all lie on the image: indices [first, end).
struct BoxRange {
    std::int64_t first = 0;
    std::int64_t end = 0;
    [[nodiscard]] std::int64_t size() const { return std::max<std::int64_t>(end - first, 0); }
};

[[nodiscard]] inline BoxRange boxesOnImage(std::int64_t edge, Overlap overlap, std::int64_t side)
{
    if (overlap.length == 0)
        return {};
    const std::int64_t overlapEnd = overlap.offset + overlap.length;
    // A box that the region's own edge cuts ends on the image when the region
    // does.
    const std::int64_t end = overlapEnd == edge ? ceilDiv(edge, side) : overlapEnd / side;
    return {ceilDiv(overlap.offset, side), end};
}

// The occupancy of the boxes of one side that hold pixels of the image: one
// bit per box, for box columns firstColumn .. firstColumn + columns − 1 and
// box rows firstRow .. firstRow + rows − 1 (box indices counted from the
// region's corner).
struct OccupancyLevel {
    std::int64_t firstColumn = 0;
    std::int64_t columns = 0;
    std::int64_t firstRow = 0;
    std::int64_t rows = 0;
    std::size_t wordsPerRow = 0;
    std::uint64_t* bits = nullptr;

    [[nodiscard]] std::uint64_t* row(std::int64_t j) const
    {
        return bits + static_cast<std::size_t>(j) * wordsPerRow;
    }
    [[nodiscard]] std::size_t words() const { return static_cast<std::size_t>(rows) * wordsPerRow; }
};

// The shape (no bits yet) of the level of side 2^exponent over the overlap.
[[nodiscard]] OccupancyLevel levelShape(Overlap xs, Overlap ys, int exponent);

// The level of side 2s from the level of side s: each box ORs the 2 × 2 boxes
// it is made of. rowBuffer holds in.wordsPerRow words.
void halveLevel(const OccupancyLevel& in, const OccupancyLevel& out, std::uint64_t* rowBuffer);

// Reads the overlap's pixel rows 0 .. ys.length − 1 once each through
// readRow(r, bits), which writes bitWords(xs.length) words of pixel bits, and
// fills `sideTwo` (the level of side 2, when it has bits) from them: each pair
// of rows that makes up one row of its boxes is ORed and halved on the way.
// Rows are read in the order they lie in memory, which callers pass as the
// image's rowOrder() (a bottom-up bitmap from the last row), since reading
// memory backwards is much slower and the order changes no box.
template <typename ReadRow>
void readPixelRows(Overlap xs, Overlap ys, RowOrder order, const OccupancyLevel& sideTwo, std::uint64_t* rowA,
                   std::uint64_t* rowB, ReadRow&& readRow)
{
    const bool backwards = order == RowOrder::BottomUp;
    if (sideTwo.bits == nullptr) {
        for (std::int64_t step = 0; step < ys.length; ++step)
            readRow(backwards ? ys.length - 1 - step : step, rowA);
        return;
    }
    const std::size_t pixelWords = bitWords(xs.length);
    const int columnShift = static_cast<int>(xs.offset & 1);
    for (std::int64_t step = 0; step < sideTwo.rows; ++step) {
        const std::int64_t j = backwards ? sideTwo.rows - 1 - step : step;
        const std::int64_t upper = 2 * (sideTwo.firstRow + j) - ys.offset;
        const std::int64_t lower = upper + 1;
        if (upper < 0) {
            readRow(lower, rowA);
        } else if (lower >= ys.length) {
            readRow(upper, rowA);
        } else {
            readRow(backwards ? lower : upper, rowA);
            readRow(backwards ? upper : lower, rowB);
            orWords(rowA, rowB, pixelWords);
        }
        halveBits(rowA, xs.length, columnShift, sideTwo.row(j));
    }
}

}  // namespace dimora
