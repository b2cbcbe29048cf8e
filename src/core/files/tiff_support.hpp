// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// What the TIFF readers (pages as bitmaps, grey samples at full depth) share:
// a handle opened with our message handlers and allocation limit, tags read
// with libtiff's defaults, and the check of a page's stored bytes against the
// rows its tags claim.

#include <tiffio.h>

#include <cstdint>
#include <memory>

namespace dimora {

struct CloseTiff {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TiffHandle = std::unique_ptr<TIFF, CloseTiff>;

// Options for every handle: libtiff's errors and warnings go to a handler of
// ours that drops them (failures are seen in the return values), and no
// single allocation of libtiff's goes beyond the pixel budget.
struct TiffOpenOptions {
    TiffOpenOptions();
    ~TiffOpenOptions();
    TiffOpenOptions(const TiffOpenOptions&) = delete;
    TiffOpenOptions& operator=(const TiffOpenOptions&) = delete;

    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
};

template <typename T> T tiffField(TIFF* tif, ttag_t tag, T fallback)
{
    T value = fallback;
    if (TIFFGetFieldDefaulted(tif, tag, &value) != 1)
        return fallback;
    return value;
}

// Whether the bytes that the file really stores of each strip or tile of the
// current page (width × height) can decode to the rows the image needs of
// it. A page whose tags claim more than that is refused before its pixels are
// allocated, so such a claim costs nothing; the codecs without a bound are
// read, their buffers costing only what decodes.
[[nodiscard]] bool storedBytesCanHold(TIFF* tif, std::uint32_t width, std::uint32_t height);

}  // namespace dimora
