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
            const MappedBmpFile file(path);
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

}  // namespace dimora
