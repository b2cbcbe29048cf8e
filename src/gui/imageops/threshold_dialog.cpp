// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "imageops/threshold_dialog.hpp"

TForm3::TForm3(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TForm3"));
}
