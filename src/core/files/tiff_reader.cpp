// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/tiff_reader.hpp"

#include "core/common/error.hpp"
#include "core/files/row_target.hpp"
#include "core/files/tiff_support.hpp"

#include <tiffio.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <vector>

namespace dimora {
namespace {

// A buffer whose bytes come zeroed from the system (calloc) and so take
// memory only where they are written: a band or tile sized from the file's
// tags costs no more than the data that really decodes into it, and a
// decoding that fails early leaves the rest untouched.
class ZeroedBytes {
public:
    // At least `size` bytes; grows, never shrinks, and keeps no contents
    // when it grows.
    void reserve(std::size_t size)
    {
        if (size <= capacity_)
            return;
        bytes_.reset();
        capacity_ = 0;
        bytes_.reset(static_cast<std::uint8_t*>(std::calloc(size, 1)));
        if (!bytes_)
            throw std::bad_alloc();
        capacity_ = size;
    }
    [[nodiscard]] std::uint8_t* data() { return bytes_.get(); }
    [[nodiscard]] const std::uint8_t* data() const { return bytes_.get(); }

private:
    struct Free {
        void operator()(std::uint8_t* bytes) const { std::free(bytes); }
    };
    std::unique_ptr<std::uint8_t[], Free> bytes_;
    std::size_t capacity_ = 0;
};

// rows × rowBytes × planes, the size of a working buffer; beyond the pixel
// memory budget (or size_t) it is refused like a bitmap beyond it.
std::size_t bufferBytes(std::size_t rowBytes, std::size_t rows, std::size_t planes = 1)
{
    const std::uint64_t budget = Bitmap::memoryBudget();
    if (rowBytes == 0 || rows == 0 || planes == 0)
        return 0;
    if (rowBytes > budget / rows || rowBytes * rows > budget / planes)
        throw std::length_error("buffer beyond the memory budget");
    return rowBytes * rows * planes;
}

// What a page holds and how it becomes a bitmap.
enum class Kind { Bilevel, Gray, Palette, Rgb };

struct Page {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t bits = 0;
    std::uint16_t samples = 0;
    bool minIsWhite = false;
    bool separatePlanes = false;
    bool hasAlpha = false;
    std::uint16_t alphaSample = 0;
    Kind kind = Kind::Gray;
    bool blended = false;  // written as 24-bit because of its alpha
    std::vector<Colour> palette;
};

// The page's description, or nothing for what is refused.
std::optional<Page> describePage(TIFF* tif)
{
    Page page;
    if (TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &page.width) != 1 ||
        TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &page.height) != 1)
        return std::nullopt;
    page.bits = tiffField<std::uint16_t>(tif, TIFFTAG_BITSPERSAMPLE, 1);
    page.samples = tiffField<std::uint16_t>(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    const auto format = tiffField<std::uint16_t>(tif, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT);
    std::uint16_t photometric = 0;
    if (TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric) != 1)
        return std::nullopt;
    page.separatePlanes =
        tiffField<std::uint16_t>(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) == PLANARCONFIG_SEPARATE &&
        page.samples > 1;
    if (page.width == 0 || page.height == 0 || page.width > INT32_MAX || page.height > INT32_MAX)
        return std::nullopt;
    if (format != SAMPLEFORMAT_UINT && format != SAMPLEFORMAT_VOID)
        return std::nullopt;

