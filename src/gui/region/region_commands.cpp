// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// The region commands: show and hide the selection rectangle, follow its
// geometry in the status label, and place it by numbers. Here too the main
// window's selection faces, the one place where the rectangle's place in the
// view and its place in the image are turned into each other.

#include "gui/region/region_commands.hpp"

#include "core/common/text.hpp"
#include "gui/app/main_window.hpp"
#include "gui/app/windows.hpp"
#include "gui/common/command.hpp"
#include "gui/common/scroll_box.hpp"
#include "gui/region/region_dialog.hpp"
#include "gui/region/selection_shape.hpp"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {

void showRangeButtonPressed(QToolButton* button, bool pressed)
{
    button->setCheckable(true);
    button->setChecked(pressed);
}

// The geometry text of a rectangle in image coordinates.
QString geometryText(const dimora::Region& rectangle)
{
    return selectionGeometryText(QString::number(rectangle.left), QString::number(rectangle.top),
                                 QString::number(rectangle.width), QString::number(rectangle.height));
}

int integerOf(const QLineEdit* edit)
{
    return dimora::parseInteger(edit->text().toStdString());
}

}  // namespace

QString selectionGeometryText(const QString& x, const QString& y, const QString& w, const QString& h)
{
    return QCoreApplication::translate("TForm1", "左上(x, y)=( %1, %2 )　(幅, 高さ)=( %3, %4 )")
        .arg(x, y, w, h);
}

QPoint TForm1::viewOrigin() const
{
    return {ScrollBox1->horizontalPosition(), ScrollBox1->verticalPosition()};
}

dimora::Region TForm1::selectionRectangle() const
{
    const QPoint corner = SelShape1->pos() + viewOrigin();
    return {corner.x(), corner.y(), SelShape1->width(), SelShape1->height()};
}

std::optional<dimora::Region> TForm1::shownSelection() const
{
    if (SelShape1->isHidden())
        return std::nullopt;
    return selectionRectangle();
}

void TForm1::showSelection()
{
    SelShape1->show();
}

void TForm1::setSelectionLeft(int x)
{
    SelShape1->move(x - viewOrigin().x(), SelShape1->y());
}

void TForm1::setSelectionTop(int y)
{
    SelShape1->move(SelShape1->x(), y - viewOrigin().y());
}

void TForm1::setSelectionWidth(int width)
{
    SelShape1->resize(width, SelShape1->height());
}

void TForm1::setSelectionHeight(int height)
{
    SelShape1->resize(SelShape1->width(), height);
}

void TForm1::showRangeSigns(const QString& geometryText)
{
    Label1->show();
    Label1->setText(geometryText);
    showRangeButtonPressed(ToolButton4, true);
    N2->setText(tr("範囲指定解除"));
}

void TForm1::N2Click()
{
    runCommand(
        [this] {
            if (!SelShape1->isHidden()) {
                SelShape1->hide();
                Label1->hide();
                showRangeButtonPressed(ToolButton4, false);
                N2->setText(tr("計算範囲指定"));
                return;
            }
            SelShape1->show();
            Label1->show();
            // 80 pixels right of and below the visible corner, wherever the view is scrolled.
            SelShape1->move(80, 80);
            showRangeSigns(geometryText(selectionRectangle()));
        },
        BusyCursor::DontShow);
}

void TForm1::SelShape1MouseMove(QMouseEvent*)
{
    runCommand(
        [this] {
            if (const std::optional<dimora::Region> selection = shownSelection())
                Label1->setText(geometryText(*selection));
        },
        BusyCursor::DontShow);
}

void TForm1::N5Click()
{
    runCommand(
        [this] {
            // The rectangle's last place, also while it is hidden.
            TForm9& form9 = *windows().form9;
            form9.setRegion(selectionRectangle());
            form9.show();
        },
        BusyCursor::DontShow);
}

void TForm9::BitBtn1Click()
{
    runCommand(
        [this] {
            TForm1& form1 = *windows().form1;
            // Each value is applied as soon as it is read: a bad text stops
            // here with the earlier ones in place.
            form1.showSelection();
            form1.setSelectionLeft(integerOf(Edit1));
            form1.setSelectionTop(integerOf(Edit2));
            form1.setSelectionWidth(integerOf(Edit3));
            form1.setSelectionHeight(integerOf(Edit4));
            form1.showRangeSigns(
                selectionGeometryText(Edit1->text(), Edit2->text(), Edit3->text(), Edit4->text()));
            hide();
        },
        BusyCursor::DontShow);
}
