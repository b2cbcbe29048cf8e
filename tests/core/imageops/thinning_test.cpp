// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/imageops/thinning.hpp"

#include "imageops_test_support.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace dimora {
namespace {

using Picture = std::vector<std::string>;

Picture thinned(const Picture& picture, const test::LayoutCase& layout = {})
{
    Bitmap image = test::pictureBitmap(picture, layout);
    thinFigures(image);
    return test::pictureOf(image);
}

// ---- Two references written independently of the operation: the cells of
// the whole image in one array, read through Bitmap::pixel.

class Cells {
public:
    explicit Cells(const Bitmap& image) : width_(image.width()), height_(image.height())
    {
        cells_.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                at(x, y) = (image.pixel(x, y) & 0xFFFFFF) == 0 ? 1 : 0;
    }
    int get(int x, int y) const
    {
        return x < 0 || y < 0 || x >= width_ || y >= height_ ? 0 : cells_[index(x, y)];
    }
    int& at(int x, int y) { return cells_[index(x, y)]; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    std::size_t index(int x, int y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
    }
    int width_, height_;
    std::vector<int> cells_;
};

int crossings(const int* n)  // n[1..9]
{
    int nc = 0;
    for (int k : {1, 3, 5, 7})
        nc += (n[k] == 0 && (n[k + 1] == 1 || n[k + 2] == 1)) ? 1 : 0;
    return nc;
}

// Hilditch's test of pass t at (x, y), as the removal rule states it.
bool removedByPass(const Cells& cells, int x, int y, int t)
{
    const int dx[9] = {0, 1, 1, 0, -1, -1, -1, 0, 1};
    const int dy[9] = {0, 0, -1, -1, -1, 0, 1, 1, 1};
    int a[9], n[10], m[9];
    for (int k = 1; k <= 8; ++k) {
        a[k] = cells.get(x + dx[k], y + dy[k]);
        n[k] = (a[k] == 1 || a[k] == -t) ? 1 : 0;
        m[k] = a[k] == 1 ? 1 : 0;
    }
    n[9] = n[1];
    if (n[1] + n[3] + n[5] + n[7] == 4)
        return false;
    int nSum = 0, mSum = 0;
    for (int k = 1; k <= 8; ++k) {
        nSum += n[k];
        mSum += m[k];
    }
    if (nSum < 2 || mSum < 1 || crossings(n) != 1)
        return false;
    if (a[3] == -t) {
        n[3] = 0;
        if (crossings(n) != 1)
            return false;
        n[3] = 1;
    }
    if (a[5] == -t) {
        n[5] = 0;
        if (crossings(n) != 1)
            return false;
    }
    return true;
}

bool passOverRow(Cells& cells, int y, int t)
{
    bool removed = false;
    for (int x = 0; x < cells.width(); ++x) {
        if (cells.get(x, y) == 1 && removedByPass(cells, x, y, t)) {
            cells.at(x, y) = -t;
            removed = true;
        }
    }
    return removed;
}

Bitmap whitenMarked(Bitmap image, const Cells& cells)
{
    for (int y = 0; y < cells.height(); ++y)
        for (int x = 0; x < cells.width(); ++x)
            if (cells.get(x, y) < 0)
                image.setPixel(x, y, kWhite);
    return image;
}

// The pipeline step by step: after reading row n, pass t works on row n − t
// for t = 1 .. P, and P becomes one more than the last pass that removed.
Bitmap pipelineReference(const Bitmap& image)
{
    Cells cells(image);
    int passes = 1;
    for (int n = 0; n < cells.height() + 49; ++n) {
        int last = 0;
        for (int t = 1; t <= passes; ++t)
            if (n - t >= 0 && n - t < cells.height() && passOverRow(cells, n - t, t))
                last = t;
        passes = std::min(last + 1, 48);
    }
    return whitenMarked(image, cells);
}

// Whole-image raster passes of the same test, repeated until one removes nothing.
Bitmap repeatedPassesReference(const Bitmap& image)
{
    Cells cells(image);
    for (int t = 1;; ++t) {
        bool removed = false;
        for (int y = 0; y < cells.height(); ++y)
            removed = passOverRow(cells, y, t) || removed;
        if (!removed)
            break;
    }
    return whitenMarked(image, cells);
}

// ---- Shapes.

TEST(Thinning, KeepsDotsPairsAndThinLines)
{
    const std::vector<Picture> unchanged = {
        {".....", "..#..", "....."},
        {"......", "..##..", "......"},
        {"........", ".######.", "........"},
        {"...", ".#.", ".#.", ".#.", ".#.", "..."},
        {"......", ".#....", "..#...", "...#..", "....#.", "......"},
        {"......", "....#.", "...#..", "..#...", ".#....", "......"},
        {"#######"},
    };
    for (const auto& picture : unchanged)
        EXPECT_EQ(thinned(picture), picture);
}

TEST(Thinning, BlocksShrinkToOnePixel)
{
    EXPECT_EQ(thinned({"....", ".##.", ".##.", "...."}), (Picture{"....", "....", "..#.", "...."}));
    EXPECT_EQ(thinned({".....", ".###.", ".###.", ".###.", "....."}),
              (Picture{".....", ".....", "..#..", ".....", "....."}));
    // Figures touching the edges are thinned as if the outside were white.
    EXPECT_EQ(thinned(Picture(6, "######")),
              (Picture{"......", "......", "......", "...#..", "......", "......"}));
}

TEST(Thinning, BarsBecomeLinesOneShorterAtEachEnd)
{
    EXPECT_EQ(thinned({"..........", ".########.", ".########.", ".########.", ".........."}),
              (Picture{"..........", "..........", "..######..", "..........", ".........."}));
    EXPECT_EQ(thinned({"..........", ".########.", ".########.", ".........."}),
              (Picture{"..........", "..........", "..######..", ".........."}));
}

TEST(Thinning, HolesSurvive)
{
    const Picture ring = {".........", ".#######.", ".#######.", ".##...##.", ".##...##.",
                          ".##...##.", ".#######.", ".#######.", "........."};
    const Picture result = thinned(ring);
    // A closed loop one pixel wide around the hole: every black pixel has
    // exactly two black neighbours among its eight, and the hole stays white.
    int black = 0;
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 9; ++x) {
            if (result[y][x] != '#')
                continue;
            ++black;
            int neighbours = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if ((dx != 0 || dy != 0) && result[y + dy][x + dx] == '#')
                        ++neighbours;
            EXPECT_EQ(neighbours, 2) << x << "," << y;
        }
    }
    EXPECT_GE(black, 8);
    for (int y = 3; y <= 5; ++y)
        EXPECT_EQ(result[y].substr(3, 3), "...");
    EXPECT_EQ(result, test::pictureOf(repeatedPassesReference(test::pictureBitmap(ring))));
}

