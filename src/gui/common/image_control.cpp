// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/common/image_control.hpp"

#include "gui/common/bitmap_qimage.hpp"
#include "gui/common/working_picture.hpp"

#include <QPaintEvent>
#include <QPainter>

ImageControl::ImageControl(std::function<const WorkingPicture&()> picture, QWidget* parent)
    : QWidget(parent), picture_(std::move(picture))
{
    resize(0, 0);
}

void ImageControl::pictureChanged()
{
    const WorkingPicture& picture = picture_();
    icon_ = picture.iconImage();
    switch (picture.kind()) {
    case PictureKind::Bitmap:
        resize(picture.pixels().width(), picture.pixels().height());
        break;
    case PictureKind::Icon:
        resize(icon_.size());
        break;
    case PictureKind::Metafile:
        resize(0, 0);
        break;
    }
    update();
}

void ImageControl::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect exposed = event->rect();
    const WorkingPicture& picture = picture_();
    if (picture.kind() == PictureKind::Icon) {
        painter.drawImage(exposed.topLeft(), icon_, exposed);
        return;
    }
    if (picture.kind() != PictureKind::Bitmap)
        return;
    const QImage part = toQImage(picture.pixels(), exposed);
    if (!part.isNull())
        painter.drawImage(exposed.topLeft(), part);
}
