// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/png_reader.hpp"

#include "core/common/error.hpp"
#include "core/files/png_read_structures.hpp"
#include "core/files/row_target.hpp"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace dimora {
namespace {

[[noreturn]] void failRead()
{
    fail(msg::kPngReadError);
}

struct MemorySource {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t position = 0;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t length)
{
    auto* source = static_cast<MemorySource*>(png_get_io_ptr(png));
    if (length > source->size - source->position)
        png_error(png, "unexpected end of data");
    std::memcpy(out, source->data + source->position, length);
    source->position += length;
}

// Everything the guarded steps read and write: plain values and pointers
// only, so that a long jump out of a step leaves nothing undestroyed.
struct DecodeState {
    png_infop info = nullptr;

    // From the image header.
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    bool hasTransparencyChunk = false;

    // Of the decoded rows, after the transformations.
    int passes = 1;
    std::size_t rowBytes = 0;
    int channels = 0;
    int decodedBitDepth = 0;

    // Where the rows go.
    png_bytepp rows = nullptr;          // one pointer per row, for whole-image reads
    std::uint8_t* rowBuffer = nullptr;  // one decoded row, for row-by-row conversion
    Bitmap* bitmap = nullptr;
    // A band of streamed rows: `bandRows` rows, `bandStride` bytes apart.
    std::uint8_t* band = nullptr;
    std::size_t bandStride = 0;
    png_uint_32 bandRows = 0;
};

using Step = void (*)(png_structp, DecodeState&);

// Runs one step under libpng's error trap; false when libpng reported an error.
bool runGuarded(png_structp png, Step step, DecodeState& state)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    step(png, state);
    return true;
}

void readHeaderStep(png_structp png, DecodeState& state)
{
    // No ancillary chunk but tRNS plays a part in the decoding, so libpng is
    // told to skip them all unread. It would otherwise allocate and clear a
    // buffer of whatever length such a chunk claims (up to 2 GiB from a file
    // of a few bytes; libpng only warns about the length).
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_read_info(png, state.info);
    png_get_IHDR(png, state.info, &state.width, &state.height, &state.bitDepth, &state.colourType, nullptr,
                 nullptr, nullptr);
    state.hasTransparencyChunk = png_get_valid(png, state.info, PNG_INFO_tRNS) != 0;
}

