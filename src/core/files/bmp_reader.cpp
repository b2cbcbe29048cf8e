// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/bmp_reader.hpp"

#include "core/common/error.hpp"
#include "core/files/bmp_header.hpp"
#include "core/files/bmp_rle.hpp"
#include "core/files/input_file.hpp"

#include <algorithm>
#include <cstring>
#include <vector>

namespace dimora {

Bitmap decodeBmp(std::span<const std::uint8_t> bytes)
{
    const BmpInfo info = parseBmpHeaders(bytes, bytes.size());
    const auto pixels =
        bytes.subspan(static_cast<std::size_t>(info.pixelOffset), static_cast<std::size_t>(info.pixelBytes));
    if (info.compression != BmpCompression::None)
        return decodeBmpRle(info, pixels);

    Bitmap bitmap(info.width, info.height, info.layout, info.order);
    std::memcpy(bitmap.data(), pixels.data(), pixels.size());
    requireIndicesInPalette(bitmap.view());
    return bitmap;
}

Bitmap loadBmpFile(const std::string& path)
{
    const InputFile file(path);
    const std::uint64_t size = file.size();

    // The file header names the pixel offset; headers and palette lie before
    // it and are read in one go (a gap before the pixels is not) and parsed
    // before pixel memory is taken.
    std::uint8_t fileHeader[kBmpFileHeaderSize];
    if (size < sizeof fileHeader)
        fail(msg::kInvalidBitmap);
    file.readAt(0, fileHeader, sizeof fileHeader);
    const std::uint64_t offset = bmpPixelOffset(fileHeader, size);
    std::vector<std::uint8_t> head(
        static_cast<std::size_t>(std::min<std::uint64_t>(offset, kBmpMaxHeadBytes)));
    file.readAt(0, head.data(), head.size());
    const BmpInfo info = parseBmpHeaders(head, size);

    if (info.compression != BmpCompression::None) {
        std::vector<std::uint8_t> stream(static_cast<std::size_t>(info.pixelBytes));
        file.readAt(info.pixelOffset, stream.data(), stream.size());
        return decodeBmpRle(info, stream);
    }
    // The bitmap keeps the file's rows, padding and order: one read fills it.
    Bitmap bitmap(info.width, info.height, info.layout, info.order);
    file.readAt(info.pixelOffset, bitmap.data(), bitmap.byteCount());
    requireIndicesInPalette(bitmap.view());
    return bitmap;
}

}  // namespace dimora
