// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "tiff_jpeg_test_files.hpp"

#include <algorithm>
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
    // Any other depth (1, 2, 4, or 12 for a file the readers refuse): most
    // significant bit first, across byte boundaries.
    const std::size_t first = index * bits;
    for (unsigned b = 0; b < bits; ++b) {
        const std::size_t bit = first + b;
        if ((value >> (bits - 1 - b)) & 1u)
            row[bit / 8] |= static_cast<std::uint8_t>(0x80u >> (bit % 8));
    }
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
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, page.tileWidth);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, page.tileHeight);
        for (int p = 0; p < planes; ++p)
            for (std::uint32_t y = 0; y < page.height; y += page.tileHeight)
                for (std::uint32_t x = 0; x < page.width; x += page.tileWidth) {
                    auto bytes = block(page, x, y, page.tileWidth, page.tileHeight, p);
                    if (TIFFWriteTile(tif, bytes.data(), x, y, 0, static_cast<std::uint16_t>(p)) < 0)
                        return false;
                }
    } else {
        const std::uint32_t rowsPerStrip = page.rowsPerStrip;
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

// One entry of an assembled directory: SHORT (3) or LONG (4) values.
struct Entry {
    std::uint16_t tag;
    std::uint16_t type;
    std::vector<std::uint32_t> values;
};

void put(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value, unsigned size)
{
    for (unsigned i = 0; i < size; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::vector<std::uint8_t> assembleTiff(const TiffPage& page)
{
    const bool separate = page.planar == PLANARCONFIG_SEPARATE;
    const int planes = separate ? page.samples : 1;
    std::vector<std::vector<std::uint8_t>> chunks;
    const auto add = [&](std::uint32_t x, std::uint32_t y, std::uint32_t columns, std::uint32_t rows, int p) {
        chunks.push_back(page.raw.empty() ? block(page, x, y, columns, rows, p) : page.raw);
    };
    for (int p = 0; p < planes; ++p)
        for (std::uint32_t y = 0; y < page.height; y += page.tiled ? page.tileHeight : page.rowsPerStrip) {
            if (!page.tiled)
                add(0, y, page.width, std::min(page.rowsPerStrip, page.height - y), p);
            else
                for (std::uint32_t x = 0; x < page.width; x += page.tileWidth)
                    add(x, y, page.tileWidth, page.tileHeight, p);
        }
    const std::vector<std::uint32_t> bits(page.samples, page.bits);
    std::vector<std::uint32_t> counts;
    for (const auto& chunk : chunks)
        counts.push_back(static_cast<std::uint32_t>(chunk.size()));
    std::vector<Entry> entries = {
        {256, 4, {page.width}},       {257, 4, {page.height}},      {258, 3, bits},
        {259, 3, {page.compression}}, {262, 3, {page.photometric}}, {277, 3, {page.samples}},
        {284, 3, {page.planar}}};
    if (page.tiled) {
        entries.push_back({322, 4, {page.tileWidth}});
        entries.push_back({323, 4, {page.tileHeight}});
        entries.push_back({324, 4, counts});  // offsets, filled in below
        entries.push_back({325, 4, counts});
    } else {
        entries.push_back({273, 4, counts});
        entries.push_back({278, 4, {page.rowsPerStrip}});
        entries.push_back({279, 4, counts});
    }
    if (page.photometric == PHOTOMETRIC_PALETTE) {
        std::vector<std::uint32_t> map(page.red.begin(), page.red.end());
        map.insert(map.end(), page.green.begin(), page.green.end());
        map.insert(map.end(), page.blue.begin(), page.blue.end());
        entries.push_back({320, 3, map});
    }
    if (!page.extraSamples.empty())
        entries.push_back({338, 3, {page.extraSamples.begin(), page.extraSamples.end()}});
    entries.push_back({339, 3, std::vector<std::uint32_t>(page.samples, page.sampleFormat)});
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.tag < b.tag; });

    // Header, directory, the values that do not fit in an entry, the chunks.
    std::size_t end = 8 + 2 + 12 * entries.size() + 4;
    std::vector<std::size_t> valuesAt;
    for (const Entry& entry : entries) {
        const std::size_t size = entry.values.size() * (entry.type == 3 ? 2 : 4);
        valuesAt.push_back(size <= 4 ? 0 : end);
        end += size <= 4 ? 0 : size;
    }
    std::vector<std::uint32_t> offsets;
    for (const auto& chunk : chunks) {
        offsets.push_back(static_cast<std::uint32_t>(end));
        end += chunk.size();
    }
    std::vector<std::uint8_t> bytes(end, 0);
    bytes[0] = bytes[1] = 'I';
    put(bytes, 2, 42, 2);
    put(bytes, 4, 8, 4);
    put(bytes, 8, static_cast<std::uint32_t>(entries.size()), 2);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Entry& entry = entries[i];
        if (entry.tag == 273 || entry.tag == 324)
            entry.values = offsets;
        const std::size_t at = 10 + 12 * i;
        const unsigned size = entry.type == 3 ? 2 : 4;
        put(bytes, at, entry.tag, 2);
        put(bytes, at + 2, entry.type, 2);
        put(bytes, at + 4, static_cast<std::uint32_t>(entry.values.size()), 4);
        std::size_t valueAt = at + 8;
        if (valuesAt[i] != 0) {
            put(bytes, at + 8, static_cast<std::uint32_t>(valuesAt[i]), 4);
            valueAt = valuesAt[i];
        }
        for (std::size_t v = 0; v < entry.values.size(); ++v)
            put(bytes, valueAt + v * size, entry.values[v], size);
    }
    for (std::size_t c = 0; c < chunks.size(); ++c)
        std::copy(chunks[c].begin(), chunks[c].end(), bytes.begin() + offsets[c]);
    return bytes;
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
    if (file.pages.size() == 1) {
        const TiffPage& page = file.pages[0];
        if (!page.raw.empty() || (page.tiled && (page.tileWidth % 16 != 0 || page.tileHeight % 16 != 0)))
            return assembleTiff(page);
    }
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

std::uint64_t memoryStatus(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0)
            return std::stoull(line.substr(key.size() + 1)) * 1024;
    return 0;
}

}  // namespace dimora::testing
