// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "array_image.hpp"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace py = pybind11;

namespace dimora::python {
namespace {

void requireRowContiguous(const ByteArray& array, py::ssize_t lastAxisStride)
{
    // An array without elements has no rows to lay out (numpy may give it any
    // strides); the measurement then refuses it as it refuses an empty region.
    if (array.size() != 0 && array.strides(array.ndim() - 1) != lastAxisStride)
        throw std::invalid_argument("the array's rows are not contiguous");
}

bool isGreyPalette(const PixelLayout& layout)
{
    if (!layout.isIndexed())
        return false;
    return std::all_of(layout.palette().begin(), layout.palette().end(), [](Colour c) {
        const auto r = c & 0xFFu, g = c >> 8 & 0xFFu, b = c >> 16 & 0xFFu;
        return r == g && g == b;
    });
}

}  // namespace

const PixelLayout& occupancyLayout()
{
    static const PixelLayout layout = [] {
        std::vector<Colour> palette(256, 0x000000);
        palette[0] = 0xFFFFFF;
        return PixelLayout::indexed(8, palette);
    }();
    return layout;
}

const PixelLayout& greyLayout()
{
    static const PixelLayout layout = PixelLayout::grey8();
    return layout;
}

ImageView viewOf(const ByteArray& array, const PixelLayout& layout)
{
    if (array.ndim() != 2)
        throw std::invalid_argument("an image array has two axes");
    requireRowContiguous(array, 1);
    return ImageView{&layout, static_cast<std::int32_t>(array.shape(1)),
                     static_cast<std::int32_t>(array.shape(0)), array.data(), array.strides(0)};
}

ImageView planeOf(const ByteArray& stack, py::ssize_t z, const PixelLayout& layout)
{
    if (stack.ndim() != 3)
        throw std::invalid_argument("a stack array has three axes");
    requireRowContiguous(stack, 1);
    return ImageView{&layout, static_cast<std::int32_t>(stack.shape(2)),
                     static_cast<std::int32_t>(stack.shape(1)), stack.data() + z * stack.strides(0),
                     stack.strides(1)};
}

Bitmap bitmapOf(const ByteArray& array)
{
    const bool colour = array.ndim() == 3;
    if (array.ndim() != 2 && !(colour && array.shape(2) == 3))
        throw std::invalid_argument("an image array is (H, W) or (H, W, 3)");
    const auto width = static_cast<std::int32_t>(array.shape(1));
    const auto height = static_cast<std::int32_t>(array.shape(0));
    Bitmap bitmap(width, height, colour ? PixelLayout::rgb24() : PixelLayout::grey8(), RowOrder::TopDown);
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint8_t* row = bitmap.row(y);
        for (std::int32_t x = 0; x < width; ++x) {
            if (colour) {
                // BMP rows hold blue, green, red.
                const std::uint8_t* at = static_cast<const std::uint8_t*>(array.data(y, x, 0));
                const auto step = array.strides(2);
                row[3 * x] = at[2 * step];
                row[3 * x + 1] = at[step];
                row[3 * x + 2] = at[0];
            } else {
                row[x] = *static_cast<const std::uint8_t*>(array.data(y, x));
            }
        }
    }
    return bitmap;
}

ByteArray arrayOf(const Bitmap& bitmap)
{
    const auto width = static_cast<py::ssize_t>(bitmap.width());
    const auto height = static_cast<py::ssize_t>(bitmap.height());
    const PixelLayout& layout = bitmap.layout();
    if (isGreyPalette(layout)) {
        ByteArray out({height, width});
        auto samples = out.mutable_unchecked<2>();
        for (py::ssize_t y = 0; y < height; ++y) {
            const std::uint8_t* row = bitmap.row(static_cast<std::int32_t>(y));
            for (py::ssize_t x = 0; x < width; ++x)
                samples(y, x) = static_cast<std::uint8_t>(layout.read(row, static_cast<int>(x)) & 0xFFu);
        }
        return out;
    }
    ByteArray out({height, width, py::ssize_t{3}});
    auto samples = out.mutable_unchecked<3>();
    for (py::ssize_t y = 0; y < height; ++y) {
        const std::uint8_t* row = bitmap.row(static_cast<std::int32_t>(y));
        for (py::ssize_t x = 0; x < width; ++x) {
            const Colour c = layout.read(row, static_cast<int>(x));
            samples(y, x, 0) = static_cast<std::uint8_t>(c & 0xFFu);
            samples(y, x, 1) = static_cast<std::uint8_t>(c >> 8 & 0xFFu);
            samples(y, x, 2) = static_cast<std::uint8_t>(c >> 16 & 0xFFu);
        }
    }
    return out;
}

}  // namespace dimora::python
