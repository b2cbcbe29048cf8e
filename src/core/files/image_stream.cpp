// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/image_stream.hpp"

#include "core/common/error.hpp"
#include "core/files/image_file.hpp"
#include "core/files/jpeg_reader.hpp"
#include "core/files/mapped_bmp.hpp"
#include "core/files/png_reader.hpp"
#include "core/files/row_target.hpp"
#include "core/files/tiff_reader.hpp"

namespace dimora {
namespace {

// Thrown by SizeProbe once the size is known, to stop the reading there.
struct SizeKnown {};

class SizeProbe final : public RowSink {
public:
    void begin(std::int32_t width, std::int32_t height, const PixelLayout& layout) override
    {
        width_ = width;
        height_ = height;
        layout_ = layout;
        throw SizeKnown{};
    }
    void rows(std::int32_t, const ImageView&) override {}
    void end() override {}

    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    PixelLayout layout_;
};

}  // namespace

void streamImageFile(const std::string& path, std::int32_t page, RowSink& sink)
{
    const ImageFileKind kind = imageFileKindOf(path);
    switch (kind) {
    case ImageFileKind::Tiff:
        streamTiffFile(path, page, sink);
        return;
    case ImageFileKind::Png:
        if (page != 1)
            fail(msg::kCannotReadImage, path);
        streamPngFile(path, sink);
        return;
    case ImageFileKind::Jpeg:
        if (page != 1)
            fail(msg::kCannotReadImage, path);
        streamJpegFile(path, sink);
        return;
    case ImageFileKind::Bmp:
        if (page != 1)
            fail(msg::kCannotReadImage, path);
        {
            const MappedBmpFile file(path, BmpPixels::ReadInPlace);
            handRowsOn(file.view(), sink);
        }
        return;
    case ImageFileKind::Unknown:
        break;
    }
    // Refused as loadImageFile refuses it: the reader its name calls for, or
    // the BMP reader.
    const Bitmap bitmap = loadImageFile(path, page);
    handRowsOn(bitmap.view(), sink);
}

bool exceedsMemoryBudget(const std::string& path, std::int32_t page)
{
    SizeProbe probe;
    try {
        streamImageFile(path, page, probe);
        return false;
    } catch (const SizeKnown&) {
    } catch (const Error&) {
        return false;
    }
    // The pixels the whole image takes: a PNG is held as 24-bit and checked
    // with 4 bytes a pixel, the others in the layout they stream in.
    const std::uint64_t width = static_cast<std::uint64_t>(probe.width_);
    const std::uint64_t height = static_cast<std::uint64_t>(probe.height_);
    if (width == 0 || height == 0)
        return false;
    if (imageFileKindOf(path) == ImageFileKind::Png)
        return width * 4 > Bitmap::memoryBudget() / height;
    return Bitmap::pixelBytesFor(probe.width_, probe.height_, probe.layout_) == 0;
}

}  // namespace dimora
