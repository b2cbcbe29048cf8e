// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "imageops/threshold_dialog.hpp"

#include "app/command.hpp"
#include "app/fonts.hpp"
#include "app/widget_names.hpp"
#include "common/text.hpp"
#include "region/window_placement.hpp"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

TForm3::TForm3(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    nameControl(this, "TForm3");
    setWindowTitle(QStringLiteral("しきい値の変更"));
    setFont(uiFont(kPGothic, 12));
    setFixedSize(189, 108);
    setModal(false);

    Label1 = new QLabel(QStringLiteral("緑部抽出：(緑%-赤%)>しきい値を黒"), this);
    nameControl(Label1, "Label1");
    Label1->setGeometry(8, 8, 174, 12);

    Label2 = new QLabel(QStringLiteral("赤部抽出：(赤%-緑%)>しきい値を黒"), this);
    nameControl(Label2, "Label2");
    Label2->setGeometry(8, 24, 174, 12);

    Edit1 = new QLineEdit(QStringLiteral(" 0"), this);
    nameControl(Edit1, "Edit1");
    Edit1->setGeometry(16, 48, 33, 20);
    Edit1->installEventFilter(this);

    ScrollBar1 = new QScrollBar(Qt::Horizontal, this);
    nameControl(ScrollBar1, "ScrollBar1");
    ScrollBar1->setGeometry(64, 48, 121, 16);
    ScrollBar1->setRange(-20, 20);
    ScrollBar1->setValue(0);
    ScrollBar1->setSingleStep(1);
    ScrollBar1->setPageStep(5);
    // Clicking the bar takes the focus, so a typed value is read first.
    ScrollBar1->setFocusPolicy(Qt::StrongFocus);
    connect(ScrollBar1, &QScrollBar::valueChanged, this, [this] { ScrollBar1Cng(); });

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    nameControl(Button1, "Button1");
    Button1->setGeometry(80, 72, 41, 25);
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, [this] { OK1Click(); });

    centreOnScreen(this);
}

void TForm3::ScrollBar1Cng()
{
    threshold_ = ScrollBar1->value();
    Edit1->setText(QStringLiteral(" ") + QString::number(threshold_));
}

void TForm3::Edit1Cng()
{
    runCommand(
        [this] {
            threshold_ = dimora::parseInteger(Edit1->text().toStdString());
            // The bar clamps the value; only a changed position reports back
            // (and then replaces the threshold by the clamped position).
            ScrollBar1->setValue(threshold_);
        },
        false);
}

void TForm3::OK1Click()
{
    hide();
}

bool TForm3::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit1 && event->type() == QEvent::FocusOut) {
        // Only a move of the focus to another control of this dialog counts,
        // not the dialog losing the activation or a menu popping up.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            Edit1Cng();
    }
    return QDialog::eventFilter(watched, event);
}

void TForm3::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Button1->setFocus();
}

void TForm3::keyPressEvent(QKeyEvent* event)
{
    // The dialog has no cancel button: Esc does not close it.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
