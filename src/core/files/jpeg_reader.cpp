// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/jpeg_reader.hpp"

#include "core/common/error.hpp"

#include <algorithm>
#include <climits>
#include <csetjmp>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace dimora {
namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return:
// it jumps back into decode(), past the library's frames (which hold no C++
// objects), where the failure becomes our error.
struct ErrorManager {
    jpeg_error_mgr library{};
    std::jmp_buf recover{};
    bool cutShort = false;
};

[[noreturn]] void jumpBack(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->recover, 1);
}

// Messages are not shown; of the warnings, only data that ends before the
// image does counts, as damage.
void noteWarning(j_common_ptr info, int level)
{
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
        reinterpret_cast<ErrorManager*>(info->err)->cutShort = true;
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
// bitmap belong to the caller.
bool decode(jpeg_decompress_struct& info, ErrorManager& errors, const std::function<void()>& setSource,
            const Layouts& layouts, Bitmap& bitmap, DecodeWatcher* watcher)
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
    const std::uint64_t bytes = Bitmap::pixelBytesFor(width, height, layout);
    if (bytes == 0 || bytes > Bitmap::memoryBudget())
        return false;
    // The coefficients of a progressive file are kept whole; no more than the
    // pixels may take.
    info.mem->max_memory_to_use =
        static_cast<long>(std::min<std::uint64_t>(2 * bytes + (64u << 20), LONG_MAX));
    bitmap = Bitmap(width, height, layout, RowOrder::TopDown);

    jpeg_start_decompress(&info);
    if (static_cast<std::int32_t>(info.output_width) != width ||
        static_cast<std::int32_t>(info.output_height) != height)
        return false;
    if (watcher)
        watcher->started(bitmap.view());
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = bitmap.row(static_cast<std::int32_t>(info.output_scanline));
        if (jpeg_read_scanlines(&info, &row, 1) != 1)
            return false;
        // Told in bands, not row by row; a file cut short is only known at
        // its end, so its last band is never told.
        if (watcher && info.output_scanline % kRowsPerTelling == 0 && !errors.cutShort)
            watcher->rowsWritten(static_cast<std::int32_t>(info.output_scanline));
    }
    // A file cut short is decoded with grey filler and a warning.
    if (errors.cutShort)
        return false;
    if (watcher)
        watcher->rowsWritten(height);
    jpeg_finish_decompress(&info);
    return true;
}

Bitmap readJpeg(const std::string& name, const std::function<void(jpeg_decompress_struct&)>& setSource,
                DecodeWatcher* watcher = nullptr)
{
    jpeg_decompress_struct info{};
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.library);
    errors.library.error_exit = jumpBack;
    errors.library.emit_message = noteWarning;
    const Layouts layouts;
    const std::function<void()> source = [&] { setSource(info); };
    Bitmap bitmap;
    AbandonUnlessKept abandon(watcher);
    bool decoded = false;
    try {
        decoded = decode(info, errors, source, layouts, bitmap, watcher);
    } catch (const Error&) {
        decoded = false;
    } catch (const std::bad_alloc&) {
        decoded = false;
    }
    jpeg_destroy_decompress(&info);
    if (!decoded)
        fail(msg::kCannotReadImage, name);
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

Bitmap decodeJpeg(std::span<const std::uint8_t> bytes, const std::string& name)
{
    return readJpeg(name, [&](jpeg_decompress_struct& info) {
        jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    });
}

}  // namespace dimora
