// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

// The threshold dialog: holds the program-wide extraction threshold that green
// and red extraction apply, set with a scroll bar (-20 .. 20) or by typing a
// number into the edit. Modeless, always on top, without title-bar buttons;
// created hidden at start and kept for the whole run.
class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);

    // The extraction threshold: 0 at start. The scroll bar sets it to its
    // position; a typed value is taken as typed, and may lie outside -20 .. 20
    // when the bar's clamped position does not change.
    [[nodiscard]] std::int32_t threshold() const { return threshold_; }

    QLabel* Label1;
    QLabel* Label2;
    QLineEdit* Edit1;
    QScrollBar* ScrollBar1;
    QPushButton* Button1;

    // Any change of the bar's position: the threshold and the edit text follow it.
    void ScrollBar1Cng();
    // Edit1 lost the focus: reads the typed threshold. A text that is not an
    // integer changes nothing; once the focus change has been handled, the
    // focus goes back to the edit and the error report is shown.
    void Edit1Cng();
    // "OK" (a click, or Enter while it has the focus): hides the dialog; the
    // threshold and the controls keep their values.
    void OK1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::int32_t threshold_ = 0;
};
