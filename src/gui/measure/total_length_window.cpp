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

    Label2 = new QLabel(QStringLiteral("pixel (dot)"), this);
    nameControl(Label2, "Label2");
    Label2->move(86, 32);
    Label2->adjustSize();
}

void TForm5::showLength(const dimora::TotalLength& length)
{
    Edit1->setText(QString::fromStdString(length.field));
}
