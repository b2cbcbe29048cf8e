// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "slices/progress_window.hpp"

TForm8::TForm8(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TForm8"));
}
