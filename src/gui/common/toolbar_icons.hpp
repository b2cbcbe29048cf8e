// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>

// The pictures of the main window's tool buttons, 16 × 16, drawn in code.
enum class ToolIcon { Open, Range, BlackDimension, NonBlackDimension, GrayDimension, CountsPerSize };

[[nodiscard]] QIcon toolIcon(ToolIcon which);

// The program's window icon: a Sierpinski carpet.
[[nodiscard]] QIcon programIcon();
