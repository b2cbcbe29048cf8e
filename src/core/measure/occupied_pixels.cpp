// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/occupied_pixels.hpp"

#include "core/measure/bit_rows.hpp"
#include "core/measure/row_classifier.hpp"

#include <algorithm>

namespace dimora {

std::vector<std::uint8_t> occupiedPixels(const ImageView& image, const Region& region, const PixelMask* mask)
{
    const auto width = static_cast<std::size_t>(region.width);
    std::vector<std::uint8_t> occupied(width * static_cast<std::size_t>(region.height), 0);
    // The part of the region inside the image; the rest stays unoccupied.
    const std::int64_t x0 = std::max<std::int64_t>(region.left, 0);
    const std::int64_t x1 = std::min<std::int64_t>(std::int64_t{region.left} + region.width, image.width);
    const std::int64_t y0 = std::max<std::int64_t>(region.top, 0);
    const std::int64_t y1 = std::min<std::int64_t>(std::int64_t{region.top} + region.height, image.height);
    if (x0 >= x1 || y0 >= y1)
        return occupied;
    const RowClassifier classifier(*image.layout, PixelTest::BlackByRed);
    std::vector<std::uint64_t> bits(bitWords(x1 - x0));
    for (std::int64_t y = y0; y < y1; ++y) {
        classifier.classify(image.row(static_cast<std::int32_t>(y)), x0, x1 - x0, bits.data());
        std::uint8_t* out = occupied.data() + static_cast<std::size_t>(y - region.top) * width +
                            static_cast<std::size_t>(x0 - region.left);
        for (std::int64_t i = 0; i < x1 - x0; ++i)
            out[i] = static_cast<std::uint8_t>(testBit(bits.data(), i));
        if (mask != nullptr)
            for (std::int64_t i = 0; i < x1 - x0; ++i)
                out[i] &= static_cast<std::uint8_t>(
                    mask->at(static_cast<std::int32_t>(x0 + i), static_cast<std::int32_t>(y)));
    }
    return occupied;
}

}  // namespace dimora
