// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "about/hyperlink_label.hpp"

THTLabel::THTLabel(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("THTLabel"));
}
