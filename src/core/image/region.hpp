// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace dimora {

// The analysis region in image pixels. Right (left + width) and bottom
// (top + height) are exclusive. It is not clipped: it may reach past the
// image or start outside it, and pixels outside the image read as the invalid
// colour.
struct Region {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;

    friend bool operator==(const Region&, const Region&) = default;
};

}  // namespace dimora
