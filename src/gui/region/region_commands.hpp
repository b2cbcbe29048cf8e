// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class TForm1;

// The status label's text for a selection at image position (x, y) of
// width w and height h: "左上(x, y)=( x, y )　(幅, 高さ)=( w, h )".
[[nodiscard]] QString selectionGeometryText(const QString& x, const QString& y, const QString& w,
                                            const QString& h);

// The three signs of a shown range: the status label with the geometry text,
// ToolButton4 drawn pressed and the caption "範囲指定解除" of N2.
void showRangeSigns(TForm1& form1, const QString& geometryText);
