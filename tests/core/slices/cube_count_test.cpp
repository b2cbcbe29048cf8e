// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/slices/cube_count.hpp"

#include "core/common/error.hpp"
#include "core/measure/box_count.hpp"
#include "core/measure/measurement_sequence.hpp"
#include "core/measure/test_images.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>

namespace dimora {
namespace {

using testing::allLayouts;

// Cube counting written as plainly as possible: every box visited, every
// voxel of it read through pixel read.
struct ReferenceCubes {
    std::vector<std::int64_t> sides, slicesPerBox, counts;
    std::int64_t occupiedVoxels = 0;
};

ReferenceCubes referenceCubes(const std::vector<Bitmap>& stack, const Region& r, const VoxelSize& voxel)
{
    const auto occupied = [&](std::int64_t x, std::int64_t y, std::int64_t z) {
        return x < r.left + r.width && y < r.top + r.height && z < std::ssize(stack) &&
               isBlackByRed(stack[static_cast<std::size_t>(z)].pixel(static_cast<std::int32_t>(x),
                                                                     static_cast<std::int32_t>(y)));
    };
    ReferenceCubes result;
    const auto n = static_cast<std::int64_t>(stack.size());
    for (std::int64_t z = 0; z < n; ++z)
        for (std::int64_t y = r.top; y < r.top + r.height; ++y)
            for (std::int64_t x = r.left; x < r.left + r.width; ++x)
                result.occupiedVoxels += occupied(x, y, z);
    for (std::int64_t s = 1; s <= 8192; s *= 2) {
        const std::int64_t k = std::max<long>(1, std::lround(static_cast<double>(s) * voxel.x / voxel.z));
        if (!(s < r.width / 2.0 && s < r.height / 2.0 && k < n / 2.0))
            break;
        std::int64_t count = 0;
        for (std::int64_t z0 = 0; z0 < n; z0 += k)
            for (std::int64_t y0 = r.top; y0 < r.top + r.height; y0 += s)
                for (std::int64_t x0 = r.left; x0 < r.left + r.width; x0 += s) {
                    bool found = false;
                    for (std::int64_t z = z0; z < z0 + k && !found; ++z)
                        for (std::int64_t y = y0; y < y0 + s && !found; ++y)
                            for (std::int64_t x = x0; x < x0 + s && !found; ++x)
                                found = occupied(x, y, z);
                    count += found;
                }
        result.sides.push_back(s);
        result.slicesPerBox.push_back(k);
        result.counts.push_back(count);
    }
    return result;
}

CubeCounts countStack(const std::vector<Bitmap>& stack, const Region& region, const VoxelSize& voxel)
{
    CubeCounter counter(region, stack.front().width(), stack.front().height(),
                        static_cast<std::int32_t>(stack.size()), voxel);
    for (const Bitmap& slice : stack)
        counter.addSlice(slice.view());
    return counter.finish();
}

using VoxelAt = std::function<bool(int x, int y, int z)>;

std::vector<Bitmap> volume(int width, int height, int slices, const VoxelAt& black)
{
    std::vector<Bitmap> stack;
    for (int z = 0; z < slices; ++z)
        stack.push_back(testing::makeBitmap(width, height, PixelLayout::indexed(1, {kWhite, kBlack}),
                                            [&](int x, int y) { return black(x, y, z) ? kBlack : kWhite; }));
    return stack;
}

TEST(CubeCount, EqualsThePlainCountOnRandomVolumes)
{
    std::mt19937 random(20261209);
    const std::vector<testing::NamedLayout> layouts = allLayouts();
    const double ratios[] = {1.0, 0.3, 0.5, 0.75, 1.5, 2.5, 4.0};
    for (int trial = 0; trial < 120; ++trial) {
        std::uniform_int_distribution<int> edge(1, 70), depth(1, 40), pick(0, 1000);
        const int width = edge(random), height = edge(random), slices = depth(random);
        const PixelLayout& layout = layouts[static_cast<std::size_t>(pick(random)) % layouts.size()].layout;
        const RowOrder order = pick(random) % 2 ? RowOrder::BottomUp : RowOrder::TopDown;
        std::vector<Bitmap> stack;
        const double zeroChance = (pick(random) % 10) / 10.0;
        for (int z = 0; z < slices; ++z) {
            Bitmap slice(width, height, layout, order);
            if (pick(random) % 3 == 0)
                testing::paintRandomClumps(slice, random);
            else
                testing::fillRandomBytes(slice, random, zeroChance);
            stack.push_back(std::move(slice));
        }
        const Region region =
            trial % 4 == 0 ? Region{0, 0, width, height} : testing::randomRegion(width, height, random);
        const double ratio = ratios[static_cast<std::size_t>(pick(random)) % std::size(ratios)];
        const VoxelSize voxel{ratio, ratio, 1.0};
        SCOPED_TRACE(::testing::Message() << "trial " << trial << ": " << width << "x" << height << "x"
                                          << slices << " region " << region.left << "," << region.top << ","
                                          << region.width << "," << region.height << " X/Z " << ratio);

        const ReferenceCubes expected = referenceCubes(stack, region, voxel);
        if (std::int64_t{region.width} * region.height == 0) {
            EXPECT_THROW((void)countStack(stack, region, voxel), Error);
            continue;
        }
        const CubeCounts counts = countStack(stack, region, voxel);
        EXPECT_EQ(counts.sides, expected.sides);
        EXPECT_EQ(counts.slicesPerBox, expected.slicesPerBox);
        EXPECT_EQ(counts.counts, expected.counts);
        EXPECT_EQ(counts.occupiedVoxels, expected.occupiedVoxels);
        EXPECT_DOUBLE_EQ(counts.coverage, 100.0 * static_cast<double>(expected.occupiedVoxels) /
                                              (double{1} * region.width * region.height * slices));
    }
}

TEST(CubeCount, SlicesPerBoxRoundHalvesUp)
{
    EXPECT_EQ(slicesPerBox(1, {1, 1, 4}), 1);        // 0.25 → 0 → at least 1
    EXPECT_EQ(slicesPerBox(2, {1, 1, 4}), 1);        // 0.5 rounds up
    EXPECT_EQ(slicesPerBox(8, {1, 1, 4}), 2);        // 2
    EXPECT_EQ(slicesPerBox(4, {5, 5, 2}), 10);       // 10
    EXPECT_EQ(slicesPerBox(1, {3, 3, 2}), 2);        // 1.5 rounds up
    EXPECT_EQ(slicesPerBox(1, {0.3, 0.3, 0.2}), 2);  // the doubles' decimals: 1.5 rounds up
    EXPECT_THROW(CubeCounter({0, 0, 4, 4}, 4, 4, 4, {0, 0, 1}), Error);
    EXPECT_THROW(CubeCounter({0, 0, 4, 4}, 4, 4, 4, {1, 1, NAN}), Error);
}

TEST(CubeCount, SlicesPerBoxTakeTheDecimalTextsExactly)
{
    // X, Z as written, side, k(side). In doubles 0.3 / 0.2 and 0.7 / 0.2 fall
    // just under their halves.
    const struct {
        const char* x;
        const char* z;
        std::int64_t side;
        std::int64_t slices;
    } cases[] = {
        {"0.3", "0.2", 1, 2},
        {"0.7", "0.2", 1, 4},
        {" +0.30 ", "2E-1", 1, 2},
        {"3e-1", "0.20000", 4, 6},
        {"0.29999999999999999", "0.2", 1, 1},  // the same double as 0.3, but under the half
        {"0.30000000000000001", "0.2", 1, 2},
        {"1.25", "1", 2, 3},
        {"0.1", "0.3", 2, 1},  // 0.667 rounds to 1
        {"0.0001", "1000", 8192, 1},
        {"1e300", "1e-300", 1, std::numeric_limits<std::int64_t>::max()},
        {"4611686018427387903.5", "1", 1, std::numeric_limits<std::int64_t>::max()},  // 2^62 - 0.5
        {"4611686018427387902.49", "1", 1, 4611686018427387902},
    };
    for (const auto& c : cases) {
        VoxelSize voxel(std::stod(c.x), std::stod(c.x), std::stod(c.z));
        voxel.xText = voxel.yText = c.x;
        voxel.zText = c.z;
        EXPECT_EQ(slicesPerBox(c.side, voxel), c.slices) << c.x << " / " << c.z << " side " << c.side;
    }
}

double fittedDimension(const CubeCounts& counts)
{
    const DimensionMeasurement m = finishMeasurement(counts.region, reportCubeCounts(counts));
    return m.fit.value().dimension;
}

TEST(CubeCount, KnownSetsHaveTheirDimensions)
{
    const VoxelSize cubic{1, 1, 1};
    const auto solid = volume(32, 32, 32, [](int, int, int) { return true; });
    EXPECT_EQ(countStack(solid, {0, 0, 32, 32}, cubic).counts,
              (std::vector<std::int64_t>{32768, 4096, 512, 64}));
    EXPECT_DOUBLE_EQ(fittedDimension(countStack(solid, {0, 0, 32, 32}, cubic)), 3.0);

    const auto plane = volume(64, 64, 64, [](int x, int, int) { return x == 17; });
    EXPECT_NEAR(fittedDimension(countStack(plane, {0, 0, 64, 64}, cubic)), 2.0, 1e-12);

    const auto line = volume(64, 64, 64, [](int x, int y, int) { return x == 40 && y == 9; });
    EXPECT_NEAR(fittedDimension(countStack(line, {0, 0, 64, 64}, cubic)), 1.0, 1e-12);

    // The Menger sponge of level 5 (243 voxels a side): a voxel is removed
    // when two of its base-3 digits at one level are both 1.
    const auto menger = volume(243, 243, 243, [](int x, int y, int z) {
        for (; x || y || z; x /= 3, y /= 3, z /= 3)
            if ((x % 3 == 1) + (y % 3 == 1) + (z % 3 == 1) >= 2)
                return false;
        return true;
    });
    const CubeCounts sponge = countStack(menger, {0, 0, 243, 243}, cubic);
    EXPECT_EQ(sponge.occupiedVoxels, 3200000);  // 20⁵
    // Boxes of power-of-two sides on a set built in thirds fall somewhat
    // short of log 20 / log 3, as the carpet does in the plane.
    EXPECT_NEAR(fittedDimension(sponge), std::log(20.0) / std::log(3.0), 0.12);
}

TEST(CubeCount, IdenticalSlicesMultiplyThePlaneCounts)
{
    std::mt19937 random(7);
    for (const int slices : {5, 16, 33}) {
        Bitmap slice(50, 45, PixelLayout::rgb24());
        testing::paintRandomClumps(slice, random);
        const std::vector<Bitmap> stack(static_cast<std::size_t>(slices), slice);
        const Region region{-3, 2, 50, 45};
        const CubeCounts counts = countStack(stack, region, {1, 1, 1});
        const BoxCounts plane = countBoxes(slice.view(), region, PixelClass::Black);
        ASSERT_FALSE(counts.sides.empty());
        for (std::size_t k = 0; k < counts.sides.size(); ++k)
            EXPECT_EQ(counts.counts[k], plane.counts[k] * ((slices + counts.sides[k] - 1) / counts.sides[k]))
                << "slices " << slices << " side " << counts.sides[k];
    }
}

TEST(CubeCount, ReportsZeroUnderAHundredthOfAPercent)
{
    // One voxel in 100 × 100 × 1 is exactly 0.01 %; in 100 × 100 × 2 it is less.
    const auto one = [](int x, int y, int z) { return x == 5 && y == 5 && z == 0; };
    EXPECT_FALSE(reportCubeCounts(countStack(volume(100, 100, 1, one), {0, 0, 100, 100}, {})).zeroReport);
    EXPECT_TRUE(reportCubeCounts(countStack(volume(100, 100, 2, one), {0, 0, 100, 100}, {})).zeroReport);
}

TEST(CubeCount, AVoxelNeedsLengthsForEdgesAndASquarePixel)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<std::pair<VoxelSize, VoxelProblem>> cases = {
        {{0.05, 0.05, 0.1}, VoxelProblem::None},      {{0, 0, 1}, VoxelProblem::EdgeNotPositive},
        {{1, 1, -1}, VoxelProblem::EdgeNotPositive},  {{inf, inf, 1}, VoxelProblem::EdgeNotPositive},
        {{1, 1, nan}, VoxelProblem::EdgeNotPositive}, {{1, 2, 1}, VoxelProblem::NotSquare},
        {{1, 2, 0}, VoxelProblem::EdgeNotPositive},
    };
    for (const auto& [voxel, problem] : cases)
        EXPECT_EQ(voxelProblem(voxel), problem) << voxel.x << ' ' << voxel.y << ' ' << voxel.z;
    const auto messageOf = [](const VoxelSize& voxel) -> std::string {
        try {
            CubeCounter counter({0, 0, 4, 4}, 4, 4, 2, voxel);
        } catch (const Error& e) {
            return e.what();
        }
        return {};
    };
    EXPECT_EQ(messageOf({1, 2, 1}), msg::kVoxelNotSquare);
    EXPECT_EQ(messageOf({1, 1, 0}), msg::kVoxelSizeNotPositive);
    EXPECT_EQ(messageOf({1, 1, 1}), "");
}

}  // namespace
}  // namespace dimora
