// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/log_log_fit.hpp"

#include "core/measure/fit_uncertainty.hpp"

#include "error_text.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace dimora {
namespace {

using testing::errorOf;
using testing::kDivideByZero;
using testing::kInvalidOperation;

// NIST StRD linear regression data set "Norris" (calibration of ozone
// monitors), 36 observations (x, y), with its certified values.
const std::vector<LogPoint> kNorris = {
    {0.2, 0.1},     {337.4, 338.8}, {118.2, 118.1}, {884.6, 888.0}, {10.1, 9.2},    {226.5, 228.1},
    {666.3, 668.5}, {996.3, 998.5}, {448.6, 449.1}, {777.0, 778.9}, {558.2, 559.2}, {0.4, 0.3},
    {0.6, 0.1},     {775.5, 778.1}, {666.9, 668.8}, {338.0, 339.3}, {447.5, 448.9}, {11.6, 10.8},
    {556.0, 557.7}, {228.1, 228.3}, {995.8, 998.0}, {887.6, 888.8}, {120.2, 119.6}, {0.3, 0.3},
    {0.3, 0.6},     {556.8, 557.6}, {339.1, 339.3}, {887.2, 888.0}, {999.0, 998.5}, {779.0, 778.9},
    {11.1, 10.2},   {118.3, 117.6}, {229.2, 228.9}, {669.1, 668.4}, {448.9, 449.2}, {0.5, 0.2},
};
constexpr double kNorrisSlope = 1.00211681802045;
constexpr double kNorrisIntercept = -0.262323073774029;
constexpr double kNorrisRSquared = 0.999993745883712;

TEST(FitStraightLine, MatchesTheCertifiedNorrisValues)
{
    const FitResult fit = fitStraightLine(kNorris);
    EXPECT_EQ(fit.n, 36);
    EXPECT_NEAR(fit.slope, kNorrisSlope, 1e-12 * kNorrisSlope);
    EXPECT_NEAR(fit.intercept, kNorrisIntercept, 1e-10 * -kNorrisIntercept);
    EXPECT_NEAR(fit.r * fit.r, kNorrisRSquared, 1e-13);
    EXPECT_GT(fit.r, 0);
    EXPECT_EQ(fit.dimension, -fit.slope);
}

TEST(FitUncertainty, MatchesTheCertifiedNorrisValues)
{
    const FitResult fit = fitStraightLine(kNorris);
    const FitUncertainty u = fitUncertainty(kNorris, fit.dimension);
    const double certifiedSlopeError = 0.429796848199937e-3;
    ASSERT_TRUE(u.standardError.has_value());
    EXPECT_NEAR(*u.standardError, certifiedSlopeError, 1e-12);
    EXPECT_NEAR(u.rSquared, kNorrisRSquared, 1e-13);
    // t(0.975, 34) = 2.032244509317718.
    EXPECT_NEAR(*u.ci95High - fit.dimension, 2.032244509317718 * certifiedSlopeError, 1e-12);
    EXPECT_NEAR(fit.dimension - *u.ci95Low, 2.032244509317718 * certifiedSlopeError, 1e-12);
}

TEST(FitUncertainty, ThreePointsByHandAndNoneLeftForTwo)
{
    // y = 0, 1, 1 over x = 0, 1, 2: slope 1/2, residuals −1/6, 1/3, −1/6,
    // standard error √(1/6 / 2) and t(0.975, 1) = 12.706204736174707.
    const std::vector<LogPoint> points = {{0, 0}, {1, 1}, {2, 1}};
    const FitUncertainty u = fitUncertainty(points, -0.5);
    ASSERT_TRUE(u.standardError.has_value());
    EXPECT_NEAR(*u.standardError, std::sqrt(1.0 / 12.0), 1e-15);
    EXPECT_NEAR(*u.ci95Low, -0.5 - 12.706204736174707 * std::sqrt(1.0 / 12.0), 1e-12);
    EXPECT_NEAR(u.rSquared, 0.75, 1e-15);

    const std::vector<SideCount> two = {{1, 100}, {2, 25}};
    const FitUncertainty none = fitUncertainty(two, 2.0);
    EXPECT_FALSE(none.standardError.has_value());
    EXPECT_FALSE(none.ci95Low.has_value());
    EXPECT_FALSE(none.ci95High.has_value());
    EXPECT_DOUBLE_EQ(none.rSquared, 1.0);
}

TEST(FitResult, CarriesItsUncertaintyWhicheverWayItWasFitted)
{
    // The certified Norris standard error comes with the plain line; a
    // log-log fit takes its uncertainty from the pairs, as fitUncertainty does.
    const FitResult line = fitStraightLine(kNorris);
    ASSERT_TRUE(line.uncertainty.standardError.has_value());
    EXPECT_NEAR(*line.uncertainty.standardError, 0.429796848199937e-3, 1e-12);
    EXPECT_NEAR(line.uncertainty.rSquared, kNorrisRSquared, 1e-13);

    const std::vector<SideCount> pairs = {{1, 5000}, {2, 1400}, {4, 300}, {8, 90}, {16, 20}};
    const FitResult fit = LogLogFit(pairs);
    const FitUncertainty expected = fitUncertainty(pairs, fit.dimension);
    EXPECT_EQ(fit.uncertainty.standardError, expected.standardError);
    EXPECT_EQ(fit.uncertainty.ci95Low, expected.ci95Low);
    EXPECT_EQ(fit.uncertainty.ci95High, expected.ci95High);
    EXPECT_EQ(fit.uncertainty.rSquared, expected.rSquared);
    EXPECT_FALSE(LogLogFit(std::vector<SideCount>{{1, 100}, {2, 25}}).uncertainty.standardError.has_value());
}

TEST(FitStraightLine, FollowsTheCentredSumsOnASmallExample)
{
    // Sx = 3, Sy = 4, Sxx = 5, Syy = 10, Sxy = 7: Sxx' = 2, Syy' = 14/3,
    // Sxy' = 3, so b = 1.5, a = 4/3 − 1.5 = −1/6, r = 3 / sqrt(28/3).
    const std::vector<LogPoint> points = {{0, 0}, {1, 1}, {2, 3}};
    const FitResult fit = fitStraightLine(points);
    EXPECT_EQ(fit.n, 3);
    EXPECT_DOUBLE_EQ(fit.slope, 1.5);
    EXPECT_DOUBLE_EQ(fit.dimension, -1.5);
    EXPECT_DOUBLE_EQ(fit.intercept, -1.0 / 6.0);
    EXPECT_DOUBLE_EQ(fit.r, 3.0 / std::sqrt(28.0 / 3.0));
}

TEST(LogLogFit, AnExactPowerLawGivesItsExponent)
{
    const std::vector<SideCount> pairs = {{1, 4096}, {2, 1024}, {4, 256}, {8, 64}, {16, 16}};
    const FitResult fit = LogLogFit(pairs);
    EXPECT_EQ(fit.n, 5);
    EXPECT_NEAR(fit.r, -1.0, 1e-14);
    EXPECT_NEAR(fit.slope, -2.0, 1e-14);
    EXPECT_NEAR(fit.dimension, 2.0, 1e-14);
    EXPECT_NEAR(fit.intercept, std::log10(4096.0), 1e-14);
}

TEST(LogLogFit, TakesCommonLogarithmsOfSideAndCount)
{
    // Two points fix the line: through (log10 2, log10 30) and (log10 8, log10 120).
    const std::vector<SideCount> pairs = {{2, 30}, {8, 120}};
    const FitResult fit = LogLogFit(pairs);
    const double slope = (std::log10(120.0) - std::log10(30.0)) / (std::log10(8.0) - std::log10(2.0));
    EXPECT_NEAR(fit.slope, slope, 1e-14);
    EXPECT_NEAR(fit.intercept, std::log10(30.0) - slope * std::log10(2.0), 1e-14);
    EXPECT_NEAR(fit.r, 1.0, 1e-14);
}

TEST(FitLogarithm, IsExactForPowersOfTen)
{
    std::int64_t power = 1;
    for (int k = 0; k <= 18; ++k) {
        EXPECT_EQ(fitLogarithm(power), k) << power;
        if (k < 18)
            power *= 10;
    }
}

TEST(LogLogFitFaults, TooFewPairsAreAnInvalidOperation)
{
    EXPECT_EQ(errorOf([] { (void)LogLogFit({}); }), kInvalidOperation);
    const std::vector<SideCount> one = {{1, 16}};
    EXPECT_EQ(errorOf([&] { (void)LogLogFit(one); }), kInvalidOperation);
}

TEST(LogLogFitFaults, PointsWithoutSpreadAreAnInvalidOperation)
{
    const std::vector<SideCount> allOnes = {{1, 1}, {2, 1}, {4, 1}, {8, 1}};
    EXPECT_EQ(errorOf([&] { (void)LogLogFit(allOnes); }), kInvalidOperation);
    const std::vector<LogPoint> oneX = {{0.5, 1}, {0.5, 1}};
    EXPECT_EQ(errorOf([&] { (void)fitStraightLine(oneX); }), kInvalidOperation);
}

TEST(LogLogFitFaults, ZeroAndNegativeCountsFailAtTheirLogarithm)
{
    const std::vector<SideCount> zero = {{1, 100}, {2, 0}, {4, 10}};
    EXPECT_EQ(errorOf([&] { (void)LogLogFit(zero); }), kDivideByZero);
    const std::vector<SideCount> negative = {{1, 100}, {2, -3}, {4, 10}};
    EXPECT_EQ(errorOf([&] { (void)LogLogFit(negative); }), kInvalidOperation);
    // The first faulty pair decides.
    const std::vector<SideCount> negativeFirst = {{1, -1}, {2, 0}};
    EXPECT_EQ(errorOf([&] { (void)LogLogFit(negativeFirst); }), kInvalidOperation);
    const std::vector<SideCount> zeroFirst = {{1, 0}, {2, -1}};
    EXPECT_EQ(errorOf([&] { (void)LogLogFit(zeroFirst); }), kDivideByZero);
    const std::vector<SideCount> zeroSide = {{0, 5}, {2, 3}};
    EXPECT_EQ(errorOf([&] { (void)LogLogFit(zeroSide); }), kDivideByZero);
}

TEST(LogLogFitFaults, ANonZeroNumeratorOverZeroSpreadDividesByZero)
{
    // Two points over one x: Sxx' is exactly 0, while rounding leaves Sxy' a
    // hair above 0, so the correlation divides a non-zero number by zero.
    const double x = 0.3010299956639812;  // log10 2
    const std::vector<LogPoint> points = {{x, x}, {x, 0.6020599913279624}};
    EXPECT_EQ(errorOf([&] { (void)fitStraightLine(points); }), kDivideByZero);
}

// Equal counts leave Syy' and Sxy' to round-off, which made some of these
// succeed with a slope near 0 and others divide by zero; every one of them
// must be the zero spread it is.
class EqualCounts : public ::testing::TestWithParam<std::int64_t> {};

TEST_P(EqualCounts, AreAnInvalidOperationWhateverTheCountAndTheirNumber)
{
    std::vector<SideCount> pairs;
    for (std::int64_t side = 1; side <= 8192; side *= 2) {
        pairs.push_back({side, GetParam()});
        if (pairs.size() >= 2) {
            EXPECT_EQ(errorOf([&] { (void)LogLogFit(pairs); }), kInvalidOperation)
                << pairs.size() << " pairs";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(LogLogFitFaults, EqualCounts,
                         ::testing::Values(1, 2, 3, 7, 10, 1000, 4294967296LL, INT64_MAX));

}  // namespace
}  // namespace dimora
