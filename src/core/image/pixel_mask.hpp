// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Which pixels take part in a measurement: a pixel outside the mask is never
// occupied and has no mass. One byte per pixel (1 inside, 0 outside), rows
// from the top.

#include "core/image/region.hpp"

#include <cstdint>
#include <vector>

namespace dimora {

struct PixelMask {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> inside;  // width × height, row-major from the top

    // False off the mask.
    [[nodiscard]] bool at(std::int32_t x, std::int32_t y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return false;
        return inside[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)] != 0;
    }
};

}  // namespace dimora
