// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/bmp_header.hpp"

#include "core/common/error.hpp"

#include <algorithm>
#include <bit>
#include <vector>

namespace dimora {
namespace {

constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kV2HeaderSize = 52;  // info header + RGB masks
constexpr std::uint32_t kV3HeaderSize = 56;  // + alpha mask
constexpr std::uint32_t kV4HeaderSize = 108;
constexpr std::uint32_t kV5HeaderSize = 124;

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;

// An RLE stream of n bytes may describe at most this many times n bytes of
// pixels. Real encoders write at least one end-of-line per row, far below it;
// the limit keeps a tiny file from claiming a picture of gigabytes.
constexpr std::uint64_t kRleExpansionLimit = 65536;

[[noreturn]] void invalid()
{
    fail(msg::kInvalidBitmap);
}

std::uint16_t u16(std::span<const std::uint8_t> b, std::size_t at)
{
    if (at + 2 > b.size())
        invalid();
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

std::uint32_t u32(std::span<const std::uint8_t> b, std::size_t at)
{
    if (at + 4 > b.size())
        invalid();
    return b[at] | static_cast<std::uint32_t>(b[at + 1]) << 8 | static_cast<std::uint32_t>(b[at + 2]) << 16 |
           static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::int32_t s32(std::span<const std::uint8_t> b, std::size_t at)
{
    return static_cast<std::int32_t>(u32(b, at));
}

// Colour masks must each be one non-empty run of bits inside the pixel, and no
// two masks (alpha included) may share a bit.
bool validMasks(const ChannelMasks& m, int bitsPerPixel)
{
    const std::uint32_t inside = bitsPerPixel == 16 ? 0xFFFFu : 0xFFFFFFFFu;
    const std::uint32_t all[] = {m.red, m.green, m.blue, m.alpha};
    std::uint32_t seen = 0;
    for (int i = 0; i < 4; ++i) {
        const std::uint32_t mask = all[i];
        if ((mask == 0 && i < 3) || !PixelLayout::isContiguousMask(mask) || (mask & ~inside) != 0 ||
            (mask & seen) != 0)
            return false;
        seen |= mask;
    }
    return true;
}

struct Fields {
    std::uint32_t headerSize = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;  // signed: negative for top-down rows
    std::uint32_t planes = 0;
    std::uint32_t bitsPerPixel = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t coloursUsed = 0;
};

Fields readFields(std::span<const std::uint8_t> head)
{
    Fields f;
    f.headerSize = u32(head, 14);
    if (f.headerSize == kCoreHeaderSize) {
        f.width = u16(head, 18);
        f.height = u16(head, 20);
        f.planes = u16(head, 22);
        f.bitsPerPixel = u16(head, 24);
        return f;
    }
    // 16 and 64 are OS/2 2.x headers, whose compressions and palettes differ
    // from Windows's under the same numbers; other sizes are not BMP headers.
    if (f.headerSize != kInfoHeaderSize && f.headerSize != kV2HeaderSize && f.headerSize != kV3HeaderSize &&
        f.headerSize != kV4HeaderSize && f.headerSize != kV5HeaderSize)
        invalid();
    f.width = s32(head, 18);
    f.height = s32(head, 22);
    f.planes = u16(head, 26);
    f.bitsPerPixel = u16(head, 28);
    f.compression = u32(head, 30);
    f.coloursUsed = u32(head, 46);
    return f;
}

// The layout of a masked (16 or 32-bit) image, and how many mask bytes follow
// a 40-byte header.
PixelLayout maskedLayout(std::span<const std::uint8_t> head, const Fields& f, std::size_t& maskBytesAfter)
{
    const int bits = static_cast<int>(f.bitsPerPixel);
    if (f.compression == kBiRgb)
        return PixelLayout::masked(bits, bits == 16 ? kMasks555 : kMasks888);

    ChannelMasks masks;
    const std::size_t at = kBmpFileHeaderSize + kInfoHeaderSize;
    masks.red = u32(head, at);
    masks.green = u32(head, at + 4);
    masks.blue = u32(head, at + 8);
    if (f.compression == kBiAlphaBitfields) {
        // The alpha mask follows a 40-byte header, or is the V3 header's field;
        // a 52-byte header has no place for it.
        if (f.headerSize == kV2HeaderSize)
            invalid();
        masks.alpha = u32(head, at + 12);
    } else if (f.headerSize >= kV3HeaderSize) {
        masks.alpha = u32(head, at + 12);
    }
    if (f.headerSize == kInfoHeaderSize)
        maskBytesAfter = f.compression == kBiAlphaBitfields ? 16 : 12;
    if (!validMasks(masks, bits))
        invalid();
    return PixelLayout::masked(bits, masks);
}

std::vector<Colour> readPalette(std::span<const std::uint8_t> head, const Fields& f, std::uint64_t start,
                                std::uint64_t pixelOffset)
{
    const std::uint64_t entryBytes = f.headerSize == kCoreHeaderSize ? 3 : 4;
    const std::uint64_t capacity = std::uint64_t{1} << f.bitsPerPixel;
    const std::uint64_t room = (pixelOffset - start) / entryBytes;
    std::uint64_t count;
    if (f.coloursUsed != 0) {
        // A stated count must fit before the pixels; entries past 2^bits are
        // skipped.
        if (f.coloursUsed > room)
            invalid();
        count = std::min<std::uint64_t>(f.coloursUsed, capacity);
    } else {
        // No count (always so with the core header): a full palette, or as
        // many entries as lie before the pixels.
        count = std::min(capacity, room);
    }
    std::vector<Colour> palette;
    palette.reserve(count);
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::size_t at = static_cast<std::size_t>(start + i * entryBytes);
        if (at + 3 > head.size())
            invalid();
        palette.push_back(makeColour(head[at + 2], head[at + 1], head[at]));
    }
    return palette;
}

}  // namespace

std::uint64_t bmpPixelOffset(std::span<const std::uint8_t> fileHeader, std::uint64_t fileSize)
{
    if (fileHeader.size() < kBmpFileHeaderSize || fileHeader[0] != 'B' || fileHeader[1] != 'M')
        invalid();
    const std::uint64_t offset = u32(fileHeader, 10);
    if (offset < kBmpFileHeaderSize + kCoreHeaderSize || offset > fileSize)
        invalid();
    return offset;
}

BmpInfo parseBmpHeaders(std::span<const std::uint8_t> head, std::uint64_t fileSize, BmpPixels pixels)
{
    BmpInfo info;
    info.pixelOffset = bmpPixelOffset(head, fileSize);
    if (head.size() > info.pixelOffset)
        head = head.first(static_cast<std::size_t>(info.pixelOffset));
    // From here on every read is bounded by the pixel offset, so a header or
    // palette that runs into the pixels (or past the file) is refused.
    const Fields f = readFields(head);
    if (f.planes != 1 || f.width <= 0 || f.height == 0 || f.height == INT32_MIN)
        invalid();

    const bool topDown = f.height < 0;
    info.width = static_cast<std::int32_t>(f.width);
    info.height = static_cast<std::int32_t>(topDown ? -f.height : f.height);
    info.order = topDown ? RowOrder::TopDown : RowOrder::BottomUp;

    const bool core = f.headerSize == kCoreHeaderSize;
    std::size_t maskBytesAfter = 0;
    switch (f.bitsPerPixel) {
    case 1:
    case 4:
    case 8: {
        if (f.compression == kBiRle8 && f.bitsPerPixel == 8)
            info.compression = BmpCompression::Rle8;
        else if (f.compression == kBiRle4 && f.bitsPerPixel == 4)
            info.compression = BmpCompression::Rle4;
        else if (f.compression != kBiRgb)
            invalid();
        // RLE streams run from the bottom row up; a top-down RLE is undefined.
        if (info.compression != BmpCompression::None && topDown)
            invalid();
        const std::uint64_t paletteStart = kBmpFileHeaderSize + f.headerSize;
        if (paletteStart > info.pixelOffset)
            invalid();
        info.layout = PixelLayout::indexed(static_cast<int>(f.bitsPerPixel),
                                           readPalette(head, f, paletteStart, info.pixelOffset));
        break;
    }
    case 16:
    case 32:
        if (core ||
            (f.compression != kBiRgb && f.compression != kBiBitfields && f.compression != kBiAlphaBitfields))
            invalid();
        info.layout = maskedLayout(head, f, maskBytesAfter);
        break;
    case 24:
        if (f.compression != kBiRgb)
            invalid();
        info.layout = PixelLayout::rgb24();
        break;
    default:
        invalid();
    }
    if (kBmpFileHeaderSize + f.headerSize + maskBytesAfter > info.pixelOffset)
        invalid();

    const std::uint64_t available = fileSize - info.pixelOffset;
    std::uint64_t pixelBytes = Bitmap::pixelBytesFor(info.width, info.height, info.layout);
    if (pixelBytes == 0 && pixels == BmpPixels::ReadInPlace && info.compression == BmpCompression::None) {
        // Beyond the budget, but read in place: the file must hold the rows.
        const std::uint64_t stride = info.layout.strideFor(info.width);
        const auto height = static_cast<std::uint64_t>(info.height);
        if (stride <= UINT64_MAX / height)
            pixelBytes = stride * height;
    }
    if (pixelBytes == 0)  // beyond the memory budget
        invalid();
    if (info.compression == BmpCompression::None) {
        if (pixelBytes > available)
            invalid();
        info.pixelBytes = pixelBytes;
    } else {
        if (available < 2 || pixelBytes / kRleExpansionLimit > available)
            invalid();
        info.pixelBytes = available;
    }
    return info;
}

void requireIndicesInPalette(const ImageView& view)
{
    const PixelLayout& layout = *view.layout;
    if (!layout.isIndexed())
        return;
    const std::size_t size = layout.palette().size();
    if (size >= (std::size_t{1} << layout.bitsPerPixel()))
        return;
    for (std::int32_t y = 0; y < view.height; ++y) {
        const std::uint8_t* row = view.row(y);
        if (layout.format() == PixelFormat::Indexed8) {
            const auto last = std::max_element(row, row + view.width);
            if (*last >= size)
                invalid();
            continue;
        }
        for (std::int32_t x = 0; x < view.width; ++x)
            if (layout.readValue(row, x) >= size)
                invalid();
    }
}

}  // namespace dimora