const Picture kAdaptiveExample = {".##.", ".#..", "####", ".#.#"};

TEST(Thinning, AdaptivePassCountDecidesTheExample)
{
    EXPECT_EQ(thinned(kAdaptiveExample), (Picture{"....", ".#..", "....", "...."}));
    // Whole-image passes until nothing changes keep another pixel.
    EXPECT_EQ(test::pictureOf(repeatedPassesReference(test::pictureBitmap(kAdaptiveExample))),
              (Picture{"....", "....", "..#.", "...."}));
}

TEST(Thinning, AgreesWithRepeatedPassesWhereTheCountDoesNotMatter)
{
    const std::vector<Picture> pictures = {
        {"....", ".##.", ".##.", "...."},
        {".....", ".###.", ".###.", ".###.", "....."},
        {"..........", ".########.", ".########.", ".########.", ".........."},
        Picture(6, "######"),
        {"..........", ".####.....", ".#######..", ".#######..", "...#####..", ".........."},
    };
    for (const auto& picture : pictures) {
        const Bitmap image = test::pictureBitmap(picture);
        EXPECT_EQ(thinned(picture), test::pictureOf(repeatedPassesReference(image)));
    }
}

TEST(Thinning, AtMost48LayersComeOff)
{
    Bitmap source(130, 124, PixelLayout::rgb24());
    source.fill(kWhite);
    for (int y = 7; y < 117; ++y)
        for (int x = 10; x < 120; ++x)
            source.setPixel(x, y, kBlack);
    Bitmap image = source;
    thinFigures(image);
    // The 14 × 14 core, 48 pixels in from every side, is untouched; the
    // layer around it is not.
    int coreBlack = 0, layerBlack = 0;
    for (int y = 7 + 47; y < 7 + 63; ++y)
        for (int x = 10 + 47; x < 10 + 63; ++x) {
            const bool inCore = y >= 7 + 48 && y < 7 + 62 && x >= 10 + 48 && x < 10 + 62;
            (inCore ? coreBlack : layerBlack) += image.pixel(x, y) == kBlack;
        }
    EXPECT_EQ(coreBlack, 14 * 14);
    EXPECT_LT(layerBlack, 60 / 4);
    EXPECT_TRUE(test::sameBitmap(image, pipelineReference(source)));
}

