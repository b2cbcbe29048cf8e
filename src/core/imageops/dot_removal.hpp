// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Isolated black dot removal: a pure black pixel (colour 0) whose four edge
// neighbours, left, up, right and down, are all inside the image and not pure
// black is made white. Diagonal neighbours are not looked at, so a black
// pixel touching others only at its corners goes too; a black pixel on the
// image's border always stays (its outside neighbour reads −1, which fails).
//
// In place, in one top-to-bottom, left-to-right sweep; since a whitened pixel
// has no black edge neighbour, the result equals deciding every pixel on the
// unchanged image. The layout is kept and the nearest colour of white is
// stored. Cost: one pass over the rows.

#include "core/image/bitmap.hpp"

namespace dimora {

void removeIsolatedDots(Bitmap& image);

}  // namespace dimora
