// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "tiff_jpeg_test_files.hpp"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include <jpeglib.h>

namespace dimora::testing {
namespace {

void putBits(std::vector<std::uint8_t>& row, std::size_t index, unsigned bits, unsigned value)
{
    if (bits == 16) {
        const auto v = static_cast<std::uint16_t>(value);
        std::memcpy(row.data() + 2 * index, &v, 2);  // native order: libtiff swaps as the file needs
        return;
    }
    if (bits == 32) {
        const auto v = static_cast<std::uint32_t>(value);
        std::memcpy(row.data() + 4 * index, &v, 4);
        return;
    }
    if (bits == 8) {
        row[index] = static_cast<std::uint8_t>(value);
        return;
    }
    const std::size_t bit = index * bits;
    row[bit / 8] |= static_cast<std::uint8_t>((value & ((1u << bits) - 1)) << (8 - bits - bit % 8));
}

// Rows y0 .. y0 + rows − 1, columns x0 .. x0 + columns − 1 of plane `plane`
// (all samples interleaved for contiguous pages), packed.
std::vector<std::uint8_t> block(const TiffPage& page, std::uint32_t x0, std::uint32_t y0,
                                std::uint32_t columns, std::uint32_t rows, int plane)
{
    const bool separate = page.planar == PLANARCONFIG_SEPARATE;
    const unsigned perPixel = separate ? 1 : page.samples;
    const std::size_t rowBytes = (static_cast<std::size_t>(columns) * perPixel * page.bits + 7) / 8;
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t r = 0; r < rows; ++r) {
        std::vector<std::uint8_t> row(rowBytes, 0);
        for (std::uint32_t c = 0; c < columns; ++c) {
            const std::uint32_t x = x0 + c, y = y0 + r;
            if (x >= page.width || y >= page.height)
                continue;
            for (unsigned s = 0; s < perPixel; ++s)
                putBits(row, c * perPixel + s, page.bits, page.sample(x, y, separate ? plane : s));
        }
        bytes.insert(bytes.end(), row.begin(), row.end());
    }
    return bytes;
}

bool writePage(TIFF* tif, const TiffPage& page)
{
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, page.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, page.height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, page.bits);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, page.samples);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, page.photometric);
    TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, page.sampleFormat);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, page.planar);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, page.compression);
    if (!page.extraSamples.empty())
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, static_cast<std::uint16_t>(page.extraSamples.size()),
                     page.extraSamples.data());
    if (page.photometric == PHOTOMETRIC_PALETTE)
        TIFFSetField(tif, TIFFTAG_COLORMAP, page.red.data(), page.green.data(), page.blue.data());
    const int planes = page.planar == PLANARCONFIG_SEPARATE ? page.samples : 1;
    if (page.tiled) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, 16u);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, 16u);
        for (int p = 0; p < planes; ++p)
            for (std::uint32_t y = 0; y < page.height; y += 16)
                for (std::uint32_t x = 0; x < page.width; x += 16) {
                    auto bytes = block(page, x, y, 16, 16, p);
                    if (TIFFWriteTile(tif, bytes.data(), x, y, 0, static_cast<std::uint16_t>(p)) < 0)
                        return false;
                }
    } else {
        const std::uint32_t rowsPerStrip = 3;
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
        for (int p = 0; p < planes; ++p)
            for (std::uint32_t y = 0; y < page.height; y += rowsPerStrip) {
                const std::uint32_t rows = std::min(rowsPerStrip, page.height - y);
                auto bytes = block(page, 0, y, page.width, rows, p);
                if (TIFFWriteEncodedStrip(tif, TIFFComputeStrip(tif, y, static_cast<std::uint16_t>(p)),
                                          bytes.data(), static_cast<tmsize_t>(bytes.size())) < 0)
                    return false;
            }
    }
    return TIFFWriteDirectory(tif) == 1;
}

std::vector<std::uint8_t> bytesOf(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::filesystem::path scratchName(const char* suffix)
{
    static int counter = 0;
    return std::filesystem::temp_directory_path() /
           ("dimora-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + suffix);
}

}  // namespace

std::vector<std::uint8_t> encodeTiff(const TiffFile& file)
{
    const auto path = scratchName(".tif");
    std::string mode = "w";
    mode += file.bigEndian ? "b" : "l";
    if (file.bigTiff)
        mode += "8";
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    TIFF* tif = TIFFOpen(path.c_str(), mode.c_str());
    bool written = tif != nullptr;
    for (const TiffPage& page : file.pages)
        written = written && writePage(tif, page);
    if (tif)
        TIFFClose(tif);
    std::vector<std::uint8_t> bytes = written ? bytesOf(path) : std::vector<std::uint8_t>{};
    std::filesystem::remove(path);
    return bytes;
}

std::vector<std::uint8_t> encodeJpeg(std::uint32_t width, std::uint32_t height, int components,
                                     bool progressive, const SampleAt& sample)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * static_cast<std::size_t>(components));
    while (info.next_scanline < height) {
        for (std::uint32_t x = 0; x < width; ++x)
            for (int s = 0; s < components; ++s)
                row[x * static_cast<std::size_t>(components) + static_cast<std::size_t>(s)] =
                    static_cast<std::uint8_t>(sample(x, info.next_scanline, static_cast<unsigned>(s)));
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<std::uint8_t> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

}  // namespace dimora::testing
