// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/image_file.hpp"

#include "core/files/png_reader.hpp"
#include "core/files/bmp_reader.hpp"
#include "core/files/input_file.hpp"

#include <algorithm>
#include <array>

namespace dimora {

Bitmap loadImageFile(const std::string& path)
{
    bool isPng = false;
    {
        const InputFile file(path);
        std::array<std::uint8_t, 8> start{};
        const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(file.size(), start.size()));
        file.readAt(0, start.data(), length);
        isPng = hasPngSignature(std::span(start).first(length));
    }
    if (!isPng)
        return loadBmpFile(path);
    Bitmap bitmap;
    LoadPngBitmap(path, bitmap);
    return bitmap;
}

}  // namespace dimora
