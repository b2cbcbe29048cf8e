// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/png_test_files.hpp"

#include <atomic>
#include <csetjmp>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace dimora::testing {
namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void noFlush(png_structp)
{
}

// Runs under libpng's error trap: no object with a destructor lives here.
bool writeUnderTrap(png_structp png, png_infop info, const PngImage& image, png_bytepp rows,
                    std::vector<std::uint8_t>* out)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_write_fn(png, out, appendBytes, noFlush);
    png_set_IHDR(png, info, image.width, image.height, image.bitDepth, image.colourType,
                 image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!image.palette.empty())
        png_set_PLTE(png, info, image.palette.data(), static_cast<int>(image.palette.size()));
    if (!image.paletteAlpha.empty())
        png_set_tRNS(png, info, image.paletteAlpha.data(), static_cast<int>(image.paletteAlpha.size()),
                     nullptr);
    if (image.transparentColour) {
        png_color_16 colour = *image.transparentColour;
        png_set_tRNS(png, info, nullptr, 0, &colour);
    }
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

}  // namespace

int channelsOf(int colourType)
{
    switch (colourType) {
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_PALETTE:
        return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB:
        return 3;
    default:
        return 4;
    }
}

void putSample(std::vector<std::uint8_t>& row, int bitDepth, int channels, std::uint32_t x, int channel,
               unsigned value)
{
    const std::size_t index =
        std::size_t{x} * static_cast<std::size_t>(channels) + static_cast<std::size_t>(channel);
    if (bitDepth == 16) {
        row[2 * index] = static_cast<std::uint8_t>(value >> 8);
        row[2 * index + 1] = static_cast<std::uint8_t>(value);
    } else if (bitDepth == 8) {
        row[index] = static_cast<std::uint8_t>(value);
    } else {
        const std::size_t bit = index * static_cast<std::size_t>(bitDepth);
        const int shift = 8 - bitDepth - static_cast<int>(bit % 8);
        const unsigned mask = (1u << bitDepth) - 1;
        row[bit / 8] = static_cast<std::uint8_t>((row[bit / 8] & ~(mask << shift)) | (value & mask) << shift);
    }
}

PngImage blankImage(std::uint32_t width, std::uint32_t height, int bitDepth, int colourType)
{
    PngImage image;
    image.width = width;
    image.height = height;
    image.bitDepth = bitDepth;
    image.colourType = colourType;
    const std::size_t bits = std::size_t{width} * static_cast<std::size_t>(channelsOf(colourType) * bitDepth);
    image.rows.assign(height, std::vector<std::uint8_t>((bits + 7) / 8, 0));
    return image;
}

std::vector<std::uint8_t> encodePng(const PngImage& image)
{
    std::vector<std::uint8_t> out;
    std::vector<png_bytep> rows;
    for (const auto& row : image.rows)
        rows.push_back(const_cast<png_bytep>(row.data()));
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    const bool ok = writeUnderTrap(png, info, image, rows.data(), &out);
    png_destroy_write_struct(&png, &info);
    if (!ok)
        out.clear();
    return out;
}

void writeFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::uint8_t> readFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

ScratchFolder::ScratchFolder()
{
    static std::atomic<unsigned> counter{0};
    std::random_device entropy;
    path_ = std::filesystem::temp_directory_path() /
            ("dimora-test-" + std::to_string(entropy()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace dimora::testing
