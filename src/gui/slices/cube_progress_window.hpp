// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

// The progress window of a cube measurement: "スライス i / N" over a bar of
// the slices counted, and a stop button. Modal to the whole application while
// it is shown, so the other windows keep being painted but take no input;
// centred over the main window. Stopping (the button, Esc or closing the
// window) only asks the run to stop: the run hides the window when it ends.
class CubeProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit CubeProgressWindow(QWidget* parent = nullptr);

    QLabel* SliceLabel;
    QProgressBar* ProgressBar;
    QPushButton* StopButton;

    // Readies the window for a run over `total` slices (0 when not yet
    // known): nothing counted, the stop button enabled.
    void start(int total);
    // `done` of `total` slices counted.
    void setProgress(int done, int total);
    // Asks the run to stop, once; the button is disabled until the next run.
    void StopButtonClick();

signals:
    void stopRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
};
