// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/imageops/imageops_commands.hpp"

#include "core/imageops/colour_extraction.hpp"
#include "core/imageops/dot_removal.hpp"
#include "core/imageops/grayscale.hpp"
#include "core/imageops/inversion.hpp"
#include "core/imageops/median_filter.hpp"
#include "core/imageops/percent_conversion.hpp"
#include "core/imageops/thinning.hpp"
#include "gui/common/command.hpp"
#include "gui/common/workspace.hpp"
#include "gui/imageops/scratch_image_window.hpp"
#include "gui/imageops/threshold_dialog.hpp"
#include "gui/platform/platform.hpp"

// Extraction and percent conversion first reach the image's pixels (which
// fails for an icon or a metafile) and then refuse to work on a palette
// display: there they only beep, without the busy cursor.
void ImageOpsCommands::runColourCommand(const Operation& operation)
{
    runCommand(
        [&] {
            dimora::Bitmap& image = workspace_.workingPicture().pixels();
            if (platform().screenColourDepth() <= 8) {
                platform().beep();
                return;
            }
            ScopedBusyCursor busy;
            operation(image);
            workspace_.imageChanged();
        },
        BusyCursor::DontShow);
}

// The other operations ask for the bitmap as a whole: an icon or a metafile
// becomes the empty bitmap, which they leave empty.
void ImageOpsCommands::runBitmapCommand(const Operation& operation)
{
    runCommand([&] {
        operation(workspace_.workingPicture().bitmap());
        workspace_.imageChanged();
    });
}

void ImageOpsCommands::K1Click()
{
    runColourCommand([this](dimora::Bitmap& image) {
        dimora::extractColour(image, {dimora::ExtractedChannel::Green, threshold_.threshold()});
    });
}

void ImageOpsCommands::K3Click()
{
    runColourCommand([this](dimora::Bitmap& image) {
        dimora::extractColour(image, {dimora::ExtractedChannel::Red, threshold_.threshold()});
    });
}

void ImageOpsCommands::K2Click()
{
    runColourCommand([](dimora::Bitmap& image) { dimora::convertToPercent(image); });
}

void ImageOpsCommands::sikii1Click()
{
    runCommand([this] { threshold_.show(); }, BusyCursor::DontShow);
}

void ImageOpsCommands::reverse1Click()
{
    runBitmapCommand([](dimora::Bitmap& image) { dimora::invertColours(image); });
}

void ImageOpsCommands::gray2Click()
{
    runBitmapCommand([](dimora::Bitmap& image) { dimora::convertToGrayscale(image); });
}

void ImageOpsCommands::SLIM1Click()
{
    runBitmapCommand([](dimora::Bitmap& image) { dimora::thinFigures(image); });
}

void ImageOpsCommands::median1Click()
{
    runBitmapCommand([this](dimora::Bitmap& image) {
        dimora::medianFilter(image, scratch_.scratchPicture().bitmap());
        scratch_.pictureChanged();
    });
}

void ImageOpsCommands::noise1Click()
{
    runBitmapCommand([](dimora::Bitmap& image) { dimora::removeIsolatedDots(image); });
}
