// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The grayscale differential box counting written plainly: every box, its four
// corners read through pixel read, in the documented order. For checking the
// fast counting.

#include "core/image/bitmap.hpp"
#include "core/image/colour.hpp"
#include "core/image/region.hpp"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace dimora::reference {

struct GrayCounts {
    std::vector<std::int64_t> sides;
    std::vector<std::int64_t> counts;
    int brightnessDifference = 0;
};

inline GrayCounts grayBoxCounts(const ImageView& image, const Region& region)
{
    const std::int64_t left = region.left, top = region.top, width = region.width, height = region.height;
    const auto level = [&](std::int64_t x, std::int64_t y) {
        return greyLevel(image.pixel(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)));
    };
    GrayCounts result;
    unsigned highest = 0, lowest = 255;
    for (std::int64_t s = 2; s < height / 2.0 && s < width / 2.0 && s <= 8192; s *= 2) {
        std::int64_t count = 0;
        highest = 0;
        lowest = 255;
        for (std::int64_t x = left; x < left + width; x += s) {
            for (std::int64_t y = top; y < top + height; y += s) {
                const unsigned corners[] = {level(x, y), level(x + s - 1, y), level(x, y + s - 1),
                                            level(x + s - 1, y + s - 1)};
                const unsigned hi = *std::max_element(std::begin(corners), std::end(corners));
                const unsigned lo = *std::min_element(std::begin(corners), std::end(corners));
                count += (hi - lo) / s + 1;
                highest = std::max(highest, hi);
                lowest = std::min(lowest, lo);
            }
        }
        result.sides.push_back(s);
        result.counts.push_back(count);
        result.brightnessDifference = static_cast<int>(highest) - static_cast<int>(lowest);
    }
    return result;
}

}  // namespace dimora::reference
