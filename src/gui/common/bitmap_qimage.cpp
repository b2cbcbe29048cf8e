// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/common/bitmap_qimage.hpp"

#include "core/common/error.hpp"

#include <algorithm>
#include <cstring>

namespace {

QList<QRgb> colourTable(const dimora::PixelLayout& layout)
{
    // Indices past the end of the palette read as black.
    QList<QRgb> table(1 << layout.bitsPerPixel(), qRgb(0, 0, 0));
    const auto& palette = layout.palette();
    for (std::size_t i = 0; i < palette.size() && i < static_cast<std::size_t>(table.size()); ++i) {
        const dimora::Colour c = palette[i];
        table[static_cast<qsizetype>(i)] = qRgb(dimora::redOf(c), dimora::greenOf(c), dimora::blueOf(c));
    }
    return table;
}

QImage::Format directFormat(const dimora::PixelLayout& layout)
{
    switch (layout.format()) {
    case dimora::PixelFormat::Rgb24:
        return QImage::Format_BGR888;
    case dimora::PixelFormat::Indexed8:
        return QImage::Format_Indexed8;
    case dimora::PixelFormat::Indexed1:
        return QImage::Format_Mono;
    default:
        return QImage::Format_Invalid;
    }
}

}  // namespace

QImage toQImage(const dimora::Bitmap& bitmap, const QRect& part)
{
    const QRect area = part & QRect(0, 0, bitmap.width(), bitmap.height());
    if (area.isEmpty())
        return {};
    const auto& layout = bitmap.layout();
    const auto format = layout.format();
    const bool bytesPerPixel =
        format == dimora::PixelFormat::Rgb24 || format == dimora::PixelFormat::Indexed8;
    // 1-bit rows copy whole bytes only when the part starts on a byte.
    const bool wholeBytes = format == dimora::PixelFormat::Indexed1 && area.left() % 8 == 0;
    QImage image(area.size(), bytesPerPixel || wholeBytes ? directFormat(layout) : QImage::Format_RGB32);
    if (image.isNull())
        dimora::fail(dimora::msg::kInvalidBitmap);
    if (bytesPerPixel || wholeBytes) {
        if (layout.isIndexed())
            image.setColorTable(colourTable(layout));
        const auto bits = static_cast<std::size_t>(layout.bitsPerPixel());
        const std::size_t offset = static_cast<std::size_t>(area.left()) * bits / 8;
        const std::size_t rowBytes = (static_cast<std::size_t>(area.width()) * bits + 7) / 8;
        for (int y = 0; y < area.height(); ++y)
            std::memcpy(image.scanLine(y), bitmap.row(area.top() + y) + offset, rowBytes);
        return image;
    }
    for (int y = 0; y < area.height(); ++y) {
        const std::uint8_t* source = bitmap.row(area.top() + y);
        auto* target = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < area.width(); ++x) {
            const dimora::Colour c = layout.read(source, area.left() + x);
            target[x] = qRgb(dimora::redOf(c), dimora::greenOf(c), dimora::blueOf(c));
        }
    }
    return image;
}

QImage toQImage(const dimora::Bitmap& bitmap)
{
    return toQImage(bitmap, QRect(0, 0, bitmap.width(), bitmap.height()));
}

dimora::Bitmap fromQImage(const QImage& image)
{
    if (image.isNull())
        return {};
    const QImage rgb = image.convertToFormat(QImage::Format_BGR888);
    dimora::Bitmap bitmap(rgb.width(), rgb.height(), dimora::PixelLayout::rgb24());
    const auto rowBytes = static_cast<std::size_t>(rgb.width()) * 3;
    for (std::int32_t y = 0; y < bitmap.height(); ++y)
        std::memcpy(bitmap.row(y), rgb.constScanLine(y), rowBytes);
    return bitmap;
}
