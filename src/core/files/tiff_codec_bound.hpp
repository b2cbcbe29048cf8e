// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// How far a TIFF strip or tile can expand: the readers check a strip's stored
// bytes against the rows it must give before they allocate for them.

#include <tiffio.h>

#include <cstdint>

namespace dimora {

// The most bytes that one stored byte of a codec decodes to, with room to
// spare (Deflate reaches 1032, LZW about 2600, PackBits 64), or 0 for the
// codecs that have no such bound (CCITT, JPEG, ZSTD, ...).
[[nodiscard]] inline std::uint64_t mostDecodedPerStoredByte(std::uint16_t compression)
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

}  // namespace dimora
