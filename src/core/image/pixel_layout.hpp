// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// How the pixels of one image row are laid out in memory: the layouts of BMP
// files. 1, 4 and 8 bits index a palette (the leftmost pixel in the most
// significant bits of a byte); 16 and 32 bits hold channels under bit masks
// (little-endian words); 24 bits are the bytes blue, green, red.
//
// Reading widens a channel narrower than 8 bits by bit replication (so white
// stays 0xFFFFFF) and keeps the top 8 bits of a wider one. Alpha bits are kept
// as they are on writing and never read. Writing stores the nearest colour the
// layout holds: on a palette the entry with the smallest squared RGB distance
// (the first one on a tie), under masks the top bits of each channel.

#include "core/image/colour.hpp"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace dimora {

enum class PixelFormat : std::uint8_t { Indexed1, Indexed4, Indexed8, Masked16, Rgb24, Masked32 };

struct ChannelMasks {
    std::uint32_t red = 0;
    std::uint32_t green = 0;
    std::uint32_t blue = 0;
    std::uint32_t alpha = 0;

    friend bool operator==(const ChannelMasks&, const ChannelMasks&) = default;
};

inline constexpr ChannelMasks kMasks555{0x7C00, 0x03E0, 0x001F, 0};
inline constexpr ChannelMasks kMasks565{0xF800, 0x07E0, 0x001F, 0};
inline constexpr ChannelMasks kMasks888{0xFF0000, 0x00FF00, 0x0000FF, 0};

class PixelLayout {
public:
    // 24 bits per pixel.
    PixelLayout() = default;

    // 1, 4 or 8 bits with a palette of at most 2^bits entries; indices past the
    // palette's end read as black.
    [[nodiscard]] static PixelLayout indexed(int bitsPerPixel, std::vector<Colour> palette);
    [[nodiscard]] static PixelLayout rgb24();
    // 8 bits indexing the grey palette i → (i, i, i): how gray images are kept.
    [[nodiscard]] static PixelLayout grey8();
    // 16 or 32 bits with masks; each mask must be one run of set bits (or 0).
    [[nodiscard]] static PixelLayout masked(int bitsPerPixel, ChannelMasks masks);

    [[nodiscard]] PixelFormat format() const { return format_; }
    [[nodiscard]] int bitsPerPixel() const;
    [[nodiscard]] bool isIndexed() const { return format_ <= PixelFormat::Indexed8; }
    [[nodiscard]] const std::vector<Colour>& palette() const { return palette_; }
    [[nodiscard]] const ChannelMasks& masks() const { return masks_; }

    // Bytes of a row of the given width, padded to a multiple of 4 as in BMP
    // files; 64-bit so that absurd widths cannot overflow.
    [[nodiscard]] std::uint64_t strideFor(std::int64_t width) const;

    // The colour of pixel x of a row.
    [[nodiscard]] Colour read(const std::uint8_t* row, int x) const;
    // Stores the nearest colour at pixel x of a row (alpha bits kept).
    void write(std::uint8_t* row, int x, Colour colour) const;

    // The stored value (palette index or masked word) that write() uses for a
    // colour, and the colour it reads back as. For loops that write one colour
    // many times: nearestValue once, then writeValue per pixel. The palette
    // search costs one pass over the palette; the other layouts are a few
    // shifts.
    [[nodiscard]] std::uint32_t nearestValue(Colour colour) const;
    [[nodiscard]] Colour colourOfValue(std::uint32_t value) const;

    // The raw value of pixel x (palette index, the whole 16- or 32-bit word
    // with its alpha bits, or 0x00RRGGBB for 24 bits), and the store of a value
    // from nearestValue (under masks only the colour bits are replaced).
    [[nodiscard]] std::uint32_t readValue(const std::uint8_t* row, int x) const;
    void writeValue(std::uint8_t* row, int x, std::uint32_t value) const;

    // True when a mask is 0 or one run of set bits, as masked() requires.
    [[nodiscard]] static bool isContiguousMask(std::uint32_t mask);

    friend bool operator==(const PixelLayout&, const PixelLayout&) = default;

private:
    struct Channel {
        std::uint32_t mask = 0;
        int shift = 0;
        int bits = 0;
        friend bool operator==(const Channel&, const Channel&) = default;
    };
    static Channel channelOf(std::uint32_t mask);
    static unsigned widen(std::uint32_t word, const Channel& ch);
    static std::uint32_t narrow(unsigned value8, const Channel& ch);

    PixelFormat format_ = PixelFormat::Rgb24;
    std::vector<Colour> palette_;
    ChannelMasks masks_;
    Channel red_, green_, blue_;
};

}  // namespace dimora
