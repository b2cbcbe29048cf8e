// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The TIFF reader: one page of a TIFF (or BigTIFF) file into a bitmap,
// decoded by libtiff, with the layout that keeps every pixel's colour:
//   bilevel (1 bit)        1-bit indexed {black, white} in the file's order,
//                          so a black pixel reads 0x000000 and a white one
//                          0xFFFFFF
//   gray 2, 4, 8, 16 bits  8-bit indexed with the grey palette i → (i, i, i);
//                          2 and 4 bits widened by bit replication, 16 bits by
//                          their high byte; min-is-white inverted (v → 255 − v)
//   palette 1, 2, 4, 8     indexed with the file's colours (each 16-bit entry
//                          by its high byte); 2 bits stored as 4
//   RGB 8 or 16 bits       24-bit (16 bits: the high byte)
//   with an alpha channel  24-bit, each channel blended over white as the PNG
//   (gray or RGB, 8/16)    reader blends: (255 × A' + s × (255 − A')) div 255,
//                          A' = 255 − alpha
// Strips and tiles, any compression libtiff decodes, both byte orders,
// contiguous or separate planes. Orientation tags are not applied: rows as
// stored, the first row on top.
//
// Refused, like a damaged or truncated file, with
// Error("画像ファイル <name> を読み込めません"): float, signed or complex
// samples, samples over 16 bits, other photometrics (CMYK, YCbCr, Lab, ...),
// a page that does not exist, and sizes whose pixels exceed
// Bitmap::memoryBudget() (checked before any pixel memory is taken). libtiff's
// errors and warnings go to handlers of ours, never to the terminal.
//
// Cost: rows stream from the strips or tiles into the bitmap: bilevel, 8-bit
// gray and palette strips are decoded straight into the bitmap's rows, the
// other layouts through a buffer of one strip or one row of tiles, of which
// only the rows inside the image are decoded. A file whose tags claim far
// more than its stored bytes hold (huge tiles or strips, a huge image) costs
// no more than its data: with a codec whose expansion is bounded
// (uncompressed, PackBits, LZW, Deflate) each strip or tile's stored bytes
// are checked against the rows it must give before the bitmap is allocated;
// with any codec, the bitmap and the buffers come from the system as zero
// pages that take memory only when written, and the decoding stops where the
// data ends. Each buffer is also held to Bitmap::memoryBudget().

#include "core/image/bitmap.hpp"
#include "core/image/decode_watcher.hpp"
#include "core/image/row_sink.hpp"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace dimora {

// True when the bytes start with a TIFF header: "II*\0", "MM\0*", or the
// BigTIFF "II+\0", "MM\0+".
[[nodiscard]] bool hasTiffSignature(std::span<const std::uint8_t> bytes);

// Page `page` (1 = the first) of the TIFF file at path. A watcher hears of
// the bitmap and of every strip or row of tiles as it is written.
[[nodiscard]] Bitmap loadTiffFile(const std::string& path, std::int32_t page = 1,
                                  DecodeWatcher* watcher = nullptr);

// Page `page` of the file handed to the sink in bands (one strip, or one row
// of tiles, at a time), the image never held whole; pixels, checks and
// errors as loadTiffFile's, except that only one band need fit the memory
// budget. The sink's end() comes after the last band.
void streamTiffFile(const std::string& path, std::int32_t page, RowSink& sink);

// The same from bytes in memory; `name` stands for the file in the error text.
[[nodiscard]] Bitmap decodeTiff(std::span<const std::uint8_t> bytes, const std::string& name,
                                std::int32_t page = 1);

// The pages of one TIFF file read one after another through a handle kept
// open, so that reading all pages of a long stack costs one walk of the file's
// directory chain, not one per page.
class TiffPageReader {
public:
    // Opens the file and counts its pages; fails as loadTiffFile does.
    explicit TiffPageReader(const std::string& path);
    ~TiffPageReader();
    TiffPageReader(const TiffPageReader&) = delete;
    TiffPageReader& operator=(const TiffPageReader&) = delete;

    [[nodiscard]] std::int32_t pageCount() const { return pageCount_; }
    // Page `page` (1 = the first), as loadTiffFile reads it.
    [[nodiscard]] Bitmap read(std::int32_t page);

private:
    struct Handle;
    std::string path_;
    std::unique_ptr<Handle> handle_;
    std::int32_t pageCount_ = 0;
};

}  // namespace dimora
