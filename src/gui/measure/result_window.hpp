// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include "core/measure/result_fields.hpp"

#include <QWidget>

class QCloseEvent;
class QLabel;
class QLineEdit;

// The result window: region size, coverage or brightness difference,
// correlation with its number of points, and the fractal dimension of the
// last measurement. Always on top, never hidden, without title-bar buttons.
class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);

    // Writes all four fields of a measurement, Edit1 to Edit4 in order.
    void showFields(const dimora::ResultFields& fields);
    // Writes Edit3 and Edit4 alone, as a recalculation of the count list does;
    // the region size and coverage stay.
    void showFitFields(const dimora::FitFields& fields);

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLineEdit* Edit1;  // region size, width × height
    QLineEdit* Edit2;  // coverage (%) or brightness difference
    QLineEdit* Edit3;  // correlation coefficient (n)
    QLineEdit* Edit4;  // fractal dimension

protected:
    // Refuses: a close request of the window manager (Alt+F4, the task bar)
    // leaves the window up.
    void closeEvent(QCloseEvent* event) override;
};
