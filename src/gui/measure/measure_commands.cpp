// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// The measurement commands of the main window and the count window's "再計算".
// A dimension measurement clears the count list, counts in the core and ends
// through the core's measurement sequence into the count and result windows.

#include "core/measure/box_count.hpp"
#include "core/measure/dimension_measurement.hpp"
#include "core/measure/gray_box_count.hpp"
#include "core/measure/measurement_sequence.hpp"
#include "core/measure/total_length.hpp"
#include "gui/app/main_window.hpp"
#include "gui/app/windows.hpp"
#include "gui/common/command.hpp"
#include "gui/common/window_placement.hpp"
#include "gui/measure/count_window.hpp"
#include "gui/measure/measurement_windows.hpp"
#include "gui/measure/total_length_window.hpp"

#include <optional>
#include <utility>

namespace {

MeasurementWindows measurementWindows()
{
    return {*windows().form4, *windows().form2};
}

// The black and non-black dimensions: one procedure, two pixel classes.
void measureTwoValued(TForm1& form1, dimora::PixelClass pixelClass)
{
    windows().form4->clearCountList();
    windows().form4->setSourceFile(form1.pictureFile());
    const dimora::Region region = form1.takeAnalysisRegion();
    const dimora::BoxCounts counts =
        dimora::countBoxes(std::as_const(form1).workingPicture().pixels().view(), region, pixelClass);
    MeasurementWindows sink = measurementWindows();
    dimora::finishMeasurement(dimora::reportBoxCounts(counts), region.width, region.height, sink);
}

}  // namespace

void TForm1::frac1Click()
{
    runCommand([this] { measureTwoValued(*this, dimora::PixelClass::Black); });
}

void TForm1::fracw1Click()
{
    runCommand([this] { measureTwoValued(*this, dimora::PixelClass::NonBlack); });
}

void TForm1::gray1Click()
{
    runCommand([this] {
        windows().form4->clearCountList();
        windows().form4->setSourceFile(pictureFile());
        const dimora::Region region = takeAnalysisRegion();
        const dimora::GrayCounts counts =
            dimora::countGrayBoxes(std::as_const(*this).workingPicture().pixels().view(), region);
        MeasurementWindows sink = measurementWindows();
        dimora::finishMeasurement(dimora::reportGrayCounts(counts), region.width, region.height, sink);
    });
}

void TForm1::count1Click()
{
    runCommand([] { windows().form4->showInFront(); }, BusyCursor::DontShow);
}

void TForm4::BitBtn1Click()
{
    runCommand(
        [this] {
            MeasurementWindows sink(*this, *windows().form2);
            dimora::recalculate(sink);
        },
        BusyCursor::DontShow);
}

void TForm1::ToolButton10Click()
{
    count1Click();
}

void TForm1::length1Click()
{
    runCommand([this] {
        TForm5& form5 = *windows().form5;
        showInFront(&form5);
        // Without a selection the command asks for the whole image's size.
        const std::optional<dimora::Region> selection = shownSelection();
        if (!selection)
            prepareImageForSize();
        const auto length =
            dimora::measureTotalLength(std::as_const(*this).workingPicture().pixels().view(), selection);
        if (length)
            form5.showLength(*length);
    });
}
