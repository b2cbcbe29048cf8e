// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/png_writer.hpp"

#include "core/common/error.hpp"
#include "core/common/replace_file.hpp"

#include <png.h>

#include <csetjmp>

namespace dimora {
namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto& out = *static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out.insert(out.end(), data, data + length);
}

void flushNothing(png_structp)
{
}

[[noreturn]] void jumpBack(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp)
{
}

// The rows as libpng takes them: indexed rows and 24-bit rows (blue, green,
// red, reordered by libpng) as they lie, other layouts converted to RGB.
// No object with a destructor is made between setjmp and the end.
bool encode(png_structp png, png_infop info, const Bitmap& bitmap, std::vector<png_color>& palette,
            std::vector<std::uint8_t>& rgbRow, std::vector<std::uint8_t>& out)
{
    if (setjmp(png_jmpbuf(png)) != 0)
        return false;
    png_set_write_fn(png, &out, appendBytes, flushNothing);
    const PixelLayout& layout = bitmap.layout();
    const auto width = static_cast<png_uint_32>(bitmap.width());
    const auto height = static_cast<png_uint_32>(bitmap.height());
    if (layout.isIndexed()) {
        png_set_IHDR(png, info, width, height, layout.bitsPerPixel(), PNG_COLOR_TYPE_PALETTE,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    } else {
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    }
    png_write_info(png, info);
    const bool asStored = layout.isIndexed() || layout.format() == PixelFormat::Rgb24;
    if (layout.format() == PixelFormat::Rgb24)
        png_set_bgr(png);
    for (std::int32_t y = 0; y < bitmap.height(); ++y) {
        if (asStored) {
            png_write_row(png, bitmap.row(y));
            continue;
        }
        const std::uint8_t* row = bitmap.row(y);
        for (std::int32_t x = 0; x < bitmap.width(); ++x) {
            const Colour c = layout.read(row, x);
            rgbRow[3 * static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(redOf(c));
            rgbRow[3 * static_cast<std::size_t>(x) + 1] = static_cast<std::uint8_t>(greenOf(c));
            rgbRow[3 * static_cast<std::size_t>(x) + 2] = static_cast<std::uint8_t>(blueOf(c));
        }
        png_write_row(png, rgbRow.data());
    }
    png_write_end(png, info);
    return true;
}

}  // namespace

std::vector<std::uint8_t> encodePng(const Bitmap& bitmap)
{
    if (bitmap.empty())
        fail(msg::kInvalidBitmap);
    const PixelLayout& layout = bitmap.layout();
    std::vector<png_color> palette;
    if (layout.isIndexed()) {
        palette.resize(std::size_t{1} << layout.bitsPerPixel(), png_color{0, 0, 0});
        for (std::size_t i = 0; i < layout.palette().size() && i < palette.size(); ++i) {
            const Colour c = layout.palette()[i];
            palette[i] = png_color{static_cast<png_byte>(redOf(c)), static_cast<png_byte>(greenOf(c)),
                                   static_cast<png_byte>(blueOf(c))};
        }
    }
    std::vector<std::uint8_t> rgbRow(3 * static_cast<std::size_t>(bitmap.width()));
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, jumpBack, ignoreWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const bool encoded = info && encode(png, info, bitmap, palette, rgbRow, out);
    png_destroy_write_struct(&png, &info);
    if (!encoded)
        fail(msg::kInvalidBitmap);
    return out;
}

void savePngFile(const Bitmap& bitmap, const std::string& path)
{
    // A PNG has at least one pixel.
    if (bitmap.empty())
        fail(msg::kCannotCreateFile, path);
    replaceFile(path, encodePng(bitmap));
}

}  // namespace dimora
