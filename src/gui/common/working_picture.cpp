// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/common/working_picture.hpp"

#include "core/common/error.hpp"
#include "gui/common/bitmap_qimage.hpp"

#include <utility>

WorkingPicture::WorkingPicture(dimora::Bitmap bitmap)
    : bitmap_(std::make_shared<dimora::Bitmap>(std::move(bitmap)))
{
}

WorkingPicture::WorkingPicture(WorkingPicture&& other) noexcept
{
    *this = std::move(other);
}

WorkingPicture& WorkingPicture::operator=(WorkingPicture&& other) noexcept
{
    if (this != &other) {
        kind_ = std::exchange(other.kind_, PictureKind::Bitmap);
        bitmap_ = std::exchange(other.bitmap_, std::make_shared<dimora::Bitmap>());
        fileBytes_ = std::exchange(other.fileBytes_, QByteArray());
        extension_ = std::exchange(other.extension_, QString());
    }
    return *this;
}

WorkingPicture WorkingPicture::icon(QByteArray fileBytes)
{
    WorkingPicture picture;
    picture.kind_ = PictureKind::Icon;
    picture.fileBytes_ = std::move(fileBytes);
    picture.extension_ = QStringLiteral("ico");
    return picture;
}

WorkingPicture WorkingPicture::metafile(QByteArray fileBytes, const QString& extension)
{
    WorkingPicture picture;
    picture.kind_ = PictureKind::Metafile;
    picture.fileBytes_ = std::move(fileBytes);
    picture.extension_ = extension.toLower();
    return picture;
}

void WorkingPicture::detach()
{
    if (bitmap_.use_count() > 1)
        bitmap_ = std::make_shared<dimora::Bitmap>(*bitmap_);
}

void WorkingPicture::dropNonBitmap()
{
    if (kind_ != PictureKind::Bitmap)
        *this = WorkingPicture();
}

dimora::Bitmap& WorkingPicture::bitmap()
{
    dropNonBitmap();
    detach();
    return *bitmap_;
}

dimora::Bitmap& WorkingPicture::pixels()
{
    if (kind_ != PictureKind::Bitmap)
        dimora::fail(kBitmapOnlyMessage);
    detach();
    return *bitmap_;
}

const dimora::Bitmap& WorkingPicture::pixels() const
{
    if (kind_ != PictureKind::Bitmap)
        dimora::fail(kBitmapOnlyMessage);
    return *bitmap_;
}

QString WorkingPicture::metafileMimeType() const
{
    return extension_ == QLatin1String("wmf") ? QStringLiteral("image/wmf") : QStringLiteral("image/emf");
}

QImage WorkingPicture::iconImage() const
{
    // An icon Qt cannot decode is kept all the same and shows nothing.
    if (kind_ != PictureKind::Icon)
        return {};
    return QImage::fromData(fileBytes_, "ICO");
}

QImage WorkingPicture::displayImage() const
{
    if (kind_ == PictureKind::Bitmap)
        return toQImage(*bitmap_);
    return iconImage();
}
