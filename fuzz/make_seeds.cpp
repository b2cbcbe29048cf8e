// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// make_seeds FOLDER: writes the small seed inputs of the fuzz targets into
// FOLDER/bmp, FOLDER/count_list and FOLDER/command_line. Tiny BMP files of
// every layout the model keeps, in both row orders, and RLE streams with every
// escape give the BMP fuzzer a start at each branch of the reader; the count
// lists are the kinds of text a user types into the count window; the command
// lines are arguments separated by NUL bytes. (The PNG fuzzer starts from the
// committed PngSuite images, which already cover every colour type.)

#include "core/files/bmp_writer.hpp"
#include "tiff_jpeg_test_files.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace dimora;

namespace {

void writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

std::vector<Colour> ramp(std::size_t n)
{
    std::vector<Colour> colours;
    for (std::size_t i = 0; i < n; ++i)
        colours.push_back(makeColour(static_cast<unsigned>(i * 40 % 256), static_cast<unsigned>(i * 90 % 256),
                                     static_cast<unsigned>(255 - i * 13 % 256)));
    return colours;
}

struct Seed {
    const char* name;
    PixelLayout layout;
};

// A 5 × 3 image of every layout, with a pattern that reaches several colours.
void writeLayoutSeeds(const std::filesystem::path& folder)
{
    const Seed seeds[] = {
        {"pal1", PixelLayout::indexed(1, {kBlack, kWhite})},
        {"pal4", PixelLayout::indexed(4, ramp(16))},
        {"pal4short", PixelLayout::indexed(4, ramp(5))},
        {"pal8", PixelLayout::indexed(8, ramp(256))},
        {"pal8short", PixelLayout::indexed(8, ramp(20))},
        {"rgb555", PixelLayout::masked(16, kMasks555)},
        {"rgb565", PixelLayout::masked(16, kMasks565)},
        {"rgba4444", PixelLayout::masked(16, {0x0F00, 0x00F0, 0x000F, 0xF000})},
        {"rgb24", PixelLayout::rgb24()},
        {"rgb888", PixelLayout::masked(32, kMasks888)},
        {"rgba8888", PixelLayout::masked(32, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000})},
        {"rgb101010", PixelLayout::masked(32, {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000})},
    };
    for (const Seed& seed : seeds) {
        for (const RowOrder order : {RowOrder::BottomUp, RowOrder::TopDown}) {
            Bitmap bitmap(5, 3, seed.layout, order);
            for (std::int32_t y = 0; y < bitmap.height(); ++y)
                for (std::int32_t x = 0; x < bitmap.width(); ++x)
                    bitmap.setPixel(x, y, (x + y) % 3 == 0 ? kBlack : makeColour(x * 60, y * 120, 200));
            const std::string suffix = order == RowOrder::TopDown ? "-topdown.bmp" : ".bmp";
            writeFile(folder / (std::string(seed.name) + suffix), encodeBmp(bitmap));
        }
    }
}

void putLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A file with a 40-byte header, a palette of `colours` entries and the given
// pixel bytes.
std::vector<std::uint8_t> paletteFile(int bits, std::uint32_t compression, std::int32_t width,
                                      std::int32_t height, std::uint32_t colours,
                                      const std::vector<std::uint8_t>& pixels)
{
    const std::uint32_t offset = 14 + 40 + 4 * colours;
    std::vector<std::uint8_t> file{'B', 'M'};
    putLe(file, offset + static_cast<std::uint32_t>(pixels.size()), 4);
    putLe(file, 0, 4);
    putLe(file, offset, 4);
    putLe(file, 40, 4);
    putLe(file, static_cast<std::uint32_t>(width), 4);
    putLe(file, static_cast<std::uint32_t>(height), 4);
    putLe(file, 1, 2);
    putLe(file, static_cast<std::uint32_t>(bits), 2);
    putLe(file, compression, 4);
    putLe(file, static_cast<std::uint32_t>(pixels.size()), 4);
    putLe(file, 2835, 4);
    putLe(file, 2835, 4);
    putLe(file, colours, 4);
    putLe(file, 0, 4);
    for (const Colour c : ramp(colours))
        putLe(file, (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF), 4);
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

// RLE streams of 6 × 4 images with runs, literals, deltas, ends of line and
// the end of the bitmap; one of them stops short of it.
void writeRleSeeds(const std::filesystem::path& folder)
{
    const std::vector<std::uint8_t> rle8 = {3, 1, 0, 3, 2, 3, 4, 0, 0, 0, 0, 2, 1, 1, 2, 5, 0, 0, 6, 7, 0, 1};
    writeFile(folder / "rle8.bmp", paletteFile(8, 1, 6, 4, 8, rle8));
    const std::vector<std::uint8_t> rle4 = {3, 0x12, 0, 3, 0x34, 0x50, 0, 0, 0, 2, 2, 1, 3, 0x67, 0, 1};
    writeFile(folder / "rle4.bmp", paletteFile(4, 2, 6, 4, 8, rle4));
    const std::vector<std::uint8_t> cut = {6, 1, 0, 0, 6, 2};
    writeFile(folder / "rle8-cut.bmp", paletteFile(8, 1, 6, 4, 4, cut));
}

// A 12-byte core header (3-byte palette entries) and a file with masks after
// a 40-byte header.
void writeHeaderSeeds(const std::filesystem::path& folder)
{
    std::vector<std::uint8_t> core{'B', 'M'};
    putLe(core, 14 + 12 + 6 + 4, 4);
    putLe(core, 0, 4);
    putLe(core, 14 + 12 + 6, 4);
    putLe(core, 12, 4);
    putLe(core, 3, 2);
    putLe(core, 1, 2);
    putLe(core, 1, 2);
    putLe(core, 1, 2);
    for (const std::uint8_t b : {0, 0, 0, 255, 255, 255, 0xA0, 0, 0, 0})
        core.push_back(b);
    writeFile(folder / "core1.bmp", core);

    std::vector<std::uint8_t> masked{'B', 'M'};
    putLe(masked, 14 + 40 + 12 + 8, 4);
    putLe(masked, 0, 4);
    putLe(masked, 14 + 40 + 12, 4);
    putLe(masked, 40, 4);
    putLe(masked, 2, 4);
    putLe(masked, static_cast<std::uint32_t>(-2), 4);
    putLe(masked, 1, 2);
    putLe(masked, 16, 2);
    putLe(masked, 3, 4);
    for (int i = 0; i < 5; ++i)
        putLe(masked, 0, 4);
    putLe(masked, 0x0038, 4);
    putLe(masked, 0xFFC0, 4);
    putLe(masked, 0x0007, 4);
    for (const std::uint8_t b : {0x00, 0x00, 0xFF, 0xFF, 0x07, 0x00, 0x38, 0x00})
        masked.push_back(b);
    writeFile(folder / "bitfields16-topdown.bmp", masked);
}

void writeCountLists(const std::filesystem::path& folder)
{
    const std::pair<const char*, const char*> lists[] = {
        {"measured.txt", "34100\n9106\n2437\n652\n178\n49\n14\n4\n"},
        {"gray.txt", "\n4032\n1050\n271\n70\n18\n5\n"},
        {"blanked.txt", "1000\n\n120\n\n15\n"},
        {"hex.txt", "$3E8\n0x1F4\nxFA\n  +125\n"},
        {"signs.txt", "-5\n0\n+7\n 12\n"},
        {"flat.txt", "1\n1\n1\n"},
        {"long.txt", "16384\n8192\n4096\n2048\n1024\n512\n256\n128\n64\n32\n16\n8\n4\n2\n1\n1\n"},
        {"not-a-number.txt", "12 \n1.5\n2147483648\n"},
    };
    for (const auto& [name, text] : lists) {
        std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
        out << text;
    }
}

void writeCommandLines(const std::filesystem::path& folder)
{
    const std::pair<const char*, std::vector<std::string>> lines[] = {
        {"black.args", {"black", "a.bmp", "--region", "-7,-5,41,30"}},
        {"nonblack.args", {"nonblack", "a.bmp", "--json", "--region=10,10,2147483647,2147483647"}},
        {"gray.args", {"gray", "a.png", "--region", "-2147483648,-2147483648,100,100", "--json"}},
        {"length.args", {"length", "a.bmp", "--region", "1,1,30,20"}},
        {"hex.args", {"black", "a.bmp", "--region", "$10,0x5,x20,+30"}},
        {"slices.args", {"slices", "9.png", "--pixel-size", "-0.5", "--distance", "1e3"}},
        {"process.args", {"process", "thin", "in.bmp", "out.bmp", "--threshold", "-12"}},
    };
    for (const auto& [name, args] : lines) {
        std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
        for (std::size_t i = 0; i < args.size(); ++i)
            out << (i == 0 ? "" : std::string(1, '\0')) << args[i];
    }
}

// Small TIFF files of the reader's layouts: bilevel, gray, palette, RGB,
// alpha; strips and tiles; compressed and not; both byte orders; two pages.
void writeTiffSeeds(const std::filesystem::path& folder)
{
    using testing::TiffPage;
    const auto ramp = [](std::uint32_t x, std::uint32_t y, unsigned s) {
        return (x * 37 + y * 11 + s * 50) % 256;
    };
    const auto page = [&](std::uint16_t bits, std::uint16_t samples, std::uint16_t photometric) {
        TiffPage p;
        p.width = 20;
        p.height = 5;
        p.bits = bits;
        p.samples = samples;
        p.photometric = photometric;
        p.sample = [=](std::uint32_t x, std::uint32_t y, unsigned s) {
            return ramp(x, y, s) % (1u << std::min(bits, std::uint16_t{8}));
        };
        return p;
    };
    std::vector<std::pair<std::string, testing::TiffFile>> files;
    files.push_back({"bilevel", {false, false, {page(1, 1, PHOTOMETRIC_MINISWHITE)}}});
    files.push_back({"gray4", {true, false, {page(4, 1, PHOTOMETRIC_MINISBLACK)}}});
    files.push_back({"gray16", {true, false, {page(16, 1, PHOTOMETRIC_MINISBLACK)}}});
    TiffPage palette = page(4, 1, PHOTOMETRIC_PALETTE);
    palette.red = palette.green = palette.blue = std::vector<std::uint16_t>(16, 0x8000);
    files.push_back({"palette", {false, false, {palette}}});
    TiffPage lzw = page(8, 3, PHOTOMETRIC_RGB);
    lzw.compression = COMPRESSION_LZW;
    files.push_back({"rgb-lzw", {false, false, {lzw, page(8, 1, PHOTOMETRIC_MINISBLACK)}}});
    TiffPage tiled = page(8, 4, PHOTOMETRIC_RGB);
    tiled.extraSamples = {EXTRASAMPLE_UNASSALPHA};
    tiled.tiled = true;
    tiled.compression = COMPRESSION_PACKBITS;
    files.push_back({"rgba-tiled", {true, true, {tiled}}});
    // Bilevel tiles wide enough to reach the box counter as they are
    // decoded, the image's last column and band of tiles cut short.
    TiffPage wideTiles = page(1, 1, PHOTOMETRIC_MINISBLACK);
    wideTiles.width = 150;
    wideTiles.height = 21;
    wideTiles.tiled = true;
    wideTiles.tileWidth = 128;
    wideTiles.compression = COMPRESSION_ADOBE_DEFLATE;
    files.push_back({"bilevel-wide-tiles", {false, false, {wideTiles}}});
    TiffPage separate = page(8, 3, PHOTOMETRIC_RGB);
    separate.planar = PLANARCONFIG_SEPARATE;
    separate.compression = COMPRESSION_ADOBE_DEFLATE;
    files.push_back({"rgb-separate", {false, false, {separate}}});
    for (const auto& [name, file] : files)
        writeFile(folder / (name + ".tif"), testing::encodeTiff(file));
}

void writeJpegSeeds(const std::filesystem::path& folder)
{
    const auto ramp = [](std::uint32_t x, std::uint32_t y, unsigned s) {
        return (x * 9 + y * 5 + s * 60) % 256;
    };
    writeFile(folder / "gray.jpg", testing::encodeJpeg(24, 16, 1, false, ramp));
    writeFile(folder / "colour.jpg", testing::encodeJpeg(24, 16, 3, false, ramp));
    writeFile(folder / "progressive.jpg", testing::encodeJpeg(24, 16, 3, true, ramp));
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds FOLDER\n");
        return 2;
    }
    try {
        const std::filesystem::path folder = argv[1];
        std::filesystem::create_directories(folder / "bmp");
        std::filesystem::create_directories(folder / "count_list");
        std::filesystem::create_directories(folder / "command_line");
        std::filesystem::create_directories(folder / "tiff");
        std::filesystem::create_directories(folder / "jpeg");
        writeTiffSeeds(folder / "tiff");
        writeJpegSeeds(folder / "jpeg");
        writeLayoutSeeds(folder / "bmp");
        writeRleSeeds(folder / "bmp");
        writeHeaderSeeds(folder / "bmp");
        writeCountLists(folder / "count_list");
        writeCommandLines(folder / "command_line");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_seeds: %s\n", e.what());
        return 1;
    }
    return 0;
}