// ---- Colours and layouts.

TEST(Thinning, LeavesEveryColourButPureBlack)
{
    EXPECT_EQ(thinned({"kkkk", "kkkk", "kkkk"}), (Picture{"????", "????", "????"}));
    EXPECT_EQ(thinned({"rgbk", "####", "####", "kbgr"}), (Picture{"????", "....", ".##.", "????"}));
}

TEST(Thinning, WritesTheNearestWhiteOfAPalette)
{
    const test::LayoutCase noWhite{"noWhite",
                                   PixelLayout::indexed(4, {kBlack, 0x0000FF, 0xE0E0E0, 0xFF0000})};
    Bitmap image = test::pictureBitmap({"....", ".##.", ".##.", "...."}, noWhite);
    thinFigures(image);
    EXPECT_EQ(image.pixel(1, 1), 0xE0E0E0u);
    EXPECT_EQ(image.pixel(2, 2), kBlack);
    EXPECT_EQ(image.layout(), noWhite.layout);
}

TEST(Thinning, EmptyImagesStayEmpty)
{
    for (const auto& [w, h] : {std::pair{0, 0}, std::pair{0, 3}, std::pair{3, 0}}) {
        Bitmap image(w, h, PixelLayout::rgb24());
        thinFigures(image);
        EXPECT_EQ(image.width(), w);
        EXPECT_EQ(image.height(), h);
    }
}

// ---- The pipeline against its plain reference.

TEST(Thinning, MatchesThePipelineReferenceOnEveryLayout)
{
    std::mt19937 rng(314159);
    const std::vector<Colour> mostlyBlack = {kBlack, kBlack, kBlack, kBlack, kWhite, 0x010101};
    const std::vector<Colour> halfBlack = {kBlack, kWhite};
    for (const auto& layout : test::allLayouts()) {
        for (const auto& [w, h] : {std::pair{1, 1}, std::pair{2, 2}, std::pair{9, 7}, std::pair{17, 60},
                                   std::pair{40, 12}, std::pair{65, 3}}) {
            for (const auto* colours : {&mostlyBlack, &halfBlack}) {
                const Bitmap original = test::randomBitmapOf(layout, w, h, *colours, rng);
                Bitmap actual = original;
                thinFigures(actual);
                EXPECT_TRUE(test::sameBitmap(actual, pipelineReference(original)))
                    << layout.name << " " << w << "x" << h;
            }
        }
        // Random stored bytes: whatever reads as black is foreground.
        const Bitmap original = test::randomBitmap(layout, 21, 13, rng);
        Bitmap actual = original;
        thinFigures(actual);
        EXPECT_TRUE(test::sameBitmap(actual, pipelineReference(original))) << layout.name;
    }
}

// Blobs large enough to need dozens of passes, so that the pass count rises
// and falls from row to row and rows wrap around the window many times.
Bitmap blobs(std::int32_t width, std::int32_t height, int count, std::mt19937& rng)
{
    Bitmap image(width, height, PixelLayout::rgb24(), RowOrder::TopDown);
    image.fill(kWhite);
    std::uniform_int_distribution<int> px(0, width - 1), py(0, height - 1), radius(1, 40);
    for (int i = 0; i < count; ++i) {
        const int cx = px(rng), cy = py(rng), r = radius(rng), rx = r + radius(rng) / 2;
        for (int y = cy - r; y <= cy + r; ++y)
            for (int x = cx - rx; x <= cx + rx; ++x)
                if ((x - cx) * (x - cx) * r * r + (y - cy) * (y - cy) * rx * rx <= r * r * rx * rx)
                    image.setPixel(x, y, kBlack);
    }
    return image;
}

TEST(Thinning, MatchesThePipelineReferenceOnLargeFigures)
{
    std::mt19937 rng(2718);
    for (int i = 0; i < 3; ++i) {
        const Bitmap original = blobs(180, 230, 12, rng);
        Bitmap actual = original;
        thinFigures(actual);
        EXPECT_TRUE(test::sameBitmap(actual, pipelineReference(original)));
    }
}

TEST(Thinning, WorksOnImagesWiderThanThreeThousandPixels)
{
    std::mt19937 rng(4);
    const Bitmap original = blobs(3105, 70, 40, rng);
    Bitmap actual = original;
    thinFigures(actual);
    EXPECT_FALSE(test::sameBitmap(actual, original));
    EXPECT_TRUE(test::sameBitmap(actual, pipelineReference(original)));
}

}  // namespace
}  // namespace dimora
