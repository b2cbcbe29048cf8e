// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QProgressBar;

// The progress window of a slice-stack measurement: one bar from 0 to 100
// across the window's width. Always on top, centred over the main window;
// visible only while a measurement runs.
class TForm8 : public QDialog {
    Q_OBJECT
public:
    explicit TForm8(QWidget* parent = nullptr);

    QProgressBar* ProgressBar1;

    // Moves the bar to a position from 0 to 100.
    void setProgress(int percent);

protected:
    void showEvent(QShowEvent* event) override;
    // Refused while a command runs: the slice run that shows this window
    // hides it when it ends.
    void closeEvent(QCloseEvent* event) override;
};
