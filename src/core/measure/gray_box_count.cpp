// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/gray_box_count.hpp"

#include "core/measure/box_count.hpp"
#include "core/measure/grey_levels.hpp"

#include <algorithm>
#include <array>
#include <bit>

namespace dimora {
namespace {

using namespace grey_boxes;

struct PassResult {
    std::int64_t count = 0;
    unsigned highest = 0;
    unsigned lowest = 255;
};

template <PixelFormat F>
PassResult countPass(const ImageView& image, const GreyLevels& grey, const Region& region, int exponent)
{
    const std::int64_t side = std::int64_t{1} << exponent;
    const std::int64_t columns = ceilDiv(region.width, side);
    const std::int64_t rows = ceilDiv(region.height, side);
    const IndexRange near = boxesNearImage(region.left, columns, side, image.width);
    const IndexRange nearRows = boxesNearImage(region.top, rows, side, image.height);

    const auto rowAt = [&](std::int64_t y) -> const std::uint8_t* {
        return y >= 0 && y < image.height ? image.row(static_cast<std::int32_t>(y)) : nullptr;
    };
    const auto level = [&](const std::uint8_t* row, std::int64_t x) {
        return row != nullptr && x >= 0 && x < image.width ? grey.at<F>(row, x) : kOutsideLevel;
    };

    // Box rows in memory order (bottom-up bitmaps from the last): the sums and
    // extremes do not depend on the order, and memory read backwards is slow.
    const bool backwards = image.stride < 0;
    // The box columns whose two corner columns both lie on the image: read
    // without checks when both corner rows do too.
    const IndexRange inside{std::max(near.first, ceilDiv(-std::int64_t{region.left}, side)),
                            std::min(near.end, floorDiv(image.width - side - region.left, side) + 1)};
    PassResult pass;
    const auto addBox = [&](unsigned a, unsigned b, unsigned c, unsigned d) {
        const unsigned hi = std::max(std::max(a, b), std::max(c, d));
        const unsigned lo = std::min(std::min(a, b), std::min(c, d));
        pass.count += ((hi - lo) >> exponent) + 1;
        pass.highest = std::max(pass.highest, hi);
        pass.lowest = std::min(pass.lowest, lo);
    };
    const auto checkedBoxes = [&](const std::uint8_t* top, const std::uint8_t* bottom, std::int64_t first,
                                  std::int64_t end) {
        for (std::int64_t i = first; i < end; ++i) {
            const std::int64_t x = region.left + i * side;
            addBox(level(top, x), level(top, x + side - 1), level(bottom, x), level(bottom, x + side - 1));
        }
    };
    for (std::int64_t step = 0; step < nearRows.size(); ++step) {
        const std::int64_t j = backwards ? nearRows.end - 1 - step : nearRows.first + step;
        const std::int64_t y = region.top + j * side;
        const std::uint8_t* top = rowAt(y);
        const std::uint8_t* bottom = rowAt(y + side - 1);
        if (top == nullptr || bottom == nullptr || inside.size() == 0) {
            checkedBoxes(top, bottom, near.first, near.end);
            continue;
        }
        checkedBoxes(top, bottom, near.first, inside.first);
        for (std::int64_t i = inside.first; i < inside.end; ++i) {
            const std::int64_t x = region.left + i * side;
            addBox(grey.at<F>(top, x), grey.at<F>(top, x + side - 1), grey.at<F>(bottom, x),
                   grey.at<F>(bottom, x + side - 1));
        }
        checkedBoxes(top, bottom, inside.end, near.end);
    }
    // Every other box has its four corners off the image: all 255, adding 1.
    const std::int64_t offImage = columns * rows - near.size() * nearRows.size();
    if (offImage > 0) {
        pass.count += offImage;
        pass.highest = kOutsideLevel;
    }
    return pass;
}

PassResult countPass(const ImageView& image, const GreyLevels& grey, const Region& region, int exponent)
{
    if (image.width <= 0 || image.height <= 0 || image.layout == nullptr)
        return countPass<PixelFormat::Rgb24>(ImageView{}, grey, region, exponent);
    switch (image.layout->format()) {
    case PixelFormat::Indexed1:
        return countPass<PixelFormat::Indexed1>(image, grey, region, exponent);
    case PixelFormat::Indexed4:
        return countPass<PixelFormat::Indexed4>(image, grey, region, exponent);
    case PixelFormat::Indexed8:
        return countPass<PixelFormat::Indexed8>(image, grey, region, exponent);
    case PixelFormat::Rgb24:
        return countPass<PixelFormat::Rgb24>(image, grey, region, exponent);
    case PixelFormat::Masked16:
        return countPass<PixelFormat::Masked16>(image, grey, region, exponent);
    case PixelFormat::Masked32:
        return countPass<PixelFormat::Masked32>(image, grey, region, exponent);
    }
    return {};
}

}  // namespace

GrayCounts countGrayBoxes(const ImageView& image, const Region& region)
{
    GrayCounts result;
    result.sides = boxSides(region.width, region.height, 2);
    if (result.sides.empty())
        return result;
    const GreyLevels grey(image.layout != nullptr ? *image.layout : PixelLayout{});
    PassResult pass;
    for (const std::int64_t side : result.sides) {
        pass = countPass(image, grey, region, std::countr_zero(static_cast<std::uint64_t>(side)));
        result.counts.push_back(pass.count);
    }
    result.brightnessDifference = static_cast<int>(pass.highest) - static_cast<int>(pass.lowest);
    return result;
}

}  // namespace dimora
