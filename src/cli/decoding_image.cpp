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

// Ends the reading of rows when the decoding has failed.
struct DecodingAbandoned {};

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
    rows_.store(rows, std::memory_order_release);
    rows_.notify_all();
}

void DecodingImage::abandoned() noexcept
{
    std::unique_lock lock(mutex_);
    if (!view_)
        return;
    failed_.store(true, std::memory_order_release);
    // A different value wakes a reader waiting on the count.
    rows_.store(-1, std::memory_order_release);
    rows_.notify_all();
    changed_.wait(lock, [this] { return !reading_; });
}

void DecodingImage::ended(const std::exception_ptr& failure)
{
    const std::lock_guard lock(mutex_);
    ended_ = true;
    failure_ = failure;
    if (!failure && !view_) {
        // Read without telling its rows (BMP, PNG): all of them are there now.
        view_ = decoded_.view();
        rows_.store(decoded_.height(), std::memory_order_release);
        rows_.notify_all();
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
    std::int32_t written = rows_.load(std::memory_order_acquire);
    if (written > row)
        return;
    const std::int32_t wanted = std::min(row + kRowsPerWait, view_->height - 1);
    while (!(written > wanted)) {
        if (failed_.load(std::memory_order_acquire)) {
            stopReading();
            throw DecodingAbandoned{};
        }
        rows_.wait(written, std::memory_order_acquire);
        written = rows_.load(std::memory_order_acquire);
    }
}

RowGate DecodingImage::gate()
{
    return [this](std::int32_t row) { waitForRow(row); };
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
