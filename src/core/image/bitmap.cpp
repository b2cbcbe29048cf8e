// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "image/bitmap.hpp"

#include "common/error.hpp"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

namespace dimora {
namespace {

std::atomic<std::uint64_t> gMemoryBudget{std::uint64_t{4} << 30};

}  // namespace

std::uint64_t Bitmap::memoryBudget() { return gMemoryBudget.load(); }
void Bitmap::setMemoryBudget(std::uint64_t bytes) { gMemoryBudget.store(bytes); }

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
        // Zero-filled: fresh pages from the system come zeroed, so this costs
        // nothing until the pixels are touched.
        pixels_.reset(new (std::nothrow) std::uint8_t[bytes]());
        if (!pixels_)
            fail(msg::kInvalidBitmap);
    }
}

Bitmap::Bitmap(const Bitmap& other)
    : width_(other.width_), height_(other.height_), layout_(other.layout_), order_(other.order_),
      stride_(other.stride_)
{
    const std::size_t bytes = other.byteCount();
    if (bytes != 0) {
        pixels_ = std::make_unique_for_overwrite<std::uint8_t[]>(bytes);
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
    // Fill the first row pixel by pixel, then copy it to the others.
    std::uint8_t* first = row(0);
    for (std::int32_t x = 0; x < width_; ++x)
        layout_.write(first, x, colour);
    for (std::int32_t y = 1; y < height_; ++y)
        std::memcpy(row(y), first, stride_);
}

}  // namespace dimora
