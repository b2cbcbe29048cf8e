// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/jpeg_reader.hpp"

#include "core/common/error.hpp"
#include "core/files/row_target.hpp"

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

// jpeglib.h first: it brings the configuration that jerror.h's list of
// messages depends on.
#include <jpeglib.h>

#include <jerror.h>

namespace dimora {
namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return:
// it jumps back into decode(), past the library's frames (which hold no C++
// objects), where the failure becomes our error.
struct ErrorManager {
    jpeg_error_mgr library{};
    std::jmp_buf recover{};
};

[[noreturn]] void jumpBack(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->recover, 1);
}

// The warnings that say the image data is damaged or missing. On each of
// them the library goes on with made-up pixels (grey filler, zeroed
// coefficients), so each one ends the decoding as an error, at once: no
// time is spent on the rest of a damaged file. The other warnings (an
// unknown JFIF revision or Adobe colour transform) leave the data whole.
bool marksDamage(int code)
{
    switch (code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_EXTRANEOUS_DATA:
    case JWRN_MUST_RESYNC:
    case JWRN_HUFF_BAD_CODE:
#if defined(C_ARITH_CODING_SUPPORTED) || defined(D_ARITH_CODING_SUPPORTED)
    case JWRN_ARITH_BAD_CODE:
#endif
    case JWRN_BOGUS_PROGRESSION:
    case JWRN_NOT_SEQUENTIAL:
        return true;
    default:
        return false;
    }
}

// Messages are not shown; a warning of damage is an error.
void noteWarning(j_common_ptr info, int level)
{
    if (level < 0 && marksDamage(info->err->msg_code))
        jumpBack(info);
}

// The layouts a JPEG becomes, made before decoding starts.
struct Layouts {
    PixelLayout grey = PixelLayout::grey8();
    PixelLayout colour = PixelLayout::rgb24();
};

// Rows decoded between two tellings of a watcher.
constexpr JDIMENSION kRowsPerTelling = 64;

// No object with a destructor lives in this frame while the library runs, so
// that the jump back from its errors skips nothing: the layouts and the
// target belong to the caller.
bool decode(jpeg_decompress_struct& info, ErrorManager& errors, const std::function<void()>& setSource,
            const Layouts& layouts, RowTarget& target)
{
    if (setjmp(errors.recover) != 0)
        return false;
    jpeg_create_decompress(&info);
    setSource();
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
        return false;
    bool gray = false;
    switch (info.jpeg_color_space) {
    case JCS_GRAYSCALE:
        gray = true;
        info.out_color_space = JCS_GRAYSCALE;
        break;
    case JCS_YCbCr:
    case JCS_RGB:
        // The bitmap's 24-bit rows hold blue, green, red.
        info.out_color_space = JCS_EXT_BGR;
        break;
    default:
        return false;
    }
    const auto width = static_cast<std::int32_t>(info.image_width);
    const auto height = static_cast<std::int32_t>(info.image_height);
    const PixelLayout& layout = gray ? layouts.grey : layouts.colour;
    // A streamed image is held one band at a time: then only a row need fit
    // the budget.
    const bool whole = target.holdsWholeImage();
    const std::uint64_t bytes = Bitmap::pixelBytesFor(width, whole ? height : std::min(height, 1), layout);
    if (bytes == 0 || bytes > Bitmap::memoryBudget())
        return false;
    // The coefficients of a progressive file are kept whole; no more than the
    // pixels may take (and never more than the budget when streamed).
    const std::uint64_t pixels =
        whole ? bytes : std::min(Bitmap::memoryBudget() / 2, bytes * static_cast<std::uint64_t>(height));
    info.mem->max_memory_to_use =
        static_cast<long>(std::min<std::uint64_t>(2 * pixels + (64u << 20), LONG_MAX));
    target.start(width, height, layout);

    jpeg_start_decompress(&info);
    if (static_cast<std::int32_t>(info.output_width) != width ||
        static_cast<std::int32_t>(info.output_height) != height)
        return false;
    std::uint8_t* band = nullptr;
    while (info.output_scanline < info.output_height) {
        const auto y = static_cast<std::int32_t>(info.output_scanline);
        const std::int32_t inBand = y % static_cast<std::int32_t>(kRowsPerTelling);
        if (inBand == 0)
            band = target.rows(y, std::min(static_cast<std::int32_t>(kRowsPerTelling), height - y));
        JSAMPROW row = band + static_cast<std::size_t>(inBand) * target.stride();
        if (jpeg_read_scanlines(&info, &row, 1) != 1)
            return false;
        // Told in bands, not row by row. A row is told only once the data
        // it was made from has been decoded without a warning of damage.
        if (info.output_scanline % kRowsPerTelling == 0)
            target.written(static_cast<std::int32_t>(info.output_scanline));
    }
    // The rest of the file up to its end marker is read too: data missing or
    // damaged there is damage as well.
    jpeg_finish_decompress(&info);
    target.written(height);
    return true;
}

void readJpegInto(const std::string& name, const std::function<void(jpeg_decompress_struct&)>& setSource,
                  RowTarget& target)
{
    jpeg_decompress_struct info{};
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.library);
    errors.library.error_exit = jumpBack;
    errors.library.emit_message = noteWarning;
    const Layouts layouts;
    const std::function<void()> source = [&] { setSource(info); };
    bool decoded = false;
    try {
        decoded = decode(info, errors, source, layouts, target);
    } catch (const Error&) {
        decoded = false;
    } catch (const std::bad_alloc&) {
        decoded = false;
    } catch (const std::length_error&) {
        decoded = false;
    } catch (...) {
        // What a sink throws goes on to the caller, the library's memory
        // freed first.
        jpeg_destroy_decompress(&info);
        throw;
    }
    jpeg_destroy_decompress(&info);
    if (!decoded)
        fail(msg::kCannotReadImage, name);
    target.finished();
}

Bitmap readJpeg(const std::string& name, const std::function<void(jpeg_decompress_struct&)>& setSource,
                DecodeWatcher* watcher = nullptr)
{
    Bitmap bitmap;
    AbandonUnlessKept abandon(watcher);
    BitmapTarget target(bitmap, watcher);
    readJpegInto(name, setSource, target);
    abandon.keep();
    return bitmap;
}

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

bool hasJpegSignature(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

Bitmap loadJpegFile(const std::string& path, DecodeWatcher* watcher)
{
    const std::unique_ptr<std::FILE, CloseFile> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        fail(msg::kCannotReadImage, path);
    return readJpeg(
        path, [&](jpeg_decompress_struct& info) { jpeg_stdio_src(&info, file.get()); }, watcher);
}

void streamJpegFile(const std::string& path, RowSink& sink)
{
    const std::unique_ptr<std::FILE, CloseFile> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        fail(msg::kCannotReadImage, path);
    SinkTarget target(sink);
    readJpegInto(
        path, [&](jpeg_decompress_struct& info) { jpeg_stdio_src(&info, file.get()); }, target);
}

Bitmap decodeJpeg(std::span<const std::uint8_t> bytes, const std::string& name)
{
    return readJpeg(name, [&](jpeg_decompress_struct& info) {
        jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    });
}

}  // namespace dimora
