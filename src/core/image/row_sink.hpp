// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// What takes an image's rows as a reader decodes them, so that an image never
// has to be held whole: the readers of every format hand their rows on in
// bands (BMP rows, PNG rows, TIFF strips or rows of tiles, JPEG scanlines)
// and keep only the band they are writing.
//
// The calls come in this order: begin once, rows for bands that follow one
// another from the top (row 0) down and together hold every row once, then
// end once (tiles, when a sink takes them, stand for a band's rows). When the
// decoding fails, the reader throws its error and end is
// not called.

#include "core/image/bitmap.hpp"

#include <cstdint>

namespace dimora {

class RowSink {
public:
    virtual ~RowSink() = default;
    // The image's size and layout, before any row. The layout lives until
    // end() returns.
    virtual void begin(std::int32_t width, std::int32_t height, const PixelLayout& layout) = 0;
    // Image rows firstRow .. firstRow + band.height − 1: band.row(i) is image
    // row firstRow + i, band.width the image's width. The rows' memory is
    // reused once this returns.
    virtual void rows(std::int32_t firstRow, const ImageView& band) = 0;
    // Every row has been handed on.
    virtual void end() = 0;

    // A sink may take a band as the tiles it is decoded from, left to right,
    // sparing the reader the putting together of their rows: it says, after
    // begin, for tiles of which width multiple (0: not at all). A reader of
    // tiles of such a width and of an even height then calls tile() for each
    // tile of a band and tilesDone() once they are all handed on, instead of
    // rows().
    [[nodiscard]] virtual std::int32_t tileWidthMultiple() const { return 0; }
    // Rows firstRow .. firstRow + tile.height − 1 of columns firstColumn ..
    // firstColumn + tile.width − 1: pixel x of tile.row(i) is image pixel
    // firstColumn + x. The memory is reused once this returns.
    virtual void tile(std::int32_t /*firstRow*/, std::int32_t /*firstColumn*/, const ImageView& /*tile*/) {}
    // Every tile of rows firstRow .. firstRow + count − 1 has been handed on.
    virtual void tilesDone(std::int32_t /*firstRow*/, std::int32_t /*count*/) {}
};

}  // namespace dimora
