// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// Closed-form values: the Sierpinski carpet's lacunarity, a random map's
// expected lacunarity, the binomial cascade's generalized dimensions and the
// uniform carpet's constant spectrum.

#include "core/measure/lacunarity.hpp"
#include "core/measure/multifractal.hpp"
#include "mass_test_images.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <random>

namespace dimora {
namespace {

const std::vector<std::int64_t> kTriadicSides{1, 3, 9, 27, 81, 243};

TEST(CarpetLacunarity, GridWithEmptyBoxesIsNineEighthsToTheRemainingLevels)
{
    const Bitmap carpet = testing::sierpinskiCarpet(5);
    const Region whole{0, 0, 243, 243};
    const LacunarityResult include =
        measureLacunarity(carpet.view(), whole, {LacunarityMethod::Grid, EmptyBoxes::Include, kTriadicSides});
    const LacunarityResult exclude =
        measureLacunarity(carpet.view(), whole, {LacunarityMethod::Grid, EmptyBoxes::Exclude, kTriadicSides});
    ASSERT_EQ(include.sides.size(), 6u);
    double nines = 1, eights = 1;  // 9^(5−k), 8^(5−k), exact in double
    for (int k = 5; k >= 0; --k) {
        EXPECT_EQ(include.sides[k].lacunarity, nines / eights) << "side " << kTriadicSides[k];
        EXPECT_EQ(exclude.sides[k].lacunarity, 1) << "side " << kTriadicSides[k];
        nines *= 9;
        eights *= 8;
    }
    EXPECT_NEAR(include.slope, std::log(9.0 / 8) / -std::log(3.0), 1e-15);
    EXPECT_EQ(exclude.slope, 0);
    EXPECT_EQ(exclude.standardError, 0.0);
    EXPECT_FALSE(exclude.rSquared.has_value());
}

TEST(CarpetLacunarity, SideOneIsTheInverseOccupiedFractionForEveryMethod)
{
    std::mt19937 random(11);
    Bitmap image(50, 30, PixelLayout::rgb24());
    std::bernoulli_distribution black(0.37);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 50; ++x)
            image.setPixel(x, y, black(random) ? kBlack : kWhite);
    for (const LacunarityMethod method : {LacunarityMethod::Gliding, LacunarityMethod::Grid}) {
        const LacunarityResult result =
            measureLacunarity(image.view(), {0, 0, 50, 30}, {method, EmptyBoxes::Include, {1, 2}});
        EXPECT_DOUBLE_EQ(result.sides[0].lacunarity, 1500.0 / static_cast<double>(result.occupied));
    }
}

// E[Λ(r)] = 1 + (1 − p) / (p r²) for independent pixels; the mean over
// seeded maps within four standard errors of the mean.
TEST(RandomMapLacunarity, MeetsItsExpectation)
{
    const double p = 0.3;
    const std::vector<std::int64_t> sides{1, 2, 4, 8};
    const int maps = 24;
    for (const LacunarityMethod method : {LacunarityMethod::Grid, LacunarityMethod::Gliding}) {
        std::vector<std::vector<double>> values(sides.size());
        for (int seed = 0; seed < maps; ++seed) {
            std::mt19937 random(static_cast<std::uint32_t>(100 + seed));
            std::bernoulli_distribution black(p);
            Bitmap image(128, 128, PixelLayout::indexed(8, {kWhite, kBlack}));
            for (int y = 0; y < 128; ++y)
                for (int x = 0; x < 128; ++x)
                    image.row(y)[x] = black(random) ? 1 : 0;
            const LacunarityResult result =
                measureLacunarity(image.view(), {0, 0, 128, 128}, {method, EmptyBoxes::Include, sides});
            for (std::size_t k = 0; k < sides.size(); ++k)
                values[k].push_back(result.sides[k].lacunarity);
        }
        for (std::size_t k = 0; k < sides.size(); ++k) {
            const double mean = std::accumulate(values[k].begin(), values[k].end(), 0.0) / maps;
            double spread = 0;
            for (const double v : values[k])
                spread += (v - mean) * (v - mean);
            const double standardError = std::sqrt(spread / (maps - 1) / maps);
            const double r = static_cast<double>(sides[k]);
            EXPECT_NEAR(mean, 1 + (1 - p) / (p * r * r), 4 * standardError + 1e-12) << "side " << sides[k];
        }
    }
}

// The cascade's closed form: with w the weights, Σ = Σ_j w_j^q,
//   D_q = log2 Σ / (1 − q), α(q) = −Σ_j (w_j^q / Σ) log2 w_j, f = q α − τ.
struct ClosedForm {
    double dq, alpha, f;
};

ClosedForm cascadeForm(const std::array<double, 4>& w, double q)
{
    double sum = 0, weightedLog = 0;
    for (const double p : w)
        sum += std::pow(p, q);
    for (const double p : w)
        weightedLog += std::pow(p, q) / sum * std::log2(p);
    const double alpha = -weightedLog;
    if (std::abs(q - 1) < 1e-12) {
        double entropy = 0;
        for (const double p : w)
            entropy -= p * std::log2(p);
        return {entropy, alpha, alpha};
    }
    const double tau = -std::log2(sum);
    return {tau / (q - 1), alpha, q * alpha - tau};
}

struct CascadeCase {
    SampleType type;
    double tolerance;  // of D_q, α and f
    double lowestQ;    // the quantized samples keep the closed form for q ≥ this
};

class Cascade : public ::testing::TestWithParam<CascadeCase> {};

TEST_P(Cascade, HasTheClosedFormSpectrum)
{
    const CascadeCase& c = GetParam();
    const SamplePlane plane = testing::binomialCascade(9, {1, 2, 3, 4}, c.type);
    const MultifractalResult result = measureMultifractal(plane, {0, 0, 512, 512}, {});
    EXPECT_EQ(result.mass, MassKind::Gray);
    EXPECT_EQ(result.sides, (std::vector<std::int64_t>{1, 2, 4, 8, 16, 32, 64, 128}));
    ASSERT_EQ(result.points.size(), 41u);
    for (const MultifractalPoint& point : result.points) {
        if (point.q < c.lowestQ)
            continue;
        const ClosedForm form = cascadeForm({0.1, 0.2, 0.3, 0.4}, point.q);
        EXPECT_NEAR(point.dq, form.dq, c.tolerance) << "q " << point.q;
        EXPECT_NEAR(point.alpha, form.alpha, c.tolerance) << "q " << point.q;
        EXPECT_NEAR(point.f, form.f, c.tolerance) << "q " << point.q;
        EXPECT_NEAR(point.tau, (point.q - 1) * point.dq, 1e-9);
    }
    const auto at = [&](double q) {
        for (const MultifractalPoint& point : result.points)
            if (point.q == q)
                return point;
        return MultifractalPoint{};
    };
    EXPECT_NEAR(at(0).dq, 2, 1e-12);
    EXPECT_NEAR(at(1).dq, 1.8464, 5e-5);
    EXPECT_NEAR(at(2).dq, 1.7370, 5e-5);
    EXPECT_NEAR(at(2).dq, -std::log2(0.30), c.tolerance);
    // α spans −log2 0.4 to −log2 0.1 as q runs to ±∞: the ends of q = ±10 lie
    // just inside.
    EXPECT_GT(at(10).alpha, -std::log2(0.4));
    EXPECT_LT(at(10).alpha, -std::log2(0.4) + 0.05);
    if (c.lowestQ <= -10) {
        EXPECT_LT(at(-10).alpha, -std::log2(0.1));
        EXPECT_GT(at(-10).alpha, -std::log2(0.1) - 0.05);
    }
}

INSTANTIATE_TEST_SUITE_P(Samples, Cascade,
                         ::testing::Values(CascadeCase{SampleType::UInt32, 1e-9, -10},
                                           CascadeCase{SampleType::Float32, 1e-5, -10},
                                           CascadeCase{SampleType::UInt16, 2e-3, 0}));

// Every box that holds mass holds the same: the spectrum collapses to one
// point, D_q = α = f = log 3 / log 2 for every q.
TEST(UniformCarpet, HasOneDimensionForEveryQ)
{
    const Bitmap carpet = testing::threeQuadrantCarpet(8);
    const MultifractalResult result = measureMultifractal(carpet.view(), {0, 0, 256, 256}, {});
    for (const MultifractalPoint& point : result.points) {
        EXPECT_NEAR(point.dq, std::log2(3.0), 1e-12) << "q " << point.q;
        EXPECT_NEAR(point.alpha, std::log2(3.0), 1e-12) << "q " << point.q;
        EXPECT_NEAR(point.f, std::log2(3.0), 1e-12) << "q " << point.q;
        EXPECT_NEAR(point.dqStandardError.value(), 0, 1e-12);
    }
}

}  // namespace
}  // namespace dimora
