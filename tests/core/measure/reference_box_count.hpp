// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The two-valued box counting written as plainly as possible: every box
// visited column by column, every pixel of it read one at a time through
// pixel read, the box left at its first pixel of the class. Slow on purpose;
// the tests and the benchmark check the fast counting against it.

#include "core/common/error.hpp"
#include "core/image/bitmap.hpp"
#include "core/image/colour.hpp"
#include "core/image/region.hpp"

#include <cstdint>
#include <vector>

namespace dimora::reference {

struct TwoValuedCounts {
    std::vector<std::int64_t> sides;
    std::vector<std::int64_t> counts;
    double coverage = 0;
};

inline TwoValuedCounts boxCounts(const ImageView& image, const Region& region, bool countBlack)
{
    const std::int64_t left = region.left, top = region.top, width = region.width, height = region.height;
    TwoValuedCounts result;
    std::int64_t countOfSide1 = 0;
    for (std::int64_t s = 1; s < height / 2.0 && s < width / 2.0 && s <= 8192; s *= 2) {
        std::int64_t count = 0;
        for (std::int64_t x = left; x < left + width; x += s) {
            for (std::int64_t y = top; y < top + height; y += s) {
                bool found = false;
                for (std::int64_t i = 0; i < s && !found; ++i) {
                    for (std::int64_t j = 0; j < s; ++j) {
                        if (x + i >= left + width || y + j >= top + height)
                            continue;
                        const Colour c =
                            image.pixel(static_cast<std::int32_t>(x + i), static_cast<std::int32_t>(y + j));
                        if (countBlack ? isBlackByRed(c) : isNonBlackByRed(c)) {
                            found = true;
                            break;
                        }
                    }
                }
                if (found)
                    ++count;
            }
        }
        result.sides.push_back(s);
        result.counts.push_back(count);
        if (s == 1)
            countOfSide1 = count;
    }
    const std::int64_t area = width * height;
    if (area == 0)
        throw Error(std::string(msg::kInvalidFloatOperation));
    result.coverage = static_cast<double>(countOfSide1) / static_cast<double>(area) * 100.0;
    return result;
}

}  // namespace dimora::reference
