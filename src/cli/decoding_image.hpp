// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// A TIFF or JPEG file decoded on a thread of its own while the caller works
// on its rows as they are written, so that reading and measuring overlap on
// two cores instead of following one another.

#include "core/image/bitmap.hpp"
#include "core/image/decode_watcher.hpp"
#include "core/measure/box_count.hpp"

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace dimora::cli {

class DecodingImage : private DecodeWatcher, private RowGate {
public:
    // Starts decoding page `page` of the file (loadImageFile's rules).
    DecodingImage(const std::string& path, std::int32_t page);
    // Waits for the decoding to end.
    ~DecodingImage() override;
    DecodingImage(const DecodingImage&) = delete;
    DecodingImage& operator=(const DecodingImage&) = delete;

    // The image once its size and layout are known, its rows perhaps not yet
    // written; read a row only after gate() let it through. Rethrows the
    // decoding's error when it failed before.
    [[nodiscard]] ImageView view();

    // What the reader of view()'s rows waits on: its waitForRow returns once
    // the row is written. When the decoding fails first, it throws
    // RowsAbandoned, and the caller reads no row any more; finish() then
    // gives the decoding's error.
    [[nodiscard]] RowGate* gate();

    // The caller reads no row any more: waits for the decoding to end and
    // rethrows its error (a file may turn out damaged after every row has
    // been read).
    void finish();

private:
    void started(const ImageView& view) override;
    void rowsWritten(std::int32_t rows) noexcept override;
    void abandoned() noexcept override;
    void waitForRow(std::int32_t row) override;
    void ended(const std::exception_ptr& failure);
    // The caller reads no more rows.
    void stopReading();

    // What the two threads share, under one lock with one wake.
    std::mutex mutex_;
    std::condition_variable changed_;
    std::optional<ImageView> view_;
    PixelLayout layout_;
    std::int32_t rows_ = 0;   // rows written
    bool abandoned_ = false;  // the decoding failed after started(): no more rows come
    bool reading_ = true;     // the caller may still read rows
    bool ended_ = false;
    std::exception_ptr failure_;
    // The reader's own: rows it knows are written, which it reads without
    // the lock.
    std::int32_t readable_ = 0;
    Bitmap decoded_;
    std::thread decoder_;
};

}  // namespace dimora::cli
