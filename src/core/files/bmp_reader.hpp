// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Reading BMP files into a Bitmap that keeps the file's pixel layout (bit
// depth, palette or masks) and row order. What is accepted and refused is
// described in bmp_header.hpp; an accepted file decodes exactly, and a refused
// one ends in Error("ビットマップイメージが不正です") without allocating the
// image. RLE images become uncompressed bottom-up bitmaps of the same palette.
//
// Cost: an uncompressed file is one read straight into the bitmap's memory
// (plus one pass over the pixels when a palette is shorter than its bit
// depth allows); an RLE file is read whole and decoded.

#include "core/image/bitmap.hpp"

#include <cstdint>
#include <span>
#include <string>

namespace dimora {

// Decodes the bytes of a whole BMP file.
[[nodiscard]] Bitmap decodeBmp(std::span<const std::uint8_t> bytes);

// Loads a BMP file. A file that cannot be opened or read gives
// Error("ファイル %s は開けません") with the path as given.
[[nodiscard]] Bitmap loadBmpFile(const std::string& path);

}  // namespace dimora
