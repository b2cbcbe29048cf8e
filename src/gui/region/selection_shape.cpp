// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/region/selection_shape.hpp"

#include <algorithm>
#include <initializer_list>

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

TSelShape::TSelShape(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TSelShape"));
    // Zone and cursor follow the pointer also while no button is down.
    setMouseTracking(true);
    setCursor(Qt::ArrowCursor);
}

void TSelShape::setInvertingPen(bool on)
{
    invertingPen_ = on;
    update();
}

void TSelShape::paintEvent(QPaintEvent*)
{
    if (width() <= 0 || height() <= 0)
        return;
    QPainter painter(this);
    if (invertingPen_)
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, width() - 1, height() - 1);
}

TSelShape::DragZone TSelShape::zoneAt(QPoint point) const
{
    enum class Band { Low, Middle, High };
    const int x = point.x();
    const int y = point.y();
    const Band column = x <= sizeSense_ ? Band::Low : width() - x <= sizeSense_ ? Band::High : Band::Middle;
    const Band row = y <= sizeSense_ ? Band::Low : height() - y <= sizeSense_ ? Band::High : Band::Middle;
    switch (row) {
    case Band::Low:
        return column == Band::Low    ? DragZone::TopLeft
               : column == Band::High ? DragZone::TopRight
                                      : DragZone::Top;
    case Band::High:
        return column == Band::Low    ? DragZone::BottomLeft
               : column == Band::High ? DragZone::BottomRight
                                      : DragZone::Bottom;
    case Band::Middle:
        break;
    }
    return column == Band::Low ? DragZone::Left : column == Band::High ? DragZone::Right : DragZone::Move;
}

TSelShape::DragZone TSelShape::restrictedZone(DragZone zone) const
{
    if (!selOption_.testFlag(ResizeX)) {
        switch (zone) {
        case DragZone::Left:
        case DragZone::Right:
            zone = DragZone::Move;
            break;
        case DragZone::TopLeft:
        case DragZone::TopRight:
            zone = DragZone::Top;
            break;
        case DragZone::BottomLeft:
        case DragZone::BottomRight:
            zone = DragZone::Bottom;
            break;
        default:
            break;
        }
    }
    if (!selOption_.testFlag(ResizeY)) {
        switch (zone) {
        case DragZone::Top:
        case DragZone::Bottom:
            zone = DragZone::Move;
            break;
        case DragZone::TopLeft:
        case DragZone::BottomLeft:
            zone = DragZone::Left;
            break;
        case DragZone::TopRight:
        case DragZone::BottomRight:
            zone = DragZone::Right;
            break;
        default:
            break;
        }
    }
    return zone;
}

void TSelShape::updateCursor()
{
    switch (zone_) {
    case DragZone::Move:
        setCursor(Qt::ArrowCursor);
        break;
    case DragZone::Top:
    case DragZone::Bottom:
        setCursor(Qt::SizeVerCursor);
        break;
    case DragZone::Left:
    case DragZone::Right:
        setCursor(Qt::SizeHorCursor);
        break;
    case DragZone::TopLeft:
    case DragZone::BottomRight:
        setCursor(Qt::SizeFDiagCursor);
        break;
    case DragZone::TopRight:
    case DragZone::BottomLeft:
        setCursor(Qt::SizeBDiagCursor);
        break;
    }
}

int TSelShape::bottomLimit() const
{
    if (maxBottom_ > minTop_)
        return maxBottom_;
    return parentWidget() ? parentWidget()->height() : maxBottom_;
}

int TSelShape::rightLimit() const
{
    if (maxRight_ > minLeft_)
        return maxRight_;
    return parentWidget() ? parentWidget()->width() : maxRight_;
}

void TSelShape::dragBy(int dx, int dy)
{
    int left = x();
    int top = y();
    int w = width();
    int h = height();

    const auto isOneOf = [this](std::initializer_list<DragZone> zones) {
        return std::find(zones.begin(), zones.end(), zone_) != zones.end();
    };

    // Vertical edge first, then horizontal edge, then the move.
    if (isOneOf({DragZone::Top, DragZone::TopLeft, DragZone::TopRight})) {
        if (top + dy < minTop_)
            dy = minTop_ - top;
        if (h - dy >= minHeight_) {
            top += dy;
            h -= dy;
        }
    } else if (isOneOf({DragZone::Bottom, DragZone::BottomLeft, DragZone::BottomRight})) {
        if (h + dy >= minHeight_) {
            const int limit = bottomLimit();
            if (top + h + dy > limit)
                dy = limit - top - h;
            h += dy;
            pressPoint_.ry() += dy;
        }
    }

    if (isOneOf({DragZone::Left, DragZone::TopLeft, DragZone::BottomLeft})) {
        if (left + dx < minLeft_)
            dx = minLeft_ - left;
        if (w - dx >= minWidth_) {
            left += dx;
            w -= dx;
        }
    } else if (isOneOf({DragZone::Right, DragZone::TopRight, DragZone::BottomRight})) {
        if (w + dx >= minWidth_) {
            const int limit = rightLimit();
            if (left + w + dx > limit)
                dx = limit - left - w;
            w += dx;
            pressPoint_.rx() += dx;
        }
    }

    if (zone_ == DragZone::Move) {
        if (selOption_.testFlag(MoveY)) {
            if (top + dy < minTop_)
                dy = minTop_ - top;
            const int limit = bottomLimit();
            if (top + h + dy > limit)
                dy = limit - top - h;
            top += dy;
        }
        if (selOption_.testFlag(MoveX)) {
            if (left + dx < minLeft_)
                dx = minLeft_ - left;
            const int limit = rightLimit();
            if (left + w + dx > limit)
                dx = limit - left - w;
            left += dx;
        }
    }

    const QRect next(left, top, w, h);
    if (next != geometry())
        setGeometry(next);
}

void TSelShape::mousePressEvent(QMouseEvent* event)
{
    emit mouseDown(event);
    dragging_ = true;
    pressPoint_ = event->position().toPoint();
    if (QWidget* parent = parentWidget())
        confinement_ = QRect(parent->mapToGlobal(QPoint(0, 0)), parent->size());
    event->accept();
}

void TSelShape::mouseMoveEvent(QMouseEvent* event)
{
    QPoint local = event->position().toPoint();
    if (dragging_ && !confinement_.isEmpty()) {
        const QPoint global = event->globalPosition().toPoint();
        const QPoint held(std::clamp(global.x(), confinement_.left(), confinement_.right()),
                          std::clamp(global.y(), confinement_.top(), confinement_.bottom()));
        if (held != global) {
            QCursor::setPos(held);
            local += held - global;
            QMouseEvent confined(QEvent::MouseMove, QPointF(local), QPointF(local), QPointF(held),
                                 event->button(), event->buttons(), event->modifiers(),
                                 event->pointingDevice());
            emit mouseMove(&confined);
        } else {
            emit mouseMove(event);
        }
    } else {
        emit mouseMove(event);
    }

    if (dragging_)
        dragBy(local.x() - pressPoint_.x(), local.y() - pressPoint_.y());
    else
        zone_ = zoneAt(local);
    zone_ = restrictedZone(zone_);
    updateCursor();
    event->accept();
}

void TSelShape::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseUp(event);
    dragging_ = false;
    confinement_ = QRect();
    event->accept();
}
