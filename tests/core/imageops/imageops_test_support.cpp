// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "imageops_test_support.hpp"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace dimora::test {

std::vector<LayoutCase> allLayouts()
{
    std::vector<Colour> vga = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                               0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                               0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    std::vector<Colour> ramp;
    for (unsigned i = 0; i < 256; ++i)
        ramp.push_back(i % 4 == 0 ? makeColour(i, i, i) : makeColour(i, 255 - i, (i * 37) & 0xFF));
    // Short palettes: indices past the end read as black.
    std::vector<Colour> short4 = {0xFFFFFF, 0x0000FF, 0x000000, 0x00FF00, 0x7F7F7F};
    std::vector<Colour> short8 = {0x102030, 0xFFFFFF, 0x00FF00, 0x0000FF, 0x000000, 0xFF0000, 0x808080};

    return {
        {"indexed1", PixelLayout::indexed(1, {0x000000, 0xFFFFFF})},
        {"indexed1_colours", PixelLayout::indexed(1, {0x2040C0, 0x000000}), RowOrder::TopDown},
        {"indexed4_vga", PixelLayout::indexed(4, vga)},
        {"indexed4_short", PixelLayout::indexed(4, short4), RowOrder::TopDown},
        {"indexed8_ramp", PixelLayout::indexed(8, ramp), RowOrder::TopDown},
        {"indexed8_short", PixelLayout::indexed(8, short8)},
        {"masked16_555", PixelLayout::masked(16, kMasks555)},
        {"masked16_565", PixelLayout::masked(16, kMasks565), RowOrder::TopDown},
        {"masked16_4444", PixelLayout::masked(16, {0xF000, 0x0F00, 0x00F0, 0x000F}), RowOrder::TopDown},
        {"rgb24", PixelLayout::rgb24()},
        {"rgb24_topdown", PixelLayout::rgb24(), RowOrder::TopDown},
        {"masked32_alpha", PixelLayout::masked(32, {0xFF0000, 0x00FF00, 0x0000FF, 0xFF000000})},
        {"masked32_10bit", PixelLayout::masked(32, {0x3FF00000, 0x000FFC00, 0x000003FF, 0}),
         RowOrder::TopDown},
    };
}

Bitmap randomBitmap(const LayoutCase& layout, std::int32_t width, std::int32_t height, std::mt19937& rng)
{
    Bitmap image(width, height, layout.layout, layout.order);
    std::uniform_int_distribution<int> byte(0, 255);
    for (std::size_t i = 0; i < image.byteCount(); ++i)
        image.data()[i] = static_cast<std::uint8_t>(byte(rng));
    return image;
}

Bitmap randomBitmapOf(const LayoutCase& layout, std::int32_t width, std::int32_t height,
                      const std::vector<Colour>& colours, std::mt19937& rng)
{
    Bitmap image = randomBitmap(layout, width, height, rng);
    std::uniform_int_distribution<std::size_t> pick(0, colours.size() - 1);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            image.setPixel(x, y, colours[pick(rng)]);
    return image;
}

Bitmap pictureBitmap(const std::vector<std::string>& rows, const LayoutCase& layout)
{
    const auto height = static_cast<std::int32_t>(rows.size());
    const auto width = rows.empty() ? 0 : static_cast<std::int32_t>(rows[0].size());
    Bitmap image(width, height, layout.layout, layout.order);
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            Colour c = kWhite;
            switch (rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]) {
            case '#':
                c = kBlack;
                break;
            case 'r':
                c = 0x0000FF;
                break;
            case 'g':
                c = 0x00FF00;
                break;
            case 'b':
                c = 0xFF0000;
                break;
            case 'k':
                c = 0x010101;
                break;
            default:
                break;
            }
            image.setPixel(x, y, c);
        }
    }
    return image;
}

std::vector<std::string> pictureOf(const Bitmap& image)
{
    std::vector<std::string> rows;
    for (std::int32_t y = 0; y < image.height(); ++y) {
        std::string row;
        for (std::int32_t x = 0; x < image.width(); ++x) {
            const Colour c = image.pixel(x, y);
            row += isBlackByColour(c) ? '#' : c == kWhite ? '.' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

::testing::AssertionResult sameBitmap(const Bitmap& actual, const Bitmap& expected)
{
    if (actual.width() != expected.width() || actual.height() != expected.height())
        return ::testing::AssertionFailure() << "size " << actual.width() << "x" << actual.height() << " vs "
                                             << expected.width() << "x" << expected.height();
    if (!(actual.layout() == expected.layout()) || actual.rowOrder() != expected.rowOrder())
        return ::testing::AssertionFailure() << "layout or row order differs";
    for (std::int32_t y = 0; y < actual.height(); ++y) {
        if (std::memcmp(actual.row(y), expected.row(y), actual.stride()) == 0)
            continue;
        for (std::int32_t x = 0; x < actual.width(); ++x) {
            if (actual.pixel(x, y) != expected.pixel(x, y)) {
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is 0x" << std::hex << actual.pixel(x, y)
                       << ", expected 0x" << expected.pixel(x, y);
            }
        }
        return ::testing::AssertionFailure() << "row " << y << " differs in bits that are not read";
    }
    return ::testing::AssertionSuccess();
}

}  // namespace dimora::test
