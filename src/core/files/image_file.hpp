// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Loading an image file by its content rather than its name: a file that
// starts with the full 8-byte PNG signature is read by the PNG reader
// (LoadPngBitmap: a 24-bit bitmap), any other by the BMP reader (loadBmpFile:
// the file's own layout).
//
// Failures throw dimora::Error:
// - the file cannot be opened: "ファイル <path> は開けません";
// - then those of the reader that takes it ("Error Reading File!" for a PNG,
//   "ビットマップイメージが不正です" and the like for anything else).

#include "core/image/bitmap.hpp"

#include <string>

namespace dimora {

[[nodiscard]] Bitmap loadImageFile(const std::string& path);

}  // namespace dimora
