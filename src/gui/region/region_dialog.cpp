// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "region/region_dialog.hpp"

TForm9::TForm9(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TForm9"));
}
