// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "app/command.hpp"
#include "app/main_window.hpp"
#include "app/windows.hpp"
#include "measure/box_count.hpp"
#include "measure/count_window.hpp"
#include "measure/dimension_measurement.hpp"
#include "measure/gray_box_count.hpp"
#include "measure/measurement_results.hpp"
#include "measure/total_length.hpp"
#include "measure/total_length_window.hpp"
#include "region/selection_shape.hpp"
#include "region/window_placement.hpp"

#include <QLineEdit>

#include <utility>

namespace {

// The black and non-black dimensions: one procedure, two pixel classes.
void measureTwoValued(TForm1& form1, dimora::PixelClass pixelClass)
{
    windows().form4->clearCountList();
    const dimora::Region region = form1.analysisRegion();
    const dimora::BoxCounts counts =
        dimora::countBoxes(std::as_const(form1).workingPicture().pixels().view(), region, pixelClass);
    showCountReport(dimora::reportBoxCounts(counts), region.width, region.height);
}

} // namespace

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
        const dimora::Region region = analysisRegion();
        const dimora::GrayCounts counts =
            dimora::countGrayBoxes(std::as_const(*this).workingPicture().pixels().view(), region);
        showCountReport(dimora::reportGrayCounts(counts), region.width, region.height);
    });
}

void TForm1::count1Click()
{
    runCommand([] { windows().form4->showInFront(); }, false);
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
        std::optional<dimora::Region> selection;
        if (!SelShape1->isHidden())
            selection = analysisRegion();
        else
            (void)imageForSize();
        const auto length =
            dimora::measureTotalLength(std::as_const(*this).workingPicture().pixels().view(), selection);
        if (length)
            form5.Edit1->setText(QString::fromStdString(length->field));
    });
}