// Chooses the transformations that turn every colour type and depth into
// rows of 8-bit samples: gray G or B, G, R, each followed by A' = 255 − alpha
// where the image has transparency.
void transformStep(png_structp png, DecodeState& state)
{
    png_set_invert_alpha(png);
    if (state.colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_expand(png);
    if (state.colourType == PNG_COLOR_TYPE_GRAY && state.bitDepth < 8)
        png_set_expand(png);
    if (state.hasTransparencyChunk)
        png_set_expand(png);
    if (state.bitDepth < 8)
        png_set_packing(png);
    // The high byte of each 16-bit sample.
    if (state.bitDepth == 16)
        png_set_strip_16(png);
    png_set_bgr(png);
    state.passes = png_set_interlace_handling(png);
    png_read_update_info(png, state.info);
    state.rowBytes = png_get_rowbytes(png, state.info);
    state.channels = png_get_channels(png, state.info);
    state.decodedBitDepth = png_get_bit_depth(png, state.info);
}

void readImageStep(png_structp png, DecodeState& state)
{
    png_read_image(png, state.rows);
}

// (background × A' + source × (255 − A')) div 255 over a white background.
std::uint8_t overWhite(unsigned source, unsigned transparency)
{
    return static_cast<std::uint8_t>((255 * transparency + source * (255 - transparency)) / 255);
}

// One decoded row (G, G A', or B G R A') into a row of the bitmap (B G R).
void convertRow(const std::uint8_t* source, std::uint8_t* target, std::uint32_t width, int channels)
{
    switch (channels) {
    case 1: {
        // Four pixels make three 32-bit words: g0 g0 g0 g1 | g1 g1 g2 g2 | g2 g3 g3 g3.
        std::uint32_t x = 0;
        for (; x + 4 <= width; x += 4, target += 12) {
            const std::uint32_t g0 = source[x], g1 = source[x + 1], g2 = source[x + 2], g3 = source[x + 3];
            const std::uint32_t w0 = g0 * 0x010101u | g1 << 24;
            const std::uint32_t w1 = g1 * 0x0101u | g2 * 0x01010000u;
            const std::uint32_t w2 = g2 | g3 * 0x01010100u;
            std::memcpy(target, &w0, 4);
            std::memcpy(target + 4, &w1, 4);
            std::memcpy(target + 8, &w2, 4);
        }
        for (; x < width; ++x, target += 3) {
            const std::uint8_t g = source[x];
            target[0] = target[1] = target[2] = g;
        }
        break;
    }
    case 2:
        for (std::uint32_t x = 0; x < width; ++x, source += 2, target += 3)
            target[0] = target[1] = target[2] = overWhite(source[0], source[1]);
        break;
    default:
        for (std::uint32_t x = 0; x < width; ++x, source += 4, target += 3)
            for (int c = 0; c < 3; ++c)
                target[c] = overWhite(source[c], source[3]);
    }
}

void readConvertedRowsStep(png_structp png, DecodeState& state)
{
    for (png_uint_32 y = 0; y < state.height; ++y) {
        png_read_row(png, state.rowBuffer, nullptr);
        convertRow(state.rowBuffer, state.bitmap->row(static_cast<std::int32_t>(y)), state.width,
                   state.channels);
    }
}

// The band's rows: gray and B, G, R rows as libpng decodes them, the others
// converted to B, G, R through the row buffer.
void readBandStep(png_structp png, DecodeState& state)
{
    for (png_uint_32 r = 0; r < state.bandRows; ++r) {
        std::uint8_t* out = state.band + r * state.bandStride;
        if (state.channels == 1 || state.channels == 3) {
            png_read_row(png, out, nullptr);
        } else {
            png_read_row(png, state.rowBuffer, nullptr);
            convertRow(state.rowBuffer, out, state.width, state.channels);
        }
    }
}

// libpng's own row buffers grow with the width (up to 8 bytes per pixel for
// 16-bit RGBA); limiting the width keeps them inside the memory budget
// before libpng allocates them.
void limitDimensions(png_structp png)
{
    const std::uint64_t widest = std::min<std::uint64_t>(PNG_UINT_31_MAX, Bitmap::memoryBudget() / 8);
    png_set_user_limits(png, static_cast<png_uint_32>(widest), PNG_UINT_31_MAX);
}

bool fitsBudget(std::uint64_t width, std::uint64_t height, std::uint64_t bytesPerPixel)
{
    return height == 0 || width * bytesPerPixel <= Bitmap::memoryBudget() / height;
}

// Decodes from the source already attached to the read structure, into
// `reusable` when it has the image's size and layout.
Bitmap decode(const PngReadStructures& structures, Bitmap reusable)
{
    png_structp png = structures.png;
    DecodeState state;
    state.info = structures.info;

    limitDimensions(png);
    if (!runGuarded(png, readHeaderStep, state))
        failRead();
    // Refuse what memory cannot hold before libpng or we allocate for it.
    const auto width = static_cast<std::int32_t>(state.width);
    const auto height = static_cast<std::int32_t>(state.height);
    if (Bitmap::pixelBytesFor(width, height, PixelLayout::rgb24()) == 0 ||
        !fitsBudget(state.width, state.height, 4))
        failRead();
    if (!runGuarded(png, transformStep, state))
        failRead();
    if (state.decodedBitDepth != 8 || state.channels < 1 || state.channels > 4 ||
        state.rowBytes != std::size_t{state.width} * static_cast<std::size_t>(state.channels))
        failRead();

    try {
        const bool fits = reusable.width() == width && reusable.height() == height &&
                          reusable.layout() == PixelLayout::rgb24();
        Bitmap bitmap = fits ? std::move(reusable) : Bitmap(width, height, PixelLayout::rgb24());
        state.bitmap = &bitmap;
        std::vector<png_bytep> rows;
        std::vector<std::uint8_t> decoded;
        if (state.channels == 3) {
            // B, G, R straight into the bitmap's rows; libpng fills in the
            // passes of an interlaced image in place.
            rows.resize(state.height);
            for (std::int32_t y = 0; y < height; ++y)
                rows[static_cast<std::size_t>(y)] = bitmap.row(y);
            state.rows = rows.data();
            if (!runGuarded(png, readImageStep, state))
                failRead();
        } else if (state.passes == 1) {
            decoded.resize(state.rowBytes);
            state.rowBuffer = decoded.data();
            if (!runGuarded(png, readConvertedRowsStep, state))
                failRead();
        } else {
            // An interlaced image is complete only after its last pass, so
            // it is decoded whole before it is converted.
            decoded.resize(state.rowBytes * state.height);
            rows.resize(state.height);
            for (std::size_t y = 0; y < rows.size(); ++y)
                rows[y] = decoded.data() + y * state.rowBytes;
            state.rows = rows.data();
            if (!runGuarded(png, readImageStep, state))
                failRead();
            for (std::int32_t y = 0; y < height; ++y)
                convertRow(rows[static_cast<std::size_t>(y)], bitmap.row(y), state.width, state.channels);
        }
        return bitmap;
    } catch (const std::bad_alloc&) {
        failRead();
    } catch (const Error&) {
        failRead();
    }
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Rows handed on at a time.
constexpr png_uint_32 kBandRows = 64;

// Streams the rows of a non-interlaced image to the sink; false for an
// interlaced one, which has not been read past its header then.
bool streamDecode(const PngReadStructures& structures, RowSink& sink)
{
    png_structp png = structures.png;
    DecodeState state;
    state.info = structures.info;
    limitDimensions(png);
    if (!runGuarded(png, readHeaderStep, state))
        failRead();
    if (png_get_interlace_type(png, state.info) != PNG_INTERLACE_NONE)
        return false;
    const auto width = static_cast<std::int32_t>(state.width);
    const auto height = static_cast<std::int32_t>(state.height);
    if (Bitmap::pixelBytesFor(width, 1, PixelLayout::rgb24()) == 0 || !fitsBudget(state.width, 1, 4))
        failRead();
    if (!runGuarded(png, transformStep, state))
        failRead();
    if (state.decodedBitDepth != 8 || state.channels < 1 || state.channels > 4 || state.passes != 1 ||
        state.rowBytes != std::size_t{state.width} * static_cast<std::size_t>(state.channels))
        failRead();
    // Gray rows go on as 8-bit grey indices, which read as the (g, g, g) that
    // the whole image holds.
    const PixelLayout layout = state.channels == 1 ? PixelLayout::grey8() : PixelLayout::rgb24();
    std::vector<std::uint8_t> band, decoded;
    try {
        state.bandStride = static_cast<std::size_t>(layout.strideFor(width));
        band.resize(state.bandStride * std::min<png_uint_32>(kBandRows, state.height));
        decoded.resize(state.rowBytes);
    } catch (const std::bad_alloc&) {
        failRead();
    }
    state.band = band.data();
    state.rowBuffer = decoded.data();
    sink.begin(width, height, layout);
    for (png_uint_32 y = 0; y < state.height; y += kBandRows) {
        state.bandRows = std::min(kBandRows, state.height - y);
        if (!runGuarded(png, readBandStep, state))
            failRead();
        ImageView view;
        view.layout = &layout;
        view.width = width;
        view.height = static_cast<std::int32_t>(state.bandRows);
        view.firstRow = band.data();
        view.stride = static_cast<std::ptrdiff_t>(state.bandStride);
        sink.rows(static_cast<std::int32_t>(y), view);
    }
    sink.end();
    return true;
}

}  // namespace

Bitmap loadPngReusing(const std::string& fileName, Bitmap reusable)
{
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName.c_str(), "rb"));
    if (!file)
        fail(std::string(msg::kPngOpenPrefix) + fileName + "!");
    const PngReadStructures structures;
    if (!structures.png || !structures.info)
        failRead();
    png_init_io(structures.png, file.get());
    return decode(structures, std::move(reusable));
}

