// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "cli/decoding_image.hpp"

#include "core/files/image_file.hpp"

#include <algorithm>

namespace dimora::cli {
namespace {

// A reader that has to wait asks for this many rows more than it needs, so
// that it sleeps once per band rather than once per strip.
constexpr std::int32_t kRowsPerWait = 256;

}  // namespace

DecodingImage::DecodingImage(const std::string& path, std::int32_t page)
    : decoder_([this, path, page] {
          std::exception_ptr failure;
          try {
              decoded_ = loadImageFile(path, page, this);
          } catch (...) {
              failure = std::current_exception();
          }
          ended(failure);
      })
{
}

DecodingImage::~DecodingImage()
{
    stopReading();
    if (decoder_.joinable())
        decoder_.join();
}

void DecodingImage::stopReading()
{
    const std::lock_guard lock(mutex_);
    reading_ = false;
    changed_.notify_all();
}

void DecodingImage::started(const ImageView& view)
{
    const std::lock_guard lock(mutex_);
    layout_ = *view.layout;
    view_ = view;
    view_->layout = &layout_;
    changed_.notify_all();
}

void DecodingImage::rowsWritten(std::int32_t rows) noexcept
{
    {
        const std::lock_guard lock(mutex_);
        rows_ = rows;
    }
    changed_.notify_all();
}

void DecodingImage::abandoned() noexcept
{
    std::unique_lock lock(mutex_);
    if (!view_)
        return;
    abandoned_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return !reading_; });
}

void DecodingImage::ended(const std::exception_ptr& failure)
{
    const std::lock_guard lock(mutex_);
    ended_ = true;
    failure_ = failure;
    if (failure) {
        abandoned_ = true;
    } else {
        // A reader that does not tell its rows (BMP, PNG) gives the view
        // only now; every row is there.
        if (!view_)
            view_ = decoded_.view();
        rows_ = decoded_.height();
    }
    changed_.notify_all();
}

ImageView DecodingImage::view()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return view_ || ended_; });
    if (failure_)
        std::rethrow_exception(failure_);
    return *view_;
}

void DecodingImage::waitForRow(std::int32_t row)
{
    if (row < readable_)
        return;
    std::unique_lock lock(mutex_);
    if (rows_ <= row) {
        const std::int32_t wanted = std::min(row + kRowsPerWait, view_->height - 1);
        changed_.wait(lock, [&] { return rows_ > wanted || abandoned_; });
        if (rows_ <= wanted) {
            reading_ = false;
            lock.unlock();
            changed_.notify_all();
            throw RowsAbandoned{};
        }
    }
    readable_ = rows_;
}

RowGate* DecodingImage::gate()
{
    return this;
}

void DecodingImage::finish()
{
    stopReading();
    if (decoder_.joinable())
        decoder_.join();
    if (failure_)
        std::rethrow_exception(failure_);
}

}  // namespace dimora::cli
