// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/imageops/percent_conversion.hpp"

#include "core/imageops/colour_map.hpp"
#include "core/imageops/sum_division.hpp"

namespace dimora {

Colour percentColour(Colour colour)
{
    const unsigned red = redOf(colour);
    const unsigned green = greenOf(colour);
    const unsigned blue = blueOf(colour);
    const unsigned sum = red + green + blue;
    if (sum == 0)
        return makeColour(83, 83, 83);
    return makeColour(imageops::divideBySum(250 * red, sum), imageops::divideBySum(250 * green, sum),
                      imageops::divideBySum(250 * blue, sum));
}

void convertToPercent(Bitmap& image)
{
    imageops::mapColours(image, percentColour);
}

}  // namespace dimora
