// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "app/bitmap_qimage.hpp"

#include "common/error.hpp"

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

QImage toQImage(const dimora::Bitmap& bitmap)
{
    if (bitmap.empty())
        return {};
    const auto& layout = bitmap.layout();
    const QImage::Format direct = directFormat(layout);
    QImage image(bitmap.width(), bitmap.height(), direct != QImage::Format_Invalid ? direct : QImage::Format_RGB32);
    if (image.isNull())
        dimora::fail(dimora::msg::kInvalidBitmap);
    if (direct != QImage::Format_Invalid) {
        if (layout.isIndexed())
            image.setColorTable(colourTable(layout));
        const auto rowBytes = std::min<std::size_t>(bitmap.stride(), static_cast<std::size_t>(image.bytesPerLine()));
        for (std::int32_t y = 0; y < bitmap.height(); ++y)
            std::memcpy(image.scanLine(y), bitmap.row(y), rowBytes);
        return image;
    }
    for (std::int32_t y = 0; y < bitmap.height(); ++y) {
        const std::uint8_t* source = bitmap.row(y);
        auto* target = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (std::int32_t x = 0; x < bitmap.width(); ++x) {
            const dimora::Colour c = layout.read(source, x);
            target[x] = qRgb(dimora::redOf(c), dimora::greenOf(c), dimora::blueOf(c));
        }
    }
    return image;
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
