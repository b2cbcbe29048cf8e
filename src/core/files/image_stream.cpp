// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/files/image_stream.hpp"

#include "core/common/error.hpp"
#include "core/files/bmp_header.hpp"
#include "core/files/image_file.hpp"
#include "core/files/input_file.hpp"
#include "core/files/jpeg_reader.hpp"
#include "core/files/mapped_bmp.hpp"
#include "core/files/png_reader.hpp"
#include "core/files/row_target.hpp"
#include "core/files/tiff_reader.hpp"

#include <algorithm>
#include <vector>

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

// Reads an uncompressed BMP of direct colours with pread, a band of rows
// into a small buffer at a time, and hands each band on: far faster than
// reading the rows through a mapping of the whole file, whose page faults
// and page-table walks cost more than the copy out of the page cache, and the
// buffer stays in the processor's cache while it is measured. False, having
// read nothing but the headers, for the other BMPs (indexed ones have their
// indices checked against the palette first, run-length ones are decoded),
// which are read through the mapping.
bool streamDirectBmp(const std::string& path, RowSink& sink)
{
    const InputFile file(path);
    std::vector<std::uint8_t> head(
        static_cast<std::size_t>(std::min<std::uint64_t>(file.size(), kBmpMaxHeadBytes)));
    file.readAt(0, head.data(), head.size());
    const BmpInfo info = parseBmpHeaders(head, file.size(), BmpPixels::ReadInPlace);
    const auto stride = static_cast<std::size_t>(info.layout.strideFor(info.width));
    // A row beyond the memory budget is read through the mapping too.
    if (info.compression != BmpCompression::None || info.layout.isIndexed() ||
        stride > Bitmap::memoryBudget())
        return false;
    sink.begin(info.width, info.height, info.layout);
    if (stride != 0 && info.height > 0) {
        constexpr std::size_t kBandBytes = 256 * 1024;
        const auto bandRows = static_cast<std::int32_t>(
            std::clamp<std::size_t>(kBandBytes / stride, 1, static_cast<std::size_t>(info.height)));
        std::vector<std::uint8_t> band(stride * static_cast<std::size_t>(bandRows));
        const bool bottomUp = info.order == RowOrder::BottomUp;
        for (std::int32_t y = 0; y < info.height; y += bandRows) {
            const std::int32_t rows = std::min(bandRows, info.height - y);
            // The band's rows lie together in the file: from image row y
            // down, or (bottom-up) from image row y + rows − 1 up.
            const std::int64_t firstStored = bottomUp ? std::int64_t{info.height} - y - rows : y;
            file.readAt(info.pixelOffset + static_cast<std::uint64_t>(firstStored) * stride, band.data(),
                        stride * static_cast<std::size_t>(rows));
            ImageView view;
            view.layout = &info.layout;
            view.width = info.width;
            view.height = rows;
            view.firstRow =
                bottomUp ? band.data() + static_cast<std::size_t>(rows - 1) * stride : band.data();
            view.stride =
                bottomUp ? -static_cast<std::ptrdiff_t>(stride) : static_cast<std::ptrdiff_t>(stride);
            sink.rows(y, view);
        }
    }
    sink.end();
    return true;
}

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
        if (!streamDirectBmp(path, sink)) {
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
