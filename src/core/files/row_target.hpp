// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Where a reader writes the rows it decodes: into a whole bitmap (loading a
// file; a watcher hears of the rows as they are written), or into a band of
// rows that goes to a RowSink once written (streaming a file: the image is
// never held whole). The readers write through this alone, so that both ways
// decode a file alike, with the same checks and the same errors.

#include "core/image/bitmap.hpp"
#include "core/image/decode_watcher.hpp"
#include "core/image/row_sink.hpp"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace dimora {

class RowTarget {
public:
    virtual ~RowTarget() = default;
    // Whether the whole image is held at once, so that its size must fit the
    // memory budget.
    [[nodiscard]] virtual bool holdsWholeImage() const = 0;
    // The size and layout are known; no row is written yet. Throws
    // Error(invalid bitmap) when they cannot be held.
    virtual void start(std::int32_t width, std::int32_t height, const PixelLayout& layout) = 0;
    // Memory for rows first .. first + count − 1, one after another from the
    // top, stride() bytes apart (each row padded as a bitmap row is). Valid
    // until written() or the next call of rows(). Throws std::length_error
    // when the band would exceed the memory budget.
    [[nodiscard]] virtual std::uint8_t* rows(std::int32_t first, std::int32_t count) = 0;
    [[nodiscard]] virtual std::size_t stride() const = 0;
    // Rows 0 .. end − 1 are written and final.
    virtual void written(std::int32_t end) = 0;
    // The last row is written.
    virtual void finished() = 0;

    // Tiles handed on as they are decoded (RowSink::tileWidthMultiple): for
    // a target that takes them, tiles whose width is a multiple of this and
    // whose height is even go through tile() and tilesDone() instead of
    // rows() and written(). `tile` holds `height` rows `stride` bytes apart.
    [[nodiscard]] virtual std::int32_t tileWidthMultiple() const { return 0; }
    virtual void tile(std::int32_t /*firstRow*/, std::int32_t /*firstColumn*/, const std::uint8_t* /*tile*/,
                      std::size_t /*stride*/, std::int32_t /*width*/, std::int32_t /*height*/)
    {
    }
    virtual void tilesDone(std::int32_t /*firstRow*/, std::int32_t /*count*/) {}
};

class BitmapTarget final : public RowTarget {
public:
    BitmapTarget(Bitmap& bitmap, DecodeWatcher* watcher) : bitmap_(bitmap), watcher_(watcher) {}
    [[nodiscard]] bool holdsWholeImage() const override { return true; }
    void start(std::int32_t width, std::int32_t height, const PixelLayout& layout) override;
    [[nodiscard]] std::uint8_t* rows(std::int32_t first, std::int32_t count) override;
    [[nodiscard]] std::size_t stride() const override { return bitmap_.stride(); }
    void written(std::int32_t end) override;
    void finished() override {}

private:
    Bitmap& bitmap_;
    DecodeWatcher* watcher_;
};

class SinkTarget final : public RowTarget {
public:
    explicit SinkTarget(RowSink& sink) : sink_(sink) {}
    [[nodiscard]] bool holdsWholeImage() const override { return false; }
    void start(std::int32_t width, std::int32_t height, const PixelLayout& layout) override;
    [[nodiscard]] std::uint8_t* rows(std::int32_t first, std::int32_t count) override;
    [[nodiscard]] std::size_t stride() const override { return stride_; }
    void written(std::int32_t end) override;
    void finished() override { sink_.end(); }
    [[nodiscard]] std::int32_t tileWidthMultiple() const override { return sink_.tileWidthMultiple(); }
    void tile(std::int32_t firstRow, std::int32_t firstColumn, const std::uint8_t* tile, std::size_t stride,
              std::int32_t width, std::int32_t height) override;
    void tilesDone(std::int32_t firstRow, std::int32_t count) override { sink_.tilesDone(firstRow, count); }

private:
    struct Free {
        void operator()(std::uint8_t* p) const { std::free(p); }
    };
    RowSink& sink_;
    PixelLayout layout_;
    std::int32_t width_ = 0;
    std::size_t stride_ = 0;
    std::int32_t first_ = 0;  // the band's first row
    std::size_t capacity_ = 0;
    std::unique_ptr<std::uint8_t[], Free> band_;
};

// Hands the rows of an image already in memory to the sink, begin to end, in
// bands of a few rows.
void handRowsOn(const ImageView& image, RowSink& sink);

}  // namespace dimora
