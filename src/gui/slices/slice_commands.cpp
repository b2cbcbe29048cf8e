// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// The slice-stack measurement: the settings dialog's run button counts the
// series in the core, showing the progress window meanwhile, and finishes
// like every dimension measurement in the result and count windows.

#include "core/measure/measurement_sequence.hpp"
#include "core/slices/slice_series.hpp"
#include "core/slices/slice_stack.hpp"
#include "gui/app/main_window.hpp"
#include "gui/app/windows.hpp"
#include "gui/common/command.hpp"
#include "gui/measure/count_window.hpp"
#include "gui/measure/measurement_windows.hpp"
#include "gui/slices/progress_window.hpp"
#include "gui/slices/slice_settings_dialog.hpp"

#include <QCoreApplication>

#include <optional>
#include <utility>

namespace {

// Hides the progress window on every way out of the run.
class ProgressShown {
public:
    explicit ProgressShown(TForm8& window) : window_(window)
    {
        window_.setProgress(0);
        window_.show();
    }
    ~ProgressShown() { window_.hide(); }
    ProgressShown(const ProgressShown&) = delete;
    ProgressShown& operator=(const ProgressShown&) = delete;

private:
    TForm8& window_;
};

}  // namespace

void TForm1::slice1Click()
{
    runCommand([] { windows().form7->show(); }, BusyCursor::DontShow);
}

void TForm7::BitBtn1Click()
{
    hide();
    runCommand([this] {
        TForm1& form1 = *windows().form1;
        ProgressShown progress(*windows().form8);
        windows().form4->clearCountList();

        dimora::SliceSeriesSettings settings = this->settings();
        settings.selection = form1.shownSelection();

        const auto showProgress = [](std::int32_t done, std::int32_t total) {
            windows().form8->setProgress(dimora::sliceProgressPercent(done, total));
            // Keep the windows painted; the user's input waits for the end.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        };

        // The last slice that loaded becomes the working image, also when an
        // error ends the run.
        dimora::SliceRun run;
        const auto adoptRun = [&] {
            if (run.workingImage)
                form1.setWorkingImage(std::move(*run.workingImage));
            if (run.sliceFileName)
                SliceFileName = QString::fromStdString(*run.sliceFileName);
        };
        dimora::SliceStackCounts counts;
        try {
            counts = dimora::countSliceStack(settings, run, showProgress);
        } catch (...) {
            adoptRun();
            throw;
        }
        adoptRun();
        MeasurementWindows sink(*windows().form4, *windows().form2);
        dimora::finishMeasurement(dimora::reportSliceCounts(counts), counts.region.width,
                                  counts.region.height, sink);
    });
}
