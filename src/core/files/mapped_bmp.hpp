// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// A BMP file seen in place, for consumers that only read pixels (the command
// line's measurements). The file is checked exactly as loadBmpFile checks it
// and mapped read-only; an uncompressed file is viewed straight over its rows
// in the mapping, so no pixel is copied and no image-sized memory is taken.
// An RLE file is decoded into a bitmap of its own, which the view then shows.
// Either way the view gives the same pixels as loadBmpFile.
//
// The view (and its layout pointer) stays valid while this object lives and
// is not moved; take it again after a move.

#include "core/files/bmp_header.hpp"
#include "core/image/bitmap.hpp"

#include <cstdint>
#include <optional>
#include <string>

namespace dimora {

class MappedBmpFile {
public:
    // Opens and checks the file: Error("ファイル %s は開けません") when it
    // cannot be opened or mapped, Error("ビットマップイメージが不正です") when
    // it is not a bitmap that loadBmpFile accepts.
    //
    // With BmpPixels::ReadInPlace an uncompressed file beyond the memory
    // budget is taken too (its rows are read from the mapping a band at a
    // time, never held), and its pages are not all mapped at once.
    explicit MappedBmpFile(const std::string& path, BmpPixels pixels = BmpPixels::Held);
    ~MappedBmpFile();
    MappedBmpFile(MappedBmpFile&& other) noexcept;
    MappedBmpFile& operator=(MappedBmpFile&& other) noexcept;
    MappedBmpFile(const MappedBmpFile&) = delete;
    MappedBmpFile& operator=(const MappedBmpFile&) = delete;

    [[nodiscard]] ImageView view() const;
    [[nodiscard]] std::int32_t width() const { return width_; }
    [[nodiscard]] std::int32_t height() const { return height_; }
    [[nodiscard]] const PixelLayout& layout() const;
    // True when the pixels are read from the mapping rather than a decoded copy.
    [[nodiscard]] bool isMapped() const { return !decoded_.has_value(); }

private:
    void unmap() noexcept;

    const std::uint8_t* mapping_ = nullptr;
    std::size_t mappedBytes_ = 0;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    PixelLayout layout_;
    RowOrder order_ = RowOrder::BottomUp;
    std::uint64_t pixelOffset_ = 0;
    std::size_t stride_ = 0;
    std::optional<Bitmap> decoded_;
};

}  // namespace dimora
