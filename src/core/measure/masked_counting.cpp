// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/masked_counting.hpp"

#include "core/measure/box_count.hpp"
#include "core/measure/measurement_sequence.hpp"

#include <algorithm>

namespace dimora {

std::int64_t maskAreaIn(const PixelMask& mask, const Region& region)
{
    const std::int64_t left = std::max<std::int64_t>(region.left, 0);
    const std::int64_t top = std::max<std::int64_t>(region.top, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{region.left} + region.width, mask.width);
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{region.top} + region.height, mask.height);
    std::int64_t area = 0;
    for (std::int64_t y = top; y < bottom; ++y) {
        const std::uint8_t* row = mask.inside.data() + static_cast<std::size_t>(y * mask.width);
        for (std::int64_t x = left; x < right; ++x)
            area += row[x] != 0 ? 1 : 0;
    }
    return area;
}

void andMaskBits(const PixelMask& mask, std::int64_t y, std::int64_t firstPixel, std::int64_t count,
                 std::uint64_t* bits)
{
    const bool rowOnMask = y >= 0 && y < mask.height;
    const std::uint8_t* row =
        rowOnMask ? mask.inside.data() + static_cast<std::size_t>(y * mask.width) : nullptr;
    for (std::int64_t word = 0; word * 64 < count; ++word) {
        std::uint64_t inside = 0;
        const std::int64_t end = std::min<std::int64_t>(64, count - word * 64);
        for (std::int64_t b = 0; b < end && row != nullptr; ++b) {
            const std::int64_t x = firstPixel + word * 64 + b;
            if (x >= 0 && x < mask.width && row[x] != 0)
                inside |= std::uint64_t{1} << b;
        }
        bits[word] &= inside;
    }
}

GrayCounts countMaskedGrayBoxes(const ImageView& image, const Region& region, const PixelMask* mask)
{
    if (mask == nullptr)
        return countGrayBoxes(image, region);
    GrayCounts result;
    result.sides = boxSides(region.width, region.height, 2);
    unsigned highest = 0;
    unsigned lowest = 255;
    for (const std::int64_t side : result.sides) {
        // Each side starts again from 0 and 255, as without a mask.
        highest = 0;
        lowest = 255;
        std::int64_t count = 0;
        const std::int64_t columns = (region.width + side - 1) / side;
        const std::int64_t rows = (region.height + side - 1) / side;
        for (std::int64_t j = 0; j < rows; ++j) {
            const std::int64_t y0 = region.top + j * side;
            const std::int64_t y1 = y0 + side - 1;
            for (std::int64_t i = 0; i < columns; ++i) {
                const std::int64_t x0 = region.left + i * side;
                const std::int64_t x1 = x0 + side - 1;
                const auto in = [&](std::int64_t x, std::int64_t y) {
                    return x >= INT32_MIN && x <= INT32_MAX && y >= INT32_MIN && y <= INT32_MAX &&
                           mask->at(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
                };
                if (!in(x0, y0) || !in(x1, y0) || !in(x0, y1) || !in(x1, y1))
                    continue;
                const auto level = [&](std::int64_t x, std::int64_t y) {
                    return redOf(image.pixel(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)));
                };
                const unsigned a = level(x0, y0), b = level(x1, y0), c = level(x0, y1), d = level(x1, y1);
                const unsigned hi = std::max(std::max(a, b), std::max(c, d));
                const unsigned lo = std::min(std::min(a, b), std::min(c, d));
                count += static_cast<std::int64_t>((hi - lo) / static_cast<unsigned>(side)) + 1;
                highest = std::max(highest, hi);
                lowest = std::min(lowest, lo);
            }
        }
        result.counts.push_back(count);
    }
    if (!result.sides.empty())
        result.brightnessDifference = static_cast<int>(highest) - static_cast<int>(lowest);
    return result;
}

DimensionMeasurement measureTwoValuedMasked(const ImageView& image, const Region& region,
                                            PixelClass pixelClass, const PixelMask* mask)
{
    const BoxCounts counts = countMaskedBoxes(image, region, pixelClass, mask);
    return finishMeasurement(region, reportBoxCounts(counts));
}

DimensionMeasurement measureGrayMasked(const ImageView& image, const Region& region, const PixelMask* mask)
{
    return finishMeasurement(region, reportGrayCounts(countMaskedGrayBoxes(image, region, mask)));
}

}  // namespace dimora
