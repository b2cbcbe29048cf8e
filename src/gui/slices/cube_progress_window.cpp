// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/slices/cube_progress_window.hpp"

#include "gui/common/fonts.hpp"
#include "gui/common/widget_names.hpp"
#include "gui/common/window_placement.hpp"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

CubeProgressWindow::CubeProgressWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
{
    nameControl(this, "CubeProgressWindow");
    setWindowTitle(tr("３Ｄ立方体ボックスカウント"));
    setFont(uiFont(kPGothic, 12));
    setFixedSize(305, 93);
    setWindowModality(Qt::ApplicationModal);

    SliceLabel = new QLabel(this);
    nameControl(SliceLabel, "SliceLabel");
    SliceLabel->setGeometry(8, 8, 289, 14);

    ProgressBar = new QProgressBar(this);
    nameControl(ProgressBar, "ProgressBar");
    ProgressBar->setGeometry(8, 28, 289, 17);
    ProgressBar->setTextVisible(false);

    StopButton = new QPushButton(tr("中止"), this);
    nameControl(StopButton, "StopButton");
    StopButton->setGeometry(115, 56, 75, 25);
    StopButton->setDefault(true);
    connect(StopButton, &QPushButton::clicked, this, [this] { StopButtonClick(); });

    start(0);
}

void CubeProgressWindow::start(int total)
{
    StopButton->setEnabled(true);
    setProgress(0, total);
}

void CubeProgressWindow::setProgress(int done, int total)
{
    SliceLabel->setText(total > 0 ? tr("スライス %1 / %2").arg(done).arg(total) : QString());
    ProgressBar->setRange(0, total > 0 ? total : 1);
    ProgressBar->setValue(done);
}

void CubeProgressWindow::StopButtonClick()
{
    if (!StopButton->isEnabled())
        return;
    StopButton->setEnabled(false);
    emit stopRequested();
}

void CubeProgressWindow::showEvent(QShowEvent* event)
{
    centreOverMainWindow(this);
    QDialog::showEvent(event);
}

void CubeProgressWindow::closeEvent(QCloseEvent* event)
{
    // The window goes when the run ends; closing it asks for that.
    event->ignore();
    StopButtonClick();
}

void CubeProgressWindow::reject()
{
    StopButtonClick();
}
