// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

// The selection rectangle: moved and resized with the mouse within limits.
class TSelShape : public QWidget {
    Q_OBJECT
public:
    explicit TSelShape(QWidget* parent = nullptr);
};
