// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The main window's image operations (menus "画像加工" and "フィルター"):
// each rewrites the whole working image in place through one core function.

#include "core/image/bitmap.hpp"

#include <functional>

class TForm3;
class TForm6;
class Workspace;

class ImageOpsCommands {
public:
    ImageOpsCommands(Workspace& workspace, TForm3& threshold, TForm6& scratch)
        : workspace_(workspace), threshold_(threshold), scratch_(scratch)
    {
    }

    // Green and red extraction at the threshold dialog's threshold, and the
    // percent colours.
    void K1Click();
    void K3Click();
    void K2Click();
    // Shows the threshold dialog.
    void sikii1Click();
    // Negative/positive inversion, grayscale, thinning.
    void reverse1Click();
    void gray2Click();
    void SLIM1Click();
    // The median filter (through the scratch image) and the removal of
    // isolated black dots.
    void median1Click();
    void noise1Click();

private:
    using Operation = std::function<void(dimora::Bitmap&)>;
    void runColourCommand(const Operation& operation);
    void runBitmapCommand(const Operation& operation);

    Workspace& workspace_;
    TForm3& threshold_;
    TForm6& scratch_;
};
