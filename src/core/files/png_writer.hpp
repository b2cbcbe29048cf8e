// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The PNG writer, encoded by libpng: an indexed bitmap (1, 4 or 8 bits) as a
// palette PNG of the same depth with the bitmap's palette (filled up with
// black to 2^depth entries, as indices past a palette read black); every
// other layout as 8-bit RGB with the colours its pixels read as. No
// transparency, no interlacing.

#include "core/image/bitmap.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace dimora {

[[nodiscard]] std::vector<std::uint8_t> encodePng(const Bitmap& bitmap);

// Writes the PNG file through a temporary file and a rename, like every save;
// Error("ファイル <path> を作成できません") when it cannot be written.
void savePngFile(const Bitmap& bitmap, const std::string& path);

}  // namespace dimora
