// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The total length of black written plainly: every centre of the scan
// rectangle and its eight neighbours read through pixel read, the weights
// added one by one in the documented order. For checking the fast measurement.

#include "core/image/bitmap.hpp"
#include "core/image/colour.hpp"
#include "core/image/region.hpp"

#include <cstdint>

namespace dimora::reference {

inline double totalLengthSum(const ImageView& image, const Region& scan)
{
    const auto black = [&](std::int64_t x, std::int64_t y) {
        return isBlackByColour(image.pixel(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)));
    };
    double sum = 0;
    for (std::int64_t y = scan.top; y < std::int64_t{scan.top} + scan.height; ++y) {
        for (std::int64_t x = scan.left; x < std::int64_t{scan.left} + scan.width; ++x) {
            if (!black(x, y))
                continue;
            if (black(x - 1, y))
                sum += 1.0;
            if (black(x + 1, y))
                sum += 1.0;
            if (black(x, y - 1))
                sum += 1.0;
            if (black(x, y + 1))
                sum += 1.0;
            if (black(x - 1, y - 1))
                sum += 1.4;
            if (black(x - 1, y + 1))
                sum += 1.4;
            if (black(x + 1, y - 1))
                sum += 1.4;
            if (black(x + 1, y + 1))
                sum += 1.4;
        }
    }
    return sum;
}

}  // namespace dimora::reference
