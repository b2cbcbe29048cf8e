// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/imageops/colour_extraction.hpp"
#include "core/imageops/grayscale.hpp"
#include "core/imageops/inversion.hpp"
#include "core/imageops/percent_conversion.hpp"

#include "imageops_test_support.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>

namespace dimora {
namespace {

constexpr ColourExtraction green(std::int32_t threshold)
{
    return {ExtractedChannel::Green, threshold};
}
constexpr ColourExtraction red(std::int32_t threshold)
{
    return {ExtractedChannel::Red, threshold};
}

TEST(ColourPercentages, RoundDownAndTakeAThirdForBlack)
{
    EXPECT_EQ(colourPercentages(makeColour(0, 0, 0)), (ColourPercentages{33, 33}));
    EXPECT_EQ(colourPercentages(makeColour(10, 20, 0)), (ColourPercentages{33, 66}));
    EXPECT_EQ(colourPercentages(makeColour(1, 2, 0)), (ColourPercentages{33, 66}));
    EXPECT_EQ(colourPercentages(makeColour(255, 0, 0)), (ColourPercentages{100, 0}));
    EXPECT_EQ(colourPercentages(makeColour(0, 0, 255)), (ColourPercentages{0, 0}));
    EXPECT_EQ(colourPercentages(makeColour(2, 1, 0)), (ColourPercentages{66, 33}));
    // 100 × 255 / 766 would round to 33; 765 is the largest sum.
    EXPECT_EQ(colourPercentages(makeColour(255, 255, 255)), (ColourPercentages{33, 33}));
}

TEST(ColourExtraction, GreyHasDifferenceZeroWhateverItsBrightness)
{
    for (unsigned k : {0u, 1u, 128u, 255u}) {
        const Colour grey = makeColour(k, k, k);
        EXPECT_EQ(extractedColour(grey, green(0)), kWhite) << k;
        EXPECT_EQ(extractedColour(grey, red(0)), kWhite) << k;
        EXPECT_EQ(extractedColour(grey, green(-1)), kBlack) << k;
        EXPECT_EQ(extractedColour(grey, red(-1)), kBlack) << k;
    }
}

TEST(ColourExtraction, BlackOnlyWhenTheDifferenceIsStrictlyGreater)
{
    const Colour greenish = makeColour(10, 20, 0);  // g% − r% = 33
    EXPECT_EQ(extractedColour(greenish, green(0)), kBlack);
    EXPECT_EQ(extractedColour(greenish, green(32)), kBlack);
    EXPECT_EQ(extractedColour(greenish, green(33)), kWhite);
    EXPECT_EQ(extractedColour(greenish, red(0)), kWhite);
    EXPECT_EQ(extractedColour(greenish, red(-33)), kWhite);
    EXPECT_EQ(extractedColour(greenish, red(-34)), kBlack);

    const Colour pureGreen = makeColour(0, 255, 0);  // difference 100
    for (std::int32_t t = -20; t <= 20; ++t)
        EXPECT_EQ(extractedColour(pureGreen, green(t)), kBlack) << t;
    EXPECT_EQ(extractedColour(pureGreen, green(99)), kBlack);
    EXPECT_EQ(extractedColour(pureGreen, green(100)), kWhite);
}

TEST(ColourExtraction, ThresholdsOutsideTheDifferenceRangeDecideEveryPixel)
{
    const Colour samples[] = {makeColour(0, 255, 0), makeColour(255, 0, 0), makeColour(0, 0, 0),
                              makeColour(1, 2, 3), makeColour(255, 255, 255)};
    for (const Colour c : samples) {
        for (const auto channel : {ExtractedChannel::Green, ExtractedChannel::Red}) {
            EXPECT_EQ(extractedColour(c, {channel, 100}), kWhite);
            EXPECT_EQ(extractedColour(c, {channel, INT32_MAX}), kWhite);
            EXPECT_EQ(extractedColour(c, {channel, -101}), kBlack);
            EXPECT_EQ(extractedColour(c, {channel, INT32_MIN}), kBlack);
        }
    }
}

TEST(PercentColour, SharesOf250)
{
    EXPECT_EQ(percentColour(kBlack), makeColour(83, 83, 83));
    EXPECT_EQ(percentColour(kWhite), makeColour(83, 83, 83));
    EXPECT_EQ(percentColour(makeColour(255, 0, 0)), makeColour(250, 0, 0));
    EXPECT_EQ(percentColour(makeColour(10, 20, 0)), makeColour(83, 166, 0));
    EXPECT_EQ(percentColour(makeColour(0, 0, 7)), makeColour(0, 0, 250));
    EXPECT_EQ(percentColour(makeColour(1, 1, 0)), makeColour(125, 125, 0));
}

TEST(ColourShares, EqualPlainDivisionForEveryChannelAndSum)
{
    // Every value v of one channel with every sum S it can occur in; the
    // other two channels make up the rest.
    for (unsigned v = 0; v < 256; ++v) {
        for (unsigned s = std::max(v, 1u); s <= v + 510; ++s) {
            const unsigned second = std::min(255u, s - v), third = s - v - second;
            const Colour asRed = makeColour(v, second, third), asGreen = makeColour(second, v, third),
                         asBlue = makeColour(second, third, v);
            ASSERT_EQ(colourPercentages(asRed).red, static_cast<int>(100 * v / s)) << v << " " << s;
            ASSERT_EQ(colourPercentages(asGreen).green, static_cast<int>(100 * v / s)) << v << " " << s;
            ASSERT_EQ(redOf(percentColour(asRed)), 250 * v / s) << v << " " << s;
            ASSERT_EQ(greenOf(percentColour(asGreen)), 250 * v / s) << v << " " << s;
            ASSERT_EQ(blueOf(percentColour(asBlue)), 250 * v / s) << v << " " << s;
        }
    }
}

TEST(GreyColour, WeightedBrightnessRoundedDown)
{
    EXPECT_EQ(greyColour(kWhite), kWhite);
    EXPECT_EQ(greyColour(kBlack), kBlack);
    EXPECT_EQ(greyValue(makeColour(255, 0, 0)), 76u);
    EXPECT_EQ(greyValue(makeColour(0, 255, 0)), 150u);
    EXPECT_EQ(greyValue(makeColour(0, 0, 255)), 28u);
    EXPECT_EQ(greyValue(makeColour(2, 0, 0)), 0u);
    EXPECT_EQ(greyColour(makeColour(255, 0, 0)), 0x4C4C4Cu);
    for (unsigned k = 0; k < 256; ++k)
        EXPECT_EQ(greyColour(makeColour(k, k, k)), makeColour(k, k, k)) << k;
}

TEST(InvertedColour, FlipsTheThreeChannels)
{
    EXPECT_EQ(invertedColour(kBlack), kWhite);
    EXPECT_EQ(invertedColour(kWhite), kBlack);
    EXPECT_EQ(invertedColour(makeColour(1, 128, 250)), makeColour(254, 127, 5));
}

// The whole-image operations against a pixel-by-pixel sweep written here,
// over every layout, with the colour rules restated independently.

Colour expectedExtraction(Colour c, bool greenChannel, std::int32_t threshold)
{
    const int r = static_cast<int>(c & 0xFF), g = static_cast<int>(c >> 8 & 0xFF),
              b = static_cast<int>(c >> 16 & 0xFF);
    const int s = r + g + b;
    const int rp = s == 0 ? 33 : r * 100 / s;
    const int gp = s == 0 ? 33 : g * 100 / s;
    return (greenChannel ? gp - rp : rp - gp) > threshold ? 0x000000u : 0xFFFFFFu;
}

Colour expectedPercent(Colour c)
{
    const unsigned r = c & 0xFF, g = c >> 8 & 0xFF, b = c >> 16 & 0xFF, s = r + g + b;
    if (s == 0)
        return 0x535353;
    return (r * 250 / s) | (g * 250 / s) << 8 | (b * 250 / s) << 16;
}

Colour expectedGrey(Colour c)
{
    const unsigned y = ((c & 0xFF) * 30 + (c >> 8 & 0xFF) * 59 + (c >> 16 & 0xFF) * 11) / 100;
    return y << 16 | y << 8 | y;
}

Bitmap sweptPixelByPixel(Bitmap image, const std::function<Colour(Colour)>& rule)
{
    for (std::int32_t y = 0; y < image.height(); ++y)
        for (std::int32_t x = 0; x < image.width(); ++x)
            image.setPixel(x, y, rule(image.pixel(x, y)));
    return image;
}

struct ColourOperation {
    const char* name;
    std::function<void(Bitmap&)> run;
    std::function<Colour(Colour)> rule;
};

std::vector<ColourOperation> colourOperations()
{
    return {
        {"green0", [](Bitmap& b) { extractColour(b, green(0)); },
         [](Colour c) { return expectedExtraction(c, true, 0); }},
        {"green-7", [](Bitmap& b) { extractColour(b, green(-7)); },
         [](Colour c) { return expectedExtraction(c, true, -7); }},
        {"red5", [](Bitmap& b) { extractColour(b, red(5)); },
         [](Colour c) { return expectedExtraction(c, false, 5); }},
        {"percent", convertToPercent, expectedPercent},
        {"invert", invertColours, [](Colour c) { return ~c & 0xFFFFFFu; }},
        {"grey", convertToGrayscale, expectedGrey},
    };
}

TEST(ColourOperations, MatchAPixelByPixelSweepOnEveryLayout)
{
    std::mt19937 rng(20240611);
    for (const auto& layout : test::allLayouts()) {
        for (const auto& op : colourOperations()) {
            for (const auto& [w, h] : {std::pair{1, 1}, std::pair{7, 3}, std::pair{9, 5}, std::pair{33, 4},
                                       std::pair{64, 2}, std::pair{13, 17}}) {
                const Bitmap original = test::randomBitmap(layout, w, h, rng);
                Bitmap actual = original;
                op.run(actual);
                EXPECT_TRUE(test::sameBitmap(actual, sweptPixelByPixel(original, op.rule)))
                    << layout.name << " " << op.name << " " << w << "x" << h;
            }
        }
    }
}

TEST(ColourOperations, LeaveEmptyImagesEmpty)
{
    for (const auto& op : colourOperations()) {
        for (const auto& [w, h] : {std::pair{0, 0}, std::pair{0, 5}, std::pair{5, 0}}) {
            Bitmap image(w, h, PixelLayout::rgb24());
            op.run(image);
            EXPECT_EQ(image.width(), w);
            EXPECT_EQ(image.height(), h);
        }
    }
}

TEST(ColourOperations, WholeImageExtractionGivesTwoValues)
{
    Bitmap image = test::pictureBitmap({"rgb#", ".kg."});
    image.setPixel(3, 1, makeColour(10, 20, 0));
    extractColour(image, green(0));
    EXPECT_EQ(test::pictureOf(image), (std::vector<std::string>{".#..", "..##"}));
    Bitmap second = test::pictureBitmap({"rgb#"});
    extractColour(second, red(0));
    EXPECT_EQ(test::pictureOf(second), (std::vector<std::string>{"#..."}));
}

TEST(ColourOperations, InvertingTwiceRestoresA24BitImage)
{
    std::mt19937 rng(7);
    const Bitmap original = test::randomBitmap({"rgb24", PixelLayout::rgb24()}, 23, 11, rng);
    Bitmap image = original;
    invertColours(image);
    EXPECT_FALSE(test::sameBitmap(image, original));
    invertColours(image);
    EXPECT_TRUE(test::sameBitmap(image, original));
}

TEST(ColourOperations, PaletteImagesStoreTheNearestEntryAndKeepTheirLayout)
{
    // Black and white only: grey 76 of pure red is nearer black, percent grey
    // 83 too; inversion of black is white.
    const PixelLayout twoColours = PixelLayout::indexed(1, {kBlack, kWhite});
    Bitmap image(3, 1, twoColours);
    image.setPixel(0, 0, kBlack);
    image.setPixel(1, 0, kWhite);
    convertToGrayscale(image);
    EXPECT_EQ(image.pixel(0, 0), kBlack);
    EXPECT_EQ(image.pixel(1, 0), kWhite);
    invertColours(image);
    EXPECT_EQ(image.pixel(0, 0), kWhite);
    EXPECT_EQ(image.pixel(1, 0), kBlack);
    convertToPercent(image);
    EXPECT_EQ(image.pixel(0, 0), kBlack);
    EXPECT_EQ(image.layout(), twoColours);

    // A palette without white: extraction stores the nearest entry to white.
    const PixelLayout noWhite = PixelLayout::indexed(4, {0x000000, 0xC0C0C0, 0x0000FF});
    Bitmap coloured(2, 2, noWhite, RowOrder::TopDown);
    coloured.setPixel(0, 0, 0x0000FF);
    extractColour(coloured, red(0));
    EXPECT_EQ(coloured.pixel(0, 0), kBlack);
    EXPECT_EQ(coloured.pixel(1, 1), 0xC0C0C0u);  // black gives white: light grey
    EXPECT_EQ(coloured.layout(), noWhite);
    EXPECT_EQ(coloured.rowOrder(), RowOrder::TopDown);
}

}  // namespace
}  // namespace dimora
