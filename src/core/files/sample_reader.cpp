// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/sample_reader.hpp"

#include "core/files/image_file.hpp"
#include "core/files/png_read_structures.hpp"
#include "core/files/tiff_support.hpp"
#include "core/image/bitmap.hpp"

#include <png.h>
#include <tiffio.h>

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <vector>

namespace dimora {
namespace {

[[noreturn]] void failRead(const std::string& path)
{
    fail(msg::kCannotReadImage, path);
}

[[noreturn]] void failNotGrey(const std::string& path)
{
    throw NotGreyImageError(formatMessage(msg::kNotGreyImage, path));
}

// Whether a plane of width × height samples of `bytes` bytes fits the
// memory budget that bitmaps keep.
bool fitsBudget(std::uint64_t width, std::uint64_t height, std::uint64_t bytes)
{
    return width > 0 && height > 0 && width <= INT32_MAX && height <= INT32_MAX &&
           width * bytes <= Bitmap::memoryBudget() / height;
}

// ---- PNG -------------------------------------------------------------------
//
// libpng reports an error by a long jump back to runGuarded(); the steps that
// run under the trap create no object with a destructor.

struct PngState {
    png_infop info = nullptr;
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    bool transparency = false;
    std::size_t rowBytes = 0;
    png_bytepp rows = nullptr;
};

using PngStep = void (*)(png_structp, PngState&);

bool runGuarded(png_structp png, PngStep step, PngState& state)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    step(png, state);
    return true;
}

void pngHeaderStep(png_structp png, PngState& state)
{
    // Ancillary chunks play no part; skipping them unread keeps a chunk that
    // claims gigabytes from costing anything.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_read_info(png, state.info);
    png_get_IHDR(png, state.info, &state.width, &state.height, &state.bitDepth, &state.colourType, nullptr,
                 nullptr, nullptr);
    state.transparency = png_get_valid(png, state.info, PNG_INFO_tRNS) != 0;
}

void pngTransformStep(png_structp png, PngState& state)
{
    if (state.bitDepth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    // PNG stores 16-bit samples big-endian; the plane holds them natively.
    if (state.bitDepth == 16 && std::endian::native == std::endian::little)
        png_set_swap(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, state.info);
    state.rowBytes = png_get_rowbytes(png, state.info);
}

void pngImageStep(png_structp png, PngState& state)
{
    png_read_image(png, state.rows);
    png_read_end(png, nullptr);
}

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

SamplePlane loadPngSamples(const std::string& path)
{
    const std::unique_ptr<std::FILE, CloseFile> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        fail(msg::kCannotOpenFile, path);
    const PngReadStructures structures;
    if (!structures.png || !structures.info)
        failRead(path);
    png_init_io(structures.png, file.get());
    // libpng's own row buffers grow with the width: keep them in the budget.
    const std::uint64_t widest = std::min<std::uint64_t>(PNG_UINT_31_MAX, Bitmap::memoryBudget() / 8);
    png_set_user_limits(structures.png, static_cast<png_uint_32>(widest), PNG_UINT_31_MAX);

    PngState state;
    state.info = structures.info;
    if (!runGuarded(structures.png, pngHeaderStep, state))
        failRead(path);
    if (state.colourType != PNG_COLOR_TYPE_GRAY || state.transparency)
        failNotGrey(path);
    const SampleType type = state.bitDepth == 16 ? SampleType::UInt16 : SampleType::UInt8;
    if (!fitsBudget(state.width, state.height, SamplePlane::bytesPerSample(type)))
        failRead(path);
    if (!runGuarded(structures.png, pngTransformStep, state))
        failRead(path);
    if (state.rowBytes != std::size_t{state.width} * SamplePlane::bytesPerSample(type))
        failRead(path);
    try {
        SamplePlane plane(static_cast<std::int32_t>(state.width), static_cast<std::int32_t>(state.height),
                          type);
        std::vector<png_bytep> rows(state.height);
        for (std::size_t y = 0; y < rows.size(); ++y)
            rows[y] = plane.row(static_cast<std::int32_t>(y));
        state.rows = rows.data();
        if (!runGuarded(structures.png, pngImageStep, state))
            failRead(path);
        return plane;
    } catch (const std::bad_alloc&) {
        failRead(path);
    }
}

// ---- TIFF ------------------------------------------------------------------

struct TiffGrey {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t bits = 0;
    bool minIsWhite = false;
    SampleType type = SampleType::UInt8;
};

// The page's grey description; throws for what is not read.
TiffGrey describeGrey(TIFF* tif, const std::string& path)
{
    TiffGrey grey;
    std::uint16_t photometric = 0;
    if (TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &grey.width) != 1 ||
        TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &grey.height) != 1 ||
        TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric) != 1)
        failRead(path);
    grey.bits = tiffField<std::uint16_t>(tif, TIFFTAG_BITSPERSAMPLE, 1);
    const auto samples = tiffField<std::uint16_t>(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    const auto format = tiffField<std::uint16_t>(tif, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT);
    if (photometric != PHOTOMETRIC_MINISBLACK && photometric != PHOTOMETRIC_MINISWHITE)
        failNotGrey(path);
    if (samples != 1)
        failNotGrey(path);
    grey.minIsWhite = photometric == PHOTOMETRIC_MINISWHITE;
    const bool unsignedInteger = format == SAMPLEFORMAT_UINT || format == SAMPLEFORMAT_VOID;
    if (unsignedInteger && (grey.bits == 1 || grey.bits == 2 || grey.bits == 4 || grey.bits == 8))
        grey.type = SampleType::UInt8;
    else if (unsignedInteger && grey.bits == 16)
        grey.type = SampleType::UInt16;
    else if (unsignedInteger && grey.bits == 32)
        grey.type = SampleType::UInt32;
    else if (format == SAMPLEFORMAT_IEEEFP && grey.bits == 32)
        grey.type = SampleType::Float32;
    else
        failRead(path);
    if (!fitsBudget(grey.width, grey.height, SamplePlane::bytesPerSample(grey.type)) ||
        !storedBytesCanHold(tif, grey.width, grey.height))
        failRead(path);
    return grey;
}

