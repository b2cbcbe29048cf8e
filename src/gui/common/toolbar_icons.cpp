// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/common/toolbar_icons.hpp"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int kSize = 16;

const QColor kInk(40, 40, 40);

// A 3 × 3 carpet of cells of the given size: the outer eight cells filled
// with `fill`, the middle one with `hole`.
void drawCarpet(QPainter& p, QPoint origin, int cell, const QColor& fill, const QColor& hole)
{
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            const QRect box(origin.x() + column * cell, origin.y() + row * cell, cell, cell);
            p.fillRect(box, row == 1 && column == 1 ? hole : fill);
        }
}

void drawOpen(QPainter& p)
{
    // A folder with its flap open.
    p.setPen(QPen(QColor(120, 80, 0), 1));
    p.setBrush(QColor(240, 200, 80));
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6.5, 3.5);
    back.lineTo(7.5, 5.5);
    back.lineTo(13.5, 5.5);
    back.lineTo(13.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(QColor(255, 225, 120));
    QPainterPath flap;
    flap.moveTo(1.5, 13.5);
    flap.lineTo(4.5, 8.5);
    flap.lineTo(15.5, 8.5);
    flap.lineTo(13.5, 13.5);
    flap.closeSubpath();
    p.drawPath(flap);
}

void drawRange(QPainter& p)
{
    // A dashed selection rectangle with a grip at each corner.
    p.setPen(QPen(kInk, 1, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(2.5, 2.5, 11, 11));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 90, 200));
    for (const QPoint corner : {QPoint(1, 1), QPoint(12, 1), QPoint(1, 12), QPoint(12, 12)})
        p.drawRect(QRect(corner, QSize(3, 3)));
}

void drawBlackDimension(QPainter& p)
{
    p.fillRect(QRect(0, 0, kSize, kSize), Qt::white);
    drawCarpet(p, QPoint(1, 1), 5, Qt::black, Qt::white);
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 15, 15));
}

void drawNonBlackDimension(QPainter& p)
{
    p.fillRect(QRect(0, 0, kSize, kSize), Qt::black);
    drawCarpet(p, QPoint(1, 1), 5, Qt::white, Qt::black);
}

void drawGrayDimension(QPainter& p)
{
    // Four columns of grey levels, as a surface seen from above.
    const int levels[4][4] = {
        {30, 80, 130, 180}, {80, 130, 180, 230}, {130, 180, 230, 180}, {180, 230, 180, 130}};
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) {
            const int g = levels[row][column];
            p.fillRect(QRect(column * 4, row * 4, 4, 4), QColor(g, g, g));
        }
}

void drawCountsPerSize(QPainter& p)
{
    // Points falling along a fitted line, over two axes.
    p.setPen(QPen(kInk, 1));
    p.drawLine(QPointF(1.5, 1), QPointF(1.5, 14.5));
    p.drawLine(QPointF(1.5, 14.5), QPointF(15, 14.5));
    p.setPen(QPen(QColor(0, 128, 0), 1));
    p.drawLine(QPointF(3, 3), QPointF(14, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 0, 0));
    for (const QPointF point : {QPointF(4, 4), QPointF(7.5, 7), QPointF(10.5, 10.5), QPointF(13.5, 12.5)})
        p.drawEllipse(point, 1.6, 1.6);
}

}  // namespace

QIcon toolIcon(ToolIcon which)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    switch (which) {
    case ToolIcon::Open:
        p.setRenderHint(QPainter::Antialiasing);
        drawOpen(p);
        break;
    case ToolIcon::Range:
        drawRange(p);
        break;
    case ToolIcon::BlackDimension:
        drawBlackDimension(p);
        break;
    case ToolIcon::NonBlackDimension:
        drawNonBlackDimension(p);
        break;
    case ToolIcon::GrayDimension:
        drawGrayDimension(p);
        break;
    case ToolIcon::CountsPerSize:
        p.setRenderHint(QPainter::Antialiasing);
        drawCountsPerSize(p);
        break;
    }
    p.end();
    return QIcon(pixmap);
}

QIcon programIcon()
{
    // Two levels of the carpet on 27 × 27, centred on 32 × 32.
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            if (row != 1 || column != 1)
                drawCarpet(p, QPoint(2 + column * 9, 2 + row * 9), 3, Qt::black, Qt::white);
    p.end();
    return QIcon(pixmap);
}
