// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/measure/measure_commands.hpp"

#include "core/measure/dimension_measurement.hpp"
#include "core/measure/gray_box_count.hpp"
#include "core/measure/measurement_sequence.hpp"
#include "core/measure/min_grid_count.hpp"
#include "core/measure/total_length.hpp"
#include "gui/common/command.hpp"
#include "gui/common/window_placement.hpp"
#include "gui/common/workspace.hpp"
#include "gui/measure/count_window.hpp"
#include "gui/measure/measure_settings_dialog.hpp"
#include "gui/measure/measurement_windows.hpp"
#include "gui/measure/total_length_window.hpp"

#include <optional>
#include <utility>

MeasureCommands::MeasureCommands(Workspace& workspace, TForm2& results, TForm4& counts, TForm5& lengths)
    : workspace_(workspace), results_(results), counts_(counts), lengths_(lengths),
      settings_(std::make_unique<MeasureSettingsDialog>())
{
}

MeasureCommands::~MeasureCommands() = default;

void MeasureCommands::measureTwoValued(dimora::PixelClass pixelClass)
{
    counts_.clearCountList();
    counts_.setSourceFile(workspace_.pictureFile());
    const TwoValuedChoices choices = settings_->choices();
    const dimora::Region region = workspace_.takeAnalysisRegion();
    const dimora::BoxCounts counts = dimora::countBoxesOnGrid(
        std::as_const(workspace_).workingPicture().pixels().view(), region, pixelClass, choices.grid);
    // The choices hold for the list's recalculations from here on; a zero
    // report leaves the list empty and so stays with the default.
    const dimora::CountReport report = dimora::reportBoxCounts(counts);
    if (!report.zeroReport && !choices.isDefault())
        counts_.setChoices(choices);
    MeasurementWindows sink(counts_, results_);
    dimora::finishMeasurement(report, region.width, region.height, sink);
}

void MeasureCommands::frac1Click()
{
    runCommand([this] { measureTwoValued(dimora::PixelClass::Black); });
}

void MeasureCommands::fracw1Click()
{
    runCommand([this] { measureTwoValued(dimora::PixelClass::NonBlack); });
}

void MeasureCommands::gray1Click()
{
    runCommand([this] {
        counts_.clearCountList();
        counts_.setSourceFile(workspace_.pictureFile());
        const dimora::Region region = workspace_.takeAnalysisRegion();
        const dimora::GrayCounts counts =
            dimora::countGrayBoxes(std::as_const(workspace_).workingPicture().pixels().view(), region);
        MeasurementWindows sink(counts_, results_);
        dimora::finishMeasurement(dimora::reportGrayCounts(counts), region.width, region.height, sink);
    });
}

void MeasureCommands::count1Click()
{
    runCommand([this] { counts_.showInFront(); }, BusyCursor::DontShow);
}

void MeasureCommands::ToolButton10Click()
{
    count1Click();
}

void MeasureCommands::length1Click()
{
    runCommand([this] {
        showInFront(&lengths_);
        // Without a selection the command asks for the whole image's size.
        const std::optional<dimora::Region> selection = workspace_.shownSelection();
        if (!selection)
            workspace_.prepareImageForSize();
        const auto length =
            dimora::measureTotalLength(std::as_const(workspace_).workingPicture().pixels().view(), selection);
        if (length)
            lengths_.showLength(*length);
    });
}

void MeasureCommands::measureSettings1Click()
{
    runCommand([this] { settings_->showChoices(); }, BusyCursor::DontShow);
}
