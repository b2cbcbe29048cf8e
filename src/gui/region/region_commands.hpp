// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The status label's text for a selection at image position (x, y) of
// width w and height h: "左上(x, y)=( x, y )　(幅, 高さ)=( w, h )".
[[nodiscard]] QString selectionGeometryText(const QString& x, const QString& y, const QString& w,
                                            const QString& h);