    std::uint16_t extraCount = 0;
    std::uint16_t* extra = nullptr;
    if (TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &extraCount, &extra) == 1 && extraCount > 0 &&
        (extra[0] == EXTRASAMPLE_ASSOCALPHA || extra[0] == EXTRASAMPLE_UNASSALPHA)) {
        page.hasAlpha = true;
        page.alphaSample = static_cast<std::uint16_t>(page.samples - extraCount);
    }
    const bool wideSamples = page.bits == 8 || page.bits == 16;

    switch (photometric) {
    case PHOTOMETRIC_MINISWHITE:
    case PHOTOMETRIC_MINISBLACK:
        page.minIsWhite = photometric == PHOTOMETRIC_MINISWHITE;
        if (page.hasAlpha && page.alphaSample == 1 && wideSamples) {
            page.kind = Kind::Gray;
            page.blended = true;
            break;
        }
        // More samples than the grey one only at 8 or 16 bits, and without
        // an alpha channel elsewhere.
        if (page.samples != 1 && (page.hasAlpha || !wideSamples))
            return std::nullopt;
        if (page.bits == 1)
            page.kind = Kind::Bilevel;
        else if (page.bits == 2 || page.bits == 4 || wideSamples)
            page.kind = Kind::Gray;
        else
            return std::nullopt;
        break;
    case PHOTOMETRIC_PALETTE: {
        if (page.samples != 1 || !(page.bits == 1 || page.bits == 2 || page.bits == 4 || page.bits == 8))
            return std::nullopt;
        std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
        if (TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue) != 1)
            return std::nullopt;
        page.kind = Kind::Palette;
        for (std::size_t i = 0; i < (std::size_t{1} << page.bits); ++i)
            page.palette.push_back(makeColour(red[i] >> 8, green[i] >> 8, blue[i] >> 8));
        break;
    }
    case PHOTOMETRIC_RGB:
        if (page.samples < 3 || !wideSamples || (page.hasAlpha && page.alphaSample < 3))
            return std::nullopt;
        page.kind = Kind::Rgb;
        page.blended = page.hasAlpha;
        break;
    default:
        return std::nullopt;
    }
    return page;
}

PixelLayout layoutOf(const Page& page)
{
    if (page.blended || page.kind == Kind::Rgb)
        return PixelLayout::rgb24();
    switch (page.kind) {
    case Kind::Bilevel:
        return PixelLayout::indexed(1, page.minIsWhite ? std::vector<Colour>{kWhite, kBlack}
                                                       : std::vector<Colour>{kBlack, kWhite});
    case Kind::Palette:
        return PixelLayout::indexed(page.bits == 2 ? 4 : page.bits, page.palette);
    default:
        return PixelLayout::grey8();
    }
}

// Pages whose rows are the bitmap's rows byte for byte.
bool rowsCopyAsTheyAre(const Page& page)
{
    if (page.blended || page.samples != 1)
        return false;
    return page.kind == Kind::Bilevel || (page.kind == Kind::Palette && page.bits != 2) ||
           (page.kind == Kind::Gray && page.bits == 8 && !page.minIsWhite);
}

// The rows of one band (a strip, or a row of tiles) of each plane: sample s
// of pixel x of band row r.
class Band {
public:
    Band(const Page& page, std::size_t planeRowBytes)
        : page_(page), planeRowBytes_(planeRowBytes), planes_(page.separatePlanes ? page.samples : 1)
    {
    }

    void resize(std::uint32_t rows)
    {
        rows_ = rows;
        bytes_.reserve(bufferBytes(planeRowBytes_, rows, planes_));
    }
    [[nodiscard]] std::uint8_t* plane(std::size_t p) { return bytes_.data() + p * planeRowBytes_ * rows_; }
    [[nodiscard]] std::size_t planeRowBytes() const { return planeRowBytes_; }
    [[nodiscard]] std::size_t planes() const { return planes_; }

