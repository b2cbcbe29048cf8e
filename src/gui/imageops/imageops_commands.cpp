// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// The main window's image operations (menus "画像加工" and "フィルター"):
// each rewrites the whole working image in place through one core function.

#include "core/imageops/colour_extraction.hpp"
#include "core/imageops/dot_removal.hpp"
#include "core/imageops/grayscale.hpp"
#include "core/imageops/inversion.hpp"
#include "core/imageops/median_filter.hpp"
#include "core/imageops/percent_conversion.hpp"
#include "core/imageops/thinning.hpp"
#include "gui/app/main_window.hpp"
#include "gui/app/windows.hpp"
#include "gui/common/command.hpp"
#include "gui/imageops/scratch_image_window.hpp"
#include "gui/imageops/threshold_dialog.hpp"
#include "gui/platform/platform.hpp"

#include <functional>

namespace {

// Extraction and percent conversion first reach the image's pixels (which
// fails for an icon or a metafile) and then refuse to work on a palette
// display: there they only beep, without the busy cursor.
void runColourCommand(TForm1& form1, const std::function<void(dimora::Bitmap&)>& operation)
{
    runCommand(
        [&] {
            dimora::Bitmap& image = form1.workingPicture().pixels();
            if (platform().screenColourDepth() <= 8) {
                platform().beep();
                return;
            }
            ScopedBusyCursor busy;
            operation(image);
            form1.imageChanged();
        },
        BusyCursor::DontShow);
}

// The other operations ask for the bitmap as a whole: an icon or a metafile
// becomes the empty bitmap, which they leave empty.
void runBitmapCommand(TForm1& form1, const std::function<void(dimora::Bitmap&)>& operation)
{
    runCommand([&] {
        operation(form1.workingPicture().bitmap());
        form1.imageChanged();
    });
}

dimora::ColourExtraction extraction(dimora::ExtractedChannel channel)
{
    return {channel, windows().form3->threshold()};
}

}  // namespace

void TForm1::K1Click()
{
    runColourCommand(*this, [](dimora::Bitmap& image) {
        dimora::extractColour(image, extraction(dimora::ExtractedChannel::Green));
    });
}

void TForm1::K3Click()
{
    runColourCommand(*this, [](dimora::Bitmap& image) {
        dimora::extractColour(image, extraction(dimora::ExtractedChannel::Red));
    });
}

void TForm1::K2Click()
{
    runColourCommand(*this, [](dimora::Bitmap& image) { dimora::convertToPercent(image); });
}

void TForm1::sikii1Click()
{
    runCommand([] { windows().form3->show(); }, BusyCursor::DontShow);
}

void TForm1::reverse1Click()
{
    runBitmapCommand(*this, [](dimora::Bitmap& image) { dimora::invertColours(image); });
}

void TForm1::gray2Click()
{
    runBitmapCommand(*this, [](dimora::Bitmap& image) { dimora::convertToGrayscale(image); });
}

void TForm1::SLIM1Click()
{
    runBitmapCommand(*this, [](dimora::Bitmap& image) { dimora::thinFigures(image); });
}

void TForm1::median1Click()
{
    runBitmapCommand(*this, [](dimora::Bitmap& image) {
        TForm6& form6 = *windows().form6;
        dimora::medianFilter(image, form6.scratchPicture().bitmap());
        form6.pictureChanged();
    });
}

void TForm1::noise1Click()
{
    runBitmapCommand(*this, [](dimora::Bitmap& image) { dimora::removeIsolatedDots(image); });
}
