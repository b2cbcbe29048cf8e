// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/image/pixel_layout.hpp"

#include <bit>
#include <cstring>
#include <utility>

namespace dimora {
namespace {

std::uint32_t loadWord(const std::uint8_t* p, int bytes)
{
    std::uint32_t w = p[0] | static_cast<std::uint32_t>(p[1]) << 8;
    if (bytes == 4)
        w |= static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    return w;
}

void storeWord(std::uint8_t* p, int bytes, std::uint32_t w)
{
    p[0] = static_cast<std::uint8_t>(w);
    p[1] = static_cast<std::uint8_t>(w >> 8);
    if (bytes == 4) {
        p[2] = static_cast<std::uint8_t>(w >> 16);
        p[3] = static_cast<std::uint8_t>(w >> 24);
    }
}

}  // namespace

PixelLayout PixelLayout::indexed(int bitsPerPixel, std::vector<Colour> palette)
{
    PixelLayout layout;
    layout.format_ = bitsPerPixel == 1   ? PixelFormat::Indexed1
                     : bitsPerPixel == 4 ? PixelFormat::Indexed4
                                         : PixelFormat::Indexed8;
    const std::size_t capacity = std::size_t{1} << layout.bitsPerPixel();
    if (palette.size() > capacity)
        palette.resize(capacity);
    for (auto& entry : palette)
        entry &= 0xFFFFFFu;
    layout.palette_ = std::move(palette);
    return layout;
}

PixelLayout PixelLayout::grey8()
{
    std::vector<Colour> grey(256);
    for (unsigned i = 0; i < 256; ++i)
        grey[i] = makeColour(i, i, i);
    return indexed(8, std::move(grey));
}

PixelLayout PixelLayout::rgb24()
{
    return PixelLayout{};
}

PixelLayout PixelLayout::masked(int bitsPerPixel, ChannelMasks masks)
{
    PixelLayout layout;
    layout.format_ = bitsPerPixel == 16 ? PixelFormat::Masked16 : PixelFormat::Masked32;
    layout.masks_ = masks;
    layout.red_ = channelOf(masks.red);
    layout.green_ = channelOf(masks.green);
    layout.blue_ = channelOf(masks.blue);
    return layout;
}

int PixelLayout::bitsPerPixel() const
{
    switch (format_) {
    case PixelFormat::Indexed1:
        return 1;
    case PixelFormat::Indexed4:
        return 4;
    case PixelFormat::Indexed8:
        return 8;
    case PixelFormat::Masked16:
        return 16;
    case PixelFormat::Rgb24:
        return 24;
    case PixelFormat::Masked32:
        return 32;
    }
    return 24;
}

std::uint64_t PixelLayout::strideFor(std::int64_t width) const
{
    if (width <= 0)
        return 0;
    const auto bits = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bitsPerPixel());
    return (bits + 31) / 32 * 4;
}

PixelLayout::Channel PixelLayout::channelOf(std::uint32_t mask)
{
    Channel ch;
    ch.mask = mask;
    if (mask != 0) {
        ch.shift = std::countr_zero(mask);
        ch.bits = std::popcount(mask);
    }
    return ch;
}

unsigned PixelLayout::widen(std::uint32_t word, const Channel& ch)
{
    if (ch.bits == 0)
        return 0;
    const std::uint32_t v = (word & ch.mask) >> ch.shift;
    if (ch.bits >= 8)
        return v >> (ch.bits - 8);
    // Bit replication: repeat the channel's bits until 8 are filled.
    unsigned out = 0;
    int filled = 0;
    while (filled < 8) {
        out = out << ch.bits | v;
        filled += ch.bits;
    }
    return out >> (filled - 8) & 0xFFu;
}

std::uint32_t PixelLayout::narrow(unsigned value8, const Channel& ch)
{
    if (ch.bits == 0)
        return 0;
    std::uint32_t v;
    if (ch.bits <= 8) {
        v = value8 >> (8 - ch.bits);
    } else {
        // Wider channels: the 8 bits on top, repeated below so that white
        // stays the channel's full value.
        v = 0;
        int filled = 0;
        while (filled < ch.bits) {
            v = v << 8 | value8;
            filled += 8;
        }
        v >>= (filled - ch.bits);
    }
    return v << ch.shift & ch.mask;
}

Colour PixelLayout::colourOfValue(std::uint32_t value) const
{
    switch (format_) {
    case PixelFormat::Indexed1:
    case PixelFormat::Indexed4:
    case PixelFormat::Indexed8:
        return value < palette_.size() ? palette_[value] : kBlack;
    case PixelFormat::Rgb24:
        return makeColour(value >> 16, value >> 8, value);
    case PixelFormat::Masked16:
    case PixelFormat::Masked32:
        return makeColour(widen(value, red_), widen(value, green_), widen(value, blue_));
    }
    return kBlack;
}

