// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/imageops/dot_removal.hpp"

#include "imageops_test_support.hpp"

#include <gtest/gtest.h>

namespace dimora {
namespace {

using Picture = std::vector<std::string>;

Picture cleaned(const Picture& picture)
{
    Bitmap image = test::pictureBitmap(picture);
    removeIsolatedDots(image);
    return test::pictureOf(image);
}

// The sweep one pixel at a time, each decision on the image as already
// rewritten.
Bitmap referenceSweep(Bitmap image)
{
    const auto positive = [&](int x, int y) { return static_cast<std::int32_t>(image.pixel(x, y)) > 0; };
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == 0 && positive(x - 1, y) && positive(x, y - 1) && positive(x + 1, y) &&
                positive(x, y + 1))
                image.setPixel(x, y, kWhite);
    return image;
}

TEST(DotRemoval, RemovesBlackWithoutBlackEdgeNeighbours)
{
    EXPECT_EQ(cleaned({"...", ".#.", "..."}), (Picture{"...", "...", "..."}));
    EXPECT_EQ(cleaned({"....", ".##.", "...."}), (Picture{"....", ".##.", "...."}));
    EXPECT_EQ(cleaned({".....", ".#...", "..#..", "...#.", "....."}),
              (Picture{".....", ".....", ".....", ".....", "....."}));
}

TEST(DotRemoval, AnyOtherColourCountsAsWhiteAndTheDotBecomesWhite)
{
    EXPECT_EQ(cleaned({"rrr", "r#r", "rrr"}), (Picture{"???", "?.?", "???"}));
    EXPECT_EQ(cleaned({".k.", "k#k", ".k."}), (Picture{".?.", "?.?", ".?."}));
    // Near-black is not a candidate itself.
    EXPECT_EQ(cleaned({"...", ".k.", "..."}), (Picture{"...", ".?.", "..."}));
}

TEST(DotRemoval, KeepsDotsOnTheBorder)
{
    EXPECT_EQ(cleaned({"#.#", "...", "#.#"}), (Picture{"#.#", "...", "#.#"}));
    EXPECT_EQ(cleaned({".#.", "...", "..."}), (Picture{".#.", "...", "..."}));
    EXPECT_EQ(cleaned({"#"}), (Picture{"#"}));
}

TEST(DotRemoval, WritesTheNearestWhiteOfAPalette)
{
    const test::LayoutCase grey{"grey", PixelLayout::indexed(8, {kBlack, 0x404040, 0xB0B0B0})};
    Bitmap image = test::pictureBitmap({"...", ".#.", "..."}, grey);
    removeIsolatedDots(image);
    EXPECT_EQ(image.pixel(1, 1), 0xB0B0B0u);
    EXPECT_EQ(image.layout(), grey.layout);
}

TEST(DotRemoval, MatchesAPixelByPixelSweepOnEveryLayout)
{
    std::mt19937 rng(8086);
    const std::vector<Colour> sparse = {kBlack, kWhite, kWhite, kWhite, 0x0000FF, 0x010101};
    for (const auto& layout : test::allLayouts()) {
        for (const auto& [w, h] : {std::pair{1, 1}, std::pair{3, 3}, std::pair{9, 7}, std::pair{33, 5}}) {
            for (const bool random : {true, false}) {
                const Bitmap original = random ? test::randomBitmap(layout, w, h, rng)
                                               : test::randomBitmapOf(layout, w, h, sparse, rng);
                Bitmap image = original;
                removeIsolatedDots(image);
                EXPECT_TRUE(test::sameBitmap(image, referenceSweep(original))) << layout.name << " " << w;
            }
        }
    }
}

}  // namespace
}  // namespace dimora
