// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/row_target.hpp"

#include "core/common/error.hpp"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <stdexcept>

namespace dimora {

void BitmapTarget::start(std::int32_t width, std::int32_t height, const PixelLayout& layout)
{
    bitmap_ = Bitmap(width, height, layout, RowOrder::TopDown);
    if (watcher_)
        watcher_->started(bitmap_.view());
}

std::uint8_t* BitmapTarget::rows(std::int32_t first, std::int32_t /*count*/)
{
    return bitmap_.row(first);
}

void BitmapTarget::written(std::int32_t end)
{
    if (watcher_)
        watcher_->rowsWritten(end);
}

void SinkTarget::start(std::int32_t width, std::int32_t height, const PixelLayout& layout)
{
    // One row must fit the budget, and the sizes the bitmap's own limits.
    if (width < 0 || height < 0 || (width > 0 && height > 0 && Bitmap::pixelBytesFor(width, 1, layout) == 0))
        fail(msg::kInvalidBitmap);
    layout_ = layout;
    width_ = width;
    stride_ = static_cast<std::size_t>(layout.strideFor(width));
    first_ = 0;
    sink_.begin(width, height, layout_);
}

std::uint8_t* SinkTarget::rows(std::int32_t first, std::int32_t count)
{
    const auto rowCount = static_cast<std::size_t>(count);
    if (stride_ != 0 && rowCount > Bitmap::memoryBudget() / stride_)
        throw std::length_error("band beyond the memory budget");
    const std::size_t bytes = stride_ * rowCount;
    if (bytes > capacity_) {
        band_.reset();
        capacity_ = 0;
        // Zeroed, so that the padding bytes of each row read as 0 as in a
        // bitmap.
        band_.reset(static_cast<std::uint8_t*>(std::calloc(bytes, 1)));
        if (!band_)
            throw std::bad_alloc();
        capacity_ = bytes;
    }
    first_ = first;
    return band_.get();
}

void SinkTarget::tile(std::int32_t firstRow, std::int32_t firstColumn, const std::uint8_t* tile,
                      std::size_t stride, std::int32_t width, std::int32_t height)
{
    ImageView view;
    view.layout = &layout_;
    view.width = width;
    view.height = height;
    view.firstRow = tile;
    view.stride = static_cast<std::ptrdiff_t>(stride);
    sink_.tile(firstRow, firstColumn, view);
}

void SinkTarget::written(std::int32_t end)
{
    if (end <= first_)
        return;
    ImageView band;
    band.layout = &layout_;
    band.width = width_;
    band.height = end - first_;
    band.firstRow = band_.get();
    band.stride = static_cast<std::ptrdiff_t>(stride_);
    sink_.rows(first_, band);
    first_ = end;
}

void handRowsOn(const ImageView& image, RowSink& sink)
{
    constexpr std::int32_t kBandRows = 64;
    sink.begin(image.width, image.height, *image.layout);
    for (std::int32_t y = 0; y < image.height; y += kBandRows) {
        ImageView band = image;
        band.firstRow = image.row(y);
        band.height = std::min(kBandRows, image.height - y);
        sink.rows(y, band);
    }
    sink.end();
}

}  // namespace dimora
