// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/box_count.hpp"

#include "error_text.hpp"
#include "reference_box_count.hpp"
#include "test_images.hpp"

#include <gtest/gtest.h>

#include <numeric>

namespace dimora {
namespace {

using Counts = std::vector<std::int64_t>;

BoxCounts count(const Bitmap& bitmap, const Region& region, PixelClass pixelClass)
{
    return countBoxes(bitmap.view(), region, pixelClass);
}

void expectSameAsReference(const ImageView& view, const Region& region, const std::string& what)
{
    for (const PixelClass pixelClass : {PixelClass::Black, PixelClass::NonBlack}) {
        const bool black = pixelClass == PixelClass::Black;
        const std::string label = what + (black ? ", black" : ", non-black") + ", region " +
                                  std::to_string(region.left) + "," + std::to_string(region.top) + "," +
                                  std::to_string(region.width) + "," + std::to_string(region.height);
        const std::string expectedError =
            testing::errorOf([&] { (void)reference::boxCounts(view, region, black); });
        if (expectedError != "no error") {
            ASSERT_EQ(testing::errorOf([&] { (void)countBoxes(view, region, pixelClass); }), expectedError)
                << label;
            continue;
        }
        const auto expected = reference::boxCounts(view, region, black);
        const BoxCounts counts = countBoxes(view, region, pixelClass);
        ASSERT_EQ(counts.sides, expected.sides) << label;
        ASSERT_EQ(counts.counts, expected.counts) << label;
        ASSERT_EQ(counts.coverage, expected.coverage) << label;
    }
}

TEST(CountBoxes, EqualsThePixelByPixelProcedureOnRandomImagesRegionsAndLayouts)
{
    std::mt19937 random(2024);
    std::uniform_int_distribution<int> size(1, 70);
    for (const auto& [name, layout] : testing::allLayouts()) {
        for (int round = 0; round < 12; ++round) {
            const RowOrder order = round % 2 == 0 ? RowOrder::BottomUp : RowOrder::TopDown;
            Bitmap bitmap(size(random), size(random), layout, order);
            if (round % 3 == 0)
                testing::fillRandomBytes(bitmap, random, 0.9);
            else
                testing::paintRandomClumps(bitmap, random);
            for (int r = 0; r < 4; ++r)
                expectSameAsReference(bitmap.view(),
                                      testing::randomRegion(bitmap.width(), bitmap.height(), random), name);
        }
    }
}

TEST(CountBoxes, ReadsRowsWhereverTheViewSaysTheyAre)
{
    std::mt19937 random(99);
    for (const auto& [name, layout] : testing::allLayouts()) {
        Bitmap bitmap(45, 37, layout);
        testing::paintRandomClumps(bitmap, random);
        std::vector<std::uint8_t> storage;
        for (const bool reverse : {false, true}) {
            const ImageView view = testing::copyWithPaddedRows(bitmap, storage, reverse);
            expectSameAsReference(view, {-3, 2, 40, 39}, name + " padded");
            for (const PixelClass pixelClass : {PixelClass::Black, PixelClass::NonBlack})
                EXPECT_EQ(countBoxes(view, {0, 0, 45, 37}, pixelClass).counts,
                          count(bitmap, {0, 0, 45, 37}, pixelClass).counts)
                    << name;
        }
    }
}

// A gate that records the rows asked for and abandons the decoding at one.
class RecordingGate : public RowGate {
public:
    explicit RecordingGate(std::int32_t abandonAt) : abandonAt_(abandonAt) {}
    void waitForRow(std::int32_t row) override
    {
        if (row == abandonAt_)
            throw RowsAbandoned{};
        rows.push_back(row);
    }
    std::vector<std::int32_t> rows;

private:
    std::int32_t abandonAt_;
};

TEST(CountBoxes, WaitsAtTheGateForEachImageRowInOrderAndEndsWhenItIsAbandoned)
{
    std::mt19937 random(7);
    Bitmap bitmap(30, 40, PixelLayout::rgb24(), RowOrder::TopDown);
    testing::paintRandomClumps(bitmap, random);
    const Region region{-4, 5, 30, 60};  // rows 5 to 39 of the image, and 25 rows below it
    for (const PixelClass pixelClass : {PixelClass::Black, PixelClass::NonBlack}) {
        RecordingGate open(-1);
        EXPECT_EQ(countBoxes(bitmap.view(), region, pixelClass, &open).counts,
                  count(bitmap, region, pixelClass).counts);
        std::vector<std::int32_t> imageRows(35);
        std::iota(imageRows.begin(), imageRows.end(), 5);
        EXPECT_EQ(open.rows, imageRows);

        RecordingGate abandoning(20);
        EXPECT_THROW((void)countBoxes(bitmap.view(), region, pixelClass, &abandoning), RowsAbandoned);
        EXPECT_EQ(abandoning.rows.size(), 15u);
    }
}

TEST(CountBoxes, ABlackSquareHasDimensionTwo)
{
    const Bitmap black = testing::filledBitmap(64, 64, kBlack);
    const BoxCounts counts = count(black, {0, 0, 64, 64}, PixelClass::Black);
    EXPECT_EQ(counts.sides, (Counts{1, 2, 4, 8, 16}));
    EXPECT_EQ(counts.counts, (Counts{4096, 1024, 256, 64, 16}));
    EXPECT_EQ(counts.coverage, 100.0);
    const BoxCounts none = count(black, {0, 0, 64, 64}, PixelClass::NonBlack);
    EXPECT_EQ(none.counts, (Counts{0, 0, 0, 0, 0}));
    EXPECT_EQ(none.coverage, 0.0);
}

TEST(CountBoxes, SidesStopBelowHalfTheShorterEdge)
{
    EXPECT_EQ(boxSides(64, 64, 1), (Counts{1, 2, 4, 8, 16}));
    EXPECT_EQ(boxSides(65, 65, 1), (Counts{1, 2, 4, 8, 16, 32}));
    EXPECT_EQ(boxSides(2, 500, 1), Counts{});
    EXPECT_EQ(boxSides(3, 500, 1), (Counts{1}));
    EXPECT_EQ(boxSides(4, 4, 1), (Counts{1}));
    EXPECT_EQ(boxSides(5, 8, 1), (Counts{1, 2}));
    EXPECT_EQ(boxSides(2048, 1025, 1).size(), 10u);
    EXPECT_EQ(boxSides(8, 8, 2), (Counts{2}));
    EXPECT_EQ(boxSides(9, 9, 2), (Counts{2, 4}));
    // The largest side is 8192, whatever the region's size.
    const Counts huge = boxSides(2'000'000'000, 2'000'000'000, 1);
    EXPECT_EQ(huge.size(), 14u);
    EXPECT_EQ(huge.back(), 8192);
    EXPECT_EQ(boxSides(16385, 16385, 1).back(), 8192);
    EXPECT_EQ(boxSides(16384, 16384, 1).back(), 4096);
    EXPECT_EQ(boxSides(-5, 10, 1), Counts{});
}

TEST(CountBoxes, ASingleBlackPixelInAThousandSquareCoversAMillionth)
{
    Bitmap bitmap = testing::filledBitmap(1000, 1000, kWhite, PixelLayout::indexed(1, {kBlack, kWhite}));
    bitmap.setPixel(500, 321, kBlack);
    const BoxCounts counts = count(bitmap, {0, 0, 1000, 1000}, PixelClass::Black);
    EXPECT_EQ(counts.coverage, 1.0 / 1e6 * 100.0);
    EXPECT_LT(counts.coverage, kZeroReportCoverage);
    EXPECT_EQ(counts.counts, Counts(counts.sides.size(), 1));
}

TEST(CountBoxes, LooksAtTheRedByteOnly)
{
    // Cyan has red byte 0: black. 0x000001 has red byte 1: non-black.
    const Bitmap cyan = testing::filledBitmap(8, 8, 0xFFFF00);
    EXPECT_EQ(count(cyan, {0, 0, 8, 8}, PixelClass::Black).coverage, 100.0);
    const Bitmap nearBlack = testing::filledBitmap(8, 8, 0x000001);
    EXPECT_EQ(count(nearBlack, {0, 0, 8, 8}, PixelClass::Black).coverage, 0.0);
    EXPECT_EQ(count(nearBlack, {0, 0, 8, 8}, PixelClass::NonBlack).coverage, 100.0);
}

TEST(CountBoxes, TheTwoClassesCoverEveryPixelOnce)
{
    std::mt19937 random(5);
    for (const auto& [name, layout] : testing::allLayouts()) {
        Bitmap bitmap(53, 41, layout);
        testing::fillRandomBytes(bitmap, random, 0.5);
        for (int r = 0; r < 5; ++r) {
            Region region = testing::randomRegion(53, 41, random);
            region.width = std::max(region.width, 3);
            region.height = std::max(region.height, 3);
            const double black = count(bitmap, region, PixelClass::Black).coverage;
            const double nonBlack = count(bitmap, region, PixelClass::NonBlack).coverage;
            EXPECT_NEAR(black + nonBlack, 100.0, 1e-12) << name;
        }
    }
}

TEST(CountBoxes, BoxesPastTheRegionsEdgeCountOnlyTheirPixelsInside)
{
    // 7 × 7, black everywhere: the boxes of side 2 and 4 at the right and bottom
    // reach past the image, where pixels would read as non-black; they must
    // not be looked at.
    const Bitmap black = testing::filledBitmap(7, 7, kBlack);
    EXPECT_EQ(count(black, {0, 0, 7, 7}, PixelClass::NonBlack).counts, (Counts{0, 0}));
    // Only the last column is white: each box of the last column is occupied
    // from its one column inside.
    Bitmap lastColumn = testing::filledBitmap(7, 7, kBlack);
    for (int y = 0; y < 7; ++y)
        lastColumn.setPixel(6, y, kWhite);
    EXPECT_EQ(count(lastColumn, {0, 0, 7, 7}, PixelClass::NonBlack).counts, (Counts{7, 4}));
    // The same inside a region that stops one column short of the image's edge.
    const Bitmap wider = testing::filledBitmap(8, 7, kBlack);
    EXPECT_EQ(count(wider, {0, 0, 7, 7}, PixelClass::NonBlack).counts, (Counts{0, 0}));
}

TEST(CountBoxes, RegionPixelsOffTheImageAreNonBlackOnly)
{
    const Bitmap black = testing::filledBitmap(4, 4, kBlack);
    const Region around{-2, -2, 12, 12};
    const BoxCounts blackCounts = count(black, around, PixelClass::Black);
    // The image lies at region columns and rows 2 to 5: boxes 1 and 2 of side
    // 2, boxes 0 and 1 of side 4.
    EXPECT_EQ(blackCounts.counts, (Counts{16, 4, 4}));
    const BoxCounts nonBlack = count(black, around, PixelClass::NonBlack);
    // Side 1: 144 − 16; side 2: 36 boxes, 4 of them wholly on the image;
    // side 4: 9 boxes, none wholly on the image.
    EXPECT_EQ(nonBlack.counts, (Counts{128, 32, 9}));
    EXPECT_DOUBLE_EQ(blackCounts.coverage + nonBlack.coverage, 100.0);
}

TEST(CountBoxes, ARegionThatMissesTheImageIsAllNonBlack)
{
    const Bitmap black = testing::filledBitmap(10, 10, kBlack);
    EXPECT_EQ(count(black, {20, 20, 9, 9}, PixelClass::Black).counts, (Counts{0, 0, 0}));
    EXPECT_EQ(count(black, {20, 20, 9, 9}, PixelClass::NonBlack).counts, (Counts{81, 25, 9}));
    EXPECT_EQ(count(Bitmap(), {-4, -4, 9, 9}, PixelClass::NonBlack).counts, (Counts{81, 25, 9}));
}

TEST(CountBoxes, AHugeRegionIsCountedWithSidesUpTo8192)
{
    // A 10 × 10 black image in the corner of a 20000 × 20000 region.
    const Bitmap black = testing::filledBitmap(10, 10, kBlack);
    const Region region{0, 0, 20000, 20000};
    const BoxCounts blackCounts = count(black, region, PixelClass::Black);
    ASSERT_EQ(blackCounts.sides.size(), 14u);
    EXPECT_EQ(blackCounts.sides.back(), 8192);
    Counts expected{100, 25, 9, 4};
    expected.resize(14, 1);
    EXPECT_EQ(blackCounts.counts, expected);
    // Non-black: every box but those wholly on the black image.
    const BoxCounts nonBlack = count(black, region, PixelClass::NonBlack);
    const std::int64_t onImage[] = {100, 25, 4, 1};
    for (std::size_t k = 0; k < 14; ++k) {
        const std::int64_t side = std::int64_t{1} << k;
        const std::int64_t perEdge = (20000 + side - 1) / side;
        EXPECT_EQ(nonBlack.counts[k], perEdge * perEdge - (k < 4 ? onImage[k] : 0)) << "side " << side;
    }
    EXPECT_DOUBLE_EQ(nonBlack.coverage, (4e8 - 100) / 4e8 * 100);
}

TEST(CountBoxes, ARegionWithoutPixelsIsAnInvalidOperation)
{
    const Bitmap bitmap = testing::filledBitmap(5, 5, kBlack);
    EXPECT_EQ(testing::errorOf([&] {
                  (void)count(Bitmap(), {0, 0, 0, 0}, PixelClass::Black);
              }),
              testing::kInvalidOperation);
    EXPECT_EQ(testing::errorOf([&] {
                  (void)count(bitmap, {0, 0, 0, 5}, PixelClass::NonBlack);
              }),
              testing::kInvalidOperation);
    // A region of 2 pixels' width has pixels but no side: count(1) stays 0.
    const BoxCounts thin = count(bitmap, {0, 0, 2, 5}, PixelClass::Black);
    EXPECT_TRUE(thin.sides.empty());
    EXPECT_EQ(thin.coverage, 0.0);
}

TEST(CountBoxes, ASierpinskiTriangleGivesPowersOfThree)
{
    // Pixel (x, y) black when x AND y is 0. A box of side 2^j at box (X, Y)
    // holds a black pixel exactly when X AND Y is 0 (its corner pixel is then
    // black; otherwise every pixel shares a set bit), so side 2^j counts
    // 3^(6 − j) boxes on a 64 × 64 image.
    const Bitmap triangle = testing::makeBitmap(64, 64, PixelLayout::indexed(1, {kBlack, kWhite}),
                                                [](int x, int y) { return (x & y) == 0 ? kBlack : kWhite; });
    EXPECT_EQ(count(triangle, {0, 0, 64, 64}, PixelClass::Black).counts, (Counts{729, 243, 81, 27, 9}));
}

TEST(CountBoxes, ASierpinskiCarpetOfNineGivesItsHandCountedBoxes)
{
    // The 9 × 9 carpet: the centre 3 × 3 block and the centre pixel of each of
    // the eight outer blocks are white, 64 pixels black. Side 2 (5 × 5 boxes):
    // only the box at (4, 4) lies wholly in the white centre. Side 4: all 9.
    const auto carpet = [](int x, int y) {
        for (; x > 0 || y > 0; x /= 3, y /= 3)
            if (x % 3 == 1 && y % 3 == 1)
                return kWhite;
        return kBlack;
    };
    const Bitmap bitmap = testing::makeBitmap(9, 9, PixelLayout::rgb24(), carpet);
    EXPECT_EQ(count(bitmap, {0, 0, 9, 9}, PixelClass::Black).counts, (Counts{64, 24, 9}));
}

TEST(CountBoxes, RepeatedRunsOnDifferentSizesKeepNoState)
{
    const Bitmap big = testing::filledBitmap(300, 200, kBlack);
    const Bitmap small = testing::makeBitmap(20, 20, PixelLayout::rgb24(),
                                             [](int x, int y) { return x == y ? kBlack : kWhite; });
    (void)count(big, {0, 0, 300, 200}, PixelClass::Black);
    EXPECT_EQ(count(small, {0, 0, 20, 20}, PixelClass::Black).counts, (Counts{20, 10, 5, 3}));
    (void)count(big, {0, 0, 300, 200}, PixelClass::Black);
    EXPECT_EQ(count(small, {0, 0, 20, 20}, PixelClass::Black).counts, (Counts{20, 10, 5, 3}));
}

}  // namespace
}  // namespace dimora
