// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/total_length.hpp"

#include "core/common/text.hpp"
#include "core/measure/bit_rows.hpp"
#include "core/measure/row_classifier.hpp"

#include <algorithm>
#include <bit>
#include <utility>
#include <vector>

namespace dimora {
namespace {

constexpr double kSideWeight = 1.0;
constexpr double kCornerWeight = 1.4;

// The black pixels of one image row over the columns [first, first + count),
// as bits; columns off the image, and rows off it, are not black.
class BlackRowReader {
public:
    BlackRowReader(const ImageView& image, std::int64_t first, std::int64_t count)
        : image_(image), classifier_(*image.layout, PixelTest::BlackByColour), first_(first), count_(count),
          inFirst_(std::max<std::int64_t>(first, 0)),
          inEnd_(std::min<std::int64_t>(first + count, image.width)), pixels_(bitWords(inEnd_ - inFirst_))
    {
    }

    void read(std::int64_t y, std::uint64_t* out)
    {
        std::fill_n(out, bitWords(count_), 0);
        if (y < 0 || y >= image_.height || inEnd_ <= inFirst_)
            return;
        classifier_.classify(image_.row(static_cast<std::int32_t>(y)), inFirst_, inEnd_ - inFirst_,
                             pixels_.data());
        // Move the bits to their place in the row of `count` columns.
        const std::int64_t offset = inFirst_ - first_;
        for (std::int64_t i = 0; i < inEnd_ - inFirst_; i += 64) {
            const std::uint64_t word = pixels_[static_cast<std::size_t>(i >> 6)];
            const std::int64_t at = offset + i;
            out[at >> 6] |= word << (at & 63);
            if ((at & 63) != 0 && ((at >> 6) + 1) < static_cast<std::int64_t>(bitWords(count_)))
                out[(at >> 6) + 1] |= word >> (64 - (at & 63));
        }
    }

private:
    const ImageView& image_;
    RowClassifier classifier_;
    std::int64_t first_, count_;
    std::int64_t inFirst_, inEnd_;
    std::vector<std::uint64_t> pixels_;
};

}  // namespace

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
        BlackRowReader reader(image, left - 1, columns);
        const bool backwards = image.stride < 0;
        for (std::int64_t step = 0; step < rows; ++step) {
            const std::int64_t k = backwards ? rows - 1 - step : step;
            reader.read(top - 1 + k, mask + static_cast<std::size_t>(k) * words);
        }

        for (std::int64_t y = top; y < bottom; ++y) {
            const std::uint64_t* above = mask + static_cast<std::size_t>(y - top) * words;
            const std::uint64_t* centre = above + words;
            const std::uint64_t* below = centre + words;
            for (std::size_t w = 0; w < words; ++w) {
                std::uint64_t centres = centre[w];
                while (centres != 0) {
                    const std::int64_t i = static_cast<std::int64_t>(w) * 64 + std::countr_zero(centres);
                    centres &= centres - 1;
                    if (i == 0 || i == columns - 1)
                        continue;  // a neighbour column, not a centre
                    if (testBit(centre, i - 1))
                        sum += kSideWeight;
                    if (testBit(centre, i + 1))
                        sum += kSideWeight;
                    if (testBit(above, i))
                        sum += kSideWeight;
                    if (testBit(below, i))
                        sum += kSideWeight;
                    if (testBit(above, i - 1))
                        sum += kCornerWeight;
                    if (testBit(below, i - 1))
                        sum += kCornerWeight;
                    if (testBit(above, i + 1))
                        sum += kCornerWeight;
                    if (testBit(below, i + 1))
                        sum += kCornerWeight;
                }
            }
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