    // Sample s of pixel x in band row r, widened to 8 bits.
    [[nodiscard]] unsigned sample(std::uint32_t r, std::uint32_t x, unsigned s) const
    {
        const std::uint8_t* row;
        std::size_t index;
        if (page_.separatePlanes) {
            row = bytes_.data() + (s * rows_ + r) * planeRowBytes_;
            index = x;
        } else {
            row = bytes_.data() + r * planeRowBytes_;
            index = static_cast<std::size_t>(x) * page_.samples + s;
        }
        switch (page_.bits) {
        case 16: {
            std::uint16_t v;
            std::memcpy(&v, row + 2 * index, 2);
            return v >> 8;
        }
        case 8:
            return row[index];
        default: {
            const unsigned bits = page_.bits;
            const std::size_t bit = index * bits;
            const unsigned v = (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
            return bits == 4 ? v * 17 : bits == 2 ? v * 85 : v * 255;
        }
        }
    }
    // The raw value (palette index or bit) of pixel x of band row r.
    [[nodiscard]] unsigned index(std::uint32_t r, std::uint32_t x) const
    {
        const std::uint8_t* row = bytes_.data() + r * planeRowBytes_;
        const unsigned bits = page_.bits;
        const std::size_t bit = static_cast<std::size_t>(x) * bits;
        return (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
    }
    [[nodiscard]] const std::uint8_t* row(std::uint32_t r) const
    {
        return bytes_.data() + r * planeRowBytes_;
    }

private:
    const Page& page_;
    std::size_t planeRowBytes_;
    std::size_t planes_;
    std::uint32_t rows_ = 0;
    ZeroedBytes bytes_;
};

std::uint8_t blendOverWhite(unsigned source, unsigned alpha)
{
    const unsigned transparency = 255 - alpha;
    return static_cast<std::uint8_t>((255 * transparency + source * (255 - transparency)) / 255);
}

// Writes band row r as bitmap row `out`.
void convertRow(const Page& page, const Band& band, std::uint32_t r, std::uint8_t* out)
{
    const std::uint32_t width = page.width;
    if (page.blended || page.kind == Kind::Rgb) {
        for (std::uint32_t x = 0; x < width; ++x) {
            unsigned red, green, blue;
            if (page.kind == Kind::Rgb) {
                red = band.sample(r, x, 0);
                green = band.sample(r, x, 1);
                blue = band.sample(r, x, 2);
            } else {
                unsigned g = band.sample(r, x, 0);
                if (page.minIsWhite)
                    g = 255 - g;
                red = green = blue = g;
            }
            if (page.blended) {
                const unsigned alpha = band.sample(r, x, page.alphaSample);
                red = blendOverWhite(red, alpha);
                green = blendOverWhite(green, alpha);
                blue = blendOverWhite(blue, alpha);
            }
            out[3 * x] = static_cast<std::uint8_t>(blue);
            out[3 * x + 1] = static_cast<std::uint8_t>(green);
            out[3 * x + 2] = static_cast<std::uint8_t>(red);
        }
        return;
    }
    if (page.kind == Kind::Palette && page.bits == 2) {
        // Two-bit indices, stored as four-bit ones.
        std::memset(out, 0, (static_cast<std::size_t>(width) + 1) / 2);
        for (std::uint32_t x = 0; x < width; ++x)
            out[x / 2] |= static_cast<std::uint8_t>(band.index(r, x) << (x % 2 == 0 ? 4 : 0));
        return;
    }
    if (rowsCopyAsTheyAre(page)) {
        std::memcpy(out, band.row(r), (static_cast<std::size_t>(width) * page.bits + 7) / 8);
        return;
    }
    // Gray of 2, 4, 8 or 16 bits into 8-bit grey indices.
    for (std::uint32_t x = 0; x < width; ++x) {
        const unsigned g = band.sample(r, x, 0);
        out[x] = static_cast<std::uint8_t>(page.minIsWhite ? 255 - g : g);
    }
}

// Writes the band's rows as image rows first .. first + count − 1.
void convertRows(const Page& page, const Band& band, std::uint32_t first, std::uint32_t count,
                 RowTarget& target)
{
    std::uint8_t* out = target.rows(static_cast<std::int32_t>(first), static_cast<std::int32_t>(count));
    for (std::uint32_t r = 0; r < count; ++r)
        convertRow(page, band, r, out + r * target.stride());
    target.written(static_cast<std::int32_t>(first + count));
}

[[noreturn]] void failRead(const std::string& name)
{
    fail(msg::kCannotReadImage, name);
}

// Whether strips can be decoded straight into the bitmap's rows: they are
// laid out the same and follow one another in memory.
bool stripsFitInPlace(TIFF* tif, const Page& page, const RowTarget& target)
{
    return rowsCopyAsTheyAre(page) && !TIFFIsTiled(tif) &&
           static_cast<std::size_t>(TIFFScanlineSize64(tif)) == target.stride() &&
           tiffField<std::uint32_t>(tif, TIFFTAG_ROWSPERSTRIP, page.height) != 0;
}

bool readStripsInPlace(TIFF* tif, const Page& page, RowTarget& target)
{
    const auto rowsPerStrip =
        std::min(tiffField<std::uint32_t>(tif, TIFFTAG_ROWSPERSTRIP, page.height), page.height);
    if (rowsPerStrip == 0)
        return false;
    for (std::uint32_t row = 0; row < page.height; row += rowsPerStrip) {
        const std::uint32_t rows = std::min(rowsPerStrip, page.height - row);
        const auto bytes = static_cast<tmsize_t>(target.stride() * rows);
        std::uint8_t* band = target.rows(static_cast<std::int32_t>(row), static_cast<std::int32_t>(rows));
        if (TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, row, 0), band, bytes) != bytes)
            return false;
        target.written(static_cast<std::int32_t>(row + rows));
    }
    return true;
}

