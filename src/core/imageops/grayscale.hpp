// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Grayscale conversion: every pixel becomes the grey of its weighted
// brightness, the input that the grayscale measurement reads from the red
// byte.
//
// Whole image, in place; the layout is kept and the nearest colour is stored.
// Cost: one pass over the rows; on palette layouts once per palette entry.

#include "core/image/bitmap.hpp"
#include "core/image/colour.hpp"

namespace dimora {

// Y = (30 R + 59 G + 11 B) div 100, rounded down (0 .. 255).
[[nodiscard]] constexpr unsigned greyValue(Colour colour)
{
    return (30 * redOf(colour) + 59 * greenOf(colour) + 11 * blueOf(colour)) / 100;
}

// The grey (Y, Y, Y).
[[nodiscard]] constexpr Colour greyColour(Colour colour)
{
    return greyValue(colour) * 0x010101u;
}

void convertToGrayscale(Bitmap& image);

}  // namespace dimora
