// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "imageops/grayscale.hpp"

#include "imageops/colour_map.hpp"

namespace dimora {

void convertToGrayscale(Bitmap& image) { imageops::mapColours(image, greyColour); }

}  // namespace dimora
