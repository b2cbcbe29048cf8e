// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Box counting of a two-valued image on every placement of the grid, and the
// smallest count of each side: a count that belongs to the shape rather than
// to where the grid happens to land on it.
//
// Placements: for a side s, the grid may be moved by whole pixels (ox, oy),
// 0 ≤ ox, oy < s. With offset (ox, oy) box (i, j), i, j ≥ 0, covers columns
// [L − ox + i·s, L − ox + (i + 1)·s) and rows [T − oy + j·s, T − oy + (j + 1)·s)
// of the region (L, T its left and top edges), and counts when it holds a
// pixel of the class inside the region. Offset (0, 0) is the grid of
// countBoxes, so a minimum is never above its count.
//
// Pixels, region and sides are those of countBoxes (box_count.hpp): the class
// by the red byte, region pixels off the image non-black, sides 1, 2, 4, ...
// while s < W / 2 and s < H / 2, up to 8192.
//
// Cost: the region's bit mask is held whole (W × H bits, plus a border of the
// largest side), together with s_max × max(s_max, 64) counters of six bytes;
// each side then takes one pass over the mask, whatever s: box (ox, oy; i, j)
// starts at pixel (i·s − ox, j·s − oy), so the boxes of all placements are the
// boxes starting at every pixel of the region and the border, and their
// occupancy comes from that of side s / 2 by two shifted ORs. Refused with
// Error("ビットマップイメージが不正です") when that memory exceeds
// Bitmap::memoryBudget().

#include "core/image/bitmap.hpp"
#include "core/image/region.hpp"
#include "core/measure/box_count.hpp"

#include <cstdint>
#include <functional>
#include <vector>

namespace dimora {

// Where the grid of boxes lands: at the region's corner, or on the placement
// of least count for each side.
enum class GridPlacement : std::uint8_t { Origin, Min };

// A whole-pixel shift of the grid: its boxes start ox columns left of and oy
// rows above the region's corner (plus multiples of the side).
struct GridOffset {
    std::int64_t x = 0;
    std::int64_t y = 0;

    friend bool operator==(const GridOffset&, const GridOffset&) = default;
};

// The counts of one side on the placement that reaches the smallest count;
// `offsets` holds that placement for each side, the first with the smallest
// oy, then the smallest ox, when several reach it. `coverage` is that of the
// origin grid (side 1 has only one placement).
struct MinGridCounts : BoxCounts {
    std::vector<GridOffset> offsets;
};

// The counts of all s × s placements of one side: count(ox, oy).
class PlacementCounts {
public:
    PlacementCounts(std::int64_t side, std::vector<std::int64_t> counts)
        : side_(side), counts_(std::move(counts))
    {
    }
    [[nodiscard]] std::int64_t side() const { return side_; }
    [[nodiscard]] std::int64_t count(std::int64_t ox, std::int64_t oy) const
    {
        return counts_[static_cast<std::size_t>(oy * side_ + ox)];
    }

private:
    std::int64_t side_;
    std::vector<std::int64_t> counts_;  // row oy, column ox
};

// Counts every side on its placement of least count. Throws
// Error("不正な浮動小数点数演算命令") for a region without pixels, as
// countBoxes does, and the budget's error (see above).
[[nodiscard]] MinGridCounts countBoxesMinGrid(const ImageView& image, const Region& region,
                                              PixelClass pixelClass, const PixelMask* mask = nullptr);

// countBoxes for GridPlacement::Origin (no offsets), countBoxesMinGrid for
// GridPlacement::Min: the one call a front end needs for its grid option.
[[nodiscard]] MinGridCounts countBoxesOnGrid(const ImageView& image, const Region& region,
                                             PixelClass pixelClass, GridPlacement placement,
                                             const PixelMask* mask = nullptr);

// The counts of every placement of every side, for each side in turn (side 1
// first). Memory and errors as countBoxesMinGrid, plus the s × s counts handed
// on for each side.
void countEveryPlacement(const ImageView& image, const Region& region, PixelClass pixelClass,
                         const std::function<void(const PlacementCounts&)>& onSide);

// The working memory of countBoxesMinGrid for a region, in bytes.
[[nodiscard]] std::uint64_t minGridWorkingBytes(const Region& region);

}  // namespace dimora
