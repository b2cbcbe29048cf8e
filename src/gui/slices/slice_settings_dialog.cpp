// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "slices/slice_settings_dialog.hpp"

TForm7::TForm7(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TForm7"));
}
