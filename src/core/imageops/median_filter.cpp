// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/imageops/median_filter.hpp"

#include "core/imageops/row_codec.hpp"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace dimora {
namespace {

// A whole-bitmap copy. When the target already has the same shape the bytes
// are copied into its memory: fresh memory is slow to touch the first time.
void copyBitmap(const Bitmap& from, Bitmap& to)
{
    if (to.width() == from.width() && to.height() == from.height() && to.rowOrder() == from.rowOrder() &&
        to.stride() == from.stride() && to.layout() == from.layout()) {
        if (from.byteCount() != 0)
            std::memcpy(to.data(), from.data(), from.byteCount());
        return;
    }
    to = from;
}

}  // namespace

void medianFilter(Bitmap& image, Bitmap& scratch)
{
    if (&image == &scratch) {
        Bitmap separate;
        medianFilter(image, separate);
        return;
    }
    copyBitmap(image, scratch);
    if (image.empty())
        return;

    const std::int32_t width = image.width();
    const std::int32_t height = image.height();
    const PixelLayout& layout = scratch.layout();
    const std::uint32_t blackValue = layout.nearestValue(kBlack);
    const std::uint32_t whiteValue = layout.nearestValue(kWhite);
    const imageops::RowDecoder decoder(image.layout());

    // Rows as the values the window adds, with a column of −1 on either side;
    // a row outside the image is −1 throughout.
    const auto columns = static_cast<std::size_t>(width) + 2;
    std::vector<Colour> colours(static_cast<std::size_t>(width));
    std::vector<std::int32_t> above(columns), middle(columns), below(columns), columnSums(columns);
    const auto load = [&](std::int32_t y, std::vector<std::int32_t>& values) {
        decoder.decodeSigned(image, y, colours, values);
    };

    load(-1, above);
    load(0, middle);
    for (std::int32_t y = 0; y < height; ++y) {
        load(y + 1, below);
        // Nine values of at most 0xFFFFFF: no overflow.
        for (std::size_t i = 0; i < columns; ++i)
            columnSums[i] = above[i] + middle[i] + below[i];
        std::uint8_t* out = scratch.row(y);
        for (std::int32_t x = 0; x < width; ++x) {
            const auto i = static_cast<std::size_t>(x);
            const std::int32_t sum = columnSums[i] + columnSums[i + 1] + columnSums[i + 2];
            imageops::storeValue(layout, out, x, sum <= kMedianBlackLimit ? blackValue : whiteValue);
        }
        std::swap(above, middle);
        std::swap(middle, below);
    }

    copyBitmap(scratch, image);
}

}  // namespace dimora
