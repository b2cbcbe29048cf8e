// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// The lacunarity and the multifractal spectrum against plain references that
// read every pixel of every box through pixel(), on small random images with
// regions that reach past the image and masks; and their failures.

#include "core/measure/lacunarity.hpp"
#include "core/measure/multifractal.hpp"
#include "core/measure/scaling_fit.hpp"
#include "error_text.hpp"
#include "test_images.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <random>

namespace dimora {
namespace {

using testing::errorOf;

struct MassCase {
    const char* name;
    std::uint32_t seed;
    int width, height;
    Region region;
    bool masked;
    LacunarityMethod method;
    EmptyBoxes empty;
    std::vector<std::int64_t> sides;  // lacunarity; empty: the default
};

void PrintTo(const MassCase& c, std::ostream* out)
{
    *out << c.name;
}

PixelMask randomMask(int width, int height, std::mt19937& random)
{
    PixelMask mask{width, height, {}};
    std::bernoulli_distribution inside(0.8);
    for (int i = 0; i < width * height; ++i)
        mask.inside.push_back(inside(random) ? 1 : 0);
    return mask;
}

bool occupiedAt(const Bitmap& image, const PixelMask* mask, std::int64_t x, std::int64_t y)
{
    const auto xi = static_cast<std::int32_t>(x), yi = static_cast<std::int32_t>(y);
    return isBlackByRed(image.pixel(xi, yi)) && (mask == nullptr || mask->at(xi, yi));
}

// Λ by the definition: every box summed pixel by pixel.
double referenceLacunarity(const Bitmap& image, const Region& region, const PixelMask* mask, std::int64_t r,
                           LacunarityMethod method, EmptyBoxes empty)
{
    const std::int64_t step = method == LacunarityMethod::Grid ? r : 1;
    unsigned __int128 n = 0, sum = 0, squares = 0;
    for (std::int64_t y = 0; y + r <= region.height; y += step)
        for (std::int64_t x = 0; x + r <= region.width; x += step) {
            std::uint64_t m = 0;
            for (std::int64_t v = 0; v < r; ++v)
                for (std::int64_t u = 0; u < r; ++u)
                    m += occupiedAt(image, mask, region.left + x + u, region.top + y + v) ? 1 : 0;
            if (m == 0 && method == LacunarityMethod::Grid && empty == EmptyBoxes::Exclude)
                continue;
            ++n;
            sum += m;
            squares += m * m;
        }
    return static_cast<double>(static_cast<long double>(n * squares) / static_cast<long double>(sum * sum));
}

// The spectrum's sums by the definition, with pow and log per box.
struct ReferenceSpectrum {
    std::vector<double> logSum, muLogP, muLogMu;  // per side, for one q
};

ReferenceSpectrum referenceSpectrum(const Bitmap& image, const Region& region, const PixelMask* mask,
                                    double q)
{
    ReferenceSpectrum ref;
    for (const std::int64_t s : multifractalSides(region)) {
        std::vector<double> masses;
        for (std::int64_t y = 0; y + s <= region.height; y += s)
            for (std::int64_t x = 0; x + s <= region.width; x += s) {
                double m = 0;
                for (std::int64_t v = 0; v < s; ++v)
                    for (std::int64_t u = 0; u < s; ++u)
                        m += occupiedAt(image, mask, region.left + x + u, region.top + y + v) ? 1 : 0;
                if (m > 0)
                    masses.push_back(m);
            }
        double total = 0;
        for (const double m : masses)
            total += m;
        double sumQ = 0;
        for (const double m : masses)
            sumQ += std::pow(m / total, q);
        double muLogP = 0, muLogMu = 0;
        for (const double m : masses) {
            const double p = m / total, mu = std::pow(p, q) / sumQ;
            muLogP += mu * std::log(p);
            muLogMu += mu * std::log(mu);
        }
        ref.logSum.push_back(std::log(sumQ));
        ref.muLogP.push_back(muLogP);
        ref.muLogMu.push_back(muLogMu);
    }
    return ref;
}

class MassMeasures : public ::testing::TestWithParam<MassCase> {
protected:
    void SetUp() override
    {
        const MassCase& c = GetParam();
        std::mt19937 random(c.seed);
        image = Bitmap(c.width, c.height, PixelLayout::rgb24());
        testing::paintRandomClumps(image, random);
        std::bernoulli_distribution dot(0.15);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                if (dot(random))
                    image.setPixel(x, y, kBlack);
        if (c.masked)
            mask = randomMask(c.width, c.height, random);
    }
    [[nodiscard]] const PixelMask* maskOrNull() const { return GetParam().masked ? &mask : nullptr; }

