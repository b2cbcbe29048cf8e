// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Percent conversion: every pixel is replaced by its chromaticity at a fixed
// brightness, each channel's share of R + G + B scaled to 250.
//
// Whole image, in place; the layout is kept and the nearest colour is stored.
// Cost: one pass over the rows; on palette layouts once per palette entry.

#include "core/image/bitmap.hpp"
#include "core/image/colour.hpp"

namespace dimora {

// With S = R + G + B: each channel becomes (250 × channel) div S, rounded
// down (the three add up to 248 .. 250); black (S = 0) becomes (83, 83, 83).
[[nodiscard]] Colour percentColour(Colour colour);

void convertToPercent(Bitmap& image);

}  // namespace dimora