std::uint32_t PixelLayout::nearestValue(Colour colour) const
{
    const unsigned r = redOf(colour), g = greenOf(colour), b = blueOf(colour);
    switch (format_) {
    case PixelFormat::Indexed1:
    case PixelFormat::Indexed4:
    case PixelFormat::Indexed8: {
        std::uint32_t best = 0;
        long bestDistance = -1;
        for (std::uint32_t i = 0; i < palette_.size(); ++i) {
            const long dr = static_cast<long>(redOf(palette_[i])) - r;
            const long dg = static_cast<long>(greenOf(palette_[i])) - g;
            const long db = static_cast<long>(blueOf(palette_[i])) - b;
            const long d = dr * dr + dg * dg + db * db;
            if (bestDistance < 0 || d < bestDistance) {
                bestDistance = d;
                best = i;
            }
        }
        return best;
    }
    case PixelFormat::Rgb24:
        return b | g << 8 | r << 16;
    case PixelFormat::Masked16:
    case PixelFormat::Masked32:
        return narrow(r, red_) | narrow(g, green_) | narrow(b, blue_);
    }
    return 0;
}

std::uint32_t PixelLayout::readValue(const std::uint8_t* row, int x) const
{
    switch (format_) {
    case PixelFormat::Indexed1:
        return row[x >> 3] >> (7 - (x & 7)) & 1u;
    case PixelFormat::Indexed4:
        return row[x >> 1] >> ((x & 1) ? 0 : 4) & 0xFu;
    case PixelFormat::Indexed8:
        return row[x];
    case PixelFormat::Rgb24: {
        const std::uint8_t* p = row + 3 * static_cast<std::ptrdiff_t>(x);
        return p[0] | static_cast<std::uint32_t>(p[1]) << 8 | static_cast<std::uint32_t>(p[2]) << 16;
    }
    case PixelFormat::Masked16:
        return loadWord(row + 2 * static_cast<std::ptrdiff_t>(x), 2);
    case PixelFormat::Masked32:
        return loadWord(row + 4 * static_cast<std::ptrdiff_t>(x), 4);
    }
    return 0;
}

Colour PixelLayout::read(const std::uint8_t* row, int x) const
{
    if (format_ == PixelFormat::Rgb24) {
        const std::uint8_t* p = row + 3 * static_cast<std::ptrdiff_t>(x);
        return makeColour(p[2], p[1], p[0]);
    }
    return colourOfValue(readValue(row, x));
}

void PixelLayout::write(std::uint8_t* row, int x, Colour colour) const
{
    writeValue(row, x, nearestValue(colour));
}

void PixelLayout::writeValue(std::uint8_t* row, int x, std::uint32_t value) const
{
    switch (format_) {
    case PixelFormat::Indexed1: {
        const int shift = 7 - (x & 7);
        row[x >> 3] = static_cast<std::uint8_t>((row[x >> 3] & ~(1u << shift)) | (value & 1u) << shift);
        break;
    }
    case PixelFormat::Indexed4: {
        const int shift = (x & 1) ? 0 : 4;
        row[x >> 1] = static_cast<std::uint8_t>((row[x >> 1] & ~(0xFu << shift)) | (value & 0xFu) << shift);
        break;
    }
    case PixelFormat::Indexed8:
        row[x] = static_cast<std::uint8_t>(value);
        break;
    case PixelFormat::Rgb24: {
        std::uint8_t* p = row + 3 * static_cast<std::ptrdiff_t>(x);
        p[0] = static_cast<std::uint8_t>(value);
        p[1] = static_cast<std::uint8_t>(value >> 8);
        p[2] = static_cast<std::uint8_t>(value >> 16);
        break;
    }
    case PixelFormat::Masked16:
    case PixelFormat::Masked32: {
        const int bytes = format_ == PixelFormat::Masked16 ? 2 : 4;
        std::uint8_t* p = row + bytes * static_cast<std::ptrdiff_t>(x);
        const std::uint32_t colourBits = masks_.red | masks_.green | masks_.blue;
        const std::uint32_t old = loadWord(p, bytes);
        storeWord(p, bytes, (old & ~colourBits) | (value & colourBits));
        break;
    }
    }
}

bool PixelLayout::isContiguousMask(std::uint32_t mask)
{
    if (mask == 0)
        return true;
    const std::uint32_t shifted = mask >> std::countr_zero(mask);
    return (shifted & (shifted + 1)) == 0;
}

}  // namespace dimora
