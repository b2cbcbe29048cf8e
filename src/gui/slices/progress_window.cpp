// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/slices/progress_window.hpp"

#include "gui/common/command.hpp"
#include "gui/common/fonts.hpp"
#include "gui/common/widget_names.hpp"
#include "gui/common/window_placement.hpp"

#include <QCloseEvent>
#include <QProgressBar>

TForm8::TForm8(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
{
    nameControl(this, "TForm8");
    setWindowTitle(tr("進行状況"));
    setFont(uiFont(kPGothic, 12));
    setFixedSize(305, 41);
    setModal(false);

    ProgressBar1 = new QProgressBar(this);
    nameControl(ProgressBar1, "ProgressBar1");
    ProgressBar1->setGeometry(0, 12, 305, 17);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
}

void TForm8::setProgress(int percent)
{
    ProgressBar1->setValue(percent);
}

void TForm8::showEvent(QShowEvent* event)
{
    centreOverMainWindow(this);
    QDialog::showEvent(event);
}

void TForm8::closeEvent(QCloseEvent* event)
{
    if (commandRunning()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}
