// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/imageops/colour_extraction.hpp"

#include "core/imageops/colour_map.hpp"
#include "core/imageops/sum_division.hpp"

namespace dimora {

ColourPercentages colourPercentages(Colour colour)
{
    const unsigned red = redOf(colour);
    const unsigned green = greenOf(colour);
    const unsigned sum = red + green + blueOf(colour);
    if (sum == 0)
        return {33, 33};
    return {static_cast<int>(imageops::divideBySum(100 * red, sum)),
            static_cast<int>(imageops::divideBySum(100 * green, sum))};
}

Colour extractedColour(Colour colour, const ColourExtraction& extraction)
{
    const ColourPercentages p = colourPercentages(colour);
    const int difference = extraction.channel == ExtractedChannel::Green ? p.green - p.red : p.red - p.green;
    return difference > extraction.threshold ? kBlack : kWhite;
}

void extractColour(Bitmap& image, const ColourExtraction& extraction)
{
    imageops::mapColours(image, [rule = extraction](Colour c) { return extractedColour(c, rule); });
}

}  // namespace dimora
