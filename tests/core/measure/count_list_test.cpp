// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/count_list.hpp"

#include "error_text.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace dimora {
namespace {

using Lines = std::vector<std::string>;
using testing::errorOf;

const Lines kBlackSquare = {"4096", "1024", "256", "64", "16"};

Recalculation recalculate(const Lines& lines)
{
    std::vector<ChartPoint> points;
    return recalculateCountList(lines, points);
}

TEST(RecalculateCountList, FitsTheCountsOfAMeasurement)
{
    std::vector<ChartPoint> points;
    const Recalculation result = recalculateCountList(kBlackSquare, points);
    EXPECT_EQ(result.fields.edit3, " -1.0000 (5)");
    EXPECT_EQ(result.fields.edit4, " 2.0000");
    ASSERT_EQ(points.size(), 5u);
    for (std::size_t k = 0; k < points.size(); ++k) {
        EXPECT_DOUBLE_EQ(points[k].x, std::log10(std::pow(2.0, k)));
        EXPECT_DOUBLE_EQ(points[k].y, std::log10(std::stod(kBlackSquare[k])));
    }
    EXPECT_EQ(result.pairs, (std::vector<SideCount>{{1, 4096}, {2, 1024}, {4, 256}, {8, 64}, {16, 16}}));
}

TEST(RecalculateCountList, AnEmptyLineLeavesItsSideOut)
{
    std::vector<ChartPoint> points;
    const Recalculation result = recalculateCountList(Lines{"", "1024", "256", "64", "16"}, points);
    EXPECT_EQ(result.fields.edit3, " -1.0000 (4)");
    EXPECT_EQ(result.fields.edit4, " 2.0000");
    ASSERT_EQ(points.size(), 4u);
    // The grayscale layout: the first point stands at side 2.
    EXPECT_DOUBLE_EQ(points.front().x, std::log10(2.0));
    EXPECT_EQ(result.pairs.front(), (SideCount{2, 1024}));
}

TEST(RecalculateCountList, ADeletedLineMovesTheLaterCountsToSmallerSides)
{
    std::vector<ChartPoint> points;
    const Recalculation result = recalculateCountList(Lines{"1024", "256", "64", "16"}, points);
    EXPECT_EQ(result.fields.edit3, " -1.0000 (4)");
    EXPECT_EQ(result.fields.edit4, " 2.0000");  // the same slope for an exact power law
    EXPECT_EQ(points.front(), (ChartPoint{0.0, std::log10(1024.0)}));
    EXPECT_EQ(result.pairs.back(), (SideCount{8, 16}));
    EXPECT_NEAR(result.fit.intercept, std::log10(1024.0), 1e-14);
}

TEST(RecalculateCountList, ReadsOnlyTheFirstFourteenLines)
{
    Lines lines;
    for (int k = 0; k < 14; ++k)
        lines.push_back(std::to_string(std::int64_t{1} << (2 * (15 - k))));  // count 4^(15 − k) for side 2^k
    lines.push_back("7");
    lines.push_back("not a number");
    const Recalculation result = recalculate(lines);
    EXPECT_EQ(result.fit.n, 14);
    EXPECT_EQ(result.pairs.back().side, 8192);
    EXPECT_EQ(result.fields.edit4, " 2.0000");
}

TEST(RecalculateCountList, DrawsTheLineFromSideOneToCountOne)
{
    const Recalculation result = recalculate(Lines{"5000", "1800", "700", "200", "90"});
    const double a = result.fit.intercept, b = result.fit.slope;
    EXPECT_EQ(result.lineStart, (ChartPoint{0.0, a}));
    EXPECT_EQ(result.lineEnd, (ChartPoint{-a / b, 0.0}));
    // From upper left to lower right.
    EXPECT_GT(result.lineStart.y, 0);
    EXPECT_GT(result.lineEnd.x, 0);
}

TEST(RecalculateCountList, ConvertsLinesAsIntegersWithBlanksAndSigns)
{
    const Recalculation result = recalculate(Lines{" 4096", "+1024", "$100", "  64"});
    EXPECT_EQ(result.pairs, (std::vector<SideCount>{{1, 4096}, {2, 1024}, {4, 256}, {8, 64}}));
}

TEST(RecalculateCountList, RefusesALineThatIsNotAnInteger)
{
    EXPECT_EQ(errorOf([] { (void)recalculate(Lines{"4096", "  ", "256"}); }), "'  ' は整数ではありません");
    EXPECT_EQ(errorOf([] {
                  (void)recalculate(Lines{"4096", "1024 ", "256"});
              }),
              "'1024 ' は整数ではありません");
    EXPECT_EQ(errorOf([] { (void)recalculate(Lines{"4096", "1e3"}); }), "'1e3' は整数ではありません");
    EXPECT_EQ(errorOf([] {
                  (void)recalculate(Lines{"9223372036854775808", "5"});
              }),
              "'9223372036854775808' は整数ではありません");
}

TEST(RecalculateCountList, ReadsCountsBeyondThirtyTwoBitsBackAsWritten)
{
    // What a measurement writes, it reads: counts past 2^31 fit like others.
    const std::vector<std::int64_t> counts = {4294967296LL, 1073741824, 268435456, 67108864};
    const Recalculation result = recalculate(countListLines(counts));
    ASSERT_EQ(result.pairs.size(), 4u);
    EXPECT_EQ(result.pairs[0].count, 4294967296LL);
    EXPECT_EQ(result.fields.edit4, " 2.0000");
    // Up to the 64-bit limit, in decimal and in hexadecimal.
    EXPECT_EQ(recalculate(Lines{"9223372036854775807", "$7FFFFFFFFFFFFFFF", "0x0001000000000000"}).pairs,
              (std::vector<SideCount>{{1, INT64_MAX}, {2, INT64_MAX}, {4, 281474976710656LL}}));
}

TEST(RecalculateCountList, FailsOnZeroNegativeAndTooFewCounts)
{
    EXPECT_EQ(errorOf([] { (void)recalculate(Lines{"4096", "0", "256"}); }), testing::kDivideByZero);
    EXPECT_EQ(errorOf([] { (void)recalculate(Lines{"4096", "-3", "256"}); }), testing::kInvalidOperation);
    EXPECT_EQ(errorOf([] { (void)recalculate(Lines{"", "4096"}); }), testing::kInvalidOperation);
    EXPECT_EQ(errorOf([] { (void)recalculate(Lines{}); }), testing::kInvalidOperation);
    EXPECT_EQ(errorOf([] { (void)recalculate(Lines{"1", "1", "", "1"}); }), testing::kInvalidOperation);
    // Errors come in line order: the zero on line 1 before the text on line 2.
    EXPECT_EQ(errorOf([] { (void)recalculate(Lines{"9", "0", "x"}); }), testing::kDivideByZero);
    EXPECT_EQ(errorOf([] { (void)recalculate(Lines{"9", "x", "0"}); }), "'x' は整数ではありません");
}

TEST(RecalculateCountList, KeepsThePointsFoundBeforeAnError)
{
    std::vector<ChartPoint> points{{9, 9}};
    EXPECT_THROW((void)recalculateCountList(Lines{"100", "", "50", "abc", "10"}, points), Error);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[1], (ChartPoint{std::log10(4.0), std::log10(50.0)}));
    EXPECT_THROW((void)recalculateCountList(Lines{"100", "0"}, points), Error);
    EXPECT_EQ(points.size(), 1u);
    // A fit that fails after every line was read keeps every point.
    EXPECT_THROW((void)recalculateCountList(Lines{"", "", "100"}, points), Error);
    EXPECT_EQ(points.size(), 1u);
}

