// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Negative/positive inversion: each channel c becomes 255 − c, so black
// figures on white become white on black and back.
//
// Whole image, in place; the layout is kept and the nearest colour is stored
// (so inverting twice restores a 24-bit image exactly, a palette image only
// as far as its palette holds the inverted colours). Cost: one pass over the
// rows; on palette layouts once per palette entry.

#include "core/image/bitmap.hpp"
#include "core/image/colour.hpp"

namespace dimora {

[[nodiscard]] constexpr Colour invertedColour(Colour colour)
{
    return (colour ^ 0xFFFFFFu) & 0xFFFFFFu;
}

void invertColours(Bitmap& image);

}  // namespace dimora
