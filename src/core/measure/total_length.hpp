// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The total length of the black lines of an image, in pixels.
//
// Black here means all three colour bytes 0 (isBlackByColour): stricter than
// box counting, so cyan 0x00FFFF00 and 0x00000001 are not black. Pixels
// outside the image read as the invalid colour, which is not black.
//
// Every black pixel of the scan rectangle (a centre) is linked to each black
// pixel among its eight neighbours, wherever they lie: a side neighbour adds
// 1.0 and a corner neighbour 1.4 (exactly 1.4, not √2) to a running sum kept
// as a double. Centres are visited row by row, top to bottom and left to
// right, their neighbours in the order left, right, above, below (1.0 each),
// then upper left, lower left, upper right, lower right (1.4 each); the sum is
// the sequential double sum in exactly this order. The length is half the
// sum: a link between two centres is seen from both ends, a link to a black
// pixel outside the scan rectangle from one end only and so adds half its
// weight.
//
// Scan rectangle: with a visible selection, the analysis region itself;
// without one, the whole image without its outermost one-pixel frame
// (columns 1 to W − 2, rows 1 to H − 2).
//
// Cost: one pass over the rows of the scan rectangle and the rows above and
// below it, turned into bits (kept per thread and reused); a few operations
// per black centre.

#include "core/image/bitmap.hpp"
#include "core/image/region.hpp"

#include <optional>
#include <string>

namespace dimora {

// The centres that the measurement visits. `selection` is the analysis region
// when the selection is visible, nothing when it is hidden. The rectangle may
// be empty (width or height 0 or less).
[[nodiscard]] Region lengthScanRectangle(std::int32_t imageWidth, std::int32_t imageHeight,
                                         const std::optional<Region>& selection);

struct TotalLength {
    Region scan;        // the scan rectangle
    double sum = 0;     // the running sum of link weights
    double length = 0;  // sum / 2
    std::string field;  // the total-length field's text, " " + the length rounded to units
};

// Measures the total length. Returns nothing when the scan rectangle is empty:
// the field is then left as it was.
[[nodiscard]] std::optional<TotalLength> measureTotalLength(const ImageView& image,
                                                            const std::optional<Region>& selection);

// The field text of a length: a blank and the length in fixed notation
// without decimals (rounded at the units, a 5 rounding away from zero), every
// integer digit shown.
[[nodiscard]] std::string totalLengthFieldText(double length);

}  // namespace dimora
