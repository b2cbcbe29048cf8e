// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/mask_reader.hpp"

#include "core/common/error.hpp"
#include "core/files/image_file.hpp"
#include "core/files/sample_reader.hpp"
#include "core/image/bitmap.hpp"

#include <optional>

namespace dimora {
namespace {

// The grey samples of a PNG or TIFF deeper than 8 bits; nothing for any
// other file, which is read as a bitmap.
std::optional<SamplePlane> deepGreySamples(const std::string& path)
{
    const ImageFileKind kind = imageFileKindOf(path);
    if (kind != ImageFileKind::Png && kind != ImageFileKind::Tiff)
        return std::nullopt;
    try {
        SamplePlane plane = loadSamplePlane(path);
        if (plane.type() == SampleType::UInt8)
            return std::nullopt;
        return plane;
    } catch (const Error&) {
        // Colour, or a file the bitmap reader refuses with its own words.
        return std::nullopt;
    }
}

PixelMask emptyMask(const std::string& path, std::int32_t width, std::int32_t height, std::int32_t fileWidth,
                    std::int32_t fileHeight)
{
    if (fileWidth != width || fileHeight != height)
        fail(msg::kMaskSizeDiffers, path);
    PixelMask mask;
    mask.width = width;
    mask.height = height;
    mask.inside.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    return mask;
}

}  // namespace

PixelMask readPixelMask(const std::string& path, std::int32_t width, std::int32_t height)
{
    if (const std::optional<SamplePlane> plane = deepGreySamples(path)) {
        PixelMask mask = emptyMask(path, width, height, plane->width(), plane->height());
        std::size_t at = 0;
        for (std::int32_t y = 0; y < height; ++y)
            for (std::int32_t x = 0; x < width; ++x)
                mask.inside[at++] = plane->value(x, y) != 0 ? 1 : 0;
        return mask;
    }
    const Bitmap bitmap = loadImageFile(path);
    PixelMask mask = emptyMask(path, width, height, bitmap.width(), bitmap.height());
    const ImageView view = bitmap.view();
    std::size_t at = 0;
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            mask.inside[at++] = view.pixel(x, y) != kBlack ? 1 : 0;
    return mask;
}

SamplePlane readLabelImage(const std::string& path, std::int32_t width, std::int32_t height)
{
    SamplePlane labels = loadSamplePlane(path);
    if (labels.type() == SampleType::Float32)
        fail(msg::kCannotReadImage, path);
    if (labels.width() != width || labels.height() != height)
        fail(msg::kLabelsSizeDiffers, path);
    return labels;
}

}  // namespace dimora
