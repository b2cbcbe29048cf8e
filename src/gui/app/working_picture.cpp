// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "app/working_picture.hpp"

#include "app/bitmap_qimage.hpp"
#include "common/error.hpp"


WorkingPicture::WorkingPicture(dimora::Bitmap bitmap) : bitmap_(std::move(bitmap)) {}

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

dimora::Bitmap& WorkingPicture::bitmap()
{
    if (kind_ != PictureKind::Bitmap)
        *this = WorkingPicture();
    return bitmap_;
}

dimora::Bitmap& WorkingPicture::pixels()
{
    if (kind_ != PictureKind::Bitmap)
        dimora::fail(kBitmapOnlyMessage);
    return bitmap_;
}

const dimora::Bitmap& WorkingPicture::pixels() const
{
    if (kind_ != PictureKind::Bitmap)
        dimora::fail(kBitmapOnlyMessage);
    return bitmap_;
}

QString WorkingPicture::metafileMimeType() const
{
    return extension_ == QLatin1String("wmf") ? QStringLiteral("image/wmf") : QStringLiteral("image/emf");
}

QImage WorkingPicture::displayImage() const
{
    switch (kind_) {
    case PictureKind::Bitmap:
        return toQImage(bitmap_);
    case PictureKind::Icon:
        // An icon Qt cannot decode is kept all the same and shows nothing.
        return QImage::fromData(fileBytes_, "ICO");
    case PictureKind::Metafile:
        break;
    }
    return {};
}

