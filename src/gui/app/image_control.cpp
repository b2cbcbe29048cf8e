// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "app/image_control.hpp"

#include <QPaintEvent>
#include <QPainter>

ImageControl::ImageControl(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(0, 0);
}

void ImageControl::setPicture(QImage picture)
{
    picture_ = std::move(picture);
    resize(picture_.size());
    update();
}

void ImageControl::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect exposed = event->rect();
    painter.drawImage(exposed.topLeft(), picture_, exposed);
}
