// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/image/bitmap.hpp"

#include "core/common/error.hpp"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

namespace dimora {
namespace {

std::atomic<std::uint64_t> gMemoryBudget{std::uint64_t{4} << 30};

}  // namespace

std::uint64_t Bitmap::memoryBudget()
{
    return gMemoryBudget.load();
}
void Bitmap::setMemoryBudget(std::uint64_t bytes)
{
    gMemoryBudget.store(bytes);
}

std::uint64_t Bitmap::pixelBytesFor(std::int64_t width, std::int64_t height, const PixelLayout& layout)
{
    if (width < 0 || height < 0 || width > INT32_MAX || height > INT32_MAX)
        return 0;
    const std::uint64_t stride = layout.strideFor(width);
    if (height != 0 && stride > memoryBudget() / static_cast<std::uint64_t>(height))
        return 0;
    return stride * static_cast<std::uint64_t>(height);
}

Bitmap::Bitmap(std::int32_t width, std::int32_t height, PixelLayout layout, RowOrder order)
    : layout_(std::move(layout)), order_(order)
{
    if (width < 0 || height < 0)
        fail(msg::kInvalidBitmap);
    const std::uint64_t bytes = pixelBytesFor(width, height, layout_);
    if (bytes == 0 && width != 0 && height != 0)
        fail(msg::kInvalidBitmap);
    width_ = width;
    height_ = height;
    stride_ = static_cast<std::size_t>(layout_.strideFor(width));
    if (bytes != 0) {
        // calloc rather than new[]() + memset: large blocks come straight from
        // the system as zero pages, which cost nothing until they are touched.
        pixels_.reset(static_cast<std::uint8_t*>(std::calloc(static_cast<std::size_t>(bytes), 1)));
        if (!pixels_)
            fail(msg::kInvalidBitmap);
    }
}

Bitmap::Bitmap(const Bitmap& other)
    : width_(other.width_), height_(other.height_), layout_(other.layout_), order_(other.order_),
      stride_(other.stride_)
{
    const std::size_t bytes = other.byteCount();
    if (bytes != 0 && other.pixels_) {
        pixels_.reset(static_cast<std::uint8_t*>(std::malloc(bytes)));
        if (!pixels_)
            fail(msg::kInvalidBitmap);
        std::memcpy(pixels_.get(), other.pixels_.get(), bytes);
    }
}

Bitmap& Bitmap::operator=(const Bitmap& other)
{
    if (this != &other) {
        Bitmap copy(other);
        *this = std::move(copy);
    }
    return *this;
}

ImageView Bitmap::view() const
{
    ImageView v;
    v.layout = &layout_;
    v.width = width_;
    v.height = height_;
    if (height_ > 0 && pixels_) {
        v.firstRow = row(0);
        v.stride = order_ == RowOrder::BottomUp ? -static_cast<std::ptrdiff_t>(stride_)
                                                : static_cast<std::ptrdiff_t>(stride_);
    }
    return v;
}

void Bitmap::fill(Colour colour)
{
    if (empty())
        return;
    // The nearest value once, stored into the first row, which is then copied
    // to the others.
    const std::uint32_t value = layout_.nearestValue(colour);
    std::uint8_t* first = row(0);
    for (std::int32_t x = 0; x < width_; ++x)
        layout_.writeValue(first, x, value);
    for (std::int32_t y = 1; y < height_; ++y) {
        std::uint8_t* r = row(y);
        // Masked pixels keep their own alpha bits, so they are written one by
        // one; other layouts hold nothing but colour, and the row is copied.
        if (layout_.format() == PixelFormat::Masked16 || layout_.format() == PixelFormat::Masked32) {
            for (std::int32_t x = 0; x < width_; ++x)
                layout_.writeValue(r, x, value);
        } else {
            std::memcpy(r, first, stride_);
        }
    }
}

}  // namespace dimora
