// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The measurement commands of the main window (menu "フラクタル次元" and
// the measurement tool buttons). A dimension measurement clears the count
// list, counts in the core and ends through the core's measurement sequence
// into the count and result windows.

#include "core/measure/box_count.hpp"

#include <memory>

class MeasureSettingsDialog;
class TForm2;
class TForm4;
class TForm5;
class Workspace;

class MeasureCommands {
public:
    // Creates the settings dialog (hidden) with the user's saved choices.
    MeasureCommands(Workspace& workspace, TForm2& results, TForm4& counts, TForm5& lengths);
    ~MeasureCommands();
    MeasureCommands(const MeasureCommands&) = delete;
    MeasureCommands& operator=(const MeasureCommands&) = delete;

    // The dimension of the black pixels, of the non-black ones, and of a
    // grayscale image, in the analysis region.
    void frac1Click();
    void fracw1Click();
    void gray1Click();
    // Shows the count window in front (the menu item and the tool button).
    void count1Click();
    void ToolButton10Click();
    // The total length of the black lines, in the total-length window.
    void length1Click();
    // Shows the settings dialog of the black and non-black dimensions: the
    // grid's placement and the range of sides fitted.
    void measureSettings1Click();

private:
    // The black and non-black dimensions: one procedure, two pixel classes,
    // on the grid and over the range of the settings.
    void measureTwoValued(dimora::PixelClass pixelClass);

    Workspace& workspace_;
    TForm2& results_;
    TForm4& counts_;
    TForm5& lengths_;
    std::unique_ptr<MeasureSettingsDialog> settings_;
};
