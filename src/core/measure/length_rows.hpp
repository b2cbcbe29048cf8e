// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The rows of the total-length measurement, shared by the whole-image and the
// streaming measurement so that both add the same links in the same order:
// the black pixels of a row as bits, and the links of one row of centres.

#include "core/image/pixel_layout.hpp"
#include "core/measure/row_classifier.hpp"

#include <cstdint>
#include <vector>

namespace dimora {

// The black pixels (all three colour bytes 0) of one image row over the
// columns [first, first + count), as bits; columns off the image, and rows
// off it, are not black.
class BlackRowReader {
public:
    BlackRowReader(const PixelLayout& layout, std::int64_t imageWidth, std::int64_t first,
                   std::int64_t count);
    // `row` is the image row, or null for a row off the image.
    void read(const std::uint8_t* row, std::uint64_t* out);

private:
    RowClassifier classifier_;
    std::int64_t first_, count_;
    std::int64_t inFirst_, inEnd_;
    std::vector<std::uint64_t> pixels_;
};

// Adds to `sum` the links of the centres of one row, left to right (bits
// 1 .. columns − 2 of `centre`; bits 0 and columns − 1 are neighbours only),
// each to its black neighbours in the order left, right, above, below (1.0
// each), upper left, lower left, upper right, lower right (1.4 each).
void addRowLinks(const std::uint64_t* above, const std::uint64_t* centre, const std::uint64_t* below,
                 std::int64_t columns, double& sum);

}  // namespace dimora
