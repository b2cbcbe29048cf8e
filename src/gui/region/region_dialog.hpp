// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include "core/image/region.hpp"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class RangeSelection;

// The numeric region dialog: the selection rectangle's top-left corner in
// image coordinates and its size, typed as numbers. Modeless, always on top,
// centred over the main window when shown. Its OK button (or Enter) applies
// the rectangle; closing it by the close box applies nothing.
class TForm9 : public QDialog {
    Q_OBJECT
public:
    // The dialog places the main window's selection.
    explicit TForm9(RangeSelection& selection, QWidget* parent = nullptr);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLineEdit* Edit1;  // x of the top-left corner
    QLineEdit* Edit2;  // y of the top-left corner
    QLineEdit* Edit3;  // width
    QLineEdit* Edit4;  // height
    QPushButton* BitBtn1;

    // Writes a rectangle in image coordinates into the four edits, as
    // decimal integers.
    void setRegion(const dimora::Region& region);

    // Shows the selection rectangle at the typed place and size, shows the
    // range signs and hides the dialog. A text that is not an integer stops
    // it at that conversion (the values converted so far stay applied, the
    // dialog stays open).
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    RangeSelection& selection_;
};
