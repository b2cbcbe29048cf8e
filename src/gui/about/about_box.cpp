// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "about/about_box.hpp"

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TAboutBox"));
}