void LoadPngBitmap(const std::string& fileName, Bitmap& bitmap)
{
    bitmap = loadPngReusing(fileName, Bitmap());
}

void streamPngFile(const std::string& fileName, RowSink& sink)
{
    {
        const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName.c_str(), "rb"));
        if (!file)
            fail(std::string(msg::kPngOpenPrefix) + fileName + "!");
        const PngReadStructures structures;
        if (!structures.png || !structures.info)
            failRead();
        png_init_io(structures.png, file.get());
        if (streamDecode(structures, sink))
            return;
    }
    // An interlaced image is complete only after its last pass: it is
    // decoded whole, within the budget, and then handed on.
    Bitmap bitmap;
    LoadPngBitmap(fileName, bitmap);
    handRowsOn(bitmap.view(), sink);
}

Bitmap decodePng(std::span<const std::uint8_t> bytes)
{
    const PngReadStructures structures;
    if (!structures.png || !structures.info)
        failRead();
    MemorySource source{bytes.data(), bytes.size(), 0};
    png_set_read_fn(structures.png, &source, readFromMemory);
    return decode(structures, Bitmap());
}

bool hasPngSignature(std::span<const std::uint8_t> bytes)
{
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return bytes.size() >= 8 && std::equal(kSignature, kSignature + 8, bytes.begin());
}

}  // namespace dimora
