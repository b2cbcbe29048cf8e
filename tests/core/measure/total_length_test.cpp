// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/total_length.hpp"

#include "reference_total_length.hpp"
#include "test_images.hpp"

#include <gtest/gtest.h>

namespace dimora {
namespace {

// A white 24-bit image with the given pixels black.
Bitmap whiteWith(int width, int height, const std::vector<std::pair<int, int>>& blackPixels)
{
    Bitmap bitmap = testing::filledBitmap(width, height, kWhite);
    for (const auto& [x, y] : blackPixels)
        bitmap.setPixel(x, y, kBlack);
    return bitmap;
}

std::string fieldOf(const Bitmap& bitmap, const std::optional<Region>& selection = std::nullopt)
{
    const auto result = measureTotalLength(bitmap.view(), selection);
    return result ? result->field : "not written";
}

TEST(TotalLength, AStraightLineOfTenIsNineLong)
{
    std::vector<std::pair<int, int>> line;
    for (int x = 5; x < 15; ++x)
        line.push_back({x, 8});
    const Bitmap bitmap = whiteWith(20, 20, line);
    const auto result = measureTotalLength(bitmap.view(), std::nullopt);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->sum, 18.0);
    EXPECT_EQ(result->length, 9.0);
    EXPECT_EQ(result->field, " 9");
}

TEST(TotalLength, ADiagonalCountsItsCornerLinksAsOnePointFour)
{
    std::vector<std::pair<int, int>> diagonal;
    for (int i = 0; i < 10; ++i)
        diagonal.push_back({3 + i, 4 + i});
    const auto result = measureTotalLength(whiteWith(20, 20, diagonal).view(), std::nullopt);
    ASSERT_TRUE(result.has_value());
    EXPECT_NEAR(result->length, 12.6, 1e-12);
    EXPECT_EQ(result->field, " 13");
}

TEST(TotalLength, SmallShapes)
{
    EXPECT_EQ(fieldOf(whiteWith(10, 10, {{5, 5}})), " 0");
    // Each pixel of a 2 × 2 square: two side links and one corner link, (4 × 3.4) / 2 = 6.8.
    EXPECT_EQ(fieldOf(whiteWith(10, 10, {{4, 4}, {5, 4}, {4, 5}, {5, 5}})), " 7");
    // An L of three pixels has both side links and the corner link: (2 + 2 + 2.8) / 2 = 3.4.
    const auto l = measureTotalLength(whiteWith(10, 10, {{4, 4}, {4, 5}, {5, 5}}).view(), std::nullopt);
    ASSERT_TRUE(l.has_value());
    EXPECT_NEAR(l->length, 3.4, 1e-12);
}

TEST(TotalLength, WithoutSelectionTheOuterFrameIsNotScanned)
{
    // A vertical line in rows 0 to 4: row 0 lies in the frame, so the centres
    // of rows 1 to 4 give 2 + 2 + 2 + 1 = 7, a length of 3.5, shown as 4.
    const Bitmap bitmap = whiteWith(12, 12, {{6, 0}, {6, 1}, {6, 2}, {6, 3}, {6, 4}});
    const auto result = measureTotalLength(bitmap.view(), std::nullopt);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->length, 3.5);
    EXPECT_EQ(result->field, " 4");
    EXPECT_EQ(result->scan, (Region{1, 1, 10, 10}));
}

TEST(TotalLength, OnlyPixelsWithAllThreeBytesZeroAreBlack)
{
    Bitmap bitmap = testing::filledBitmap(10, 10, kWhite);
    for (int x = 2; x < 8; ++x)
        bitmap.setPixel(x, 5, x % 2 == 0 ? 0xFFFF00 : 0x000001);
    EXPECT_EQ(fieldOf(bitmap), " 0");
    bitmap.setPixel(4, 5, kBlack);
    bitmap.setPixel(5, 5, kBlack);
    EXPECT_EQ(fieldOf(bitmap), " 1");
}

TEST(TotalLength, ALinkAcrossTheSelectionsEdgeCountsHalf)
{
    std::vector<std::pair<int, int>> line;
    for (int x = 2; x < 12; ++x)
        line.push_back({x, 5});
    const Bitmap bitmap = whiteWith(20, 10, line);
    // Centres 2 to 6: four links inside, and the link from 6 to 7 seen once.
    const auto result = measureTotalLength(bitmap.view(), Region{0, 0, 7, 10});
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->length, 4.5);
    EXPECT_EQ(result->field, " 5");
}

