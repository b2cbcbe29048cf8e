// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Where the dialogs of the region, operation, slice and about windows appear:
// centred on the screen, or centred over the main window.

class QWidget;

// Centres the window on the screen it is on (the primary screen before it is shown).
void centreOnScreen(QWidget* window);

// Centres the window over the main window; on the screen when there is none.
void centreOverMainWindow(QWidget* window);
