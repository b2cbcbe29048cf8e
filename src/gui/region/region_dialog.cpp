// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/region/region_dialog.hpp"

#include "core/common/text.hpp"
#include "gui/common/command.hpp"
#include "gui/common/fonts.hpp"
#include "gui/common/widget_names.hpp"
#include "gui/common/window_placement.hpp"
#include "gui/region/range_selection.hpp"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace {

QLineEdit* addEdit(QWidget* parent, const char* name, const QString& text, int top)
{
    auto* edit = new QLineEdit(text, parent);
    nameControl(edit, name);
    edit->setGeometry(104, top, 65, 20);
    return edit;
}

int integerOf(const QLineEdit* edit)
{
    return dimora::parseInteger(edit->text().toStdString());
}

}  // namespace

TForm9::TForm9(RangeSelection& selection, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint),
      selection_(selection)
{
    nameControl(this, "TForm9");
    setWindowTitle(tr("計算範囲入力"));
    setFont(uiFont(kPGothic, 12));
    setFixedSize(194, 203);
    setModal(false);

    Label1 = addLabel(this, "Label1", tr("左上のｘ座標"), 16, 24);
    Label2 = addLabel(this, "Label2", tr("左上のｙ座標"), 16, 56);
    Label3 = addLabel(this, "Label3", tr("横　幅"), 16, 88);
    Label4 = addLabel(this, "Label4", tr("高　さ"), 16, 120);
    Edit1 = addEdit(this, "Edit1", QStringLiteral("80"), 24);
    Edit2 = addEdit(this, "Edit2", QStringLiteral("80"), 56);
    Edit3 = addEdit(this, "Edit3", QStringLiteral("64"), 88);
    Edit4 = addEdit(this, "Edit4", QStringLiteral("64"), 120);

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    nameControl(BitBtn1, "BitBtn1");
    BitBtn1->setGeometry(56, 160, 75, 25);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });

    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Edit3);
    setTabOrder(Edit3, Edit4);
    setTabOrder(Edit4, BitBtn1);
}

void TForm9::setRegion(const dimora::Region& region)
{
    Edit1->setText(QString::number(region.left));
    Edit2->setText(QString::number(region.top));
    Edit3->setText(QString::number(region.width));
    Edit4->setText(QString::number(region.height));
}

void TForm9::BitBtn1Click()
{
    runCommand(
        [this] {
            // Each value is applied as soon as it is read: a bad text stops
            // here with the earlier ones in place.
            selection_.show();
            selection_.setLeft(integerOf(Edit1));
            selection_.setTop(integerOf(Edit2));
            selection_.setWidth(integerOf(Edit3));
            selection_.setHeight(integerOf(Edit4));
            selection_.showRangeSigns(
                selectionGeometryText(Edit1->text(), Edit2->text(), Edit3->text(), Edit4->text()));
            hide();
        },
        BusyCursor::DontShow);
}

void TForm9::showEvent(QShowEvent* event)
{
    centreOverMainWindow(this);
    QDialog::showEvent(event);
}

void TForm9::keyPressEvent(QKeyEvent* event)
{
    // The dialog has no cancel button: Esc does not close it.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