// Bytes decoded from the file's rows; each buffer is held to the budget.
std::vector<std::uint8_t> budgetedBuffer(std::uint64_t rowBytes, std::uint64_t rows)
{
    if (rowBytes == 0 || rows == 0 || rowBytes > Bitmap::memoryBudget() / rows)
        throw std::length_error("buffer beyond the memory budget");
    return std::vector<std::uint8_t>(static_cast<std::size_t>(rowBytes * rows));
}

// One row as the file stores it into the plane's row.
void convertTiffRow(const TiffGrey& grey, const std::uint8_t* in, std::uint8_t* out)
{
    const std::uint32_t width = grey.width;
    switch (grey.type) {
    case SampleType::UInt8:
        for (std::uint32_t x = 0; x < width; ++x) {
            unsigned v;
            if (grey.bits == 8) {
                v = in[x];
            } else {
                const std::size_t bit = std::size_t{x} * grey.bits;
                v = (in[bit / 8] >> (8 - grey.bits - bit % 8)) & ((1u << grey.bits) - 1);
                v = v * (255u / ((1u << grey.bits) - 1));
            }
            out[x] = static_cast<std::uint8_t>(grey.minIsWhite ? 255 - v : v);
        }
        return;
    case SampleType::UInt16:
        std::memcpy(out, in, std::size_t{width} * 2);
        if (grey.minIsWhite)
            for (std::uint32_t x = 0; x < width; ++x) {
                std::uint16_t v;
                std::memcpy(&v, out + 2 * x, 2);
                v = static_cast<std::uint16_t>(0xFFFF - v);
                std::memcpy(out + 2 * x, &v, 2);
            }
        return;
    case SampleType::UInt32:
        std::memcpy(out, in, std::size_t{width} * 4);
        if (grey.minIsWhite)
            for (std::uint32_t x = 0; x < width; ++x) {
                std::uint32_t v;
                std::memcpy(&v, out + 4 * x, 4);
                v = 0xFFFFFFFFu - v;
                std::memcpy(out + 4 * x, &v, 4);
            }
        return;
    case SampleType::Float32:
        std::memcpy(out, in, std::size_t{width} * 4);
        return;
    }
}

