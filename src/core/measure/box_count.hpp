// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Box counting of a two-valued image: the region is covered with square boxes
// of side 1, 2, 4, ..., and for each side the boxes that hold at least one
// pixel of the class are counted.
//
// Pixels and region:
// - The class is decided by the red byte of the pixel's colour alone: black
//   when it is 0, non-black when it is 1 to 255 (so cyan 0x00FFFF00 is black
//   and 0x00000001 is non-black).
// - The region is not clipped: pixels of the region outside the image read as
//   the invalid colour, which is non-black. So they never count as black and
//   always count as non-black.
// - Boxes start at the region's top-left corner. Boxes of the last column and
//   row may reach past the region's right or bottom edge; only their pixels
//   inside the region are looked at.
// - Sides: s = 1, 2, 4, ... while s < H / 2 and s < W / 2 (real halves), up to
//   side 8192 (the 14 lines of the count list). A 64 × 64 region uses the sides
//   1 to 16, a 65 × 65 region 1 to 32; a region whose shorter edge is 2 or
//   less uses none.
//
// Cost: about one pass over the region's pixel bytes (each row is read once
// and turned into bits; the occupancy of side 2s comes from that of side s),
// plus memory for the bits of side 2, kept per thread and reused.

#include "core/image/bitmap.hpp"
#include "core/image/decode_watcher.hpp"
#include "core/image/pixel_mask.hpp"
#include "core/image/region.hpp"

#include <cstdint>
#include <optional>
#include <vector>

namespace dimora {

enum class PixelClass : std::uint8_t { Black, NonBlack };

// The largest box side that is counted.
inline constexpr std::int64_t kLargestBoxSide = 8192;

// Below this coverage (in percent) a two-valued measurement ends with the
// zero report instead of a fit.
inline constexpr double kZeroReportCoverage = 0.001;

// The sides firstSide, 2·firstSide, 4·firstSide, ... while s < height / 2,
// s < width / 2 and s ≤ 8192.
[[nodiscard]] std::vector<std::int64_t> boxSides(std::int32_t width, std::int32_t height,
                                                 std::int64_t firstSide);

struct BoxCounts {
    std::vector<std::int64_t> sides;   // 1, 2, 4, ... (empty for a shorter edge of 2 or less)
    std::vector<std::int64_t> counts;  // occupied boxes, one per side
    // count(1) / (W × H) × 100: the percentage of region pixels in the class,
    // W × H in 64 bits. 0 when no side is counted.
    double coverage = 0;
    // Counted under a mask: its pixels inside the region, which the
    // coverage is taken over instead of W × H.
    std::optional<std::int64_t> maskArea;
};

// Counts the boxes of every side. Throws Error("不正な浮動小数点数演算命令")
// for a region without pixels (width or height 0): its coverage is 0 / 0.
// With a gate, each image row is waited for before it is read (in increasing
// order), so the counting can follow a decoder that is still writing a
// top-down image; the gate's RowsAbandoned ends the counting.
[[nodiscard]] BoxCounts countBoxes(const ImageView& image, const Region& region, PixelClass pixelClass,
                                   RowGate* gate = nullptr);

// countBoxes under a mask (nullptr: none, exactly countBoxes): a pixel
// outside the mask is never in the class, also a region pixel off the image
// for the non-black class; the coverage is count(1) over the mask's pixels
// inside the region (0 / 0, the float error, when it has none).
[[nodiscard]] BoxCounts countMaskedBoxes(const ImageView& image, const Region& region, PixelClass pixelClass,
                                         const PixelMask* mask);

}  // namespace dimora