bool readStrips(TIFF* tif, const Page& page, RowTarget& target)
{
    const auto rowsPerStrip =
        std::min(tiffField<std::uint32_t>(tif, TIFFTAG_ROWSPERSTRIP, page.height), page.height);
    const auto planeRowBytes = static_cast<std::size_t>(TIFFScanlineSize64(tif));
    if (rowsPerStrip == 0 || planeRowBytes == 0)
        return false;
    Band band(page, planeRowBytes);
    for (std::uint32_t row = 0; row < page.height; row += rowsPerStrip) {
        const std::uint32_t rows = std::min(rowsPerStrip, page.height - row);
        band.resize(rows);
        for (std::size_t p = 0; p < band.planes(); ++p) {
            const auto bytes = static_cast<tmsize_t>(planeRowBytes * rows);
            const auto strip = TIFFComputeStrip(tif, row, static_cast<std::uint16_t>(p));
            if (TIFFReadEncodedStrip(tif, strip, band.plane(p), bytes) != bytes)
                return false;
        }
        convertRows(page, band, row, rows, target);
    }
    return true;
}

// Copies the short rows of a tile: fixed-size copies the compiler turns into
// a few moves, where a library call per row of a 512-pixel bilevel tile (64
// bytes) took as long as the copying.
inline void copyTileRowBytes(std::uint8_t* target, const std::uint8_t* source, std::size_t count)
{
    std::size_t i = 0;
    for (; i + 32 <= count; i += 32)
        std::memcpy(target + i, source + i, 32);
    for (; i + 8 <= count; i += 8)
        std::memcpy(target + i, source + i, 8);
    for (; i < count; ++i)
        target[i] = source[i];
}

// Copies `count` bits from the start of `source` to bit `bit` of `target`
// (bits counted from each byte's high end), leaving the target's other bits
// as they are: tiles of 1, 2 or 4-bit samples may start inside a byte.
void copyBits(const std::uint8_t* source, std::uint8_t* target, std::size_t bit, std::size_t count)
{
    if (bit % 8 == 0) {
        copyTileRowBytes(target + bit / 8, source, count / 8);
        if (count % 8 != 0) {
            const auto keep = static_cast<std::uint8_t>(0xFFu >> (count % 8));
            std::uint8_t& last = target[(bit + count) / 8];
            last = static_cast<std::uint8_t>((last & keep) | (source[count / 8] & ~keep));
        }
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const auto from = static_cast<unsigned>(source[i / 8] >> (7 - i % 8)) & 1u;
        const std::size_t to = bit + i;
        const auto mask = static_cast<std::uint8_t>(0x80u >> (to % 8));
        target[to / 8] = static_cast<std::uint8_t>(from ? target[to / 8] | mask : target[to / 8] & ~mask);
    }
}

