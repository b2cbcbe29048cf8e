// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The mass measurements of the main window's menu "フラクタル次元": the
// lacunarity and the multifractal spectrum. Each menu item shows its
// settings dialog; the dialog's run button measures the analysis region of
// the working picture and shows the result in the measurement's own window.
// The count and result windows keep the last dimension.

#include "core/measure/lacunarity.hpp"
#include "core/measure/multifractal.hpp"

class LacunarityDialog;
class LacunarityWindow;
class MultifractalDialog;
class MultifractalWindow;
class Workspace;

// The dialogs and windows of the two measurements.
struct MassWindows {
    LacunarityDialog& lacunarityDialog;
    LacunarityWindow& lacunarity;
    MultifractalDialog& multifractalDialog;
    MultifractalWindow& multifractal;
};

class MassCommands {
public:
    // Gives the dialogs their runs.
    MassCommands(Workspace& workspace, const MassWindows& windows);

    // Show the settings dialogs.
    void lacunarity1Click();
    void multifractal1Click();

    // The runs of the dialogs' run buttons (inside their commands).
    void measureLacunarity(const dimora::LacunaritySettings& settings);
    // A gray mass is taken from the picture's file at its own depth while
    // the file still holds the picture's pixels, else from the picture's
    // 8-bit grey levels (see mass_samples.hpp); the window says which.
    void measureMultifractal(dimora::MassKind mass, const dimora::MultifractalSettings& settings);

private:
    Workspace& workspace_;
    MassWindows windows_;
};