    Bitmap image;
    PixelMask mask;
};

TEST_P(MassMeasures, LacunarityIsThatOfEveryBoxSummedPixelByPixel)
{
    const MassCase& c = GetParam();
    const LacunarityResult result =
        measureLacunarity(image.view(), c.region, {c.method, c.empty, c.sides}, maskOrNull());
    const std::vector<std::int64_t> sides = c.sides.empty() ? defaultLacunaritySides(c.region) : c.sides;
    ASSERT_EQ(result.sides.size(), sides.size());
    std::vector<double> x, y;
    for (std::size_t k = 0; k < sides.size(); ++k) {
        const double expected =
            referenceLacunarity(image, c.region, maskOrNull(), sides[k], c.method, c.empty);
        EXPECT_EQ(result.sides[k].side, sides[k]);
        EXPECT_EQ(result.sides[k].lacunarity, expected) << "side " << sides[k];
        EXPECT_EQ(result.sides[k].lambda, expected - 1);
        x.push_back(std::log(static_cast<double>(sides[k])));
        y.push_back(std::log(expected));
    }
    const ScalingFit fit = fitScaling(x, y);
    EXPECT_NEAR(result.slope, fit.slope, 1e-12);
    EXPECT_EQ(result.standardError.has_value(), fit.standardError.has_value());
}

TEST_P(MassMeasures, SpectrumSlopesAreThoseOfTheDefiningSums)
{
    const MassCase& c = GetParam();
    const std::vector<double> qs{-3, -0.5, 0, 0.5, 1, 2, 4.5};
    const MultifractalResult result = measureMultifractal(image.view(), c.region, {qs, {}}, maskOrNull());
    ASSERT_EQ(result.points.size(), qs.size());
    EXPECT_EQ(result.sides, multifractalSides(c.region));
    std::vector<double> x;
    for (const std::int64_t s : result.sides)
        x.push_back(std::log(static_cast<double>(s)));
    for (std::size_t i = 0; i < qs.size(); ++i) {
        const ReferenceSpectrum ref = referenceSpectrum(image, c.region, maskOrNull(), qs[i]);
        const MultifractalPoint& point = result.points[i];
        const double alpha = fitScaling(x, ref.muLogP).slope;
        const double dq = qs[i] == 1 ? alpha : fitScaling(x, ref.logSum).slope / (qs[i] - 1);
        EXPECT_NEAR(point.dq, dq, 1e-9) << "q " << qs[i];
        EXPECT_NEAR(point.tau, (qs[i] - 1) * dq, 1e-9) << "q " << qs[i];
        EXPECT_NEAR(point.alpha, alpha, 1e-9) << "q " << qs[i];
        EXPECT_NEAR(point.f, fitScaling(x, ref.muLogMu).slope, 1e-9) << "q " << qs[i];
    }
}

const Region kWhole40{0, 0, 40, 36};
INSTANTIATE_TEST_SUITE_P(
    SmallImages, MassMeasures,
    ::testing::Values(
        MassCase{
            "gliding_whole", 1, 40, 36, kWhole40, false, LacunarityMethod::Gliding, EmptyBoxes::Include, {}},
        MassCase{"grid_whole", 2, 40, 36, kWhole40, false, LacunarityMethod::Grid, EmptyBoxes::Include, {}},
        MassCase{"grid_exclude", 3, 40, 36, kWhole40, false, LacunarityMethod::Grid, EmptyBoxes::Exclude, {}},
        MassCase{"gliding_past_edges",
                 4,
                 30,
                 25,
                 {-5, -3, 33, 29},
                 false,
                 LacunarityMethod::Gliding,
                 EmptyBoxes::Include,
                 {}},
        MassCase{"grid_odd_sides",
                 5,
                 37,
                 41,
                 {2, 3, 33, 35},
                 false,
                 LacunarityMethod::Grid,
                 EmptyBoxes::Include,
                 {1, 3, 5, 7, 11}},
        MassCase{"gliding_masked",
                 6,
                 32,
                 32,
                 {0, 0, 32, 32},
                 true,
                 LacunarityMethod::Gliding,
                 EmptyBoxes::Include,
                 {2, 3, 6, 9}},
        MassCase{"grid_exclude_masked",
                 7,
                 45,
                 38,
                 {4, 1, 39, 37},
                 true,
                 LacunarityMethod::Grid,
                 EmptyBoxes::Exclude,
                 {}},
        MassCase{"gliding_wide",
                 8,
                 64,
                 20,
                 {0, 0, 64, 20},
                 false,
                 LacunarityMethod::Gliding,
                 EmptyBoxes::Include,
                 {}}),
    [](const ::testing::TestParamInfo<MassCase>& info) { return std::string(info.param.name); });

TEST(MassMeasureFailures, AreTheMessagesOfEachCause)
{
    const Bitmap white = testing::filledBitmap(16, 16, kWhite);
    Bitmap corner = white;
    corner.setPixel(15, 15, kBlack);  // inside no whole box of side 2 on a 15-pixel region
    const Region whole{0, 0, 16, 16};
    const LacunaritySettings grid{LacunarityMethod::Grid, EmptyBoxes::Include, {1, 2}};
    PixelMask outside{16, 16, std::vector<std::uint8_t>(256, 1)};
    outside.inside[15 * 16 + 15] = 0;
    const std::string boxTooLarge = formatMessage(msg::kBoxDoesNotFit, "17");
    const std::string sideTwoEmpty = formatMessage(msg::kBoxesAllEmpty, "2");

    const struct {
        const char* what;
        std::function<void()> call;
        std::string message;
    } cases[] = {
        {"lacunarity of white", [&] { (void)measureLacunarity(white.view(), whole, {}); },
         std::string(msg::kNoOccupiedPixel)},
        {"lacunarity of the masked-out pixel",
         [&] { (void)measureLacunarity(corner.view(), whole, {}, &outside); },
         std::string(msg::kNoOccupiedPixel)},
        {"lacunarity of an empty region",
         [&] {
             (void)measureLacunarity(corner.view(), {0, 0, 0, 5}, {});
         },
         std::string(msg::kNoOccupiedPixel)},
        {"side past the region",
         [&] {
             (void)measureLacunarity(corner.view(), whole, {LacunarityMethod::Gliding, {}, {2, 17}});
         },
         boxTooLarge},
        {"side 0",
         [&] {
             (void)measureLacunarity(corner.view(), whole, {LacunarityMethod::Gliding, {}, {0, 2}});
         },
         formatMessage(msg::kBoxDoesNotFit, "0")},
        {"grid boxes miss the pixel",
         [&] {
             (void)measureLacunarity(corner.view(), {0, 0, 16, 16}, grid);
         },
         "no error"},
        {"grid boxes of side 2 on 15 miss it",
         [&] {
             (void)measureLacunarity(corner.view(), {1, 1, 15, 15}, grid);
         },
         sideTwoEmpty},
        {"one side only",
         [&] {
             (void)measureLacunarity(corner.view(), whole, {LacunarityMethod::Grid, {}, {1}});
         },
         testing::kInvalidOperation},
        {"spectrum of white", [&] { (void)measureMultifractal(white.view(), whole, {}); },
         std::string(msg::kNoOccupiedPixel)},
        {"spectrum, boxes of side 4 miss the mass",
         [&] {
             (void)measureMultifractal(corner.view(), {2, 2, 14, 14}, {});
         },
         "no error"},
        {"spectrum, boxes of side 2 miss the mass",
         [&] {
             (void)measureMultifractal(corner.view(), {1, 1, 15, 15}, {});
         },
         sideTwoEmpty},
        {"spectrum, one side in range",
         [&] {
             (void)measureMultifractal(corner.view(), whole, {{}, {FitRange::Kind::Sides, 2, 3}});
         },
         testing::kInvalidOperation},
        {"spectrum of a small region",
         [&] {
             (void)measureMultifractal(corner.view(), {9, 9, 7, 7}, {});
         },
         testing::kInvalidOperation},
    };
    for (const auto& c : cases)
        EXPECT_EQ(errorOf(c.call), c.message) << c.what;
}

TEST(MassMeasureFailures, SampleMassesMustBeFiniteAndNotNegative)
{
    const Region whole{0, 0, 8, 8};
    for (const float bad : {-1.0f, std::nanf(""), INFINITY}) {
        SamplePlane plane(8, 8, SampleType::Float32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const float value = x == 3 && y == 5 ? bad : 1.0f;
                std::memcpy(plane.row(y) + 4 * x, &value, 4);
            }
        EXPECT_EQ(errorOf([&] { (void)measureMultifractal(plane, whole, {}); }), std::string(msg::kBadMass))
            << bad;
        // The same sample outside the mask takes no part.
        PixelMask mask{8, 8, std::vector<std::uint8_t>(64, 1)};
        mask.inside[5 * 8 + 3] = 0;
        EXPECT_EQ(errorOf([&] { (void)measureMultifractal(plane, whole, {}, &mask); }), "no error") << bad;
    }
    EXPECT_EQ(errorOf([&] { (void)measureMultifractal(SamplePlane(8, 8, SampleType::UInt16), whole, {}); }),
              std::string(msg::kNoMass));
}

TEST(QList, ParsesListsAndRanges)
{
    EXPECT_EQ(parseQList("1,2.5,-3"), (std::vector<double>{1, 2.5, -3}));
    EXPECT_EQ(parseQList("-1:1:0.5"), (std::vector<double>{-1, -0.5, 0, 0.5, 1}));
    EXPECT_EQ(parseQList("0:0.3:0.1"), (std::vector<double>{0, 0.1, 0.2, 0.3}));
    EXPECT_EQ(parseQList("2"), (std::vector<double>{2}));
    EXPECT_EQ(defaultMultifractalQ().size(), 41u);
    EXPECT_EQ(defaultMultifractalQ().front(), -10);
    EXPECT_EQ(defaultMultifractalQ()[22], 1);
    for (const char* bad : {"", "1,,2", "a", "1:2", "1:0:1", "0:1:0", "0:1:-1", "1,2:3", "0:1e9:1e-3"})
        EXPECT_FALSE(parseQList(bad).has_value()) << bad;
}

}  // namespace
}  // namespace dimora
