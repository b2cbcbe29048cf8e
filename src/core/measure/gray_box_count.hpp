// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Differential box counting of a grayscale image taken as a surface whose
// height is the grey level (the red byte of the pixel's colour, 0 to 255).
//
// The region is cut into square boxes of side s = 2, 4, 8, ... (side 1 is
// never used) while s < H / 2 and s < W / 2 (real halves), up to side 8192.
// Of each box only its four corner pixels are read: (x, y), (x + s − 1, y),
// (x, y + s − 1), (x + s − 1, y + s − 1). The corners are not clipped: in the
// last column or row of boxes they may lie past the region's edge, and they
// are read wherever they fall; outside the image they read as 255. A box adds
// (hi − lo) div s + 1 to count(s), hi and lo being the largest and smallest
// of its four levels.
//
// The brightness difference is the highest minus the lowest corner level of
// the last side counted (each side starts again from 0 and 255).
//
// Cost: four pixel reads per box, read straight from the rows; boxes whose
// corners all lie outside the image are counted without reading them.

#include "core/image/bitmap.hpp"
#include "core/image/region.hpp"

#include <cstdint>
#include <vector>

namespace dimora {

struct GrayCounts {
    std::vector<std::int64_t> sides;   // 2, 4, 8, ... (empty for a shorter edge of 4 or less)
    std::vector<std::int64_t> counts;  // one sum per side
    int brightnessDifference = 0;      // of the last side; 0 when no side is counted
};

[[nodiscard]] GrayCounts countGrayBoxes(const ImageView& image, const Region& region);

}  // namespace dimora
