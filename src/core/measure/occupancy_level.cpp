// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/occupancy_level.hpp"

namespace dimora {

OccupancyLevel levelShape(Overlap xs, Overlap ys, int exponent)
{
    OccupancyLevel level;
    level.firstColumn = xs.offset >> exponent;
    level.columns = ((xs.offset + xs.length - 1) >> exponent) - level.firstColumn + 1;
    level.firstRow = ys.offset >> exponent;
    level.rows = ((ys.offset + ys.length - 1) >> exponent) - level.firstRow + 1;
    level.wordsPerRow = bitWords(level.columns);
    return level;
}

void halveLevel(const OccupancyLevel& in, const OccupancyLevel& out, std::uint64_t* rowBuffer)
{
    const int columnShift = static_cast<int>(in.firstColumn & 1);
    const std::int64_t rowShift = in.firstRow & 1;
    for (std::int64_t j = 0; j < out.rows; ++j) {
        const std::int64_t upper = 2 * j - rowShift;
        const std::int64_t lower = upper + 1;
        const std::uint64_t* source;
        if (upper < 0) {
            source = in.row(lower);
        } else if (lower >= in.rows) {
            source = in.row(upper);
        } else {
            std::copy_n(in.row(upper), in.wordsPerRow, rowBuffer);
            orWords(rowBuffer, in.row(lower), in.wordsPerRow);
            source = rowBuffer;
        }
        halveBits(source, in.columns, columnShift, out.row(j));
    }
}

}  // namespace dimora
