// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include "core/measure/lacunarity.hpp"
#include "core/measure/multifractal.hpp"

#include <QDialog>

#include <functional>
#include <string_view>
#include <utility>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The settings dialog of the lacunarity: the method (gliding box or fixed
// grid), whether the grid's empty boxes are taken, and the box sides (the
// default 1, 2, 4, … up to half the region's shorter edge, or a list typed
// as "1,2,4,8"). Modeless, always on top, centred over the main window, like
// the cube dialog; its run button measures the picture. Showing and hiding
// never reset its settings.
class LacunarityDialog : public QDialog {
    Q_OBJECT
public:
    explicit LacunarityDialog(QWidget* parent = nullptr);

    // What the run button does with the settings once the dialog is hidden;
    // until it is given, the button only hides the dialog.
    void setRun(std::function<void(const dimora::LacunaritySettings&)> run) { run_ = std::move(run); }

    QLabel* MethodLabel;
    QRadioButton* GlidingRadio;
    QRadioButton* GridRadio;
    QCheckBox* EmptyCheck;  // the grid's empty boxes taken (enabled with the grid)
    QLabel* SidesLabel;
    QRadioButton* DefaultSidesRadio;
    QRadioButton* ListedSidesRadio;
    QLineEdit* SidesEdit;  // comma-separated sides (enabled with ListedSidesRadio)
    QPushButton* RunButton;
    QPushButton* CancelButton;

    // The settings as shown. Throws dimora::Error for a side that is not an
    // integer (the conversion's own text) and for an empty list.
    [[nodiscard]] dimora::LacunaritySettings settings() const;

    // Reads the settings (an error is reported with the dialog still open),
    // hides the dialog and runs the measurement.
    void RunButtonClick();
    void CancelButtonClick();

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void enableControls();

    std::function<void(const dimora::LacunaritySettings&)> run_;
};

// The multifractal spectrum's settings: the mass (black pixels, or the grey
// samples of the picture's file at their full depth) and the q range (from,
// to, step; −10, 10, 0.5 at first). Modeless and always on top like the
// lacunarity's dialog.
class MultifractalDialog : public QDialog {
    Q_OBJECT
public:
    explicit MultifractalDialog(QWidget* parent = nullptr);

    void setRun(std::function<void(dimora::MassKind, const dimora::MultifractalSettings&)> run)
    {
        run_ = std::move(run);
    }

    QLabel* MassLabel;
    QRadioButton* BlackRadio;
    QRadioButton* GrayRadio;
    QLabel* QLabel1;  // "q"
    QLabel* FromLabel;
    QLineEdit* FromEdit;
    QLabel* ToLabel;
    QLineEdit* ToEdit;
    QLabel* StepLabel;
    QLineEdit* StepEdit;
    QPushButton* RunButton;
    QPushButton* CancelButton;

    [[nodiscard]] dimora::MassKind mass() const;
    // The settings as shown (every side fitted). Throws dimora::Error for a
    // text that is not a real number (the conversion's own text), and for a
    // step that is not positive or a first q above the last.
    [[nodiscard]] dimora::MultifractalSettings settings() const;

    void RunButtonClick();
    void CancelButtonClick();

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    std::function<void(dimora::MassKind, const dimora::MultifractalSettings&)> run_;
};

// The error of a q range whose step is not positive or whose first q lies above its last.
inline constexpr std::string_view kBadQRangeMessage = "q の範囲は 最初 ≦ 最後、刻み > 0 で指定してください";
