// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "imageops/scratch_image_window.hpp"

TForm6::TForm6(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TForm6"));
}
