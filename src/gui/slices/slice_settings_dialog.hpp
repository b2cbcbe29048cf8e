// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include "core/slices/slice_stack.hpp"

#include <QDialog>
#include <QString>

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class TForm2;
class TForm4;
class TForm8;
class Workspace;

// What a slice run works with besides the dialog: the main window's picture
// (the last slice read becomes the working image) and shown selection, the
// progress window, and the count and result windows it writes.
struct SliceRunWindows {
    Workspace& workspace;
    TForm8& progress;
    TForm4& counts;
    TForm2& results;
};

// The slice series settings dialog: the last file of a numbered series
// (1.bmp, 2.bmp, ... or 1.png, 2.png, ... in one folder), from which the
// first file and the slice count follow, the size of one pixel and the
// distance between slices in millimetres. Modeless, always on top, centred
// over the main window; its run button measures the stack. Enter presses the
// focused button, and the run button when the focus is elsewhere. Showing and
// hiding never reset its settings.
class TForm7 : public QDialog {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr);

    // The windows of the run; until they are given, the run button only
    // hides the dialog.
    void setRunWindows(const SliceRunWindows& windows) { runWindows_.emplace(windows); }

    // The last file picked; the measurement overwrites it with the path of
    // each slice it reads. Empty at start.
    QString SliceFileName;

    QLabel* Label1;
    QPushButton* Button1;
    QLabel* Label3;
    QLabel* Label2;  // first file: the series' folder and "1.png" or "1.bmp"
    QLabel* Label4;  // last file
    QLabel* Label6;
    QLabel* Label7;
    QLineEdit* Edit2;  // pixel size in mm, may be empty
    QLabel* Label9;
    QLabel* Label8;
    QLineEdit* Edit3;  // distance between slices in mm
    QLabel* Label10;
    QPushButton* BitBtn1;  // run
    QPushButton* BitBtn2;  // cancel

    // Picks the last file of the series and derives the first file.
    void Button1Click();
    // Measures the slice stack (hides this dialog first).
    void BitBtn1Click();
    // Hides the dialog; the settings stay.
    void BitBtn2Click();

    // The series and the sizes as the dialog holds them; the selection is
    // left to the caller.
    [[nodiscard]] dimora::SliceSeriesSettings settings() const;

    // The filter of OpenDialog1.
    [[nodiscard]] static QString openDialogFilter();

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    std::optional<SliceRunWindows> runWindows_;
};
