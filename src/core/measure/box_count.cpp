// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/box_count.hpp"

#include "core/common/error.hpp"
#include "core/measure/bit_rows.hpp"
#include "core/measure/masked_counting.hpp"
#include "core/measure/occupancy_level.hpp"
#include "core/measure/row_classifier.hpp"

#include <algorithm>

namespace dimora {
namespace {

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

std::int64_t occupiedBoxes(const OccupancyLevel& level, PixelClass pixelClass, const Region& region,
                           Overlap xs, Overlap ys, std::int64_t side, bool masked)
{
    // Black, or anything under a mask: only the image's pixels can occupy.
    if (pixelClass == PixelClass::Black || masked)
        return countWordBits(level.bits, level.words());
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
                                       std::size_t sideCount, RowGate* gate, const PixelMask* mask)
{
    std::vector<std::int64_t> counts(sideCount, 0);
    const Overlap xs = overlapOf(region.left, region.width, image.width);
    const Overlap ys = overlapOf(region.top, region.height, image.height);
    if (xs.length == 0 || ys.length == 0) {
        // The region misses the image: nothing is black, everything non-black
        // (but outside any mask).
        if (pixelClass == PixelClass::NonBlack && mask == nullptr)
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
        const auto y = static_cast<std::int32_t>(region.top + ys.offset + r);
        if (gate)
            gate->waitForRow(y);
        return image.row(y);
    };
    const std::int64_t firstPixel = region.left + xs.offset;

    // Side 1: the pixels themselves, read row by row and never stored; when
    // side 2 is counted too, its level is made on the way.
    std::int64_t pixelsInClass = 0;
    OccupancyLevel level = levelShape(xs, ys, 1);
    if (sideCount >= 2)
        level.bits = sized(scratch.levelA, level.words());
    readPixelRows(xs, ys, image.rowOrder(), level, rowA, rowB, [&](std::int64_t r, std::uint64_t* bits) {
        classifier.classify(imageRow(r), firstPixel, xs.length, bits);
        if (mask != nullptr)
            andMaskBits(*mask, region.top + ys.offset + r, firstPixel, xs.length, bits);
        pixelsInClass += countWordBits(bits, pixelWords);
    });
    counts[0] = pixelClass == PixelClass::Black || mask != nullptr
                    ? pixelsInClass
                    : std::int64_t{region.width} * region.height - xs.length * ys.length + pixelsInClass;

    // Sides 2, 4, 8, ...: each level from the one before, in two buffers used
    // in turn.
    bool inA = true;
    for (std::size_t k = 1; k < sideCount; ++k) {
        const std::int64_t side = std::int64_t{1} << k;
        counts[k] = occupiedBoxes(level, pixelClass, region, xs, ys, side, mask != nullptr);
        if (k + 1 < sideCount) {
            OccupancyLevel next = levelShape(xs, ys, static_cast<int>(k + 1));
            next.bits = sized(inA ? scratch.levelB : scratch.levelA, next.words());
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

namespace {

BoxCounts countUnder(const ImageView& image, const Region& region, PixelClass pixelClass, RowGate* gate,
                     const PixelMask* mask)
{
    BoxCounts result;
    result.sides = boxSides(region.width, region.height, 1);
    if (!result.sides.empty())
        result.counts = countPerSide(image, region, pixelClass, result.sides.size(), gate, mask);
    // count(1) stays 0 when no side is counted.
    const std::int64_t pixelsInClass = result.counts.empty() ? 0 : result.counts.front();
    if (mask != nullptr)
        result.maskArea = maskAreaIn(*mask, region);
    const std::int64_t area = result.maskArea.value_or(std::int64_t{region.width} * region.height);
    // A region without pixels has no side either, so its coverage is 0 / 0.
    if (area == 0)
        fail(msg::kInvalidFloatOperation);
    result.coverage = static_cast<double>(pixelsInClass) / static_cast<double>(area) * 100.0;
    return result;
}

}  // namespace

BoxCounts countBoxes(const ImageView& image, const Region& region, PixelClass pixelClass, RowGate* gate)
{
    return countUnder(image, region, pixelClass, gate, nullptr);
}

BoxCounts countMaskedBoxes(const ImageView& image, const Region& region, PixelClass pixelClass,
                           const PixelMask* mask)
{
    return countUnder(image, region, pixelClass, nullptr, mask);
}

}  // namespace dimora