TEST(TotalLength, AnEmptyScanRectangleWritesNothing)
{
    const Bitmap thin = testing::filledBitmap(2, 50, kBlack);
    EXPECT_EQ(fieldOf(thin), "not written");
    EXPECT_EQ(fieldOf(Bitmap()), "not written");
    const Bitmap bitmap = testing::filledBitmap(20, 20, kBlack);
    EXPECT_EQ(fieldOf(bitmap, Region{3, 3, 0, 5}), "not written");
    EXPECT_EQ(fieldOf(bitmap, Region{3, 3, 5, -1}), "not written");
    // A 3 × 3 image without selection scans its one middle pixel.
    EXPECT_EQ(fieldOf(testing::filledBitmap(3, 3, kBlack)), " 5");  // (4 × 1 + 4 × 1.4) / 2 = 4.8
}

TEST(TotalLength, ScanRectangleRule)
{
    EXPECT_EQ(lengthScanRectangle(10, 8, std::nullopt), (Region{1, 1, 8, 6}));
    EXPECT_EQ(lengthScanRectangle(10, 8, Region{-3, 4, 50, 2}), (Region{-3, 4, 50, 2}));
    EXPECT_EQ(lengthScanRectangle(0, 0, std::nullopt), (Region{1, 1, -2, -2}));
}

TEST(TotalLength, EqualsTheSequentialSumOnRandomImagesRegionsAndLayouts)
{
    std::mt19937 random(31);
    std::uniform_int_distribution<int> size(1, 80);
    for (const auto& [name, layout] : testing::allLayouts()) {
        for (int round = 0; round < 8; ++round) {
            Bitmap bitmap(size(random), size(random), layout,
                          round % 2 == 0 ? RowOrder::BottomUp : RowOrder::TopDown);
            testing::fillRandomBytes(bitmap, random, round % 4 < 2 ? 0.9 : 0.6);
            for (int r = 0; r < 4; ++r) {
                const std::optional<Region> selection =
                    r == 0 ? std::nullopt
                           : std::optional<Region>(
                                 testing::randomRegion(bitmap.width(), bitmap.height(), random));
                const Region scan = lengthScanRectangle(bitmap.width(), bitmap.height(), selection);
                const auto result = measureTotalLength(bitmap.view(), selection);
                if (scan.width <= 0 || scan.height <= 0) {
                    EXPECT_FALSE(result.has_value()) << name;
                    continue;
                }
                ASSERT_TRUE(result.has_value()) << name;
                const double expected = reference::totalLengthSum(bitmap.view(), scan);
                ASSERT_EQ(result->sum, expected) << name << " scan " << scan.left << "," << scan.top << ","
                                                 << scan.width << "," << scan.height;
                EXPECT_EQ(result->length, expected / 2);
            }
        }
    }
}

TEST(TotalLength, KeepsTheOrderOfTheRunningSum)
{
    // A black image: every centre adds four 1.0 and four 1.4 in turn. The
    // double sum in that order differs from counting the links and
    // multiplying, so only the sequential order gives the expected bits.
    const Bitmap black = testing::filledBitmap(300, 300, kBlack);
    const auto result = measureTotalLength(black.view(), std::nullopt);
    ASSERT_TRUE(result.has_value());
    const double sequential = reference::totalLengthSum(black.view(), result->scan);
    const double centres = 298.0 * 298.0;
    EXPECT_NE(centres * 4 * 1.0 + centres * 4 * 1.4, sequential);
    EXPECT_EQ(result->sum, sequential);
}

TEST(TotalLengthFieldText, ShowsEveryIntegerDigit)
{
    EXPECT_EQ(totalLengthFieldText(0), " 0");
    EXPECT_EQ(totalLengthFieldText(2.5), " 3");
    EXPECT_EQ(totalLengthFieldText(123456789.5), " 123456790");
    EXPECT_EQ(totalLengthFieldText(98765432109.4), " 98765432109");
}

}  // namespace
}  // namespace dimora
