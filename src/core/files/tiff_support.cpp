// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/tiff_support.hpp"

#include "core/image/bitmap.hpp"

#include <algorithm>

namespace dimora {
namespace {

int ignoreMessage(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

// The most bytes that one stored byte of a codec decodes to, with room to
// spare (Deflate reaches 1032, LZW about 2600, PackBits 64), or 0 for the
// codecs that have no such bound (CCITT, JPEG, ZSTD, ...).
std::uint64_t mostDecodedPerStoredByte(std::uint16_t compression)
{
    switch (compression) {
    case COMPRESSION_NONE:
        return 1;
    case COMPRESSION_PACKBITS:
        return 128;
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
        return 2048;
    case COMPRESSION_LZW:
        return 4096;
    default:
        return 0;
    }
}

}  // namespace

TiffOpenOptions::TiffOpenOptions()
{
    TIFFOpenOptionsSetErrorHandlerExtR(options, ignoreMessage, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, ignoreMessage, nullptr);
    const auto limit = std::min<std::uint64_t>(Bitmap::memoryBudget(), INT64_MAX);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, static_cast<tmsize_t>(limit));
}

TiffOpenOptions::~TiffOpenOptions()
{
    TIFFOpenOptionsFree(options);
}

bool storedBytesCanHold(TIFF* tif, std::uint32_t width, std::uint32_t height)
{
    const std::uint64_t ratio =
        mostDecodedPerStoredByte(tiffField<std::uint16_t>(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE));
    if (ratio == 0)
        return true;
    const bool tiled = TIFFIsTiled(tif);
    std::uint32_t across = 1, down = height;
    std::uint64_t rowBytes = TIFFScanlineSize64(tif);
    if (tiled) {
        std::uint32_t tileWidth = 0;
        if (TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth) != 1 ||
            TIFFGetField(tif, TIFFTAG_TILELENGTH, &down) != 1 || tileWidth == 0 || down == 0)
            return false;
        across = static_cast<std::uint32_t>((std::uint64_t{width} + tileWidth - 1) / tileWidth);
        rowBytes = TIFFTileRowSize64(tif);
    } else {
        down = std::min(tiffField<std::uint32_t>(tif, TIFFTAG_ROWSPERSTRIP, height), height);
        if (down == 0)
            return false;
    }
    const std::uint64_t size = TIFFGetSizeProc(tif)(TIFFClientdata(tif));
    const std::uint32_t count = tiled ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
    const std::uint64_t perPlane = std::uint64_t{across} * ((std::uint64_t{height} + down - 1) / down);
    // A little slack for what a codec keeps from one stored byte to the next.
    constexpr std::uint64_t kSlack = 1 << 16;
    for (std::uint32_t index = 0; index < count; ++index) {
        const std::uint64_t firstRow = index % perPlane / across * std::uint64_t{down};
        const std::uint64_t rows =
            std::min<std::uint64_t>(down, height - std::min<std::uint64_t>(firstRow, height));
        const std::uint64_t offset = TIFFGetStrileOffset(tif, index);
        const std::uint64_t stored =
            offset >= size ? 0 : std::min(TIFFGetStrileByteCount(tif, index), size - offset);
        if (rows == 0)
            continue;
        if (rowBytes > UINT64_MAX / rows)
            return false;
        const std::uint64_t needed = rowBytes * rows;
        if (needed > kSlack && (needed - kSlack + ratio - 1) / ratio > stored)
            return false;
    }
    return true;
}

}  // namespace dimora
