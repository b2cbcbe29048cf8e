// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Helpers shared by the image tests: every layout the model has, images with
// a pattern, BMP files assembled field by field, and scratch folders.

#include "core/common/error.hpp"
#include "core/image/bitmap.hpp"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace dimora::test {

struct NamedLayout {
    std::string name;
    PixelLayout layout;
};

// Restores the memory budget when a test that changes it ends.
class BudgetGuard {
public:
    BudgetGuard() : saved_(Bitmap::memoryBudget()) {}
    ~BudgetGuard() { Bitmap::setMemoryBudget(saved_); }
    BudgetGuard(const BudgetGuard&) = delete;
    BudgetGuard& operator=(const BudgetGuard&) = delete;

private:
    std::uint64_t saved_;
};

inline std::vector<Colour> rampPalette(std::size_t n)
{
    std::vector<Colour> palette;
    for (std::size_t i = 0; i < n; ++i)
        palette.push_back(makeColour(static_cast<unsigned>(i * 37 % 256), static_cast<unsigned>(i * 91 % 256),
                                     static_cast<unsigned>(255 - i * 13 % 256)));
    return palette;
}

// One of each kind the model holds, with short palettes and odd masks too.
inline std::vector<NamedLayout> allLayouts()
{
    return {
        {"pal1", PixelLayout::indexed(1, {kBlack, kWhite})},
        {"pal1short", PixelLayout::indexed(1, {makeColour(10, 200, 30)})},
        {"pal4", PixelLayout::indexed(4, rampPalette(16))},
        {"pal4short", PixelLayout::indexed(4, rampPalette(5))},
        {"pal8", PixelLayout::indexed(8, rampPalette(256))},
        {"pal8short", PixelLayout::indexed(8, rampPalette(100))},
        {"rgb555", PixelLayout::masked(16, kMasks555)},
        {"rgb565", PixelLayout::masked(16, kMasks565)},
        {"rgba4444", PixelLayout::masked(16, {0x0F00, 0x00F0, 0x000F, 0xF000})},
        {"rgb16odd", PixelLayout::masked(16, {0x0038, 0xFFC0, 0x0007, 0})},
        {"rgb24", PixelLayout::rgb24()},
        {"rgb888", PixelLayout::masked(32, kMasks888)},
        {"xbgr", PixelLayout::masked(32, {0xFF000000, 0x00FF0000, 0x0000FF00, 0})},
        {"rgba8888", PixelLayout::masked(32, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000})},
        {"rgb101010", PixelLayout::masked(32, {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000})},
    };
}

// A colour for every position that differs between neighbours.
inline Colour patternColour(std::int32_t x, std::int32_t y)
{
    return makeColour(static_cast<unsigned>(x * 53 + y * 7), static_cast<unsigned>(x * 11 + y * 101),
                      static_cast<unsigned>(x * y * 29 + 3));
}

// A bitmap whose pixels follow patternColour, stored with the nearest colours
// of the layout, and with raw values that reach every palette index.
inline Bitmap patternBitmap(std::int32_t width, std::int32_t height, const PixelLayout& layout,
                            RowOrder order = RowOrder::BottomUp)
{
    Bitmap b(width, height, layout, order);
    const auto paletteSize = static_cast<std::uint32_t>(layout.palette().size());
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            if (layout.isIndexed() && paletteSize > 0)
                layout.writeValue(b.row(y), x, static_cast<std::uint32_t>(x * 7 + y * 3) % paletteSize);
            else
                b.setPixel(x, y, patternColour(x, y));
        }
    }
    return b;
}

