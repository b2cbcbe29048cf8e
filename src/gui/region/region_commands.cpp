// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// The region commands: show and hide the selection rectangle, follow its
// geometry in the status label, and place it by numbers.

#include "gui/region/region_commands.hpp"

#include "gui/common/command.hpp"
#include "gui/app/main_window.hpp"
#include "gui/common/scroll_box.hpp"
#include "gui/app/windows.hpp"
#include "core/common/text.hpp"
#include "gui/region/region_dialog.hpp"
#include "gui/region/selection_shape.hpp"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {

void showRangeButtonPressed(QToolButton* button, bool pressed)
{
    button->setCheckable(true);
    button->setChecked(pressed);
}

// The geometry text of the rectangle as it stands, in image coordinates.
QString currentGeometryText(TForm1& form1)
{
    const QRect shape = form1.SelShape1->geometry();
    return selectionGeometryText(QString::number(shape.x() + form1.ScrollBox1->horizontalPosition()),
                                 QString::number(shape.y() + form1.ScrollBox1->verticalPosition()),
                                 QString::number(shape.width()), QString::number(shape.height()));
}

int integerOf(const QLineEdit* edit)
{
    return dimora::parseInteger(edit->text().toStdString());
}

} // namespace

QString selectionGeometryText(const QString& x, const QString& y, const QString& w, const QString& h)
{
    return QStringLiteral("左上(x, y)=( ") + x + QStringLiteral(", ") + y + QStringLiteral(" )") +
           QStringLiteral("　(幅, 高さ)=( ") + w + QStringLiteral(", ") + h + QStringLiteral(" )");
}

void showRangeSigns(TForm1& form1, const QString& geometryText)
{
    form1.Label1->show();
    form1.Label1->setText(geometryText);
    showRangeButtonPressed(form1.ToolButton4, true);
    form1.N2->setText(QStringLiteral("範囲指定解除"));
}

void TForm1::N2Click()
{
    runCommand(
        [this] {
            if (!SelShape1->isHidden()) {
                SelShape1->hide();
                Label1->hide();
                showRangeButtonPressed(ToolButton4, false);
                N2->setText(QStringLiteral("計算範囲指定"));
                return;
            }
            SelShape1->show();
            Label1->show();
            // 80 pixels right of and below the visible corner, wherever the view is scrolled.
            SelShape1->move(80, 80);
            showRangeSigns(*this, currentGeometryText(*this));
        },
        BusyCursor::DontShow);
}

void TForm1::SelShape1MouseMove(QMouseEvent*)
{
    runCommand(
        [this] {
            if (SelShape1->isHidden())
                return;
            Label1->setText(currentGeometryText(*this));
        },
        BusyCursor::DontShow);
}

void TForm1::N5Click()
{
    runCommand(
        [this] {
            TForm9& form9 = *windows().form9;
            const QRect shape = SelShape1->geometry();
            form9.Edit1->setText(QString::number(shape.x() + ScrollBox1->horizontalPosition()));
            form9.Edit2->setText(QString::number(shape.y() + ScrollBox1->verticalPosition()));
            form9.Edit3->setText(QString::number(shape.width()));
            form9.Edit4->setText(QString::number(shape.height()));
            form9.show();
        },
        BusyCursor::DontShow);
}

void TForm9::BitBtn1Click()
{
    runCommand(
        [this] {
            TForm1& form1 = *windows().form1;
            TSelShape* shape = form1.SelShape1;
            // Each value is applied as soon as it is read: a bad text stops
            // here with the earlier ones in place.
            shape->show();
            shape->move(integerOf(Edit1) - form1.ScrollBox1->horizontalPosition(), shape->y());
            shape->move(shape->x(), integerOf(Edit2) - form1.ScrollBox1->verticalPosition());
            shape->resize(integerOf(Edit3), shape->height());
            shape->resize(shape->width(), integerOf(Edit4));
            showRangeSigns(form1,
                           selectionGeometryText(Edit1->text(), Edit2->text(), Edit3->text(), Edit4->text()));
            hide();
        },
        BusyCursor::DontShow);
}
