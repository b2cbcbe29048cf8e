// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/imageops/grayscale.hpp"

#include "core/imageops/colour_map.hpp"

namespace dimora {

void convertToGrayscale(Bitmap& image)
{
    imageops::mapColours(image, greyColour);
}

}  // namespace dimora
