// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The region commands (menu "範囲指定" and the range tool button): show and
// hide the selection rectangle, follow its geometry in the status label
// while it moves, and open the numeric region dialog.

#include "gui/region/range_selection.hpp"

class QMouseEvent;
class TForm9;

class RegionCommands {
public:
    RegionCommands(RangeSelection& selection, TForm9& form9) : selection_(selection), form9_(form9) {}

    // Shows the rectangle 80 pixels right of and below the visible corner
    // with its signs, or hides it with them.
    void N2Click();
    // Opens the numeric region dialog with the rectangle's last place, also
    // while it is hidden.
    void N5Click();
    // The rectangle moves: the status label follows while it is shown.
    void SelShape1MouseMove(QMouseEvent* event);

private:
    RangeSelection& selection_;
    TForm9& form9_;
};
