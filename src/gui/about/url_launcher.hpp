// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class QWidget;

// Opens an address in the default browser.
class TpvlUrl : public QObject {
    Q_OBJECT
public:
    explicit TpvlUrl(QWidget* parent = nullptr);
};
