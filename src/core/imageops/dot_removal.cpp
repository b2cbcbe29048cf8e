// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/imageops/dot_removal.hpp"

#include "core/imageops/row_codec.hpp"

#include <algorithm>
#include <utility>
#include <vector>

namespace dimora {

void removeIsolatedDots(Bitmap& image)
{
    if (image.empty())
        return;
    const std::int32_t width = image.width();
    const std::int32_t height = image.height();
    const PixelLayout& layout = image.layout();
    const imageops::RowDecoder decoder(layout);
    const std::uint32_t whiteValue = layout.nearestValue(kWhite);
    // What a whitened pixel reads as afterwards, for the decisions after it.
    const auto whiteRead = static_cast<std::int32_t>(layout.colourOfValue(whiteValue));

    // Rows as signed colours with a column of −1 (outside) on either side.
    const auto columns = static_cast<std::size_t>(width) + 2;
    std::vector<Colour> colours(static_cast<std::size_t>(width));
    std::vector<std::int32_t> above(columns, -1), middle(columns), below(columns);
    const auto load = [&](std::int32_t y, std::vector<std::int32_t>& values) {
        decoder.decodeSigned(image, y, colours, values);
    };

    load(0, middle);
    for (std::int32_t y = 0; y < height; ++y) {
        load(y + 1, below);
        std::uint8_t* pixels = image.row(y);
        for (std::int32_t x = 0; x < width; ++x) {
            const auto i = static_cast<std::size_t>(x) + 1;
            if (middle[i] != 0)
                continue;
            if (middle[i - 1] > 0 && above[i] > 0 && middle[i + 1] > 0 && below[i] > 0) {
                imageops::storeValue(layout, pixels, x, whiteValue);
                middle[i] = whiteRead;
            }
        }
        // The row just swept, with its writes, is the next row's upper neighbour.
        std::swap(above, middle);
        std::swap(middle, below);
    }
}

}  // namespace dimora
