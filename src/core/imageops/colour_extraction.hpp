// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Green and red extraction: every pixel becomes pure black where one channel
// outweighs the other by more than a threshold, pure white elsewhere. The
// weights are integer percentages of the pixel's brightness R + G + B.
//
// Whole image, in place; the layout is kept and the nearest colour of black
// and white is stored. Cost: one pass over the rows; on palette layouts the
// decision is made once per palette entry.

#include "core/image/bitmap.hpp"
#include "core/image/colour.hpp"

#include <cstdint>

namespace dimora {

// The two integer shares that extraction compares, each 0 .. 100: with
// S = R + G + B, red = (100 × R) div S and green = (100 × G) div S, both 33
// when S = 0 (black).
struct ColourPercentages {
    int red = 0;
    int green = 0;

    friend bool operator==(const ColourPercentages&, const ColourPercentages&) = default;
};

[[nodiscard]] ColourPercentages colourPercentages(Colour colour);

enum class ExtractedChannel : std::uint8_t {
    Green,  // black where green% − red% > threshold
    Red,    // black where red% − green% > threshold
};

struct ColourExtraction {
    ExtractedChannel channel = ExtractedChannel::Green;
    // Any signed 32-bit value: the difference lies in −100 .. 100, so 100 or
    // more makes every pixel white and −101 or less every pixel black.
    std::int32_t threshold = 0;
};

// Black 0x000000 when the chosen difference is strictly greater than the
// threshold, otherwise white 0xFFFFFF. Greys, black and white have difference 0.
[[nodiscard]] Colour extractedColour(Colour colour, const ColourExtraction& extraction);

// Replaces every pixel of the image by its extracted colour.
void extractColour(Bitmap& image, const ColourExtraction& extraction);

}  // namespace dimora
