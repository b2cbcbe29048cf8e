// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/min_grid_count.hpp"

#include "core/measure/log_log_fit.hpp"
#include "error_text.hpp"
#include "test_images.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace dimora {
namespace {

// Every placement counted plainly: the class of each region pixel read once
// through pixel read, a table of partial sums over it, and every box of every
// offset summed from the table.
class PlainPlacements {
public:
    PlainPlacements(const ImageView& image, const Region& region, PixelClass pixelClass)
        : width_(region.width), height_(region.height),
          sums_(static_cast<std::size_t>((width_ + 1) * (height_ + 1)), 0)
    {
        for (std::int64_t y = 0; y < height_; ++y)
            for (std::int64_t x = 0; x < width_; ++x) {
                const Colour c = image.pixel(static_cast<std::int32_t>(region.left + x),
                                             static_cast<std::int32_t>(region.top + y));
                const bool in = pixelClass == PixelClass::Black ? isBlackByRed(c) : isNonBlackByRed(c);
                sum(x + 1, y + 1) = (in ? 1 : 0) + sum(x, y + 1) + sum(x + 1, y) - sum(x, y);
            }
    }

    [[nodiscard]] std::int64_t count(std::int64_t side, std::int64_t ox, std::int64_t oy) const
    {
        std::int64_t boxes = 0;
        for (std::int64_t top = -oy; top < height_; top += side)
            for (std::int64_t left = -ox; left < width_; left += side) {
                const std::int64_t x0 = std::max<std::int64_t>(left, 0), x1 = std::min(left + side, width_);
                const std::int64_t y0 = std::max<std::int64_t>(top, 0), y1 = std::min(top + side, height_);
                if (sum(x1, y1) - sum(x0, y1) - sum(x1, y0) + sum(x0, y0) > 0)
                    ++boxes;
            }
        return boxes;
    }

private:
    [[nodiscard]] std::int64_t& sum(std::int64_t x, std::int64_t y)
    {
        return sums_[static_cast<std::size_t>(y * (width_ + 1) + x)];
    }
    [[nodiscard]] std::int64_t sum(std::int64_t x, std::int64_t y) const
    {
        return sums_[static_cast<std::size_t>(y * (width_ + 1) + x)];
    }

