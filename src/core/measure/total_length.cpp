// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/total_length.hpp"

#include "core/common/text.hpp"
#include "core/measure/bit_rows.hpp"
#include "core/measure/length_rows.hpp"

#include <algorithm>
#include <bit>
#include <utility>
#include <vector>

namespace dimora {

Region lengthScanRectangle(std::int32_t imageWidth, std::int32_t imageHeight,
                           const std::optional<Region>& selection)
{
    if (selection)
        return *selection;
    return {1, 1, imageWidth - 2, imageHeight - 2};
}

std::optional<TotalLength> measureTotalLength(const ImageView& image, const std::optional<Region>& selection)
{
    TotalLength result;
    result.scan = lengthScanRectangle(image.width, image.height, selection);
    const Region& scan = result.scan;
    if (scan.width <= 0 || scan.height <= 0)
        return std::nullopt;

    // Centres off the image are never black and add nothing, so only the
    // centres on the image are visited, in the same order.
    const std::int64_t left = std::max<std::int64_t>(scan.left, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{scan.left} + scan.width, image.width);
    const std::int64_t top = std::max<std::int64_t>(scan.top, 0);
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{scan.top} + scan.height, image.height);
    double sum = 0;
    if (left < right && top < bottom) {
        // The black pixels of rows top − 1 .. bottom and columns left − 1 ..
        // right as bits: bit i of mask row k is pixel (left − 1 + i, top − 1 + k).
        // The rows are read in memory order (a bottom-up bitmap from its last
        // row), which is much faster than reading memory backwards; the sum
        // then runs over the bits in its own order.
        const std::int64_t columns = right - left + 2;
        const std::int64_t rows = bottom - top + 2;
        const std::size_t words = bitWords(columns);
        thread_local std::vector<std::uint64_t> scratch;
        if (scratch.size() < static_cast<std::size_t>(rows) * words)
            scratch.resize(static_cast<std::size_t>(rows) * words);
        std::uint64_t* mask = scratch.data();
        BlackRowReader reader(*image.layout, image.width, left - 1, columns);
        const bool backwards = image.stride < 0;
        for (std::int64_t step = 0; step < rows; ++step) {
            const std::int64_t k = backwards ? rows - 1 - step : step;
            const std::int64_t y = top - 1 + k;
            reader.read(y >= 0 && y < image.height ? image.row(static_cast<std::int32_t>(y)) : nullptr,
                        mask + static_cast<std::size_t>(k) * words);
        }

        for (std::int64_t y = top; y < bottom; ++y) {
            const std::uint64_t* above = mask + static_cast<std::size_t>(y - top) * words;
            addRowLinks(above, above + words, above + 2 * words, columns, sum);
        }
    }
    result.sum = sum;
    result.length = sum / 2;
    result.field = totalLengthFieldText(result.length);
    return result;
}

std::string totalLengthFieldText(double length)
{
    std::string text = " ";
    text += formatFixed(length, 0);
    return text;
}

}  // namespace dimora
