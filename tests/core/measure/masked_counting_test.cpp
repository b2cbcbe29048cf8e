// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/masked_counting.hpp"

#include "core/common/error.hpp"
#include "core/measure/box_count.hpp"
#include "core/measure/min_grid_count.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace dimora {
namespace {

struct MaskCase {
    std::string name;
    Region region;
    unsigned seed = 1;
};

// A 37 × 29 image of random grey levels (a third black) and a random mask.
struct Scene {
    Bitmap image{37, 29, PixelLayout::rgb24()};
    PixelMask mask;
};

Scene sceneOf(unsigned seed)
{
    Scene scene;
    std::mt19937 random(seed);
    scene.mask.width = 37;
    scene.mask.height = 29;
    for (std::int32_t y = 0; y < 29; ++y)
        for (std::int32_t x = 0; x < 37; ++x) {
            const unsigned level = random() % 3 == 0 ? 0 : static_cast<unsigned>(random() % 256);
            scene.image.setPixel(x, y, makeColour(level, level, level));
            scene.mask.inside.push_back(random() % 4 != 0 ? 1 : 0);
        }
    return scene;
}

// Box by box: a box of side s at offset (ox, oy) is occupied when one of its
// pixels inside the region and the mask is in the class.
std::int64_t bruteCount(const Scene& scene, const Region& region, PixelClass pixelClass, std::int64_t side,
                        std::int64_t ox, std::int64_t oy)
{
    std::int64_t count = 0;
    for (std::int64_t top = -oy; top < region.height; top += side)
        for (std::int64_t left = -ox; left < region.width; left += side) {
            bool occupied = false;
            for (std::int64_t y = std::max<std::int64_t>(top, 0);
                 y < std::min(top + side, std::int64_t{region.height}); ++y)
                for (std::int64_t x = std::max<std::int64_t>(left, 0);
                     x < std::min(left + side, std::int64_t{region.width}); ++x) {
                    const auto px = static_cast<std::int32_t>(region.left + x);
                    const auto py = static_cast<std::int32_t>(region.top + y);
                    const bool black = redOf(scene.image.view().pixel(px, py)) == 0;
                    occupied =
                        occupied || (scene.mask.at(px, py) && black == (pixelClass == PixelClass::Black));
                }
            count += occupied ? 1 : 0;
        }
    return count;
}

std::int64_t bruteArea(const Scene& scene, const Region& region)
{
    std::int64_t area = 0;
    for (std::int32_t y = region.top; y < region.top + region.height; ++y)
        for (std::int32_t x = region.left; x < region.left + region.width; ++x)
            area += scene.mask.at(x, y) ? 1 : 0;
    return area;
}

class MaskedCounting : public ::testing::TestWithParam<MaskCase> {};

TEST_P(MaskedCounting, TwoValuedCountsEqualBoxByBoxCounting)
{
    const MaskCase& c = GetParam();
    const Scene scene = sceneOf(c.seed);
    for (const PixelClass pixelClass : {PixelClass::Black, PixelClass::NonBlack}) {
        const BoxCounts counts = countMaskedBoxes(scene.image.view(), c.region, pixelClass, &scene.mask);
        const MinGridCounts least =
            countBoxesOnGrid(scene.image.view(), c.region, pixelClass, GridPlacement::Min, &scene.mask);
        ASSERT_EQ(counts.sides, boxSides(c.region.width, c.region.height, 1));
        const std::int64_t area = bruteArea(scene, c.region);
        ASSERT_EQ(counts.maskArea, area);
        ASSERT_EQ(least.maskArea, area);
        for (std::size_t k = 0; k < counts.sides.size(); ++k) {
            const std::int64_t side = counts.sides[k];
            EXPECT_EQ(counts.counts[k], bruteCount(scene, c.region, pixelClass, side, 0, 0)) << side;
            std::int64_t smallest = INT64_MAX;
            for (std::int64_t oy = 0; oy < side; ++oy)
                for (std::int64_t ox = 0; ox < side; ++ox)
                    smallest = std::min(smallest, bruteCount(scene, c.region, pixelClass, side, ox, oy));
            EXPECT_EQ(least.counts[k], smallest) << side;
        }
        if (!counts.counts.empty()) {
            EXPECT_DOUBLE_EQ(counts.coverage,
                             static_cast<double>(counts.counts[0]) / static_cast<double>(area) * 100.0);
        }
    }
}

TEST_P(MaskedCounting, GrayTakesOnlyBoxesWithEveryCornerInside)
{
    const MaskCase& c = GetParam();
    const Scene scene = sceneOf(c.seed);
    const GrayCounts counts = countMaskedGrayBoxes(scene.image.view(), c.region, &scene.mask);
    ASSERT_EQ(counts.sides, boxSides(c.region.width, c.region.height, 2));
    int difference = 0;
    for (std::size_t k = 0; k < counts.sides.size(); ++k) {
        const std::int64_t side = counts.sides[k];
        std::int64_t sum = 0;
        unsigned highest = 0, lowest = 255;
        for (std::int64_t top = c.region.top; top < c.region.top + c.region.height; top += side)
            for (std::int64_t left = c.region.left; left < c.region.left + c.region.width; left += side) {
                const std::int64_t xs[] = {left, left + side - 1}, ys[] = {top, top + side - 1};
                std::vector<unsigned> levels;
                for (const std::int64_t y : ys)
                    for (const std::int64_t x : xs)
                        if (scene.mask.at(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)))
                            levels.push_back(redOf(scene.image.view().pixel(static_cast<std::int32_t>(x),
                                                                            static_cast<std::int32_t>(y))));
                if (levels.size() < 4)
                    continue;
                const unsigned hi = *std::max_element(levels.begin(), levels.end());
                const unsigned lo = *std::min_element(levels.begin(), levels.end());
                sum += (hi - lo) / side + 1;
                highest = std::max(highest, hi);
                lowest = std::min(lowest, lo);
            }
        EXPECT_EQ(counts.counts[k], sum) << side;
        difference = static_cast<int>(highest) - static_cast<int>(lowest);
    }
    if (!counts.sides.empty()) {
        EXPECT_EQ(counts.brightnessDifference, difference);
    }
}

