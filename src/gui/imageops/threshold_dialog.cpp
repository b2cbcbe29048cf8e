// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/imageops/threshold_dialog.hpp"

#include "core/common/text.hpp"
#include "gui/common/command.hpp"
#include "gui/common/fonts.hpp"
#include "gui/common/widget_names.hpp"
#include "gui/common/window_placement.hpp"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>

namespace {

// The designed client width, and the margin it leaves right of the labels.
constexpr int kDesignedWidth = 189;
constexpr int kRightMargin = 7;

// Ends a press of the left button on the control as if the pointer had left
// it before the release: a button comes up without a click, a scroll bar
// stops stepping. Nothing happens to a control that is not pressed.
void endPress(QWidget* control)
{
    const QPointF outside(-1, -1);
    QMouseEvent release(QEvent::MouseButtonRelease, outside, control->mapToGlobal(outside), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(control, &release);
}

}  // namespace

TForm3::TForm3(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    nameControl(this, "TForm3");
    setWindowTitle(tr("しきい値の変更"));
    setFont(uiFont(kPGothic, 12));
    setModal(false);

    // Each label is as wide as its text in the installed face.
    Label1 = addLabel(this, "Label1", tr("緑部抽出：(緑%-赤%)>しきい値を黒"), 8, 8);
    Label2 = addLabel(this, "Label2", tr("赤部抽出：(赤%-緑%)>しきい値を黒"), 8, 24);

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
    // Not auto-default: that would make it the dialog's default button, and
    // Enter in the edit would hide the dialog without reading the typed value.
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, [this] { OK1Click(); });

    // The designed width, or wider by as much as the labels need to keep the
    // designed margin at their right.
    const int labelsRight = std::max(Label1->geometry().right(), Label2->geometry().right());
    setFixedSize(std::max(kDesignedWidth, labelsRight + 1 + kRightMargin), 108);
    centreOnScreen(this);
}

void TForm3::ScrollBar1Cng()
{
    threshold_ = ScrollBar1->value();
    Edit1->setText(QStringLiteral(" ") + QString::number(threshold_));
}

void TForm3::Edit1Cng()
{
    // A bad text is reported once the focus change that got here has been
    // handled, with the focus back in the edit. The press that moved the
    // focus (on the bar or on OK) has reached its control by then and may
    // still be held: the modal box would keep its release, so the press ends
    // first.
    runCommandReportingLater(
        this,
        [this] {
            threshold_ = dimora::parseInteger(Edit1->text().toStdString());
            // The bar clamps the value; only a changed position reports back
            // (and then replaces the threshold by the clamped position).
            ScrollBar1->setValue(threshold_);
        },
        [this] {
            endPress(ScrollBar1);
            endPress(Button1);
            Edit1->setFocus(Qt::OtherFocusReason);
        });
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
    // Enter presses the focused button. There is no default button, so Enter
    // in the edit neither hides the dialog nor drops the typed value.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            button->click();
            event->accept();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}