// The first position where two images differ, as text, or "" when they agree
// in size and every pixel.
inline std::string firstDifference(const ImageView& a, const ImageView& b)
{
    if (a.width != b.width || a.height != b.height)
        return "size " + std::to_string(a.width) + "x" + std::to_string(a.height) + " vs " +
               std::to_string(b.width) + "x" + std::to_string(b.height);
    for (std::int32_t y = 0; y < a.height; ++y)
        for (std::int32_t x = 0; x < a.width; ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")";
    return "";
}

// The message of the Error that `action` throws, or "no error".
inline std::string errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

// A BMP file assembled field by field, for files no writer would make.
struct BmpFields {
    std::uint32_t headerSize = 40;
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t planes = 1;
    std::uint16_t bitsPerPixel = 24;
    std::uint32_t compression = 0;
    std::uint32_t coloursUsed = 0;
    std::vector<std::uint32_t> masksAfterHeader;  // BI_BITFIELDS masks after a 40-byte header
    std::vector<std::uint32_t> headerMasks;       // masks inside a 52/56/108/124-byte header
    std::vector<std::uint8_t> palette;            // raw entries (3 or 4 bytes each)
    std::vector<std::uint8_t> pixels;
    std::int64_t offsetOverride = -1;  // pixel offset field, when not the natural one
};

inline void putLe(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

inline std::vector<std::uint8_t> buildBmp(const BmpFields& f)
{
    std::vector<std::uint8_t> header;
    if (f.headerSize == 12) {
        putLe(header, 12, 4);
        putLe(header, static_cast<std::uint16_t>(f.width), 2);
        putLe(header, static_cast<std::uint16_t>(f.height), 2);
        putLe(header, f.planes, 2);
        putLe(header, f.bitsPerPixel, 2);
    } else {
        putLe(header, f.headerSize, 4);
        putLe(header, static_cast<std::uint32_t>(f.width), 4);
        putLe(header, static_cast<std::uint32_t>(f.height), 4);
        putLe(header, f.planes, 2);
        putLe(header, f.bitsPerPixel, 2);
        putLe(header, f.compression, 4);
        putLe(header, f.pixels.size(), 4);
        putLe(header, 2835, 4);
        putLe(header, 2835, 4);
        putLe(header, f.coloursUsed, 4);
        putLe(header, 0, 4);
        for (const auto m : f.headerMasks)
            putLe(header, m, 4);
        header.resize(f.headerSize, 0);
        for (const auto m : f.masksAfterHeader)
            putLe(header, m, 4);
    }
    header.insert(header.end(), f.palette.begin(), f.palette.end());
    const std::uint64_t natural = 14 + header.size();
    const std::uint64_t offset =
        f.offsetOverride >= 0 ? static_cast<std::uint64_t>(f.offsetOverride) : natural;
    std::vector<std::uint8_t> file{'B', 'M'};
    putLe(file, natural + f.pixels.size(), 4);
    putLe(file, 0, 4);
    putLe(file, offset, 4);
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), f.pixels.begin(), f.pixels.end());
    return file;
}

// Palette entries B, G, R, 0 for the given colours.
inline std::vector<std::uint8_t> paletteBytes(const std::vector<Colour>& colours, int entryBytes = 4)
{
    std::vector<std::uint8_t> out;
    for (const Colour c : colours) {
        out.push_back(static_cast<std::uint8_t>(blueOf(c)));
        out.push_back(static_cast<std::uint8_t>(greenOf(c)));
        out.push_back(static_cast<std::uint8_t>(redOf(c)));
        if (entryBytes == 4)
            out.push_back(0);
    }
    return out;
}

inline std::vector<std::uint8_t> readFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFileBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A fresh folder under the system's temporary folder, removed at the end.
class ScratchFolder {
public:
    ScratchFolder()
    {
        auto base = std::filesystem::temp_directory_path() / "dimora-image-test";
        std::filesystem::create_directories(base);
        std::string templ = (base / "XXXXXX").string();
        path_ = ::mkdtemp(templ.data());
    }
    ~ScratchFolder()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    [[nodiscard]] std::string file(const std::string& name) const { return (path_ / name).string(); }
    [[nodiscard]] std::size_t entryCount() const
    {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(path_), std::filesystem::directory_iterator()));
    }

private:
    std::filesystem::path path_;
};

inline std::string suiteFile(const std::string& name)
{
    return std::string(DIMORA_TEST_DATA) + "/bmpsuite/" + name;
}

}  // namespace dimora::test
