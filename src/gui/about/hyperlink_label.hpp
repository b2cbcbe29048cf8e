// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include <QLabel>

// A label that behaves as a hyperlink.
class THTLabel : public QLabel {
    Q_OBJECT
public:
    explicit THTLabel(QWidget* parent = nullptr);
};
