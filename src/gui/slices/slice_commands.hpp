// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The stack measurements of the menu "フラクタル次元": each shows its
// settings dialog, whose run button measures the stack.

class CubeSettingsDialog;
class TForm7;

class SliceCommands {
public:
    SliceCommands(TForm7& sliceSettings, CubeSettingsDialog& cubeSettings)
        : sliceSettings_(sliceSettings), cubeSettings_(cubeSettings)
    {
    }

    // The slice series measurement's settings dialog.
    void slice1Click();
    // The cube measurement's settings dialog.
    void cube1Click();

private:
    TForm7& sliceSettings_;
    CubeSettingsDialog& cubeSettings_;
};
