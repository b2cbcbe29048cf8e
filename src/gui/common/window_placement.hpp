// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// Where the windows appear: the dialogs of the region, operation, slice and
// about windows centred on the screen or over the main window, and the
// windows that commands bring to the front.

class QWidget;

// Centres the window on the screen it is on (the primary screen before it is shown).
void centreOnScreen(QWidget* window);

// The window that dialogs centre over; start-up sets the main window, and
// closing it sets none.
void setMainWindowForPlacement(const QWidget* mainWindow);

// Centres the window over the main window; on the screen when there is none.
void centreOverMainWindow(QWidget* window);

// Shows the window, restored if it was minimised (a maximised window stays
// maximised), in front of the others and active.
void showInFront(QWidget* window);
