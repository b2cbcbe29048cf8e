// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Loading an image file by its content rather than its name:
//   "BM"                          BMP  (loadBmpFile: the file's own layout)
//   the 8-byte PNG signature      PNG  (LoadPngBitmap: 24-bit)
//   "II*\0", "MM\0*", BigTIFF     TIFF (loadTiffFile: page `page`, 1 = first)
//   FF D8 FF                      JPEG (loadJpegFile)
//   anything else                 unknown: refused as a PNG, TIFF or JPEG
//                                 when the name ends in .png, .tif, .tiff,
//                                 .jpg or .jpeg (any case), since that is the
//                                 reader its name calls for; else read as BMP,
//                                 and so refused by the BMP reader
// `page` beyond 1 is for TIFF files; any other file has only page 1.
//
// Failures throw dimora::Error:
// - the file cannot be opened: "ファイル <path> は開けません";
// - then those of the reader that takes it ("Error Reading File!" for a PNG,
//   "画像ファイル <path> を読み込めません" for a TIFF or JPEG, for an unknown
//   content under one of their names or a PNG's, or a page other than 1 of
//   another file, "ビットマップイメージが不正です" and the like for a BMP or an
//   unknown content under any other name).

#include "core/image/bitmap.hpp"
#include "core/image/decode_watcher.hpp"

#include <cstdint>
#include <span>
#include <string>

namespace dimora {

// Unknown: none of the four signatures.
enum class ImageFileKind { Bmp, Png, Tiff, Jpeg, Unknown };

// The kind that the first bytes of a file make it.
[[nodiscard]] ImageFileKind imageFileKindOf(std::span<const std::uint8_t> start);

// The kind of the file at path, from its first bytes.
[[nodiscard]] ImageFileKind imageFileKindOf(const std::string& path);

// A watcher hears of a TIFF or JPEG bitmap and its rows as they are decoded;
// BMP and PNG files are read without telling it anything.
[[nodiscard]] Bitmap loadImageFile(const std::string& path, std::int32_t page = 1,
                                   DecodeWatcher* watcher = nullptr);

// True when the file name ends in .bmp, .png, .tif, .tiff, .jpg or .jpeg in
// any letter case: the files that a folder of images is taken to hold.
[[nodiscard]] bool hasImageFileExtension(const std::string& path);

// True when the file name ends in ".png" in any letter case: such a name is
// saved as PNG, any other as BMP.
[[nodiscard]] bool hasPngExtension(const std::string& path);

}  // namespace dimora
