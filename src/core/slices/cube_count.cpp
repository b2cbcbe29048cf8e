// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/slices/cube_count.hpp"

#include "core/common/error.hpp"
#include "core/measure/bit_rows.hpp"
#include "core/measure/box_count.hpp"
#include "core/measure/row_classifier.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace dimora {

std::int64_t slicesPerBox(std::int64_t side, const VoxelSize& voxel)
{
    const double slices = std::floor(static_cast<double>(side) * voxel.x / voxel.z + 0.5);
    if (!(slices < 0x1p62))
        return std::numeric_limits<std::int64_t>::max();
    return std::max<std::int64_t>(1, static_cast<std::int64_t>(slices));
}

std::vector<std::int64_t> cubeSides(std::int32_t width, std::int32_t height, std::int32_t slices,
                                    const VoxelSize& voxel)
{
    std::vector<std::int64_t> sides = boxSides(width, height, 1);
    const double halfSlices = slices / 2.0;
    const auto tooDeep = std::find_if(sides.begin(), sides.end(), [&](std::int64_t side) {
        return !(static_cast<double>(slicesPerBox(side, voxel)) < halfSlices);
    });
    sides.erase(tooDeep, sides.end());
    return sides;
}

CubeCounter::CubeCounter(const Region& region, std::int32_t imageWidth, std::int32_t imageHeight,
                         std::int32_t slices, const VoxelSize& voxel)
    : imageWidth_(imageWidth), imageHeight_(imageHeight)
{
    const auto positive = [](double v) { return v > 0 && std::isfinite(v); };
    if (!positive(voxel.x) || !positive(voxel.y) || !positive(voxel.z))
        fail(msg::kVoxelSizeNotPositive);
    counts_.region = region;
    counts_.sliceCount = slices;
    counts_.voxel = voxel;
    counts_.sides = cubeSides(region.width, region.height, slices, voxel);
    for (const std::int64_t side : counts_.sides)
        counts_.slicesPerBox.push_back(slicesPerBox(side, voxel));
    counts_.counts.assign(counts_.sides.size(), 0);

    xs_ = overlapOf(region.left, region.width, imageWidth);
    ys_ = overlapOf(region.top, region.height, imageHeight);
    if (xs_.length == 0 || ys_.length == 0)
        return;
    rowA_.resize(bitWords(xs_.length));
    rowB_.resize(bitWords(xs_.length));
    for (std::size_t k = 0; k < counts_.sides.size(); ++k) {
        Grid& grid = grids_.emplace_back();
        grid.shape = levelShape(xs_, ys_, static_cast<int>(k));
        grid.block.assign(grid.shape.words(), 0);
        if (k > 0)
            grid.slice.assign(grid.shape.words(), 0);
    }
}

void CubeCounter::countBlock(Grid& grid, std::int64_t& count)
{
    count += countWordBits(grid.block.data(), grid.block.size());
    std::fill(grid.block.begin(), grid.block.end(), 0);
}

void CubeCounter::addSlice(const ImageView& slice)
{
    if (slice.width != imageWidth_ || slice.height != imageHeight_)
        fail(msg::kInvalidBitmap);
    ++slicesAdded_;
    if (xs_.length == 0 || ys_.length == 0)
        return;

    // Side 1: the slice's pixel bits go straight into the block's occupancy;
    // side 2 of this slice is made from them on the way.
    const RowClassifier classifier(*slice.layout, PixelTest::BlackByRed);
    const std::size_t pixelWords = bitWords(xs_.length);
    const std::int64_t firstPixel = counts_.region.left + xs_.offset;
    OccupancyLevel sideTwo;
    if (grids_.size() >= 2) {
        sideTwo = grids_[1].shape;
        sideTwo.bits = grids_[1].slice.data();
    }
    readPixelRows(
        xs_, ys_, slice.stride < 0, sideTwo, rowA_.data(), rowB_.data(),
        [&](std::int64_t r, std::uint64_t* bits) {
            classifier.classify(slice.row(static_cast<std::int32_t>(counts_.region.top + ys_.offset + r)),
                                firstPixel, xs_.length, bits);
            counts_.occupiedVoxels += countWordBits(bits, pixelWords);
            if (!grids_.empty())
                orWords(grids_[0].block.data() + static_cast<std::size_t>(r) * pixelWords, bits, pixelWords);
        });

    // Sides 2, 4, ...: each from the side before within this slice, then ORed
    // into the block.
    for (std::size_t k = 1; k < grids_.size(); ++k) {
        Grid& grid = grids_[k];
        orWords(grid.block.data(), grid.slice.data(), grid.block.size());
        if (k + 1 < grids_.size()) {
            OccupancyLevel in = grid.shape;
            in.bits = grid.slice.data();
            OccupancyLevel out = grids_[k + 1].shape;
            out.bits = grids_[k + 1].slice.data();
            if (rowA_.size() < in.wordsPerRow)
                rowA_.resize(in.wordsPerRow);
            halveLevel(in, out, rowA_.data());
        }
    }

    for (std::size_t k = 0; k < grids_.size(); ++k)
        if (slicesAdded_ % counts_.slicesPerBox[k] == 0)
            countBlock(grids_[k], counts_.counts[k]);
}

CubeCounts CubeCounter::finish()
{
    // The last block of a side may be short.
    for (std::size_t k = 0; k < grids_.size(); ++k)
        if (slicesAdded_ % counts_.slicesPerBox[k] != 0)
            countBlock(grids_[k], counts_.counts[k]);
    // W × H × slices exactly (an extended mantissa holds 64 bits).
    const long double voxels =
        static_cast<long double>(counts_.region.width) * counts_.region.height * counts_.sliceCount;
    if (voxels == 0)
        fail(msg::kInvalidFloatOperation);
    counts_.coverage = static_cast<double>(counts_.occupiedVoxels / voxels * 100);
    return counts_;
}

CountReport reportCubeCounts(const CubeCounts& counts)
{
    return reportOccupiedBoxes(counts.sides, counts.counts, counts.coverage, kCubeZeroReportCoverage);
}

}  // namespace dimora
