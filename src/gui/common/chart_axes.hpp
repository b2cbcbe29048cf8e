// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The value axes of the program's log-log and spectrum charts: black texts in
// the serif face, ticks anchored at 0 and stepped by niceAxisStep.

#include <QString>

class QValueAxis;

// A new axis (owned by the chart it is added to) with its title and labels in
// the serif face of `pixelSize` pixels.
[[nodiscard]] QValueAxis* makeValueAxis(const QString& title, int pixelSize);

// 1, 2 or 5 times a power of ten, near a fifth of the span; 1 for a span that
// is not a positive number.
[[nodiscard]] double niceAxisStep(double span);
