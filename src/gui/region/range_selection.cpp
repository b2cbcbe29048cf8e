// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/region/range_selection.hpp"

#include "gui/common/scroll_box.hpp"
#include "gui/region/selection_shape.hpp"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QToolButton>

namespace {

void showRangeButtonPressed(QToolButton& button, bool pressed)
{
    button.setCheckable(true);
    button.setChecked(pressed);
}

}  // namespace

// The texts belong to the main window, whose controls show them.
QString selectionGeometryText(const QString& x, const QString& y, const QString& w, const QString& h)
{
    return QCoreApplication::translate("TForm1", "左上(x, y)=( %1, %2 )　(幅, 高さ)=( %3, %4 )")
        .arg(x, y, w, h);
}

QString selectionGeometryText(const dimora::Region& rectangle)
{
    return selectionGeometryText(QString::number(rectangle.left), QString::number(rectangle.top),
                                 QString::number(rectangle.width), QString::number(rectangle.height));
}

QPoint RangeSelection::viewOrigin() const
{
    return {view_.horizontalPosition(), view_.verticalPosition()};
}

dimora::Region RangeSelection::rectangle() const
{
    const QPoint corner = shape_.pos() + viewOrigin();
    return {corner.x(), corner.y(), shape_.width(), shape_.height()};
}

std::optional<dimora::Region> RangeSelection::shown() const
{
    if (shape_.isHidden())
        return std::nullopt;
    return rectangle();
}

void RangeSelection::show()
{
    shape_.show();
}

void RangeSelection::hide()
{
    shape_.hide();
    status_.hide();
    showRangeButtonPressed(button_, false);
    item_.setText(QCoreApplication::translate("TForm1", "計算範囲指定"));
}

void RangeSelection::moveInView(QPoint place)
{
    shape_.move(place);
}

void RangeSelection::setLeft(int x)
{
    shape_.move(x - viewOrigin().x(), shape_.y());
}

void RangeSelection::setTop(int y)
{
    shape_.move(shape_.x(), y - viewOrigin().y());
}

void RangeSelection::setWidth(int width)
{
    shape_.resize(width, shape_.height());
}

void RangeSelection::setHeight(int height)
{
    shape_.resize(shape_.width(), height);
}

void RangeSelection::showRangeSigns(const QString& geometryText)
{
    status_.show();
    status_.setText(geometryText);
    showRangeButtonPressed(button_, true);
    item_.setText(QCoreApplication::translate("TForm1", "範囲指定解除"));
}

void RangeSelection::showGeometry(const QString& geometryText)
{
    status_.setText(geometryText);
}