TEST(RecalculateCountList, AFlatLineNeverReachesCountOne)
{
    // Counts 2, 10, 2 fit a line of slope exactly 0: the fit itself succeeds
    // (r = 0), but −a / b divides by zero, before the fields are written.
    const std::vector<SideCount> pairs = {{1, 2}, {2, 10}, {4, 2}};
    ASSERT_EQ(LogLogFit(pairs).slope, 0.0);
    EXPECT_EQ(errorOf([] { (void)recalculate(Lines{"2", "10", "2"}); }), testing::kDivideByZero);
}

TEST(CountListLines, ArePlainDigits)
{
    const std::vector<std::int64_t> counts = {4096, 1, 0, 3000000000};
    EXPECT_EQ(countListLines(counts), (Lines{"4096", "1", "0", "3000000000"}));
}

TEST(CountListSide, LineKStandsForSideTwoToTheK)
{
    EXPECT_EQ(countListSide(0), 1.0);
    EXPECT_EQ(countListSide(13), 8192.0);
    EXPECT_EQ(static_cast<std::int64_t>(countListSide(62)), std::int64_t{1} << 62);
    EXPECT_EQ(countListSide(70), std::ldexp(1.0, 70));
}

TEST(SplitCountListText, EndsLinesAtLineFeedsAndAFinalOneAddsNone)
{
    const std::vector<std::pair<std::string, Lines>> cases = {
        {"", {}},
        {"4096\n1024", {"4096", "1024"}},
        {"4096\n1024\n", {"4096", "1024"}},
        {"\n\n256\n", {"", "", "256"}},
        {"64\r\n16", {"64\r", "16"}},
    };
    for (const auto& [text, lines] : cases)
        EXPECT_EQ(splitCountListText(text), lines) << text;
}

TEST(CountListCsv, WritesEachNonEmptyLineWithItsSide)
{
    const Lines lines = {"4096", "", " +256", "a,\"b\"", "0"};
    EXPECT_EQ(countListCsv(lines), "side,count,log10 side,log10 count\n"
                                   "1,4096,0.000000,3.612360\n"
                                   "4,256,0.602060,2.408240\n"
                                   "8,\"a,\"\"b\"\"\",0.903090,\n"
                                   "16,0,1.204120,\n");
}

}  // namespace
}  // namespace dimora
