// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The windows name the Japanese faces of their original design; Linux has the
// IPA faces in their place. installFontSubstitutions maps each name to its
// installed stand-in once at start-up, so a window simply asks for
// uiFont(kPGothic, 12).

#include <QFont>
#include <QString>

inline const QString kPGothic = QStringLiteral("ＭＳ Ｐゴシック");  // proportional Gothic
inline const QString kGothic = QStringLiteral("ＭＳ ゴシック");     // fixed-pitch Gothic
inline const QString kPMincho = QStringLiteral("ＭＳ Ｐ明朝");      // proportional serif

// "ＭＳ Ｐゴシック" → IPAPGothic, "ＭＳ ゴシック" → IPAGothic, "ＭＳ Ｐ明朝" → IPAPMincho.
void installFontSubstitutions();

// The face at the given pixel height.
[[nodiscard]] QFont uiFont(const QString& face, int pixelSize);
