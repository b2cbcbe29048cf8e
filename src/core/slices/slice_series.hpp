// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The names and numbers of a slice series: numbered files 1.png, 2.png, ...,
// 1.bmp, 2.bmp, ..., or TIFF or JPEG files (1.tif, 1.tiff, 1.jpg, 1.jpeg) in
// one folder, the last of which the user picks.
//
// Paths are texts, split at the last "/": the folder part is everything up to
// and including it (empty when there is none), the file name what follows.
// The extension is the file name from its last dot on, dot included (empty
// when the name has no dot).

#include <cstdint>
#include <string>
#include <string_view>

namespace dimora {

enum class SliceFileType : std::uint8_t { Bmp, Png, Tiff, Jpeg };

// Slices beyond this number are never read.
inline constexpr std::int32_t kMaxSlices = 100;

// The first file of the series that ends in `lastFile`: its folder part then
// "1.png" when the extension is ".png" in any letter case; "1" and the
// extension as written for ".tif", ".tiff", ".jpg" or ".jpeg" in any case;
// else "1.bmp".
[[nodiscard]] std::string firstSliceFileName(std::string_view lastFile);

// PNG when the extension of the first file is exactly ".png" (case
// matters); TIFF or JPEG for their extensions in any case; BMP otherwise.
[[nodiscard]] SliceFileType sliceFileTypeOf(std::string_view firstFile);

// The path of slice i: the first file's folder part, i in decimal, then ".png"
// or ".bmp", or the first file's own extension for TIFF and JPEG.
[[nodiscard]] std::string slicePath(std::string_view firstFile, std::int32_t i, SliceFileType type);

// The slice count N: the last file's name without folder and extension as an
// integer (parseInteger; "'<name>' は整数ではありません" otherwise), lowered
// to 100 when larger. It may be 0 or negative.
[[nodiscard]] std::int32_t sliceCountOf(std::string_view lastFile);

// The spacing r of adjacent slices in pixels: 1 when the pixel size text is
// empty (the distance text is then not read); else the distance, then the
// pixel size, converted with parseExtended (their error texts), divided in
// extended precision and truncated toward zero. A pixel size of 0 fails with
// "0 による浮動小数点数除算", or "不正な浮動小数点数演算命令" when the
// distance is 0 as well; so does a quotient beyond the 32-bit range.
[[nodiscard]] std::int32_t sliceSpacing(std::string_view pixelSizeText, std::string_view distanceText);

// i × 100 div n: the position of the progress bar after i of n slices.
[[nodiscard]] std::int32_t sliceProgressPercent(std::int32_t done, std::int32_t total);

}  // namespace dimora
