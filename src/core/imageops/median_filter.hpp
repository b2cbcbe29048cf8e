// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Median filter: a 3 × 3 majority filter that writes a pure black and white
// image, for cleaning two-valued images before a measurement.
//
// For each pixel the nine colours of its 3 × 3 window are added as signed
// integers (blue × 65536 + green × 256 + red, whole values, not per channel);
// a position outside the image adds −1. A sum of at most 0x3FFFFFC (four
// times white) gives black, a larger one white. On a two-valued image: white
// where at least 5 of the window's positions inside the image are white,
// black otherwise; so the four corners always come out black. On other images
// the integer rule holds as stated (blue dominates the sum).
//
// Every read sees the unchanged input: the result goes into a scratch bitmap
// first. Whole image; the layout is kept and the nearest colour of black and
// white is stored. Cost: one pass over the rows plus two whole-image copies
// (in place when the scratch already has the image's size and layout).

#include "core/image/bitmap.hpp"

namespace dimora {

// The largest window sum that still gives black.
inline constexpr std::int32_t kMedianBlackLimit = 0x3FFFFFC;

// Makes `scratch` a copy of `image`, writes the filtered pixels into
// `scratch`, then copies `scratch` back into `image`: afterwards both hold the
// result. Passing the same bitmap twice filters it through a temporary copy.
void medianFilter(Bitmap& image, Bitmap& scratch);

}  // namespace dimora
