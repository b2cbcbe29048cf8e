// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Streaming an image file by its content (the rules of loadImageFile): its
// rows go to a RowSink as they are decoded, and the image is never held
// whole, so a file of any size can be measured in memory bounded by its
// width.
//   BMP   viewed where it lies (mapped, as MappedBmpFile), its rows handed on
//         from the top in bands; a bottom-up file's bands are read from the
//         end of the mapping backwards, so the rows still arrive top first.
//         An RLE file is decoded whole (within the budget) first.
//   PNG   row by row (streamPngFile); an interlaced one is decoded whole
//   TIFF  one strip or one row of tiles at a time (streamTiffFile)
//   JPEG  scanlines in bands of 64 (streamJpegFile)
// Every pixel reads as in the bitmap loadImageFile makes (a gray PNG comes
// as 8-bit grey indices rather than 24-bit, the same colours), and the
// failures are loadImageFile's, except that a size beyond the memory budget
// is refused only where the image is held whole.

#include "core/image/row_sink.hpp"

#include <cstdint>
#include <string>

namespace dimora {

void streamImageFile(const std::string& path, std::int32_t page, RowSink& sink);

// Whether page `page` of the file is an image that the readers take but whose
// pixels loadImageFile refuses for the memory budget alone: such a file can
// still be streamed. False for a file that cannot be read for any other
// reason (an interlaced PNG too, which is never streamed). Reads the file's
// header only.
[[nodiscard]] bool exceedsMemoryBudget(const std::string& path, std::int32_t page);

}  // namespace dimora
