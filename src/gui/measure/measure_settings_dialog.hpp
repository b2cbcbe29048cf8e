// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The settings dialog of the measurement menu: where the grid of boxes lands
// (at the region's corner, or on the placement of least count for each side)
// and which sides the fit takes (all, a range of sides chosen from the local
// slopes, or the sides S1 to S2) for the black and non-black dimensions.
// Modeless; "OK" keeps the choices shown and writes them to the user's
// settings, "キャンセル" hides it and leaves them as they were.

#include "gui/measure/measure_settings.hpp"

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

class MeasureSettingsDialog : public QDialog {
    Q_OBJECT
public:
    // Starts with the choices of the user's settings.
    explicit MeasureSettingsDialog(QWidget* parent = nullptr);

    QGroupBox* GridGroup;
    QRadioButton* GridOriginRadio;  // the default
    QRadioButton* GridMinRadio;
    QGroupBox* RangeGroup;
    QRadioButton* RangeAllRadio;  // the default
    QRadioButton* RangeAutoRadio;
    QRadioButton* RangeSidesRadio;
    QSpinBox* RangeLowSpin;  // S1 and S2 in pixels, S1 ≤ S2
    QLabel* RangeToLabel;
    QSpinBox* RangeHighSpin;
    QLabel* NoteLabel;
    QPushButton* OkButton;
    QPushButton* CancelButton;

    // The choices in effect: those last accepted.
    [[nodiscard]] const TwoValuedChoices& choices() const { return choices_; }

    // Shows the choices in effect and the dialog over the main window.
    void showChoices();
    // Keeps and saves what the controls show, and hides the dialog.
    void OkButtonClick();
    void CancelButtonClick();

private:
    void showInControls(const TwoValuedChoices& choices);
    [[nodiscard]] TwoValuedChoices fromControls() const;
    void enableSides();

    TwoValuedChoices choices_;
};