INSTANTIATE_TEST_SUITE_P(Masks, MaskedCounting,
                         ::testing::Values(MaskCase{"WholeImage", {0, 0, 37, 29}, 1},
                                           MaskCase{"Inside", {3, 2, 27, 21}, 2},
                                           MaskCase{"PastTheEdges", {-5, -3, 40, 31}, 3},
                                           MaskCase{"OddCorner", {11, 7, 26, 22}, 4}),
                         [](const auto& info) { return info.param.name; });

// Without a mask nothing changes; a mask with nothing inside the region has
// a coverage of 0 / 0.
TEST(MaskedCountingEdges, NoMaskIsTheUsualCountAndAnEmptyMaskFails)
{
    const Scene scene = sceneOf(9);
    const Region region{-2, 1, 35, 30};
    for (const PixelClass pixelClass : {PixelClass::Black, PixelClass::NonBlack}) {
        const BoxCounts plain = countBoxes(scene.image.view(), region, pixelClass);
        const BoxCounts none = countMaskedBoxes(scene.image.view(), region, pixelClass, nullptr);
        EXPECT_EQ(none.counts, plain.counts);
        EXPECT_EQ(none.coverage, plain.coverage);
        EXPECT_FALSE(none.maskArea.has_value());
        PixelMask empty = scene.mask;
        std::fill(empty.inside.begin(), empty.inside.end(), 0);
        EXPECT_THROW((void)countMaskedBoxes(scene.image.view(), region, pixelClass, &empty), Error);
    }
}

}  // namespace
}  // namespace dimora
