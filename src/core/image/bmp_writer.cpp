// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "image/bmp_writer.hpp"

#include "common/error.hpp"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

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

bool writeAll(int fd, const std::uint8_t* data, std::size_t count)
{
    while (count > 0) {
        const ssize_t put = ::write(fd, data, count);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += put;
        count -= static_cast<std::size_t>(put);
    }
    return true;
}

// Creates a new file beside `path` that no one else uses; returns its
// descriptor and name, or -1 when the folder does not allow it.
int createTemporaryBeside(const std::string& path, std::string& tempPath)
{
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = path + ".~tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
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
    std::string tempPath;
    const int fd = createTemporaryBeside(path, tempPath);
    if (fd < 0)
        fail(msg::kCannotCreateFile, path);
    bool ok = writeAll(fd, headers.data(), headers.size()) &&
              (bitmap.byteCount() == 0 || writeAll(fd, bitmap.data(), bitmap.byteCount()));
    ok = (::close(fd) == 0) && ok;
    if (!ok || std::rename(tempPath.c_str(), path.c_str()) != 0) {
        ::unlink(tempPath.c_str());
        fail(msg::kCannotCreateFile, path);
    }
}

}  // namespace dimora
