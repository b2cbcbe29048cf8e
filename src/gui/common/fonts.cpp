// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/common/fonts.hpp"

#include <QFontInfo>
#include <QFontMetrics>

#include <cmath>

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
    if (face == kPMincho)
        font.setStyleHint(QFont::Serif);
    else if (face == kGothic)
        font.setStyleHint(QFont::Monospace);
    else
        font.setStyleHint(QFont::SansSerif);
    return font;
}

QString cssFontFamily(const QFont& font)
{
    QString generic = QStringLiteral("sans-serif");
    if (font.styleHint() == QFont::Serif)
        generic = QStringLiteral("serif");
    else if (font.styleHint() == QFont::Monospace || font.styleHint() == QFont::TypeWriter ||
             font.fixedPitch())
        generic = QStringLiteral("monospace");
    QString installed = QFontInfo(font).family();
    installed.remove(QLatin1Char('\'')).remove(QLatin1Char('"'));
    return QLatin1Char('\'') + installed + QStringLiteral("', ") + generic;
}

QFont condensedToFit(const QFont& font, const QStringList& texts, int room)
{
    QFont narrowed = font;
    for (int stretch = 100; stretch >= QFont::UltraCondensed; --stretch) {
        narrowed.setStretch(stretch);
        // Whole pixels, as a label or a line edit lays the text out.
        const QFontMetricsF metrics(narrowed);
        bool fits = true;
        for (const QString& text : texts)
            fits = fits && std::ceil(metrics.horizontalAdvance(text)) <= room;
        if (fits)
            return stretch == 100 ? font : narrowed;
    }
    return narrowed;
}
