// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Row access for the image operations: a whole row decoded to colours in one
// call, stored values written back one pixel at a time, and a cache so that a
// nearest colour is looked for once per distinct colour rather than once per
// pixel. The results are exactly those of Bitmap::pixel and Bitmap::setPixel;
// only the cost differs.

#include "core/image/bitmap.hpp"
#include "core/image/colour.hpp"
#include "core/image/pixel_layout.hpp"

#include <cstdint>
#include <vector>

namespace dimora::imageops {

// Decodes rows of one layout. Palette layouts and 16-bit words go through a
// table of the colour of every stored value, built once; 24 bits are read
// directly; 32-bit words through PixelLayout::colourOfValue.
class RowDecoder {
public:
    explicit RowDecoder(const PixelLayout& layout);

    // The colours of pixels 0 .. width − 1 of a row, into out[0 .. width − 1].
    void decode(const std::uint8_t* row, std::int32_t width, Colour* out) const;

    // Row y of the image as signed colours with a column of −1 (outside the
    // image) on either side: values holds width + 2 entries. A row outside
    // the image is all −1. `colours` is scratch of at least width entries.
    void decodeSigned(const Bitmap& image, std::int32_t y, std::vector<Colour>& colours,
                      std::vector<std::int32_t>& values) const;

private:
    const PixelLayout* layout_;
    std::vector<Colour> colourOfValue_;
};

// The bits of a masked word that hold colour; the others (alpha, unused) are
// kept on writing.
[[nodiscard]] inline std::uint32_t colourBitsOf(const PixelLayout& layout)
{
    const ChannelMasks& m = layout.masks();
    return m.red | m.green | m.blue;
}

// Stores a value of PixelLayout::nearestValue at pixel x of a row, as
// PixelLayout::write would: the other bits of a shared byte and the non-colour
// bits of a masked word stay as they were.
inline void storeValue(const PixelLayout& layout, std::uint8_t* row, std::int32_t x, std::uint32_t value)
{
    switch (layout.format()) {
    case PixelFormat::Indexed1: {
        const int shift = 7 - (x & 7);
        row[x >> 3] = static_cast<std::uint8_t>((row[x >> 3] & ~(1u << shift)) | (value & 1u) << shift);
        return;
    }
    case PixelFormat::Indexed4: {
        const int shift = (x & 1) ? 0 : 4;
        row[x >> 1] = static_cast<std::uint8_t>((row[x >> 1] & ~(0xFu << shift)) | (value & 0xFu) << shift);
        return;
    }
    case PixelFormat::Indexed8:
        row[x] = static_cast<std::uint8_t>(value);
        return;
    case PixelFormat::Rgb24: {
        std::uint8_t* p = row + 3 * static_cast<std::ptrdiff_t>(x);
        p[0] = static_cast<std::uint8_t>(value);
        p[1] = static_cast<std::uint8_t>(value >> 8);
        p[2] = static_cast<std::uint8_t>(value >> 16);
        return;
    }
    case PixelFormat::Masked16: {
        std::uint8_t* p = row + 2 * static_cast<std::ptrdiff_t>(x);
        const std::uint32_t keep = ~colourBitsOf(layout);
        const std::uint32_t word = ((p[0] | static_cast<std::uint32_t>(p[1]) << 8) & keep) | value;
        p[0] = static_cast<std::uint8_t>(word);
        p[1] = static_cast<std::uint8_t>(word >> 8);
        return;
    }
    case PixelFormat::Masked32: {
        std::uint8_t* p = row + 4 * static_cast<std::ptrdiff_t>(x);
        const std::uint32_t keep = ~colourBitsOf(layout);
        const std::uint32_t old = p[0] | static_cast<std::uint32_t>(p[1]) << 8 |
                                  static_cast<std::uint32_t>(p[2]) << 16 |
                                  static_cast<std::uint32_t>(p[3]) << 24;
        const std::uint32_t word = (old & keep) | value;
        p[0] = static_cast<std::uint8_t>(word);
        p[1] = static_cast<std::uint8_t>(word >> 8);
        p[2] = static_cast<std::uint8_t>(word >> 16);
        p[3] = static_cast<std::uint8_t>(word >> 24);
        return;
    }
    }
}

// A small direct-mapped cache from a 32-bit key to a 32-bit value, for results
// that are costly to compute but repeat (the nearest palette entry of a
// colour, the new value of a stored word). A miss computes and replaces.
class ValueCache {
public:
    ValueCache() : keys_(kSlots, kEmpty), values_(kSlots, 0) {}

    template <class Compute> std::uint32_t get(std::uint32_t key, Compute&& compute)
    {
        const std::size_t slot = (key * 2654435761u) >> (32 - kSlotBits);
        if (keys_[slot] != key) {
            values_[slot] = compute(key);
            keys_[slot] = key;
        }
        return values_[slot];
    }

private:
    static constexpr int kSlotBits = 12;
    static constexpr std::size_t kSlots = std::size_t{1} << kSlotBits;
    // Wider than any key, so an empty slot never matches.
    static constexpr std::uint64_t kEmpty = ~std::uint64_t{0};

    std::vector<std::uint64_t> keys_;
    std::vector<std::uint32_t> values_;
};

}  // namespace dimora::imageops
