// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The G1 flat file: a headerless 640 × 400 raster at one bit per pixel,
// exactly 32,000 bytes. Row y (top row first) is bytes 80 × y to 80 × y + 79;
// byte k holds pixels 8k to 8k + 7, the leftmost in the most significant bit.
// A bit is 1 when the pixel's red byte is 127 or less (dark by red byte), so
// black gives 1 and white 0; green and blue are not looked at.
//
// The raster always covers pixels (0, 0) to (639, 399) of the image, whatever
// its size: pixels outside the image read as the invalid colour and give 0
// bits, so a smaller image is filled up with 0 bits to the right and below and
// a larger one is cut. There is no region: the whole image is written.

#include "core/image/bitmap.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace dimora {

inline constexpr std::int32_t kG1Width = 640;
inline constexpr std::int32_t kG1Height = 400;
inline constexpr std::size_t kG1RowBytes = kG1Width / 8;
inline constexpr std::size_t kG1FileBytes = kG1RowBytes * kG1Height;

// The 32,000 bytes of the G1 file of an image.
[[nodiscard]] std::vector<std::uint8_t> encodeG1(const ImageView& image);
[[nodiscard]] std::vector<std::uint8_t> encodeG1(const Bitmap& image);

// Writes the G1 file of the image, replacing any file of that name. The bytes
// go to a temporary file beside the target, which is then renamed over it, so
// a failure leaves no half-written file and any old file intact. Throws
// Error with the operating system's reason in the file error texts
// (fileErrorText) when the file cannot be created or written.
void saveG1File(const Bitmap& image, const std::string& path);

}  // namespace dimora
