// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/dimension_measurement.hpp"

#include "error_text.hpp"
#include "test_images.hpp"

#include <gtest/gtest.h>

namespace dimora {
namespace {

using Lines = std::vector<std::string>;
using testing::errorOf;

ResultFields fields(const std::string& a, const std::string& b, const std::string& c, const std::string& d)
{
    return {a, b, c, d};
}

TEST(MeasureTwoValued, ABlackSquareFillsListFieldsAndChart)
{
    const Bitmap black = testing::filledBitmap(64, 64, kBlack);
    const DimensionMeasurement m = measureTwoValued(black.view(), {0, 0, 64, 64}, PixelClass::Black);
    EXPECT_EQ(m.countList, (Lines{"4096", "1024", "256", "64", "16"}));
    EXPECT_EQ(m.fields, fields(" 64×64", " 100.0", " -1.0000 (5)", " 2.0000"));
    EXPECT_EQ(m.sides, (std::vector<std::int64_t>{1, 2, 4, 8, 16}));
    ASSERT_TRUE(m.fit.has_value());
    EXPECT_EQ(m.fit->n, 5);
    EXPECT_EQ(m.value2, 100.0);
    EXPECT_EQ(m.chartPoints.size(), 5u);
}

TEST(MeasureTwoValued, ASierpinskiTriangleHasDimensionLog3OverLog2)
{
    const Bitmap triangle = testing::makeBitmap(64, 64, PixelLayout::indexed(8, {kWhite, kBlack}),
                                                [](int x, int y) { return (x & y) == 0 ? kBlack : kWhite; });
    const DimensionMeasurement m = measureTwoValued(triangle.view(), {0, 0, 64, 64}, PixelClass::Black);
    EXPECT_EQ(m.fields, fields(" 64×64", " 17.8", " -1.0000 (5)", " 1.5850"));  // 729 / 4096 = 17.8 %
}

TEST(MeasureTwoValued, ATinyCoverageEndsInTheZeroReport)
{
    Bitmap bitmap = testing::filledBitmap(1000, 1000, kWhite);
    bitmap.setPixel(10, 990, kBlack);
    const DimensionMeasurement m = measureTwoValued(bitmap.view(), {0, 0, 1000, 1000}, PixelClass::Black);
    EXPECT_EQ(m.fields, fields(" 1000×1000", " 0", "", " 0"));
    EXPECT_TRUE(m.countList.empty());
    EXPECT_FALSE(m.fit.has_value());
    EXPECT_TRUE(m.chartPoints.empty());
    EXPECT_DOUBLE_EQ(m.value2, 0.0001);

    const BoxCounts counts = countBoxes(bitmap.view(), {0, 0, 1000, 1000}, PixelClass::Black);
    const CountReport report = reportBoxCounts(counts);
    EXPECT_TRUE(report.zeroReport);
    EXPECT_TRUE(report.countList.empty());
    EXPECT_TRUE(report.fitPairs.empty());
}

TEST(MeasureTwoValued, ACoverageOfExactlyTheThresholdIsFitted)
{
    // 2 pixels in 200000 are 0.001 %: not less than the threshold. They share
    // a box from side 2 on, so the counts are 2, 1, 1, ...
    Bitmap bitmap = testing::filledBitmap(1000, 200, kWhite);
    bitmap.setPixel(4, 3, kBlack);
    bitmap.setPixel(5, 3, kBlack);
    const DimensionMeasurement m = measureTwoValued(bitmap.view(), {0, 0, 1000, 200}, PixelClass::Black);
    EXPECT_EQ(m.value2, 0.001);
    EXPECT_EQ(m.countList, (Lines{"2", "1", "1", "1", "1", "1", "1"}));
    EXPECT_TRUE(m.fit.has_value());
}

TEST(MeasureTwoValued, OneSideWritesItsLineAndThenTheFitFails)
{
    Bitmap bitmap = testing::filledBitmap(4, 4, kWhite);
    bitmap.setPixel(0, 0, kBlack);
    bitmap.setPixel(2, 3, kBlack);
    bitmap.setPixel(3, 1, 0xFFFF00);
    const CountReport report = reportBoxCounts(countBoxes(bitmap.view(), {0, 0, 4, 4}, PixelClass::Black));
    EXPECT_FALSE(report.zeroReport);
    EXPECT_EQ(report.countList, Lines{"3"});
    EXPECT_EQ(errorOf([&] { (void)LogLogFit(report.fitPairs); }), testing::kInvalidOperation);
    EXPECT_EQ(errorOf([&] {
                  (void)measureTwoValued(bitmap.view(), {0, 0, 4, 4}, PixelClass::Black);
              }),
              testing::kInvalidOperation);
}

TEST(MeasureTwoValued, AnEmptyImageIsAnInvalidOperation)
{
    EXPECT_EQ(errorOf([] {
                  (void)measureTwoValued(Bitmap().view(), {0, 0, 0, 0}, PixelClass::Black);
              }),
              testing::kInvalidOperation);
}

TEST(MeasureTwoValued, NonBlackOfAThinRegionIsAZeroReport)
{
    // A shorter edge of 2 counts no side, so count(1) stays 0.
    const Bitmap white = testing::filledBitmap(2, 50, kWhite);
    const DimensionMeasurement m = measureTwoValued(white.view(), {0, 0, 2, 50}, PixelClass::NonBlack);
    EXPECT_EQ(m.fields, fields(" 2×50", " 0", "", " 0"));
}

TEST(MeasureGray, AUniformSquareWritesAnEmptyFirstLine)
{
    const Bitmap uniform = testing::filledBitmap(64, 64, makeColour(90, 90, 90));
    const DimensionMeasurement m = measureGray(uniform.view(), {0, 0, 64, 64});
    EXPECT_EQ(m.countList, (Lines{"", "1024", "256", "64", "16"}));
    EXPECT_EQ(m.fields, fields(" 64×64", " 0.0", " -1.0000 (4)", " 2.0000"));
    EXPECT_EQ(m.sides, (std::vector<std::int64_t>{2, 4, 8, 16}));
    EXPECT_EQ(m.chartPoints.size(), 4u);
}

TEST(MeasureGray, ShowsTheBrightnessDifferenceInTheSecondField)
{
    const Bitmap halves = testing::makeBitmap(64, 64, PixelLayout::rgb24(),
                                              [](int x, int) { return x < 32 ? kBlack : kWhite; });
    EXPECT_EQ(measureGray(halves.view(), {0, 0, 64, 64}).fields.edit2, " 255.0");
}

TEST(MeasureGray, AShorterEdgeOfEightWritesOneCountAndFails)
{
    const Bitmap uniform = testing::filledBitmap(8, 30, kWhite);
    const CountReport report = reportGrayCounts(countGrayBoxes(uniform.view(), {0, 0, 8, 30}));
    EXPECT_EQ(report.countList, (Lines{"", "60"}));
    EXPECT_FALSE(report.zeroReport);
    EXPECT_EQ(errorOf([&] { (void)measureGray(uniform.view(), {0, 0, 8, 30}); }), testing::kInvalidOperation);
    EXPECT_EQ(errorOf([] { (void)measureGray(Bitmap().view(), {0, 0, 0, 0}); }), testing::kInvalidOperation);
}

TEST(MeasureGray, TheRecalculationGivesTheFieldsOfTheFit)
{
    std::mt19937 random(12);
    Bitmap bitmap(100, 80, PixelLayout::rgb24());
    testing::fillRandomBytes(bitmap, random, 0.1);
    const DimensionMeasurement m = measureGray(bitmap.view(), {0, 0, 100, 80});
    ASSERT_TRUE(m.fit.has_value());
    const FitFields direct = fitFieldTexts(m.fit->r, m.fit->n, m.fit->dimension);
    EXPECT_EQ(m.fields.edit3, direct.edit3);
    EXPECT_EQ(m.fields.edit4, direct.edit4);
}

}  // namespace
}  // namespace dimora
