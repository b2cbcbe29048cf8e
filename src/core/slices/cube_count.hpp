// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// True three-dimensional box counting over a stack of two-valued slices,
// fed one slice at a time.
//
// A voxel is occupied when its pixel is black (red byte 0) and lies inside
// the region; pixels of the region outside a slice are never black. Voxels
// are X × Y × Z long (X = Y: square pixels). A box of side s spans s × s
// pixels, starting at the region's top-left corner, and k(s) = max(1,
// round(s × X / Z)) consecutive slices (halves rounded up), the z blocks
// starting at the first slice; the last block may be short. N(s) is the
// number of boxes holding an occupied voxel. Sides run s = 1, 2, 4, ... while
// s < W / 2, s < H / 2, k(s) < slices / 2 (real halves) and s ≤ 8192.
//
// Cost: each slice's region is read once and turned into bits, which are ORed
// into one occupancy grid per side (side 2s from side s of the same slice);
// a side's grid is counted and cleared when its k(s) slices are complete.
// Memory: the grids, about 4/3 of one bit per region pixel on the slice, never
// the stack.

#include "core/image/bitmap.hpp"
#include "core/image/region.hpp"
#include "core/measure/dimension_measurement.hpp"
#include "core/measure/occupancy_level.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace dimora {

// Voxel edge lengths in any one unit.
struct VoxelSize {
    VoxelSize() = default;
    VoxelSize(double x, double y, double z) : x(x), y(y), z(z) {}

    double x = 1;
    double y = 1;
    double z = 1;
    // The edges as the user wrote them in decimal ("0.3", "2.5e-1"; blanks
    // around and a leading "+" allowed), when known. k(s) takes X and Z from
    // these texts exactly, since 0.3 / 0.2 is 1.5 as written but a little less
    // in doubles. An empty text stands for the shortest decimal that reads
    // back as the edge's double.
    std::string xText;
    std::string yText;
    std::string zText;
};

// Whether a voxel edge is a length: positive and finite.
[[nodiscard]] bool isVoxelEdge(double edge);

// What makes a voxel size unusable, checked in this order: an edge that is
// not a length (X, Y, then Z), then a pixel that is not square (X ≠ Y; the
// counting takes a box's side in pixels along X and Y alike).
enum class VoxelProblem : std::uint8_t { None, EdgeNotPositive, NotSquare };
[[nodiscard]] VoxelProblem voxelProblem(const VoxelSize& voxel);

// Throws Error(msg::kVoxelSizeNotPositive) or Error(msg::kVoxelNotSquare)
// for the voxel's problem, if it has one.
void requireUsableVoxel(const VoxelSize& voxel);

// An edge for reports: its text as written (without blanks), else the
// shortest decimal that reads back as `edge`.
[[nodiscard]] std::string voxelEdgeText(double edge, const std::string& text);

// Below this coverage (in percent) a cube measurement ends with the zero report.
inline constexpr double kCubeZeroReportCoverage = 0.01;

// k(s): the slices a box of side s pixels spans, max(1, round(s × X / Z))
// with X and Z their decimal texts taken exactly, halves rounded up; at least
// 2^62 saturates to the largest int64.
[[nodiscard]] std::int64_t slicesPerBox(std::int64_t side, const VoxelSize& voxel);

// The sides counted for a region of width × height over `slices` slices.
[[nodiscard]] std::vector<std::int64_t> cubeSides(std::int32_t width, std::int32_t height,
                                                  std::int32_t slices, const VoxelSize& voxel);

struct CubeCounts {
    Region region;
    std::int32_t sliceCount = 0;
    VoxelSize voxel;
    std::vector<std::int64_t> sides;         // every side counted
    std::vector<std::int64_t> slicesPerBox;  // k(s), per side
    std::vector<std::int64_t> counts;        // N(s), per side
    std::int64_t occupiedVoxels = 0;
    // occupied voxels / (W × H × slices) × 100.
    double coverage = 0;
};

class CubeCounter {
public:
    // Slices are imageWidth × imageHeight; `slices` of them will come. The
    // voxel must be usable (requireUsableVoxel, which it throws from).
    CubeCounter(const Region& region, std::int32_t imageWidth, std::int32_t imageHeight, std::int32_t slices,
                const VoxelSize& voxel);

    // The next slice, of the size given above.
    void addSlice(const ImageView& slice);

    // The counts once every slice has been added (a short last block counts
    // as it stands). Throws Error("不正な浮動小数点数演算命令") when the
    // stack has no voxel (a region without pixels, or no slice): its
    // coverage is 0 / 0.
    [[nodiscard]] CubeCounts finish();

private:
    // One side's boxes: their occupancy over the current z block, and this
    // slice's own occupancy (made from the side before).
    struct Grid {
        OccupancyLevel shape;
        std::vector<std::uint64_t> block;
        std::vector<std::uint64_t> slice;
    };
    void countBlock(Grid& grid, std::int64_t& count);

    CubeCounts counts_;
    std::int32_t imageWidth_ = 0;
    std::int32_t imageHeight_ = 0;
    Overlap xs_, ys_;
    std::vector<Grid> grids_;
    std::vector<std::uint64_t> rowA_, rowB_;
    std::int32_t slicesAdded_ = 0;
};

// The count list and the fit pairs for the result window: nothing but the zero
// report under 0.01 %, else the lines and pairs of N(s) for every side.
[[nodiscard]] CountReport reportCubeCounts(const CubeCounts& counts);

}  // namespace dimora
