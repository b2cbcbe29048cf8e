// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The image model: a bitmap that keeps the pixel layout it was created or
// loaded with, stored as the rows of a BMP file (each padded to 4 bytes, in
// the file's own order, bottom-up or top-down), so that loading a file is
// little more than one read and saving writes the same layout back.
//
// Pixel read returns 0x00BBGGRR and the invalid colour 0xFFFFFFFF outside the
// bitmap; pixel write stores the nearest colour the layout holds and ignores
// positions outside. Row access is for the fast paths of measurements and
// operations: row(y) is image row y counted from the top, whatever the order
// in memory.

#include "core/image/colour.hpp"
#include "core/image/pixel_layout.hpp"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace dimora {

enum class RowOrder : std::uint8_t { BottomUp, TopDown };

// A read-only look at rows of pixels somewhere in memory (a bitmap, or a
// mapped file). Row y starts at firstRow + y × stride; stride is negative for
// bottom-up rows.
struct ImageView {
    const PixelLayout* layout = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    const std::uint8_t* firstRow = nullptr;
    std::ptrdiff_t stride = 0;

    [[nodiscard]] const std::uint8_t* row(std::int32_t y) const { return firstRow + y * stride; }
    // The order of the rows in memory.
    [[nodiscard]] RowOrder rowOrder() const { return stride < 0 ? RowOrder::BottomUp : RowOrder::TopDown; }
    [[nodiscard]] Colour pixel(std::int32_t x, std::int32_t y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return kInvalidColour;
        return layout->read(row(y), x);
    }
};

class Bitmap {
public:
    // The empty 0 × 0 bitmap, 24 bits per pixel.
    Bitmap() = default;
    // A bitmap of the given size and layout with every byte 0 (palette index
    // 0, or black). Throws Error(invalid bitmap) when width or height is
    // negative or the pixels would exceed memoryBudget() or available memory.
    // The zero pages of a large bitmap come lazily from the system, so a
    // bitmap that a loader then fills costs one touch of its memory, not two.
    Bitmap(std::int32_t width, std::int32_t height, PixelLayout layout, RowOrder order = RowOrder::BottomUp);

    Bitmap(const Bitmap& other);
    Bitmap& operator=(const Bitmap& other);
    Bitmap(Bitmap&&) noexcept = default;
    Bitmap& operator=(Bitmap&&) noexcept = default;

    [[nodiscard]] std::int32_t width() const { return width_; }
    [[nodiscard]] std::int32_t height() const { return height_; }
    [[nodiscard]] bool empty() const { return width_ == 0 || height_ == 0; }
    [[nodiscard]] const PixelLayout& layout() const { return layout_; }
    [[nodiscard]] RowOrder rowOrder() const { return order_; }
    [[nodiscard]] std::size_t stride() const { return stride_; }

    [[nodiscard]] Colour pixel(std::int32_t x, std::int32_t y) const
    {
        if (x < 0 || y < 0 || x >= width_ || y >= height_)
            return kInvalidColour;
        return layout_.read(row(y), x);
    }
    void setPixel(std::int32_t x, std::int32_t y, Colour colour)
    {
        if (x < 0 || y < 0 || x >= width_ || y >= height_)
            return;
        layout_.write(row(y), x, colour);
    }

    // Image row y counted from the top (0 <= y < height).
    [[nodiscard]] std::uint8_t* row(std::int32_t y) { return pixels_.get() + rowOffset(y); }
    [[nodiscard]] const std::uint8_t* row(std::int32_t y) const { return pixels_.get() + rowOffset(y); }

    // All pixel bytes in memory order (height × stride bytes).
    [[nodiscard]] std::uint8_t* data() { return pixels_.get(); }
    [[nodiscard]] const std::uint8_t* data() const { return pixels_.get(); }
    [[nodiscard]] std::size_t byteCount() const { return stride_ * static_cast<std::size_t>(height_); }

    [[nodiscard]] ImageView view() const;

    // Sets every pixel to the nearest colour of the layout (alpha bits are
    // left as they are).
    void fill(Colour colour);

    // The bytes that pixel memory of this size and layout needs, or 0 when the
    // size is negative or beyond what this process may allocate.
    [[nodiscard]] static std::uint64_t pixelBytesFor(std::int64_t width, std::int64_t height,
                                                     const PixelLayout& layout);

    // The most pixel memory that one bitmap may take (4 GiB unless changed);
    // larger images are refused before anything is allocated.
    [[nodiscard]] static std::uint64_t memoryBudget();
    static void setMemoryBudget(std::uint64_t bytes);

private:
    [[nodiscard]] std::size_t rowOffset(std::int32_t y) const
    {
        const auto r = order_ == RowOrder::BottomUp ? height_ - 1 - y : y;
        return static_cast<std::size_t>(r) * stride_;
    }

    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    PixelLayout layout_;
    RowOrder order_ = RowOrder::BottomUp;
    std::size_t stride_ = 0;
    struct FreeMemory {
        void operator()(std::uint8_t* p) const { std::free(p); }
    };
    std::unique_ptr<std::uint8_t[], FreeMemory> pixels_;
};

}  // namespace dimora
