// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Writing a Bitmap as a BMP file in its own layout, uncompressed, in its own
// row order (a top-down bitmap gets a negative height):
// - 1, 4, 8 bits: a 40-byte header and the palette (its entry count in the
//   header);
// - 24 bits, 16 bits 5-5-5 and 32 bits 8-8-8 without alpha: a 40-byte header,
//   no masks (the format's defaults);
// - other 16- and 32-bit masks: a 40-byte header with the three colour masks
//   after it, or, when the layout has an alpha mask, a 108-byte header that
//   carries all four, so reading the file back gives the same layout.
// The rows are written as the bitmap holds them, padding included.

#include "core/image/bitmap.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace dimora {

// The whole file in memory.
[[nodiscard]] std::vector<std::uint8_t> encodeBmp(const Bitmap& bitmap);

// Writes the file. The bytes go to a temporary file beside `path`, which then
// replaces `path` (an existing file is replaced without question), so a failed
// save leaves neither a half-written file nor a damaged old one. A file that
// cannot be created or written gives Error("ファイル %s を作成できません")
// with the path as given.
void saveBmpFile(const Bitmap& bitmap, const std::string& path);

}  // namespace dimora