    std::int64_t width_, height_;
    std::vector<std::int64_t> sums_;
};

enum class Shape { Clumps, RandomBytes, Gasket };

struct PlacementCase {
    std::string name;
    std::int32_t width, height;
    PixelLayout layout;
    Shape shape;
    Region region;
};

std::ostream& operator<<(std::ostream& out, const PlacementCase& c)
{
    return out << c.name;
}

Bitmap paint(const PlacementCase& c)
{
    std::mt19937 random(static_cast<unsigned>(c.width * 31 + c.height));
    Bitmap bitmap(c.width, c.height, c.layout, c.height % 2 == 0 ? RowOrder::BottomUp : RowOrder::TopDown);
    switch (c.shape) {
    case Shape::Clumps:
        testing::paintRandomClumps(bitmap, random);
        break;
    case Shape::RandomBytes:
        testing::fillRandomBytes(bitmap, random, 0.97);
        break;
    case Shape::Gasket:
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                bitmap.setPixel(x, y, ((x + 3) & (y + 5)) == 0 ? kBlack : kWhite);
        break;
    }
    return bitmap;
}

class EveryPlacement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(EveryPlacement, CountsEqualThePlainCountAndTheMinimumIsTheFirstSmallest)
{
    const PlacementCase& c = GetParam();
    const Bitmap bitmap = paint(c);
    for (const PixelClass pixelClass : {PixelClass::Black, PixelClass::NonBlack}) {
        SCOPED_TRACE(pixelClass == PixelClass::Black ? "black" : "non-black");
        const PlainPlacements plain(bitmap.view(), c.region, pixelClass);
        const BoxCounts origin = countBoxes(bitmap.view(), c.region, pixelClass);
        std::vector<std::int64_t> sidesSeen, minima;
        std::vector<GridOffset> offsets;
        countEveryPlacement(bitmap.view(), c.region, pixelClass, [&](const PlacementCounts& counts) {
            const std::int64_t s = counts.side();
            sidesSeen.push_back(s);
            std::int64_t best = plain.count(s, 0, 0);
            GridOffset at;
            for (std::int64_t oy = 0; oy < s; ++oy)
                for (std::int64_t ox = 0; ox < s; ++ox) {
                    const std::int64_t expected = plain.count(s, ox, oy);
                    ASSERT_EQ(counts.count(ox, oy), expected)
                        << "side " << s << " offset " << ox << "," << oy;
                    if (expected < best) {
                        best = expected;
                        at = {ox, oy};
                    }
                }
            minima.push_back(best);
            offsets.push_back(at);
        });
        ASSERT_EQ(sidesSeen, origin.sides);
        const MinGridCounts min = countBoxesMinGrid(bitmap.view(), c.region, pixelClass);
        EXPECT_EQ(min.sides, origin.sides);
        EXPECT_EQ(min.counts, minima);
        EXPECT_EQ(min.offsets, offsets);
        EXPECT_EQ(min.coverage, origin.coverage);
        for (std::size_t k = 0; k < min.counts.size(); ++k)
            EXPECT_LE(min.counts[k], origin.counts[k]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    ShapesSizesAndRegions, EveryPlacement,
    ::testing::Values(
        PlacementCase{"one-bit clumps, whole image",
                      23,
                      19,
                      PixelLayout::indexed(1, {kBlack, kWhite}),
                      Shape::Clumps,
                      {0, 0, 23, 19}},
        PlacementCase{"24-bit random bytes, region past the top and left",
                      37,
                      41,
                      PixelLayout::rgb24(),
                      Shape::RandomBytes,
                      {-5, -9, 40, 50}},
        PlacementCase{"eight-bit clumps, region past the bottom and right",
                      70,
                      66,
                      PixelLayout::indexed(8, {kWhite, kBlack, 0x000001}),
                      Shape::Clumps,
                      {10, 7, 90, 80}},
        PlacementCase{
            "region missing the image", 20, 20, PixelLayout::rgb24(), Shape::Clumps, {30, -40, 33, 21}},
        PlacementCase{"gasket, sides to 64", 140, 135, PixelLayout::rgb24(), Shape::Gasket, {0, 0, 140, 135}},
        PlacementCase{"gasket, sides to 128, region around the image",
                      270,
                      262,
                      PixelLayout::masked(16, kMasks565),
                      Shape::Gasket,
                      {-3, -4, 276, 269}},
        PlacementCase{"wide strip: rows of more than 255 words",
                      16500,
                      7,
                      PixelLayout::indexed(1, {kBlack, kWhite}),
                      Shape::RandomBytes,
                      {-40, 0, 16600, 7}}),
    [](const ::testing::TestParamInfo<PlacementCase>& info) { return "case" + std::to_string(info.index); });

// The Sierpinski gasket of 512 pixels, pixel (x, y) of it black when x AND y
// is 0: 3^(9 − k) boxes of side 2^k when the grid meets its corner.
Bitmap gasketAt(int left, int top)
{
    return testing::makeBitmap(700, 700, PixelLayout::indexed(1, {kBlack, kWhite}), [&](int x, int y) {
        const int gx = x - left, gy = y - top;
        const bool inside = gx >= 0 && gy >= 0 && gx < 512 && gy < 512;
        return inside && (gx & gy) == 0 ? kBlack : kWhite;
    });
}

double dimensionOf(const BoxCounts& counts)
{
    std::vector<SideCount> pairs;
    for (std::size_t k = 0; k < counts.sides.size(); ++k)
        pairs.push_back({counts.sides[k], counts.counts[k]});
    return LogLogFit(pairs).dimension;
}

TEST(MinGrid, TheGasketMeasuresItsExactDimensionWhereverItLies)
{
    const double exact = std::log(3.0) / std::log(2.0);
    for (const auto& [left, top] : {std::pair{0, 0}, std::pair{93, 141}}) {
        SCOPED_TRACE("gasket at " + std::to_string(left) + "," + std::to_string(top));
        const Bitmap gasket = gasketAt(left, top);
        const Region whole{0, 0, 700, 700};
        const MinGridCounts min = countBoxesMinGrid(gasket.view(), whole, PixelClass::Black);
        ASSERT_EQ(min.sides.size(), 9u);
        for (std::size_t k = 0; k < min.sides.size(); ++k)
            EXPECT_EQ(min.counts[k], static_cast<std::int64_t>(std::pow(3, 9 - static_cast<int>(k))));
        EXPECT_NEAR(dimensionOf(min), exact, 5e-5);
        if (left != 0) {
            // The origin grid misses it there.
            EXPECT_GT(std::abs(dimensionOf(countBoxes(gasket.view(), whole, PixelClass::Black)) - exact),
                      0.02);
            EXPECT_EQ(min.offsets[3], (GridOffset{(8 - left % 8) % 8, (8 - top % 8) % 8}));
        }
    }
}

TEST(MinGrid, OriginPlacementIsTheOrdinaryCountWithoutOffsets)
{
    const Bitmap gasket = gasketAt(93, 141);
    const MinGridCounts origin =
        countBoxesOnGrid(gasket.view(), {0, 0, 700, 700}, PixelClass::Black, GridPlacement::Origin);
    const BoxCounts plain = countBoxes(gasket.view(), {0, 0, 700, 700}, PixelClass::Black);
    EXPECT_EQ(origin.counts, plain.counts);
    EXPECT_TRUE(origin.offsets.empty());
    EXPECT_EQ(countBoxesOnGrid(gasket.view(), {0, 0, 700, 700}, PixelClass::Black, GridPlacement::Min).counts,
              countBoxesMinGrid(gasket.view(), {0, 0, 700, 700}, PixelClass::Black).counts);
}

TEST(MinGrid, FailsAsTheOriginGridForNoPixelsAndRefusesMemoryOverTheBudget)
{
    const Bitmap white = testing::filledBitmap(40, 40, kWhite);
    EXPECT_EQ(testing::errorOf([&] {
                  (void)countBoxesMinGrid(white.view(), {0, 0, 0, 9}, PixelClass::Black);
              }),
              testing::kInvalidOperation);
    const MinGridCounts thin = countBoxesMinGrid(white.view(), {0, 0, 2, 40}, PixelClass::Black);
    EXPECT_TRUE(thin.sides.empty());
    EXPECT_TRUE(thin.counts.empty());

    const Region region{0, 0, 40, 40};
    const std::uint64_t saved = Bitmap::memoryBudget();
    Bitmap::setMemoryBudget(minGridWorkingBytes(region) - 1);
    const std::string refused =
        testing::errorOf([&] { (void)countBoxesMinGrid(white.view(), region, PixelClass::NonBlack); });
    Bitmap::setMemoryBudget(minGridWorkingBytes(region));
    const std::string allowed =
        testing::errorOf([&] { (void)countBoxesMinGrid(white.view(), region, PixelClass::NonBlack); });
    Bitmap::setMemoryBudget(saved);
    EXPECT_EQ(refused, std::string(msg::kInvalidBitmap));
    EXPECT_EQ(allowed, "no error");
}

}  // namespace
}  // namespace dimora
