// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/fit_range.hpp"

#include "core/measure/box_count.hpp"
#include "error_text.hpp"
#include "test_images.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace dimora {
namespace {

using Pairs = std::vector<SideCount>;

// Counts of a shape that is a plane at small sides and a curve at large.
const Pairs kBent = {{1, 90000}, {2, 22600}, {4, 6000}, {8, 1900},
                     {16, 900},  {32, 440},  {64, 221}, {128, 110}};

TEST(FitRange, ParsesAllAutoAndASpanOfSides)
{
    using Kind = FitRange::Kind;
    EXPECT_EQ(parseFitRange("all"), FitRange{});
    EXPECT_EQ(parseFitRange("auto"), (FitRange{Kind::Auto}));
    EXPECT_EQ(parseFitRange("4-256"), (FitRange{Kind::Sides, 4, 256}));
    EXPECT_EQ(parseFitRange("8-8"), (FitRange{Kind::Sides, 8, 8}));
    for (const char* wrong :
         {"", "Auto", "4", "4-", "-4", "0-8", "8-4", "4-8-16", "4 - 8", "a-b", "4-99999999999999999999"})
        EXPECT_EQ(parseFitRange(wrong), std::nullopt) << wrong;
}

TEST(FitRange, LocalSlopesAreTheDimensionOfEachPairOfNeighbours)
{
    const auto slopes = localSlopes(Pairs{{1, 1000}, {2, 250}, {4, 100}, {8, 0}, {16, 5}});
    ASSERT_EQ(slopes.size(), 4u);
    EXPECT_NEAR(*slopes[0], 2.0, 1e-12);
    EXPECT_NEAR(*slopes[1], std::log10(2.5) / std::log10(2.0), 1e-12);
    EXPECT_FALSE(slopes[2].has_value());
    EXPECT_FALSE(slopes[3].has_value());
    EXPECT_TRUE(localSlopes(Pairs{{4, 10}}).empty());
}

TEST(FitRange, ASpanOfSidesFitsExactlyThePairsInIt)
{
    const RangedFit ranged = fitOverRange(kBent, {FitRange::Kind::Sides, 3, 64});
    const Pairs chosen(kBent.begin() + 2, kBent.begin() + 7);
    const FitResult plain = LogLogFit(chosen);
    EXPECT_EQ(ranged.run, (PairRun{2, 5}));
    EXPECT_EQ(ranged.low, 4);
    EXPECT_EQ(ranged.high, 64);
    EXPECT_EQ(ranged.fit.n, plain.n);
    EXPECT_EQ(ranged.fit.r, plain.r);
    EXPECT_EQ(ranged.fit.slope, plain.slope);
    EXPECT_EQ(ranged.fit.intercept, plain.intercept);
    EXPECT_EQ(ranged.uncertainty.standardError, fitUncertainty(chosen, plain.dimension).standardError);
    EXPECT_EQ(ranged.localSlopes.size(), kBent.size() - 1);
    EXPECT_TRUE(ranged.rule.empty());

    const RangedFit all = fitOverRange(kBent, {});
    EXPECT_EQ(all.fit.slope, LogLogFit(kBent).slope);
    EXPECT_EQ(all.run, (PairRun{0, kBent.size()}));
}

TEST(FitRange, FewerThanTwoSidesInRangeEndInTheFitsOwnFailure)
{
    EXPECT_EQ(testing::errorOf([] {
                  (void)fitOverRange(kBent, {FitRange::Kind::Sides, 5, 7});
              }),
              testing::kInvalidOperation);
    EXPECT_EQ(testing::errorOf([] {
                  (void)fitOverRange(kBent, {FitRange::Kind::Sides, 16, 31});
              }),
              testing::kInvalidOperation);
}

TEST(FitRange, AutoTakesTheLongestLevelRunAndOnTiesTheStraighterOne)
{
    // Slopes 1.0 and ~1.1, then a jump of ~5, then 2 and 2 exactly: two runs
    // of three sides qualify, the second with r² = 1.
    const Pairs twoRuns = {{1, 1000000}, {2, 500000}, {4, 233258}, {8, 7296}, {16, 1824}, {32, 456}};
    EXPECT_EQ(plateauRun(twoRuns), (PairRun{3, 3}));
    // Levels that differ by more than the tolerance never join.
    const Pairs steps = {{1, 100000}, {2, 50000}, {4, 6250}, {8, 3125}, {16, 390}};
    EXPECT_EQ(plateauRun(steps), std::nullopt);
    const RangedFit fallback = fitOverRange(steps, {FitRange::Kind::Auto});
    EXPECT_TRUE(fallback.noPlateau);
    EXPECT_EQ(fallback.run, (PairRun{0, steps.size()}));
    EXPECT_EQ(fallback.rule, kPlateauRuleText);
    // The texts name the tolerance the rule uses.
    char tolerance[16];
    std::snprintf(tolerance, sizeof tolerance, " %.1f ", kPlateauTolerance);
    EXPECT_NE(std::string(kPlateauRuleText).find(tolerance), std::string::npos);
    EXPECT_NE(std::string(kNoPlateauNote).find(tolerance), std::string::npos);
}

TEST(FitRange, AutoOnAThickLineKeepsTheSidesWhereItIsALine)
{
    // A band eight pixels thick across a 2048-pixel image: boxes of up to 8
    // pixels see an area (four sides), larger ones a line (six sides).
    const Bitmap band = testing::makeBitmap(2048, 700, PixelLayout::indexed(1, {kBlack, kWhite}),
                                            [](int, int y) { return y >= 64 && y < 72 ? kBlack : kWhite; });
    const BoxCounts counts = countBoxes(band.view(), {0, 0, 2048, 700}, PixelClass::Black);
    Pairs pairs;
    for (std::size_t k = 0; k < counts.sides.size(); ++k)
        pairs.push_back({counts.sides[k], counts.counts[k]});
    ASSERT_EQ(pairs.back().side, 256);
    const RangedFit ranged = fitOverRange(pairs, {FitRange::Kind::Auto});
    EXPECT_FALSE(ranged.noPlateau);
    EXPECT_EQ(ranged.low, 8);
    EXPECT_EQ(ranged.high, 256);
    EXPECT_NEAR(ranged.fit.dimension, 1.0, 1e-9);
    EXPECT_GT(std::abs(LogLogFit(pairs).dimension - 1.0), 0.2);
}

}  // namespace
}  // namespace dimora
