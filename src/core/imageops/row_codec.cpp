// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/imageops/row_codec.hpp"

#include <algorithm>

namespace dimora::imageops {

RowDecoder::RowDecoder(const PixelLayout& layout) : layout_(&layout)
{
    std::uint32_t values = 0;
    switch (layout.format()) {
    case PixelFormat::Indexed1:
        values = 2;
        break;
    case PixelFormat::Indexed4:
        values = 16;
        break;
    case PixelFormat::Indexed8:
        values = 256;
        break;
    case PixelFormat::Masked16:
        values = 65536;
        break;
    case PixelFormat::Rgb24:
    case PixelFormat::Masked32:
        break;
    }
    colourOfValue_.resize(values);
    for (std::uint32_t v = 0; v < values; ++v)
        colourOfValue_[v] = layout.colourOfValue(v);
}

void RowDecoder::decode(const std::uint8_t* row, std::int32_t width, Colour* out) const
{
    const Colour* table = colourOfValue_.data();
    switch (layout_->format()) {
    case PixelFormat::Indexed1:
        for (std::int32_t x = 0; x < width; ++x)
            out[x] = table[row[x >> 3] >> (7 - (x & 7)) & 1u];
        return;
    case PixelFormat::Indexed4:
        for (std::int32_t x = 0; x < width; ++x)
            out[x] = table[row[x >> 1] >> ((x & 1) ? 0 : 4) & 0xFu];
        return;
    case PixelFormat::Indexed8:
        for (std::int32_t x = 0; x < width; ++x)
            out[x] = table[row[x]];
        return;
    case PixelFormat::Masked16:
        for (std::int32_t x = 0; x < width; ++x)
            out[x] = table[row[2 * x] | static_cast<std::uint32_t>(row[2 * x + 1]) << 8];
        return;
    case PixelFormat::Rgb24:
        for (std::int32_t x = 0; x < width; ++x) {
            const std::uint8_t* p = row + 3 * static_cast<std::ptrdiff_t>(x);
            out[x] = makeColour(p[2], p[1], p[0]);
        }
        return;
    case PixelFormat::Masked32:
        for (std::int32_t x = 0; x < width; ++x) {
            const std::uint8_t* p = row + 4 * static_cast<std::ptrdiff_t>(x);
            out[x] = layout_->colourOfValue(p[0] | static_cast<std::uint32_t>(p[1]) << 8 |
                                            static_cast<std::uint32_t>(p[2]) << 16 |
                                            static_cast<std::uint32_t>(p[3]) << 24);
        }
        return;
    }
}

void RowDecoder::decodeSigned(const Bitmap& image, std::int32_t y, std::vector<Colour>& colours,
                              std::vector<std::int32_t>& values) const
{
    if (y < 0 || y >= image.height()) {
        std::fill(values.begin(), values.end(), -1);
        return;
    }
    decode(image.row(y), image.width(), colours.data());
    values.front() = -1;
    values.back() = -1;
    for (std::int32_t x = 0; x < image.width(); ++x)
        values[static_cast<std::size_t>(x) + 1] =
            static_cast<std::int32_t>(colours[static_cast<std::size_t>(x)]);
}

}  // namespace dimora::imageops
