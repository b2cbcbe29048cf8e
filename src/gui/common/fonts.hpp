// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The windows name the Japanese faces of their original design; Linux has the
// IPA faces in their place. installFontSubstitutions maps each name to its
// installed stand-in once at start-up, so a window simply asks for
// uiFont(kPGothic, 12).

#include <QFont>
#include <QString>
#include <QStringList>

inline const QString kPGothic = QStringLiteral("ＭＳ Ｐゴシック");  // proportional Gothic
inline const QString kGothic = QStringLiteral("ＭＳ ゴシック");     // fixed-pitch Gothic
inline const QString kPMincho = QStringLiteral("ＭＳ Ｐ明朝");      // proportional serif

// "ＭＳ Ｐゴシック" → IPAPGothic, "ＭＳ ゴシック" → IPAGothic, "ＭＳ Ｐ明朝" → IPAPMincho.
void installFontSubstitutions();

// The face at the given pixel height, with the style of its kind (serif,
// fixed pitch or sans serif) as the hint for a system without its stand-in.
[[nodiscard]] QFont uiFont(const QString& face, int pixelSize);

// The family a picture file should ask for to look like the font on the
// screen: the installed family that Qt draws the font with (after the
// substitutions above), quoted, then the generic family of its kind, in CSS
// syntax ("'IPAPMincho', serif").
[[nodiscard]] QString cssFontFamily(const QFont& font);

// The font with its letters narrowed (QFont::setStretch, same height) just
// enough for each of the texts to take at most `room` pixels; the font itself
// when they fit already, the narrowest tried (half width) when nothing does.
[[nodiscard]] QFont condensedToFit(const QFont& font, const QStringList& texts, int room);
