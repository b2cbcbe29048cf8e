// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The occupied pixels of a region as one byte each (1 occupied, 0 not), rows
// from the region's top: black by the red byte, inside the image and, with a
// mask, inside the mask. Shared by the lacunarity and the black mass of the
// multifractal spectrum.

#include "core/image/bitmap.hpp"
#include "core/image/pixel_mask.hpp"
#include "core/image/region.hpp"

#include <cstdint>
#include <vector>

namespace dimora {

// region.width × region.height bytes; the region must not be empty.
[[nodiscard]] std::vector<std::uint8_t> occupiedPixels(const ImageView& image, const Region& region,
                                                       const PixelMask* mask);

}  // namespace dimora
