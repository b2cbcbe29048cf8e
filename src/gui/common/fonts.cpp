// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/common/fonts.hpp"

void installFontSubstitutions()
{
    QFont::insertSubstitution(kPGothic, QStringLiteral("IPAPGothic"));
    QFont::insertSubstitution(kGothic, QStringLiteral("IPAGothic"));
    QFont::insertSubstitution(kPMincho, QStringLiteral("IPAPMincho"));
}

QFont uiFont(const QString& face, int pixelSize)
{
    QFont font(face);
    font.setPixelSize(pixelSize);
    return font;
}
