// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/bmp_writer.hpp"

#include "core/common/error.hpp"
#include "core/common/replace_file.hpp"

#include <span>

namespace dimora {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kV4HeaderSize = 108;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kLcsSrgb = 0x73524742;  // 'sRGB'

void put16(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v)
{
    put16(out, v & 0xFFFFu);
    put16(out, v >> 16);
}

// A 32-bit size field, or 0 when the size does not fit (readers recompute it).
std::uint32_t sizeField(std::uint64_t bytes)
{
    return bytes <= UINT32_MAX ? static_cast<std::uint32_t>(bytes) : 0;
}

// The palette to write: the bitmap's own, or, when some pixel refers past its
// end (possible only through raw row access), padded with black to the full
// 2^bits so that the file stays valid and shows the same colours.
std::vector<Colour> paletteToWrite(const Bitmap& bitmap)
{
    const PixelLayout& layout = bitmap.layout();
    std::vector<Colour> palette = layout.palette();
    const std::size_t capacity = std::size_t{1} << layout.bitsPerPixel();
    if (palette.size() >= capacity)
        return palette;
    for (std::int32_t y = 0; y < bitmap.height(); ++y) {
        const std::uint8_t* row = bitmap.row(y);
        for (std::int32_t x = 0; x < bitmap.width(); ++x) {
            if (layout.readValue(row, x) >= palette.size()) {
                palette.resize(capacity, kBlack);
                return palette;
            }
        }
    }
    return palette;
}

// Everything before the pixels: file header, info header, masks or palette.
std::vector<std::uint8_t> encodeHeaders(const Bitmap& bitmap)
{
    const PixelLayout& layout = bitmap.layout();
    std::vector<Colour> palette;
    std::uint32_t headerSize = kInfoHeaderSize;
    std::uint32_t compression = kBiRgb;
    std::uint32_t maskBytes = 0;
    const ChannelMasks& masks = layout.masks();

    if (layout.isIndexed()) {
        palette = paletteToWrite(bitmap);
    } else if (layout.format() == PixelFormat::Masked16 || layout.format() == PixelFormat::Masked32) {
        const ChannelMasks defaults = layout.format() == PixelFormat::Masked16 ? kMasks555 : kMasks888;
        if (masks != defaults) {
            compression = kBiBitfields;
            if (masks.alpha != 0)
                headerSize = kV4HeaderSize;
            else
                maskBytes = 12;
        }
    }

    const std::uint32_t offset =
        kFileHeaderSize + headerSize + maskBytes + static_cast<std::uint32_t>(palette.size()) * 4;
    const std::uint64_t fileSize = offset + static_cast<std::uint64_t>(bitmap.byteCount());
    const std::int32_t height = bitmap.rowOrder() == RowOrder::TopDown ? -bitmap.height() : bitmap.height();

    std::vector<std::uint8_t> out;
    out.reserve(offset);
    out.push_back('B');
    out.push_back('M');
    put32(out, sizeField(fileSize));
    put32(out, 0);  // reserved
    put32(out, offset);

    put32(out, headerSize);
    put32(out, static_cast<std::uint32_t>(bitmap.width()));
    put32(out, static_cast<std::uint32_t>(height));
    put16(out, 1);  // planes
    put16(out, static_cast<std::uint32_t>(layout.bitsPerPixel()));
    put32(out, compression);
    put32(out, sizeField(bitmap.byteCount()));
    put32(out, 0);  // horizontal density: not recorded
    put32(out, 0);  // vertical density
    put32(out, static_cast<std::uint32_t>(palette.size()));
    put32(out, 0);  // important colours: all
    if (compression == kBiBitfields) {
        put32(out, masks.red);
        put32(out, masks.green);
        put32(out, masks.blue);
    }
    if (headerSize == kV4HeaderSize) {
        put32(out, masks.alpha);
        put32(out, kLcsSrgb);
        out.resize(out.size() + 36 + 12, 0);  // colour space end points and gamma: unused with sRGB
    }
    for (const Colour c : palette) {
        out.push_back(static_cast<std::uint8_t>(blueOf(c)));
        out.push_back(static_cast<std::uint8_t>(greenOf(c)));
        out.push_back(static_cast<std::uint8_t>(redOf(c)));
        out.push_back(0);
    }
    return out;
}

}  // namespace

std::vector<std::uint8_t> encodeBmp(const Bitmap& bitmap)
{
    std::vector<std::uint8_t> out = encodeHeaders(bitmap);
    out.insert(out.end(), bitmap.data(), bitmap.data() + bitmap.byteCount());
    return out;
}

void saveBmpFile(const Bitmap& bitmap, const std::string& path)
{
    const std::vector<std::uint8_t> headers = encodeHeaders(bitmap);
    replaceFile(path, {headers, std::span<const std::uint8_t>(bitmap.data(), bitmap.byteCount())});
}

}  // namespace dimora
