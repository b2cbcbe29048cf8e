// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/box_count.hpp"

#include "core/common/error.hpp"
#include "core/measure/bit_rows.hpp"
#include "core/measure/row_classifier.hpp"

#include <algorithm>

namespace dimora {
namespace {

std::int64_t ceilDiv(std::int64_t a, std::int64_t b)
{
    return a >= 0 ? (a + b - 1) / b : -(-a / b);
}

// The part of a region's edge that lies on the image: `offset` pixels from the
// region's start, `length` pixels long (0 when the edge misses the image).
struct Overlap {
    std::int64_t offset = 0;
    std::int64_t length = 0;
};

Overlap overlapOf(std::int64_t start, std::int64_t length, std::int64_t imageLength)
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

BoxRange boxesOnImage(std::int64_t edge, Overlap overlap, std::int64_t side)
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
};

OccupancyLevel levelShape(Overlap xs, Overlap ys, int exponent)
{
    OccupancyLevel level;
    level.firstColumn = xs.offset >> exponent;
    level.columns = ((xs.offset + xs.length - 1) >> exponent) - level.firstColumn + 1;
    level.firstRow = ys.offset >> exponent;
    level.rows = ((ys.offset + ys.length - 1) >> exponent) - level.firstRow + 1;
    level.wordsPerRow = bitWords(level.columns);
    return level;
}

// Working memory, kept per thread: fresh memory is slow on first touch, and a
// measurement is often repeated on images of the same size.
struct Scratch {
    std::vector<std::uint64_t> rowA, rowB;
    std::vector<std::uint64_t> levelA, levelB;
};

std::uint64_t* sized(std::vector<std::uint64_t>& buffer, std::size_t words)
{
    if (buffer.size() < words)
        buffer.resize(words);
    return buffer.data();
}

Scratch& threadScratch()
{
    thread_local Scratch scratch;
    return scratch;
}

// The level of side 2s from the level of side s: each box ORs the 2 × 2 boxes
// it is made of.
void halveLevel(const OccupancyLevel& in, const OccupancyLevel& out, std::uint64_t* rowBuffer)
{
    const int columnShift = static_cast<int>(in.firstColumn & 1);
    const std::int64_t rowShift = in.firstRow & 1;
    for (std::int64_t j = 0; j < out.rows; ++j) {
        const std::int64_t upper = 2 * j - rowShift;
        const std::int64_t lower = upper + 1;
        const std::uint64_t* source;
        if (upper < 0) {
            source = in.row(lower);
        } else if (lower >= in.rows) {
            source = in.row(upper);
        } else {
            std::copy_n(in.row(upper), in.wordsPerRow, rowBuffer);
            orWords(rowBuffer, in.row(lower), in.wordsPerRow);
            source = rowBuffer;
        }
        halveBits(source, in.columns, columnShift, out.row(j));
    }
}

std::int64_t occupiedBoxes(const OccupancyLevel& level, PixelClass pixelClass, const Region& region,
                           Overlap xs, Overlap ys, std::int64_t side)
{
    if (pixelClass == PixelClass::Black)
        return countWordBits(level.bits, static_cast<std::size_t>(level.rows) * level.wordsPerRow);
    // Non-black: a box with a region pixel off the image is occupied by it;
    // the others by their image pixels.
    const std::int64_t boxes = ceilDiv(region.width, side) * ceilDiv(region.height, side);
    const BoxRange columns = boxesOnImage(region.width, xs, side);
    const BoxRange rows = boxesOnImage(region.height, ys, side);
    std::int64_t occupiedOnImage = 0;
    for (std::int64_t j = rows.first; j < rows.end; ++j)
        occupiedOnImage += countBits(level.row(j - level.firstRow), columns.first - level.firstColumn,
                                     columns.end - level.firstColumn);
    return boxes - columns.size() * rows.size() + occupiedOnImage;
}

std::vector<std::int64_t> countPerSide(const ImageView& image, const Region& region, PixelClass pixelClass,
                                       std::size_t sideCount)
{
    std::vector<std::int64_t> counts(sideCount, 0);
    const Overlap xs = overlapOf(region.left, region.width, image.width);
    const Overlap ys = overlapOf(region.top, region.height, image.height);
    if (xs.length == 0 || ys.length == 0) {
        // The region misses the image: nothing is black, everything non-black.
        if (pixelClass == PixelClass::NonBlack)
            for (std::size_t k = 0; k < sideCount; ++k) {
                const std::int64_t side = std::int64_t{1} << k;
                counts[k] = ceilDiv(region.width, side) * ceilDiv(region.height, side);
            }
        return counts;
    }

    const RowClassifier classifier(*image.layout, pixelClass == PixelClass::Black ? PixelTest::BlackByRed
                                                                                  : PixelTest::NonBlackByRed);
    Scratch& scratch = threadScratch();
    const std::size_t pixelWords = bitWords(xs.length);
    std::uint64_t* rowA = sized(scratch.rowA, pixelWords);
    std::uint64_t* rowB = sized(scratch.rowB, pixelWords);
    const auto imageRow = [&](std::int64_t r) {
        return image.row(static_cast<std::int32_t>(region.top + ys.offset + r));
    };
    const std::int64_t firstPixel = region.left + xs.offset;

    // Side 1: the pixels themselves, read row by row and never stored; when
    // side 2 is counted too, each pair of rows that make up one row of its
    // boxes is ORed and halved on the way. Rows are read in memory order
    // (bottom-up bitmaps from the last row): reading memory backwards is much
    // slower, and the order changes no count.
    const bool backwards = image.stride < 0;
    std::int64_t pixelsInClass = 0;
    const auto readRow = [&](std::int64_t r, std::uint64_t* bits) {
        classifier.classify(imageRow(r), firstPixel, xs.length, bits);
        pixelsInClass += countWordBits(bits, pixelWords);
    };
    OccupancyLevel level = levelShape(xs, ys, 1);
    if (sideCount >= 2) {
        level.bits = sized(scratch.levelA, static_cast<std::size_t>(level.rows) * level.wordsPerRow);
        const int columnShift = static_cast<int>(xs.offset & 1);
        for (std::int64_t step = 0; step < level.rows; ++step) {
            const std::int64_t j = backwards ? level.rows - 1 - step : step;
            const std::int64_t upper = 2 * (level.firstRow + j) - ys.offset;
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
            halveBits(rowA, xs.length, columnShift, level.row(j));
        }
    } else {
        for (std::int64_t step = 0; step < ys.length; ++step)
            readRow(backwards ? ys.length - 1 - step : step, rowA);
    }
    counts[0] = pixelClass == PixelClass::Black
                    ? pixelsInClass
                    : std::int64_t{region.width} * region.height - xs.length * ys.length + pixelsInClass;

    // Sides 2, 4, 8, ...: each level from the one before, in two buffers used
    // in turn.
    bool inA = true;
    for (std::size_t k = 1; k < sideCount; ++k) {
        const std::int64_t side = std::int64_t{1} << k;
        counts[k] = occupiedBoxes(level, pixelClass, region, xs, ys, side);
        if (k + 1 < sideCount) {
            OccupancyLevel next = levelShape(xs, ys, static_cast<int>(k + 1));
            next.bits = sized(inA ? scratch.levelB : scratch.levelA,
                              static_cast<std::size_t>(next.rows) * next.wordsPerRow);
            halveLevel(level, next, sized(scratch.rowA, level.wordsPerRow));
            level = next;
            inA = !inA;
        }
    }
    return counts;
}

}  // namespace

std::vector<std::int64_t> boxSides(std::int32_t width, std::int32_t height, std::int64_t firstSide)
{
    std::vector<std::int64_t> sides;
    const double halfWidth = width / 2.0;
    const double halfHeight = height / 2.0;
    for (std::int64_t s = firstSide; s < halfHeight && s < halfWidth && s <= kLargestBoxSide; s *= 2)
        sides.push_back(s);
    return sides;
}

BoxCounts countBoxes(const ImageView& image, const Region& region, PixelClass pixelClass)
{
    BoxCounts result;
    result.sides = boxSides(region.width, region.height, 1);
    if (!result.sides.empty())
        result.counts = countPerSide(image, region, pixelClass, result.sides.size());
    // count(1) stays 0 when no side is counted.
    const std::int64_t pixelsInClass = result.counts.empty() ? 0 : result.counts.front();
    const std::int64_t area = std::int64_t{region.width} * region.height;
    // A region without pixels has no side either, so its coverage is 0 / 0.
    if (area == 0)
        fail(msg::kInvalidFloatOperation);
    result.coverage = static_cast<double>(pixelsInClass) / static_cast<double>(area) * 100.0;
    return result;
}

}  // namespace dimora
