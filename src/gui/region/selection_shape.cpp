// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "region/selection_shape.hpp"

TSelShape::TSelShape(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TSelShape"));
}
