// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Small helpers that build test images in code: bitmaps of every pixel
// layout, filled from a function or with random bytes, and random regions.

#include "core/image/bitmap.hpp"
#include "core/image/region.hpp"

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace dimora::testing {

struct NamedLayout {
    std::string name;
    PixelLayout layout;
};

// Every layout the image model keeps, with palettes and masks that make the
// pixel tests interesting: palettes mixing black, cyan (red 0), red byte 1 and
// white entries, short palettes (indices past the end read as black), masks
// narrower and wider than 8 bits.
inline std::vector<NamedLayout> allLayouts()
{
    return {
        {"1-bit black/white", PixelLayout::indexed(1, {kBlack, kWhite})},
        {"1-bit white/cyan", PixelLayout::indexed(1, {kWhite, 0xFFFF00})},
        {"1-bit one entry", PixelLayout::indexed(1, {0x000001})},
        {"4-bit mixed", PixelLayout::indexed(4, {kWhite, kBlack, 0xFFFF00, 0x000001, 0x808080, 0x0000FF,
                                                 0x00FF00, 0x000100, 0x010000, 0x7F7F7F})},
        {"8-bit grey ramp",
         [] {
             std::vector<Colour> palette;
             for (unsigned i = 0; i < 256; ++i)
                 palette.push_back(makeColour(i, (i * 7) & 0xFF, 255 - i));
             return PixelLayout::indexed(8, palette);
         }()},
        {"8-bit short", PixelLayout::indexed(8, {kWhite, 0xFFFF00, kBlack, 0x000001, 0x404040})},
        {"24-bit", PixelLayout::rgb24()},
        {"16-bit 5-5-5", PixelLayout::masked(16, kMasks555)},
        {"16-bit 5-6-5", PixelLayout::masked(16, kMasks565)},
        {"16-bit 4-4-4-4", PixelLayout::masked(16, {0x0F00, 0x00F0, 0x000F, 0xF000})},
        {"32-bit 8-8-8", PixelLayout::masked(32, kMasks888)},
        {"32-bit 10-10-10", PixelLayout::masked(32, {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000})},
        {"32-bit no red", PixelLayout::masked(32, {0, 0x0000FF00, 0x000000FF, 0})},
    };
}

inline Bitmap makeBitmap(std::int32_t width, std::int32_t height, const PixelLayout& layout,
                         const std::function<Colour(int, int)>& colourAt, RowOrder order = RowOrder::BottomUp)
{
    Bitmap bitmap(width, height, layout, order);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.setPixel(x, y, colourAt(x, y));
    return bitmap;
}

inline Bitmap filledBitmap(std::int32_t width, std::int32_t height, Colour colour,
                           const PixelLayout& layout = PixelLayout::rgb24())
{
    Bitmap bitmap(width, height, layout);
    bitmap.fill(colour);
    return bitmap;
}

// Random pixel bytes, each byte 0 with probability zeroChance and else any
// value, so that every stored value and all pixel classes turn up.
inline void fillRandomBytes(Bitmap& bitmap, std::mt19937& random, double zeroChance)
{
    std::bernoulli_distribution zero(zeroChance);
    std::uniform_int_distribution<int> byte(0, 255);
    for (std::size_t i = 0; i < bitmap.byteCount(); ++i)
        bitmap.data()[i] = zero(random) ? 0 : static_cast<std::uint8_t>(byte(random));
}

// Clumps of colours: a few rectangles of black or dark colours on white, so
// that boxes of larger sides are partly empty.
inline void paintRandomClumps(Bitmap& bitmap, std::mt19937& random)
{
    bitmap.fill(kWhite);
    const Colour colours[] = {kBlack, 0xFFFF00, 0x000001, 0x101010, 0x808080, 0x0000FF};
    std::uniform_int_distribution<int> pick(0, 5);
    std::uniform_int_distribution<int> count(0, 8);
    const int clumps = count(random);
    for (int c = 0; c < clumps; ++c) {
        std::uniform_int_distribution<int> xs(0, bitmap.width() - 1), ys(0, bitmap.height() - 1);
        const int x0 = xs(random), y0 = ys(random);
        std::uniform_int_distribution<int> size(1, 12);
        const int w = size(random), h = size(random);
        const Colour colour = colours[pick(random)];
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                bitmap.setPixel(x, y, colour);
    }
}

// A region around an image of the given size: usually overlapping it, often
// reaching past its edges or starting at negative positions, sometimes
// missing it altogether or having no pixels.
inline Region randomRegion(std::int32_t width, std::int32_t height, std::mt19937& random)
{
    std::uniform_int_distribution<int> kind(0, 9);
    if (kind(random) == 0)
        return {0, 0, width, height};
    std::uniform_int_distribution<int> left(-12, width + 4), top(-12, height + 4);
    std::uniform_int_distribution<int> w(0, width + 24), h(0, height + 24);
    return {left(random), top(random), w(random), h(random)};
}

// A view of a bitmap's pixels copied into memory laid out differently: rows
// with extra bytes between them, in the other order. `storage` keeps the
// bytes.
inline ImageView copyWithPaddedRows(const Bitmap& bitmap, std::vector<std::uint8_t>& storage, bool reverse)
{
    const std::size_t rowBytes = bitmap.stride() + 13;
    storage.assign(rowBytes * static_cast<std::size_t>(bitmap.height()) + 1, 0xA5);
    for (int y = 0; y < bitmap.height(); ++y) {
        const int slot = reverse ? bitmap.height() - 1 - y : y;
        std::copy_n(bitmap.row(y), bitmap.stride(),
                    storage.data() + 1 + rowBytes * static_cast<std::size_t>(slot));
    }
    ImageView view = bitmap.view();
    const auto stride = static_cast<std::ptrdiff_t>(rowBytes);
    view.stride = reverse ? -stride : stride;
    view.firstRow = storage.data() + 1 + (reverse ? stride * (bitmap.height() - 1) : 0);
    return view;
}

}  // namespace dimora::testing
