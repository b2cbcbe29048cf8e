// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include "core/slices/cube_measurement.hpp"

#include <QDialog>
#include <QString>

#include <cstdint>
#include <optional>

class CubeProgressWindow;
class QLabel;
class QLineEdit;
class QPushButton;
class TForm2;
class TForm4;
class Workspace;

// What a cube run works with besides the dialog: the main window's shown
// selection, the progress window, and the count and result windows it writes.
struct CubeRunWindows {
    Workspace& workspace;
    CubeProgressWindow& progress;
    TForm4& counts;
    TForm2& results;
};

// The settings dialog of the cube measurement: the stack (a folder of slices,
// the last file of a numbered series or a multi-page TIFF), typed or chosen
// through a file or a folder dialog, and the voxel size in millimetres (the
// pixel's edge and the distance between slices). Whenever the stack's path
// changes, the dialog finds the stack and shows its first and last slice and
// the number of slices, or why it cannot be measured. Modeless, always on
// top, centred over the main window, like the slice series dialog; its run
// button measures the stack. Showing and hiding never reset its settings.
class CubeSettingsDialog : public QDialog {
    Q_OBJECT
public:
    explicit CubeSettingsDialog(QWidget* parent = nullptr);

    // The windows of the run; until they are given, the run button only
    // hides the dialog.
    void setRunWindows(const CubeRunWindows& windows) { runWindows_.emplace(windows); }

    QLabel* StackLabel;
    QLineEdit* StackEdit;  // the stack's path
    QPushButton* FileButton;
    QPushButton* FolderButton;
    QLabel* FirstSliceCaption;
    QLineEdit* FirstSliceEdit;  // read-only: long paths scroll instead of being cut
    QLabel* LastSliceCaption;
    QLineEdit* LastSliceEdit;
    QLabel* SliceCountLabel;  // the number of slices, or why the stack was not found
    QLabel* PixelSizeLabel;
    QLineEdit* PixelSizeEdit;  // the pixel's edge in mm
    QLabel* SliceDistanceLabel;
    QLineEdit* SliceDistanceEdit;  // the distance between slices in mm
    QPushButton* RunButton;
    QPushButton* CancelButton;

    // Asks for an image file, or a folder, as the stack.
    void FileButtonClick();
    void FolderButtonClick();
    // Measures the stack: hides the dialog once the settings are read, shows
    // the progress window while the slices are counted, and writes the result
    // and count windows. The working image stays as it is.
    void RunButtonClick();
    // Hides the dialog; the settings stay.
    void CancelButtonClick();

    // The stack, the voxel {pixel, pixel, distance} and no region (left to
    // the caller). Throws dimora::Error for a voxel text that is not a real
    // number (the conversion's own text) or not positive and finite.
    [[nodiscard]] dimora::CubeSettings settings() const;

    // The number of slices of the stack last found, 0 when it was not found.
    [[nodiscard]] std::int32_t sliceCount() const { return sliceCount_; }

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    // Finds the stack of the path shown and shows its slices.
    void showStack();

    std::int32_t sliceCount_ = 0;
    std::optional<CubeRunWindows> runWindows_;
};
