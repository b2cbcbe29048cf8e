// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/image_file.hpp"

#include "core/common/error.hpp"
#include "core/files/bmp_reader.hpp"
#include "core/files/input_file.hpp"
#include "core/files/jpeg_reader.hpp"
#include "core/files/png_reader.hpp"
#include "core/files/tiff_reader.hpp"

#include <algorithm>
#include <array>
#include <cctype>

namespace dimora {
namespace {

// The file name's extension with its dot, in lower case; empty when it has
// none.
std::string lowerCaseExtension(const std::string& path)
{
    const auto slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    // A name's only dot in front starts a hidden name, not an extension.
    const auto dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return {};
    std::string extension = name.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

}  // namespace

ImageFileKind imageFileKindOf(std::span<const std::uint8_t> start)
{
    if (hasPngSignature(start))
        return ImageFileKind::Png;
    if (hasTiffSignature(start))
        return ImageFileKind::Tiff;
    if (hasJpegSignature(start))
        return ImageFileKind::Jpeg;
    if (start.size() >= 2 && start[0] == 'B' && start[1] == 'M')
        return ImageFileKind::Bmp;
    return ImageFileKind::Unknown;
}

ImageFileKind imageFileKindOf(const std::string& path)
{
    const InputFile file(path);
    std::array<std::uint8_t, 8> start{};
    const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(file.size(), start.size()));
    file.readAt(0, start.data(), length);
    return imageFileKindOf(std::span(start).first(length));
}

Bitmap loadImageFile(const std::string& path, std::int32_t page, DecodeWatcher* watcher)
{
    const ImageFileKind kind = imageFileKindOf(path);
    if (kind == ImageFileKind::Tiff)
        return loadTiffFile(path, page, watcher);
    if (page != 1)
        fail(msg::kCannotReadImage, path);
    switch (kind) {
    case ImageFileKind::Png: {
        Bitmap bitmap;
        LoadPngBitmap(path, bitmap);
        return bitmap;
    }
    case ImageFileKind::Jpeg:
        return loadJpegFile(path, watcher);
    case ImageFileKind::Unknown:
        // A name that calls for a PNG, TIFF or JPEG gets their refusal, not
        // the BMP reader's.
        if (hasImageFileExtension(path) && lowerCaseExtension(path) != ".bmp")
            fail(msg::kCannotReadImage, path);
        return loadBmpFile(path);
    default:
        return loadBmpFile(path);
    }
}

bool hasImageFileExtension(const std::string& path)
{
    const std::string extension = lowerCaseExtension(path);
    return extension == ".bmp" || extension == ".png" || extension == ".tif" || extension == ".tiff" ||
           extension == ".jpg" || extension == ".jpeg";
}

bool hasPngExtension(const std::string& path)
{
    if (path.size() < 4)
        return false;
    std::string end = path.substr(path.size() - 4);
    std::transform(end.begin(), end.end(), end.begin(), [](unsigned char c) { return std::tolower(c); });
    return end == ".png";
}

}  // namespace dimora
