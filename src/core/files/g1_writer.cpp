// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/g1_writer.hpp"

#include "core/common/replace_file.hpp"

#include <algorithm>

namespace dimora {

std::vector<std::uint8_t> encodeG1(const ImageView& image)
{
    std::vector<std::uint8_t> bytes(kG1FileBytes, 0);
    // Only the part of the raster that the image covers can hold 1 bits.
    const std::int32_t rows = std::min(image.height, kG1Height);
    const std::int32_t columns = std::min(image.width, kG1Width);
    for (std::int32_t y = 0; y < rows; ++y) {
        std::uint8_t* out = bytes.data() + static_cast<std::size_t>(y) * kG1RowBytes;
        for (std::int32_t x = 0; x < columns; ++x)
            if (isDarkByRed(image.pixel(x, y)))
                out[x / 8] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
    }
    return bytes;
}

std::vector<std::uint8_t> encodeG1(const Bitmap& image)
{
    return encodeG1(image.view());
}

void saveG1File(const Bitmap& image, const std::string& path)
{
    replaceFile(path, encodeG1(image), SaveFailureText::SystemReason);
}

}  // namespace dimora
