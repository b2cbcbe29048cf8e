// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The pieces of the differential box counting that the whole-image counter
// and the streaming one share: the grey level of a pixel straight from its
// row, and which boxes may have a corner on the image.

#include "core/image/pixel_layout.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>

namespace dimora::grey_boxes {

inline std::int64_t ceilDiv(std::int64_t a, std::int64_t b)
{
    return a >= 0 ? (a + b - 1) / b : -(-a / b);
}

inline std::int64_t floorDiv(std::int64_t a, std::int64_t b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

constexpr unsigned kOutsideLevel = 255;  // the red byte of the invalid colour

// The grey level of a pixel straight from its row, one reader per layout. A
// table maps the stored value (palette index, or the red channel's top bits)
// to the red byte that pixel read gives for it.
class GreyLevels {
public:
    explicit GreyLevels(const PixelLayout& layout)
    {
        if (layout.format() == PixelFormat::Masked16 || layout.format() == PixelFormat::Masked32) {
            redMask_ = layout.masks().red;
            if (redMask_ != 0)
                redShift_ = std::countr_zero(redMask_) + std::max(std::popcount(redMask_) - 8, 0);
        }
        for (std::uint32_t i = 0; i < 256; ++i)
            red_[i] = static_cast<std::uint8_t>(redOf(layout.colourOfValue(i << redShift_)));
    }

    template <PixelFormat F> [[nodiscard]] unsigned at(const std::uint8_t* row, std::int64_t x) const
    {
        if constexpr (F == PixelFormat::Indexed1)
            return red_[row[x >> 3] >> (7 - (x & 7)) & 1u];
        else if constexpr (F == PixelFormat::Indexed4)
            return red_[row[x >> 1] >> ((x & 1) != 0 ? 0 : 4) & 0xFu];
        else if constexpr (F == PixelFormat::Indexed8)
            return red_[row[x]];
        else if constexpr (F == PixelFormat::Rgb24)
            return row[3 * x + 2];
        else if constexpr (F == PixelFormat::Masked16)
            return red_[((row[2 * x] | std::uint32_t{row[2 * x + 1]} << 8) & redMask_) >> redShift_];
        else
            return red_[((row[4 * x] | std::uint32_t{row[4 * x + 1]} << 8 |
                          std::uint32_t{row[4 * x + 2]} << 16 | std::uint32_t{row[4 * x + 3]} << 24) &
                         redMask_) >>
                        redShift_];
    }

    // Whether an 8-bit index is its own level (a gray ramp palette), so that
    // such a row can be read as levels as it is.
    [[nodiscard]] bool indexIsLevel() const
    {
        for (unsigned i = 0; i < 256; ++i)
            if (red_[i] != i)
                return false;
        return true;
    }

private:
    std::array<std::uint8_t, 256> red_{};
    std::uint32_t redMask_ = 0;
    int redShift_ = 0;
};

// The box indices along one edge whose two corner lines (at x and x + s − 1)
// might touch the image [0, imageLength): a range that holds every box with a
// corner on the image, and maybe a few without.
struct IndexRange {
    std::int64_t first = 0;
    std::int64_t end = 0;
    [[nodiscard]] std::int64_t size() const { return std::max<std::int64_t>(end - first, 0); }
};

inline IndexRange boxesNearImage(std::int64_t start, std::int64_t boxes, std::int64_t side,
                                 std::int64_t imageLength)
{
    // Corner x + s − 1 ≥ 0 needs x ≥ 1 − s; corner x < imageLength needs x < imageLength.
    const std::int64_t first = std::max<std::int64_t>(ceilDiv(1 - side - start, side), 0);
    const std::int64_t end = std::min(ceilDiv(imageLength - start, side), boxes);
    return {first, std::max(first, end)};
}

}  // namespace dimora::grey_boxes