bool readTiles(TIFF* tif, const Page& page, RowTarget& target)
{
    std::uint32_t tileWidth = 0, tileHeight = 0;
    if (TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth) != 1 ||
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileHeight) != 1 || tileWidth == 0 || tileHeight == 0)
        return false;
    const auto tileRowBytes = static_cast<std::size_t>(TIFFTileRowSize64(tif));
    const auto planeRowBytes = static_cast<std::size_t>(TIFFScanlineSize64(tif));
    if (tileRowBytes == 0 || planeRowBytes == 0)
        return false;
    const std::size_t bitsPerPixel =
        static_cast<std::size_t>(page.bits) * (page.separatePlanes ? 1 : page.samples);
    Band band(page, planeRowBytes);
    // Rows laid out as the target's are put together in the target's own
    // band, not copied there from one of ours.
    const bool inPlace = rowsCopyAsTheyAre(page);
    // Or not put together at all, when the target takes the tiles as they
    // are.
    const std::int32_t multiple = target.tileWidthMultiple();
    const bool tilesHandedOn = inPlace && !page.separatePlanes && multiple > 0 &&
                               tileWidth % static_cast<std::uint32_t>(multiple) == 0 && tileHeight % 2 == 0;
    // Only the tile rows inside the image are decoded: a tile taller than
    // the image costs no more than the image's rows.
    ZeroedBytes tile;
    for (std::uint32_t row = 0; row < page.height; row += tileHeight) {
        const std::uint32_t rows = std::min(tileHeight, page.height - row);
        const std::size_t tileBytes = bufferBytes(tileRowBytes, rows);
        tile.reserve(tileBytes);
        if (tilesHandedOn) {
            for (std::uint32_t column = 0; column < page.width; column += tileWidth) {
                if (TIFFReadEncodedTile(tif, TIFFComputeTile(tif, column, row, 0, 0), tile.data(),
                                        static_cast<tmsize_t>(tileBytes)) != static_cast<tmsize_t>(tileBytes))
                    return false;
                target.tile(static_cast<std::int32_t>(row), static_cast<std::int32_t>(column), tile.data(),
                            tileRowBytes, static_cast<std::int32_t>(std::min(tileWidth, page.width - column)),
                            static_cast<std::int32_t>(rows));
            }
            target.tilesDone(static_cast<std::int32_t>(row), static_cast<std::int32_t>(rows));
            continue;
        }
        if (inPlace) {
            std::uint8_t* out = target.rows(static_cast<std::int32_t>(row), static_cast<std::int32_t>(rows));
            const std::size_t outStride = target.stride();
            for (std::uint32_t column = 0; column < page.width; column += tileWidth) {
                if (TIFFReadEncodedTile(tif, TIFFComputeTile(tif, column, row, 0, 0), tile.data(),
                                        static_cast<tmsize_t>(tileBytes)) != static_cast<tmsize_t>(tileBytes))
                    return false;
                const std::size_t bits = std::min(tileWidth, page.width - column) * bitsPerPixel;
                for (std::uint32_t r = 0; r < rows; ++r)
                    copyBits(tile.data() + r * tileRowBytes, out + r * outStride, column * bitsPerPixel,
                             bits);
            }
            target.written(static_cast<std::int32_t>(row + rows));
            continue;
        }
        band.resize(rows);
        for (std::size_t p = 0; p < band.planes(); ++p) {
            for (std::uint32_t column = 0; column < page.width; column += tileWidth) {
                const auto index = TIFFComputeTile(tif, column, row, 0, static_cast<std::uint16_t>(p));
                if (TIFFReadEncodedTile(tif, index, tile.data(), static_cast<tmsize_t>(tileBytes)) !=
                    static_cast<tmsize_t>(tileBytes))
                    return false;
                const std::size_t bits = std::min(tileWidth, page.width - column) * bitsPerPixel;
                for (std::uint32_t r = 0; r < rows; ++r)
                    copyBits(tile.data() + r * tileRowBytes, band.plane(p) + r * planeRowBytes,
                             column * bitsPerPixel, bits);
            }
        }
        convertRows(page, band, row, rows, target);
    }
    return true;
}

// Decodes page `page` into the target. Whatever fails while decoding (the
// target's refusal of a size included) becomes the reader's error.
void readPageInto(TIFF* tif, const std::string& name, std::int32_t page, RowTarget& target)
{
    if (!tif || page < 1 || TIFFSetDirectory(tif, static_cast<tdir_t>(page - 1)) != 1)
        failRead(name);
    const std::optional<Page> description = describePage(tif);
    if (!description || !storedBytesCanHold(tif, description->width, description->height) ||
        description->width > INT32_MAX || description->height > INT32_MAX)
        failRead(name);
    try {
        target.start(static_cast<std::int32_t>(description->width),
                     static_cast<std::int32_t>(description->height), layoutOf(*description));
        const bool read = TIFFIsTiled(tif) ? readTiles(tif, *description, target)
                          : stripsFitInPlace(tif, *description, target)
                              ? readStripsInPlace(tif, *description, target)
                              : readStrips(tif, *description, target);
        if (!read)
            failRead(name);
    } catch (const std::bad_alloc&) {
        failRead(name);
    } catch (const std::length_error&) {
        failRead(name);
    } catch (const Error&) {
        failRead(name);
    }
    target.finished();
}

