// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/imageops/median_filter.hpp"

#include "imageops_test_support.hpp"

#include <gtest/gtest.h>

namespace dimora {
namespace {

using Picture = std::vector<std::string>;

Picture filtered(const Picture& picture)
{
    Bitmap image = test::pictureBitmap(picture);
    Bitmap scratch;
    medianFilter(image, scratch);
    return test::pictureOf(image);
}

// The window sum of nine signed colours, read one pixel at a time.
Bitmap referenceMedian(const Bitmap& image)
{
    Bitmap result = image;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            std::int64_t sum = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    sum += static_cast<std::int32_t>(image.pixel(x + dx, y + dy));
            result.setPixel(x, y, sum <= 4 * 0xFFFFFF ? kBlack : kWhite);
        }
    }
    return result;
}

TEST(MedianFilter, RemovesDotsAndThinLines)
{
    EXPECT_EQ(filtered({".....", ".....", "..#..", ".....", "....."}),
              (Picture{"#...#", ".....", ".....", ".....", "#...#"}));
    EXPECT_EQ(filtered({"......", "......", "..##..", "......", "......"}),
              (Picture{"#....#", "......", "......", "......", "#....#"}));
    EXPECT_EQ(filtered({".......", ".......", ".#####.", ".......", "......."}),
              (Picture{"#.....#", ".......", ".......", ".......", "#.....#"}));
}

TEST(MedianFilter, ThickLinesLoseOnePixelAtEachEnd)
{
    EXPECT_EQ(filtered({"..........", "..........", "..######..", "..######..", "..........", ".........."}),
              (Picture{"#........#", "..........", "...####...", "...####...", "..........", "#........#"}));
}

TEST(MedianFilter, CornersAlwaysComeOutBlackEdgesNeedFiveWhites)
{
    EXPECT_EQ(filtered({"....", "....", "...."}), (Picture{"#..#", "....", "#..#"}));
    // (1, 0) has six inside positions: one black leaves five white, two
    // black leave four.
    EXPECT_EQ(filtered({"....", "#...", "...."})[0], "#..#");
    EXPECT_EQ(filtered({"....", "##..", "...."})[0], "##.#");
    EXPECT_EQ(filtered({"."}), (Picture{"#"}));
}

TEST(MedianFilter, AddsWholeColoursNotChannels)
{
    // Four blue and five yellow: 4 × 0xFF0000 + 5 × 0x00FFFF lies above the
    // limit, although a channel majority would call it dark.
    Bitmap image(3, 3, PixelLayout::rgb24());
    image.fill(0x00FFFF);
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{2, 0}, std::pair{0, 2}, std::pair{2, 2}})
        image.setPixel(x, y, 0xFF0000);
    Bitmap scratch;
    medianFilter(image, scratch);
    EXPECT_EQ(image.pixel(1, 1), kWhite);
    // Four white and five black sum to exactly the limit: black.
    // One more unit tips it to white.
    for (const Colour extra : {kBlack, Colour{0x000001}}) {
        image.fill(kBlack);
        for (const auto& [x, y] : {std::pair{0, 0}, std::pair{1, 0}, std::pair{2, 0}, std::pair{0, 1}})
            image.setPixel(x, y, kWhite);
        image.setPixel(2, 2, extra);
        medianFilter(image, scratch);
        EXPECT_EQ(image.pixel(1, 1), extra == kBlack ? kBlack : kWhite);
    }
    // Nine yellows sum far below the limit.
    image.fill(0x00FFFF);
    medianFilter(image, scratch);
    EXPECT_EQ(image.pixel(1, 1), kBlack);
}

TEST(MedianFilter, BothImagesEndWithTheResult)
{
    std::mt19937 rng(11);
    const test::LayoutCase layout{"rgb24", PixelLayout::rgb24()};
    const Bitmap original = test::randomBitmap(layout, 15, 9, rng);

    // A scratch of another size and layout is replaced by a copy.
    Bitmap image = original;
    Bitmap scratch(3, 2, PixelLayout::indexed(1, {kBlack, kWhite}));
    medianFilter(image, scratch);
    const Bitmap expected = referenceMedian(original);
    EXPECT_TRUE(test::sameBitmap(image, expected));
    EXPECT_TRUE(test::sameBitmap(scratch, expected));
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 15; ++x)
            EXPECT_TRUE(image.pixel(x, y) == kBlack || image.pixel(x, y) == kWhite);

    // A scratch of the same shape is overwritten in place; the same bitmap as
    // both works too.
    image = original;
    medianFilter(image, scratch);
    EXPECT_TRUE(test::sameBitmap(scratch, expected));
    image = original;
    medianFilter(image, image);
    EXPECT_TRUE(test::sameBitmap(image, expected));
}

TEST(MedianFilter, EmptyImageEmptiesTheScratch)
{
    Bitmap image;
    Bitmap scratch(4, 4, PixelLayout::rgb24());
    medianFilter(image, scratch);
    EXPECT_TRUE(image.empty());
    EXPECT_TRUE(scratch.empty());
}

TEST(MedianFilter, MatchesAPixelByPixelSumOnEveryLayout)
{
    std::mt19937 rng(5150);
    const std::vector<Colour> twoValued = {kBlack, kWhite, kWhite};
    for (const auto& layout : test::allLayouts()) {
        for (const auto& [w, h] : {std::pair{1, 1}, std::pair{2, 3}, std::pair{9, 7}, std::pair{33, 5}}) {
            for (const bool random : {true, false}) {
                const Bitmap original = random ? test::randomBitmap(layout, w, h, rng)
                                               : test::randomBitmapOf(layout, w, h, twoValued, rng);
                Bitmap image = original;
                Bitmap scratch;
                medianFilter(image, scratch);
                EXPECT_TRUE(test::sameBitmap(image, referenceMedian(original))) << layout.name << " " << w;
                EXPECT_EQ(image.layout(), layout.layout);
            }
        }
    }
}

}  // namespace
}  // namespace dimora
