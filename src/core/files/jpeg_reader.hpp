// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The JPEG reader: a JPEG file into a bitmap, decoded by libjpeg-turbo with
// its default settings (the slow integer DCT, fancy upsampling), pixels as
// stored (orientation tags are not applied):
//   gray                   8-bit indexed with the grey palette i → (i, i, i)
//   colour (YCbCr, RGB)    24-bit
// CMYK and YCCK files, damaged or truncated data, and sizes whose pixels
// exceed Bitmap::memoryBudget() (checked before any pixel memory is taken)
// are refused with Error("画像ファイル <name> を読み込めません"). Damage is
// any of the library's corrupt-data warnings (data that ends early or hits a
// marker, bad codes, lost restart markers, stray bytes, an inconsistent
// progression), where the library itself would go on with grey filler; the
// decoding stops at the first of them. The library's messages never reach
// the terminal and its errors never end the process.
//
// Cost: the library decodes each scanline straight into the bitmap's row.

#include "core/image/bitmap.hpp"
#include "core/image/decode_watcher.hpp"
#include "core/image/row_sink.hpp"

#include <cstdint>
#include <span>
#include <string>

namespace dimora {

// True when the bytes start with FF D8 FF.
[[nodiscard]] bool hasJpegSignature(std::span<const std::uint8_t> bytes);

// A watcher hears of the bitmap and of its rows as they are decoded.
[[nodiscard]] Bitmap loadJpegFile(const std::string& path, DecodeWatcher* watcher = nullptr);

// The file's scanlines handed to the sink in bands of 64 rows, the image
// never held whole; pixels, checks and errors as loadJpegFile's, except that
// the image's pixels need not fit the memory budget (a progressive file's
// coefficients, which the library keeps whole, still must).
void streamJpegFile(const std::string& path, RowSink& sink);

// The same from bytes in memory; `name` stands for the file in the error text.
[[nodiscard]] Bitmap decodeJpeg(std::span<const std::uint8_t> bytes, const std::string& name);

}  // namespace dimora
