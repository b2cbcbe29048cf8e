// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include "core/measure/total_length.hpp"

#include <QWidget>

class QLabel;
class QLineEdit;

// The total-length window: the length in pixels of the black lines in the
// analysis region, written by the total-length command.
class TForm5 : public QWidget {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);

    QLabel* Label1;
    QLineEdit* Edit1;  // the total length
    QLabel* Label2;    // the unit

    // Writes the field text of a measured length.
    void showLength(const dimora::TotalLength& length);
};