bool readTiffStrips(TIFF* tif, const TiffGrey& grey, SamplePlane& plane)
{
    const auto rowsPerStrip =
        std::min(tiffField<std::uint32_t>(tif, TIFFTAG_ROWSPERSTRIP, grey.height), grey.height);
    const auto rowBytes = static_cast<std::uint64_t>(TIFFScanlineSize64(tif));
    if (rowsPerStrip == 0 || rowBytes == 0)
        return false;
    std::vector<std::uint8_t> strip = budgetedBuffer(rowBytes, rowsPerStrip);
    for (std::uint32_t row = 0; row < grey.height; row += rowsPerStrip) {
        const std::uint32_t rows = std::min(rowsPerStrip, grey.height - row);
        const auto bytes = static_cast<tmsize_t>(rowBytes * rows);
        if (TIFFReadEncodedStrip(tif, TIFFComputeStrip(tif, row, 0), strip.data(), bytes) != bytes)
            return false;
        for (std::uint32_t r = 0; r < rows; ++r)
            convertTiffRow(grey, strip.data() + r * rowBytes, plane.row(static_cast<std::int32_t>(row + r)));
    }
    return true;
}

bool readTiffTiles(TIFF* tif, const TiffGrey& grey, SamplePlane& plane)
{
    std::uint32_t tileWidth = 0, tileHeight = 0;
    if (TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tileWidth) != 1 ||
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &tileHeight) != 1 || tileWidth == 0 || tileHeight == 0 ||
        tileWidth % 8 != 0)
        return false;
    const auto tileRowBytes = static_cast<std::uint64_t>(TIFFTileRowSize64(tif));
    const auto rowBytes = static_cast<std::uint64_t>(TIFFScanlineSize64(tif));
    if (tileRowBytes == 0 || rowBytes == 0)
        return false;
    std::vector<std::uint8_t> tile = budgetedBuffer(tileRowBytes, std::min(tileHeight, grey.height));
    std::vector<std::uint8_t> band = budgetedBuffer(rowBytes, std::min(tileHeight, grey.height));
    for (std::uint32_t row = 0; row < grey.height; row += tileHeight) {
        const std::uint32_t rows = std::min(tileHeight, grey.height - row);
        const auto tileBytes = static_cast<tmsize_t>(tileRowBytes * rows);
        for (std::uint32_t column = 0; column < grey.width; column += tileWidth) {
            if (TIFFReadEncodedTile(tif, TIFFComputeTile(tif, column, row, 0, 0), tile.data(), tileBytes) !=
                tileBytes)
                return false;
            // Tile widths are multiples of 8 pixels, so every tile starts on a
            // byte whatever the sample's bits.
            const std::uint64_t start = std::uint64_t{column} * grey.bits / 8;
            const std::uint64_t length = std::min<std::uint64_t>(tileRowBytes, rowBytes - start);
            for (std::uint32_t r = 0; r < rows; ++r)
                std::memcpy(band.data() + r * rowBytes + start, tile.data() + r * tileRowBytes, length);
        }
        for (std::uint32_t r = 0; r < rows; ++r)
            convertTiffRow(grey, band.data() + r * rowBytes, plane.row(static_cast<std::int32_t>(row + r)));
    }
    return true;
}

SamplePlane loadTiffSamples(const std::string& path, std::int32_t page)
{
    const TiffOpenOptions options;
    const TiffHandle handle(TIFFOpenExt(path.c_str(), "r", options.options));
    TIFF* tif = handle.get();
    if (!tif || page < 1 || TIFFSetDirectory(tif, static_cast<tdir_t>(page - 1)) != 1)
        failRead(path);
    const TiffGrey grey = describeGrey(tif, path);
    try {
        SamplePlane plane(static_cast<std::int32_t>(grey.width), static_cast<std::int32_t>(grey.height),
                          grey.type);
        const bool read =
            TIFFIsTiled(tif) ? readTiffTiles(tif, grey, plane) : readTiffStrips(tif, grey, plane);
        if (!read)
            failRead(path);
        return plane;
    } catch (const std::bad_alloc&) {
        failRead(path);
    } catch (const std::length_error&) {
        failRead(path);
    }
}

}  // namespace

SamplePlane loadSamplePlane(const std::string& path, std::int32_t page)
{
    switch (imageFileKindOf(path)) {
    case ImageFileKind::Png:
        if (page != 1)
            failRead(path);
        return loadPngSamples(path);
    case ImageFileKind::Tiff:
        return loadTiffSamples(path, page);
    default:
        failNotGrey(path);
    }
}

}  // namespace dimora
