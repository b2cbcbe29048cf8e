// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "sample_test_files.hpp"

#include "png_test_files.hpp"
#include "tiff_jpeg_test_files.hpp"

#include <bit>
#include <cstring>
#include <stdexcept>

namespace dimora::testing {

std::vector<std::uint8_t> encodeGreyPng(const GreyImage& image)
{
    if (image.type != SampleType::UInt8 && image.type != SampleType::UInt16)
        throw std::invalid_argument("PNG holds 8 or 16-bit grey samples only");
    const int depth = image.type == SampleType::UInt8 ? 8 : 16;
    PngImage png = blankImage(image.width, image.height, depth, PNG_COLOR_TYPE_GRAY);
    for (std::uint32_t y = 0; y < image.height; ++y)
        for (std::uint32_t x = 0; x < image.width; ++x)
            putSample(png.rows[y], depth, 1, x, 0, static_cast<unsigned>(image.value(x, y)));
    return encodePng(png);
}

std::vector<std::uint8_t> encodeGreyTiff(const GreyImage& image, const GreyTiffLayout& layout)
{
    TiffPage page;
    page.width = image.width;
    page.height = image.height;
    page.bits = static_cast<std::uint16_t>(SamplePlane::bytesPerSample(image.type) * 8);
    page.sampleFormat = image.type == SampleType::Float32 ? SAMPLEFORMAT_IEEEFP : SAMPLEFORMAT_UINT;
    page.tiled = layout.tiled;
    page.compression = layout.compression;
    page.rowsPerStrip = layout.rowsPerStrip;
    page.photometric = layout.minIsWhite ? PHOTOMETRIC_MINISWHITE : PHOTOMETRIC_MINISBLACK;
    const GreyAt value = image.value;
    const bool isFloat = image.type == SampleType::Float32;
    page.sample = [value, isFloat](std::uint32_t x, std::uint32_t y, unsigned) {
        const double v = value(x, y);
        return isFloat ? std::bit_cast<std::uint32_t>(static_cast<float>(v)) : static_cast<unsigned>(v);
    };
    return encodeTiff({layout.bigEndian, false, {page}});
}

void writeGreyPng(const std::string& path, const GreyImage& image)
{
    writeFile(path, encodeGreyPng(image));
}

void writeGreyTiff(const std::string& path, const GreyImage& image, const GreyTiffLayout& layout)
{
    writeFile(path, encodeGreyTiff(image, layout));
}

SamplePlane planeOf(const GreyImage& image)
{
    SamplePlane plane(static_cast<std::int32_t>(image.width), static_cast<std::int32_t>(image.height),
                      image.type);
    const std::size_t size = SamplePlane::bytesPerSample(image.type);
    for (std::uint32_t y = 0; y < image.height; ++y)
        for (std::uint32_t x = 0; x < image.width; ++x) {
            const double v = image.value(x, y);
            std::uint8_t* at = plane.row(static_cast<std::int32_t>(y)) + x * size;
            switch (image.type) {
            case SampleType::UInt8:
                *at = static_cast<std::uint8_t>(v);
                break;
            case SampleType::UInt16: {
                const auto s = static_cast<std::uint16_t>(v);
                std::memcpy(at, &s, 2);
                break;
            }
            case SampleType::UInt32: {
                const auto s = static_cast<std::uint32_t>(v);
                std::memcpy(at, &s, 4);
                break;
            }
            case SampleType::Float32: {
                const auto s = static_cast<float>(v);
                std::memcpy(at, &s, 4);
                break;
            }
            }
        }
    return plane;
}

}  // namespace dimora::testing