Bitmap readPage(TIFF* tif, const std::string& name, std::int32_t page, DecodeWatcher* watcher = nullptr)
{
    Bitmap bitmap;
    AbandonUnlessKept abandon(watcher);
    BitmapTarget target(bitmap, watcher);
    readPageInto(tif, name, page, target);
    abandon.keep();
    return bitmap;
}

// A file in memory for libtiff's client interface.
struct MemoryFile {
    std::span<const std::uint8_t> bytes;
    toff_t position = 0;
};

tmsize_t readMemory(thandle_t handle, void* buffer, tmsize_t size)
{
    auto& file = *static_cast<MemoryFile*>(handle);
    if (size < 0 || file.position >= file.bytes.size())
        return 0;
    const auto count = std::min<toff_t>(static_cast<toff_t>(size), file.bytes.size() - file.position);
    std::memcpy(buffer, file.bytes.data() + file.position, count);
    file.position += count;
    return static_cast<tmsize_t>(count);
}

tmsize_t writeNothing(thandle_t, void*, tmsize_t)
{
    return 0;
}

toff_t seekMemory(thandle_t handle, toff_t offset, int whence)
{
    auto& file = *static_cast<MemoryFile*>(handle);
    toff_t base = 0;
    if (whence == SEEK_CUR)
        base = file.position;
    else if (whence == SEEK_END)
        base = file.bytes.size();
    if (offset > UINT64_MAX - base)
        return static_cast<toff_t>(-1);
    file.position = base + offset;
    return file.position;
}

int closeNothing(thandle_t)
{
    return 0;
}

toff_t sizeOfMemory(thandle_t handle)
{
    return static_cast<MemoryFile*>(handle)->bytes.size();
}

int mapNothing(thandle_t, void**, toff_t*)
{
    return 0;
}

void unmapNothing(thandle_t, void*, toff_t)
{
}

}  // namespace

bool hasTiffSignature(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 4)
        return false;
    const bool little =
        bytes[0] == 'I' && bytes[1] == 'I' && bytes[3] == 0 && (bytes[2] == 42 || bytes[2] == 43);
    const bool big =
        bytes[0] == 'M' && bytes[1] == 'M' && bytes[2] == 0 && (bytes[3] == 42 || bytes[3] == 43);
    return little || big;
}

Bitmap loadTiffFile(const std::string& path, std::int32_t page, DecodeWatcher* watcher)
{
    const TiffOpenOptions options;
    const TiffHandle tif(TIFFOpenExt(path.c_str(), "r", options.options));
    return readPage(tif.get(), path, page, watcher);
}

Bitmap decodeTiff(std::span<const std::uint8_t> bytes, const std::string& name, std::int32_t page)
{
    const TiffOpenOptions options;
    MemoryFile file{bytes};
    const TiffHandle tif(TIFFClientOpenExt(name.c_str(), "rm", &file, readMemory, writeNothing, seekMemory,
                                           closeNothing, sizeOfMemory, mapNothing, unmapNothing,
                                           options.options));
    return readPage(tif.get(), name, page);
}

void streamTiffFile(const std::string& path, std::int32_t page, RowSink& sink)
{
    const TiffOpenOptions options;
    // Read, not mapped ("m"): a mapped file's pages would count as the
    // process's memory as they are read, and the file may exceed it.
    const TiffHandle tif(TIFFOpenExt(path.c_str(), "rm", options.options));
    SinkTarget target(sink);
    readPageInto(tif.get(), path, page, target);
}

struct TiffPageReader::Handle {
    TiffOpenOptions options;
    TiffHandle tif;
};

TiffPageReader::TiffPageReader(const std::string& path) : path_(path), handle_(std::make_unique<Handle>())
{
    handle_->tif.reset(TIFFOpenExt(path.c_str(), "r", handle_->options.options));
    if (!handle_->tif)
        fail(msg::kCannotReadImage, path);
    const tdir_t pages = TIFFNumberOfDirectories(handle_->tif.get());
    if (pages == 0)
        fail(msg::kCannotReadImage, path);
    pageCount_ = static_cast<std::int32_t>(std::min<tdir_t>(pages, INT32_MAX));
}

TiffPageReader::~TiffPageReader() = default;

Bitmap TiffPageReader::read(std::int32_t page)
{
    return readPage(handle_->tif.get(), path_, page);
}

}  // namespace dimora
