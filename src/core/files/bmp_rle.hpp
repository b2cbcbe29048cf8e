// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Decoding of the run-length encoded BMP pixels (RLE8 for 8 bits, RLE4 for 4
// bits). The stream runs from the bottom row up; pixels it never writes (rows
// left by an end-of-bitmap, gaps left by a delta) take palette index 0.
//
// Refused with the invalid-bitmap error: a run or literal that reaches past
// the end of its row, a delta that moves past the image, pixels above the top
// row, an index past the palette, and a stream that ends inside a command or,
// without an end-of-bitmap mark, before the top row is complete.

#include "core/files/bmp_header.hpp"
#include "core/image/bitmap.hpp"

#include <cstdint>
#include <span>

namespace dimora {

// Decodes `stream` (the bytes from the pixel offset to the end of the file)
// for an image whose headers gave `info`. Cost: one pass over the stream, and
// the bitmap's memory.
[[nodiscard]] Bitmap decodeBmpRle(const BmpInfo& info, std::span<const std::uint8_t> stream);

}  // namespace dimora
