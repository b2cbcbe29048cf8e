// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/measure/total_length_window.hpp"

#include "gui/common/fonts.hpp"
#include "gui/common/widget_names.hpp"

#include <QLabel>
#include <QLineEdit>

TForm5::TForm5(QWidget* parent) : QWidget(parent, Qt::Window)
{
    nameControl(this, "TForm5");
    setWindowTitle(tr("総延長"));
    setFont(uiFont(kPGothic, 12));
    // Designed outer size 146 × 96: the client area within the frame.
    resize(138, 69);
    move(192, 109);

    Label1 = new QLabel(tr("指定範囲内の総延長"), this);
    nameControl(Label1, "Label1");
    Label1->move(8, 8);
    Label1->adjustSize();

    Edit1 = new QLineEdit(this);
    nameControl(Edit1, "Edit1");
    Edit1->setGeometry(8, 28, 73, 20);

    const QString unit = QStringLiteral("pixel (dot)");
    Label2 = new QLabel(unit, this);
    nameControl(Label2, "Label2");
    Label2->move(86, 32);
    // The unit ends at the window's designed edge, its letters narrowed if
    // the face is wider than the one it was laid out for.
    Label2->setFont(condensedToFit(font(), {unit}, width() - Label2->x()));
    Label2->adjustSize();
}

void TForm5::showLength(const dimora::TotalLength& length)
{
    Edit1->setText(QString::fromStdString(length.field));
}
