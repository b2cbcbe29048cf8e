// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/imageops/inversion.hpp"

#include "core/imageops/colour_map.hpp"

namespace dimora {

void invertColours(Bitmap& image)
{
    imageops::mapColours(image, invertedColour);
}

}  // namespace dimora
