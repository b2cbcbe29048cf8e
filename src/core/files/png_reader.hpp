// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The PNG reader: turns a PNG file into a 24-bit bitmap (PixelLayout::rgb24())
// of the image's width and height, decoded by libpng.
//
// Every PNG colour type and bit depth is read:
// - palette and RGB images give their colours exactly;
// - gray images give (g, g, g), depths below 8 widened to 8 bits (1-bit white
//   is 255);
// - 16-bit samples keep their high byte;
// - wherever the image has transparency (an alpha channel or a transparency
//   chunk), each channel is blended over white with A' = 255 − alpha:
//   (255 × A' + source × (255 − A')) div 255, so opaque pixels keep their
//   colour and fully transparent ones are white;
// - interlaced images are decoded in full.
//
// Failures throw dimora::Error and leave the caller's bitmap untouched:
// - the file cannot be opened: "Error Opening File " + the name as passed + "!";
// - anything after that (not a PNG, corrupt or truncated data, dimensions
//   whose pixels exceed Bitmap::memoryBudget(), exhausted memory):
//   "Error Reading File!".
// libpng's warnings (a damaged ancillary chunk and the like) are ignored.
//
// Cost: one libpng decode and one write of the bitmap's pixels: colour images
// without transparency are decoded straight into the bitmap's rows, the others
// row by row through one row buffer (an interlaced one through a buffer of
// the whole decoded image). About 1.3 times libpng's bare decoding for gray.
// The functions are reentrant: every call has its own decoder state.

#include "core/image/bitmap.hpp"
#include "core/image/row_sink.hpp"

#include <cstdint>
#include <span>
#include <string>

namespace dimora {

// Decodes the PNG file into the bitmap, which takes the image's size, layout
// and pixels.
void LoadPngBitmap(const std::string& fileName, Bitmap& bitmap);

// LoadPngBitmap for a series of images of one size: the pixels go into
// `reusable` when it already has the image's width, height and the 24-bit
// layout, so that no new memory is taken and cleared; otherwise into a new
// bitmap. Returns the image. On failure `reusable` is lost, and may have
// held some rows of the failed image.
[[nodiscard]] Bitmap loadPngReusing(const std::string& fileName, Bitmap reusable);

// The file's rows handed to the sink in bands of 64 as libpng decodes them,
// the image never held whole: gray images (no transparency) as 8-bit grey
// indices, the others as 24-bit rows; every pixel reads as in the bitmap
// that LoadPngBitmap makes, with the same checks and errors, except that
// only a row need fit the budget. An interlaced image is decoded whole by
// LoadPngBitmap, within the budget, and then handed on.
void streamPngFile(const std::string& fileName, RowSink& sink);

// The same decoding from bytes in memory (failures: "Error Reading File!").
[[nodiscard]] Bitmap decodePng(std::span<const std::uint8_t> bytes);

// True when the bytes start with the full 8-byte PNG signature.
[[nodiscard]] bool hasPngSignature(std::span<const std::uint8_t> bytes);

}  // namespace dimora
