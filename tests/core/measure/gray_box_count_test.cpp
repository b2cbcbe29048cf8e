// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/gray_box_count.hpp"

#include "reference_gray_box_count.hpp"
#include "test_images.hpp"

#include <gtest/gtest.h>

namespace dimora {
namespace {

using Counts = std::vector<std::int64_t>;

Colour grey(unsigned level)
{
    return makeColour(level, level, level);
}

void expectSameAsReference(const ImageView& view, const Region& region, const std::string& what)
{
    const auto expected = reference::grayBoxCounts(view, region);
    const GrayCounts counts = countGrayBoxes(view, region);
    const std::string label = what + ", region " + std::to_string(region.left) + "," +
                              std::to_string(region.top) + "," + std::to_string(region.width) + "," +
                              std::to_string(region.height);
    ASSERT_EQ(counts.sides, expected.sides) << label;
    ASSERT_EQ(counts.counts, expected.counts) << label;
    ASSERT_EQ(counts.brightnessDifference, expected.brightnessDifference) << label;
}

TEST(CountGrayBoxes, EqualsTheCornerByCornerProcedureOnRandomImagesRegionsAndLayouts)
{
    std::mt19937 random(77);
    std::uniform_int_distribution<int> size(1, 90);
    for (const auto& [name, layout] : testing::allLayouts()) {
        for (int round = 0; round < 10; ++round) {
            Bitmap bitmap(size(random), size(random), layout,
                          round % 2 == 0 ? RowOrder::BottomUp : RowOrder::TopDown);
            if (round % 2 == 0)
                testing::fillRandomBytes(bitmap, random, 0.3);
            else
                testing::paintRandomClumps(bitmap, random);
            for (int r = 0; r < 4; ++r)
                expectSameAsReference(bitmap.view(),
                                      testing::randomRegion(bitmap.width(), bitmap.height(), random), name);
        }
        // Rows anywhere in memory.
        Bitmap bitmap(40, 33, layout);
        testing::fillRandomBytes(bitmap, random, 0.3);
        std::vector<std::uint8_t> storage;
        expectSameAsReference(testing::copyWithPaddedRows(bitmap, storage, true), {-5, 3, 44, 37},
                              name + " padded");
    }
}

TEST(CountGrayBoxes, ARegionFarLargerThanTheImageCountsItsOuterBoxesAsOne)
{
    std::mt19937 random(8);
    Bitmap bitmap(37, 29, PixelLayout::rgb24());
    testing::fillRandomBytes(bitmap, random, 0.2);
    expectSameAsReference(bitmap.view(), {-1000, -900, 2100, 2000}, "large region");
    expectSameAsReference(bitmap.view(), {500, 500, 300, 300}, "region off the image");
}

TEST(CountGrayBoxes, AUniformSquareHasDimensionTwo)
{
    const Bitmap uniform = testing::filledBitmap(64, 64, grey(100));
    const GrayCounts counts = countGrayBoxes(uniform.view(), {0, 0, 64, 64});
    EXPECT_EQ(counts.sides, (Counts{2, 4, 8, 16}));
    EXPECT_EQ(counts.counts, (Counts{1024, 256, 64, 16}));
    EXPECT_EQ(counts.brightnessDifference, 0);
}

TEST(CountGrayBoxes, TwoHalvesGiveTheFullBrightnessDifference)
{
    const Bitmap halves = testing::makeBitmap(64, 64, PixelLayout::rgb24(),
                                              [](int x, int) { return x < 32 ? grey(0) : grey(255); });
    const GrayCounts counts = countGrayBoxes(halves.view(), {0, 0, 64, 64});
    EXPECT_EQ(counts.counts.front(), 1024);
    EXPECT_EQ(counts.brightnessDifference, 255);
}

TEST(CountGrayBoxes, FarCornersOffTheImageReadAs255)
{
    // 65 × 65 of level 100: the boxes that start at x = 64 or y = 64 have far
    // corners off the image and add (255 − 100) div s + 1; all others add 1.
    const Bitmap uniform = testing::filledBitmap(65, 65, grey(100));
    const GrayCounts counts = countGrayBoxes(uniform.view(), {0, 0, 65, 65});
    ASSERT_EQ(counts.sides, (Counts{2, 4, 8, 16, 32}));
    for (std::size_t k = 0; k < counts.sides.size(); ++k) {
        const std::int64_t s = counts.sides[k];
        const std::int64_t perEdge = 64 / s + 1;
        const std::int64_t edgeBoxes = 2 * perEdge - 1;
        EXPECT_EQ(counts.counts[k], perEdge * perEdge - edgeBoxes + edgeBoxes * ((255 - 100) / s + 1)) << s;
    }
    EXPECT_EQ(counts.brightnessDifference, 155);
}

TEST(CountGrayBoxes, TheBrightnessDifferenceSeesOnlyTheCornersOfTheLastSide)
{
    Bitmap bitmap = testing::filledBitmap(64, 64, grey(200));
    bitmap.setPixel(5, 5, grey(0));
    const GrayCounts notACorner = countGrayBoxes(bitmap.view(), {0, 0, 64, 64});
    EXPECT_EQ(notACorner.brightnessDifference, 0);
    EXPECT_EQ(notACorner.counts.front(), 1024 - 1 + (200 / 2 + 1));  // a corner of a side-2 box
    bitmap.setPixel(15, 15, grey(0));  // the far corner of the first box of side 16
    EXPECT_EQ(countGrayBoxes(bitmap.view(), {0, 0, 64, 64}).brightnessDifference, 200);
}

TEST(CountGrayBoxes, ReadsTheRedByteAsTheGreyLevel)
{
    const Bitmap reds = testing::makeBitmap(
        16, 16, PixelLayout::rgb24(), [](int x, int) { return makeColour(x < 8 ? 10 : 90, 255, x * 16); });
    const GrayCounts counts = countGrayBoxes(reds.view(), {0, 0, 16, 16});
    EXPECT_EQ(counts.sides, (Counts{2, 4}));
    EXPECT_EQ(counts.brightnessDifference, 80);
}

TEST(CountGrayBoxes, AHugeRegionIsCountedWithoutVisitingEveryBox)
{
    // A 16 × 16 image of level 100 in the corner of a 2^30 square: boxes of side
    // up to 16 lie either wholly on the image (four corners of 100) or wholly
    // off it; from side 32 on, the first box has one corner on the image and
    // three off it.
    const Bitmap uniform = testing::filledBitmap(16, 16, grey(100));
    const std::int32_t edge = 1 << 30;
    const GrayCounts counts = countGrayBoxes(uniform.view(), {0, 0, edge, edge});
    ASSERT_EQ(counts.sides.size(), 13u);
    for (std::size_t k = 0; k < counts.sides.size(); ++k) {
        const std::int64_t s = counts.sides[k];
        const std::int64_t perEdge = edge / s;
        EXPECT_EQ(counts.counts[k], perEdge * perEdge + (s >= 32 ? (255 - 100) / s : 0)) << s;
    }
    EXPECT_EQ(counts.brightnessDifference, 155);
}

TEST(CountGrayBoxes, ASmallRegionHasNoSide)
{
    const Bitmap uniform = testing::filledBitmap(4, 40, grey(7));
    const GrayCounts counts = countGrayBoxes(uniform.view(), {0, 0, 4, 40});
    EXPECT_TRUE(counts.sides.empty());
    EXPECT_TRUE(counts.counts.empty());
    EXPECT_TRUE(countGrayBoxes(Bitmap().view(), {0, 0, 0, 0}).sides.empty());
}

}  // namespace
}  // namespace dimora
