// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/slices/slice_test_files.hpp"

#include "core/files/bmp_writer.hpp"
#include "core/files/png_test_files.hpp"
#include "core/files/tiff_jpeg_test_files.hpp"
#include "core/slices/slice_series.hpp"

namespace dimora::testing {
namespace {

SampleAt rgbSamples(const Bitmap& image)
{
    return [&image](std::uint32_t x, std::uint32_t y, unsigned s) {
        const Colour c = image.pixel(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
        return s == 0 ? redOf(c) : s == 1 ? greenOf(c) : blueOf(c);
    };
}

TiffPage rgbPage(const Bitmap& image)
{
    TiffPage page;
    page.width = static_cast<std::uint32_t>(image.width());
    page.height = static_cast<std::uint32_t>(image.height());
    page.samples = 3;
    page.photometric = PHOTOMETRIC_RGB;
    page.sample = rgbSamples(image);
    return page;
}

}  // namespace

Bitmap sliceImage(std::int32_t width, std::int32_t height, const BlackAt& black)
{
    Bitmap image(width, height, PixelLayout::rgb24());
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            image.setPixel(x, y, black(x, y) ? kBlack : kWhite);
    return image;
}

void writeSlice(const std::string& path, const Bitmap& image)
{
    const SliceFileType type = sliceFileTypeOf(firstSliceFileName(path));
    if (type == SliceFileType::Bmp) {
        saveBmpFile(image, path);
        return;
    }
    if (type == SliceFileType::Tiff) {
        writeFile(path, encodeTiff({false, false, {rgbPage(image)}}));
        return;
    }
    if (type == SliceFileType::Jpeg) {
        writeFile(path, encodeJpeg(static_cast<std::uint32_t>(image.width()),
                                   static_cast<std::uint32_t>(image.height()), 3, false, rgbSamples(image)));
        return;
    }
    auto png = blankImage(static_cast<std::uint32_t>(image.width()),
                          static_cast<std::uint32_t>(image.height()), 8, PNG_COLOR_TYPE_RGB);
    const SampleAt sample = rgbSamples(image);
    for (std::int32_t y = 0; y < image.height(); ++y)
        for (std::int32_t x = 0; x < image.width(); ++x)
            for (unsigned k = 0; k < 3; ++k)
                putSample(png.rows[static_cast<std::size_t>(y)], 8, 3, static_cast<std::uint32_t>(x),
                          static_cast<int>(k),
                          sample(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y), k));
    writeFile(path, encodePng(png));
}

void writeTiffPages(const std::string& path, const std::vector<Bitmap>& images)
{
    TiffFile file;
    for (const Bitmap& image : images)
        file.pages.push_back(rgbPage(image));
    writeFile(path, encodeTiff(file));
}

}  // namespace dimora::testing
