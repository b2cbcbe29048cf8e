// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The frame shared by the operations whose new colour depends on a pixel's
// own colour alone (extraction, percent conversion, inversion, grayscale):
// every pixel is read, given a new colour, and written back with the nearest
// colour its layout holds. The result equals a top-to-bottom, left-to-right
// sweep of Bitmap::pixel and Bitmap::setPixel; the layout never changes.
//
// Cost: on palette layouts the new colour and its nearest entry are found
// once per palette index and the rows are rewritten through a byte table; on
// masked layouts once per distinct word (through a small cache); on 24 bits
// the colour function runs once per pixel. Bits past the last pixel of a row
// and the non-colour bits of masked words are kept.

#include "core/image/bitmap.hpp"
#include "core/imageops/row_codec.hpp"

#include <array>
#include <cstdint>

namespace dimora::imageops {

// The function is taken by value: held by reference, its state could alias
// the bytes stored below and be reloaded for every pixel.
template <class NewColour> void mapColours(Bitmap& image, NewColour newColour)
{
    if (image.empty())
        return;
    const PixelLayout& layout = image.layout();
    const std::int32_t width = image.width();
    const std::int32_t height = image.height();

    switch (layout.format()) {
    case PixelFormat::Indexed1:
    case PixelFormat::Indexed4:
    case PixelFormat::Indexed8: {
        const int bits = layout.bitsPerPixel();
        const unsigned indexMask = (1u << bits) - 1;
        std::array<std::uint8_t, 256> newIndex{};
        for (unsigned v = 0; v <= indexMask; ++v)
            newIndex[v] = static_cast<std::uint8_t>(layout.nearestValue(newColour(layout.colourOfValue(v))));
        // Every pixel of a byte mapped at once.
        std::array<std::uint8_t, 256> byteMap{};
        for (unsigned b = 0; b < 256; ++b) {
            unsigned mapped = 0;
            for (int shift = 0; shift < 8; shift += bits)
                mapped |= static_cast<unsigned>(newIndex[b >> shift & indexMask]) << shift;
            byteMap[b] = static_cast<std::uint8_t>(mapped);
        }
        const std::int32_t pixelsPerByte = 8 / bits;
        const std::int32_t fullBytes = width / pixelsPerByte;
        const std::int32_t rest = width % pixelsPerByte;
        // The low bits of the last byte lie past the row's end: keep them.
        const unsigned keepMask = (1u << ((pixelsPerByte - rest) * bits)) - 1;
        for (std::int32_t y = 0; y < height; ++y) {
            std::uint8_t* row = image.row(y);
            for (std::int32_t i = 0; i < fullBytes; ++i)
                row[i] = byteMap[row[i]];
            if (rest != 0) {
                const std::uint8_t old = row[fullBytes];
                row[fullBytes] = static_cast<std::uint8_t>((byteMap[old] & ~keepMask) | (old & keepMask));
            }
        }
        return;
    }
    case PixelFormat::Rgb24:
        for (std::int32_t y = 0; y < height; ++y) {
            std::uint8_t* p = image.row(y);
            for (std::int32_t x = 0; x < width; ++x, p += 3) {
                const Colour c = newColour(makeColour(p[2], p[1], p[0]));
                p[0] = static_cast<std::uint8_t>(blueOf(c));
                p[1] = static_cast<std::uint8_t>(greenOf(c));
                p[2] = static_cast<std::uint8_t>(redOf(c));
            }
        }
        return;
    case PixelFormat::Masked16:
    case PixelFormat::Masked32: {
        const std::uint32_t colourBits = colourBitsOf(layout);
        const int bytes = layout.format() == PixelFormat::Masked16 ? 2 : 4;
        ValueCache newValue;
        const auto compute = [&](std::uint32_t word) {
            return layout.nearestValue(newColour(layout.colourOfValue(word)));
        };
        for (std::int32_t y = 0; y < height; ++y) {
            std::uint8_t* p = image.row(y);
            for (std::int32_t x = 0; x < width; ++x, p += bytes) {
                std::uint32_t word = p[0] | static_cast<std::uint32_t>(p[1]) << 8;
                if (bytes == 4)
                    word |= static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
                word = (word & ~colourBits) | newValue.get(word & colourBits, compute);
                p[0] = static_cast<std::uint8_t>(word);
                p[1] = static_cast<std::uint8_t>(word >> 8);
                if (bytes == 4) {
                    p[2] = static_cast<std::uint8_t>(word >> 16);
                    p[3] = static_cast<std::uint8_t>(word >> 24);
                }
            }
        }
        return;
    }
    }
}

}  // namespace dimora::imageops
