// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Measuring under a pixel mask: only the pixels inside the mask and the
// region take part. A pixel outside the mask is never occupied and has no
// mass (the region's pixels off the image are outside every mask, so with a
// mask they are not non-black either).
//
// The two-valued counting with a mask is countMaskedBoxes (box_count.hpp) and
// countBoxesOnGrid with a mask (min_grid_count.hpp): the classified bit rows
// are ANDed with the mask's bit rows, so a measurement without a mask reads
// no mask at all. The grey counting with a mask is here: a box takes part
// only when its four corner pixels (every pixel its sum reads) are inside.
//
// For the other measurements (lacunarity, the multifractal spectrum):
// maskAreaIn gives the mask's pixels inside a region, andMaskBits clears the
// bits of a classified row that lie outside the mask.

#include "core/image/bitmap.hpp"
#include "core/image/pixel_mask.hpp"
#include "core/image/region.hpp"
#include "core/measure/box_count.hpp"
#include "core/measure/count_report.hpp"
#include "core/measure/gray_box_count.hpp"

#include <cstdint>

namespace dimora {

// The mask's pixels inside the region (the region may reach past the mask).
[[nodiscard]] std::int64_t maskAreaIn(const PixelMask& mask, const Region& region);

// bits[i] &= mask.at(firstPixel + i, y) for i in [0, count): bit i of the
// row is bit i mod 64 of word i / 64, as in bit_rows.hpp.
void andMaskBits(const PixelMask& mask, std::int64_t y, std::int64_t firstPixel, std::int64_t count,
                 std::uint64_t* bits);

// The differential box counting of countGrayBoxes over the boxes whose four
// corners lie inside the mask; the brightness difference is that of those
// boxes of the last side. Without a mask: countGrayBoxes itself.
[[nodiscard]] GrayCounts countMaskedGrayBoxes(const ImageView& image, const Region& region,
                                              const PixelMask* mask);

// A whole measurement under a mask (nullptr: none), as measureTwoValued and
// measureGray make it.
[[nodiscard]] DimensionMeasurement measureTwoValuedMasked(const ImageView& image, const Region& region,
                                                          PixelClass pixelClass, const PixelMask* mask);
[[nodiscard]] DimensionMeasurement measureGrayMasked(const ImageView& image, const Region& region,
                                                     const PixelMask* mask);

}  // namespace dimora
