// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The headers of a BMP file, read and checked before any pixel memory is
// allocated. The BMP reader, the mapped view and the tests share this one
// parser, so every path accepts and refuses the same files.
//
// Accepted: the 14-byte file header ("BM") followed by a 12-byte core header
// (1, 4, 8, 24 bits, 3-byte palette entries) or a 40, 52, 56, 108 or 124-byte
// info header; 1, 4, 8 bits with a palette, 16 and 32 bits (plain, or with
// contiguous bit-field masks), 24 bits; bottom-up or top-down rows; RLE8 and
// RLE4 (bottom-up only). Everything else ends in Error("ビットマップイメージが
// 不正です"): other header sizes (OS/2 2.x among them), 2 or 64 bits, embedded
// JPEG or PNG, Huffman, RLE24, planes other than 1, a width or height of 0,
// masks that are empty, overlapping, scattered or wider than the pixel, a
// palette or pixel block that the file does not hold, and images beyond
// Bitmap::memoryBudget(). Size fields that decoding does not need (the file
// size, the image size, the densities) are not looked at.

#include "core/image/bitmap.hpp"
#include "core/image/pixel_layout.hpp"

#include <cstdint>
#include <span>

namespace dimora {

enum class BmpCompression : std::uint8_t { None, Rle8, Rle4 };

struct BmpInfo {
    std::int32_t width = 0;
    std::int32_t height = 0;  // always positive; the order says which row comes first
    RowOrder order = RowOrder::BottomUp;
    PixelLayout layout;
    BmpCompression compression = BmpCompression::None;
    // Where the pixels start, and how many bytes they take: height × stride
    // for uncompressed pixels (all present in the file), the rest of the file
    // for an RLE stream.
    std::uint64_t pixelOffset = 0;
    std::uint64_t pixelBytes = 0;
};

// The size of the file header.
inline constexpr std::size_t kBmpFileHeaderSize = 14;

// The most bytes of a file that parseBmpHeaders reads: the largest header,
// its masks and 256 palette entries (entries past 2^bits are never read).
inline constexpr std::size_t kBmpMaxHeadBytes = 2048;

// The pixel offset that the file header (the file's first 14 bytes) gives,
// checked to lie inside a file of fileSize bytes and past the smallest header.
// Everything parseBmpHeaders needs lies before it.
[[nodiscard]] std::uint64_t bmpPixelOffset(std::span<const std::uint8_t> fileHeader, std::uint64_t fileSize);

// Whether the pixels are to be held whole (and so must fit the memory
// budget), or read where they lie a band at a time (an uncompressed file of
// any size; an RLE file is decoded whole either way).
enum class BmpPixels : std::uint8_t { Held, ReadInPlace };

// Reads and checks the headers and the palette. `head` holds the file's first
// min(bmpPixelOffset(), kBmpMaxHeadBytes) bytes or more; fileSize is the whole
// file's size.
[[nodiscard]] BmpInfo parseBmpHeaders(std::span<const std::uint8_t> head, std::uint64_t fileSize,
                                      BmpPixels pixels = BmpPixels::Held);

// Refuses, with the invalid-bitmap error, an indexed image in which a pixel
// refers past the end of its palette. Costs one pass over the pixels when the
// palette is shorter than 2^bits, nothing otherwise.
void requireIndicesInPalette(const ImageView& view);

}  // namespace dimora
