// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// The cube measurement: the settings dialog's run button counts the stack in
// the core on a worker thread, while the progress window follows the slices
// and offers to stop; a finished run ends like every dimension measurement in
// the result and count windows. The working image is not touched.

#include "core/measure/measurement_sequence.hpp"
#include "core/slices/cube_count.hpp"
#include "core/slices/cube_measurement.hpp"
#include "gui/app/main_window.hpp"
#include "gui/app/windows.hpp"
#include "gui/common/command.hpp"
#include "gui/measure/count_window.hpp"
#include "gui/measure/measurement_windows.hpp"
#include "gui/slices/cube_progress_window.hpp"
#include "gui/slices/cube_run_events.hpp"
#include "gui/slices/cube_settings_dialog.hpp"

#include <QEventLoop>
#include <QObject>

#include <cstdint>
#include <exception>
#include <optional>
#include <stop_token>
#include <thread>

namespace {

// Shows the progress window for the lifetime of the object.
class ProgressShown {
public:
    ProgressShown(CubeProgressWindow& window, int total) : window_(window)
    {
        window_.start(total);
        window_.show();
    }
    ~ProgressShown() { window_.hide(); }
    ProgressShown(const ProgressShown&) = delete;
    ProgressShown& operator=(const ProgressShown&) = delete;

private:
    CubeProgressWindow& window_;
};

// Counts the stack on a worker thread while the GUI thread serves the windows
// in a local event loop: the progress window advances and its stop button
// works, the other windows are painted but blocked by its modality. Nothing
// when the user stopped the run (also when the last slice was counted
// meanwhile); the run's own error is thrown again here.
std::optional<dimora::CubeStackCounts> countOnWorker(const dimora::CubeSettings& settings,
                                                     CubeProgressWindow& window)
{
    std::stop_source stop;
    CubeRunEvents events;
    QEventLoop loop;
    QObject::connect(&events, &CubeRunEvents::progressed, &window, &CubeProgressWindow::setProgress,
                     Qt::QueuedConnection);
    QObject::connect(&events, &CubeRunEvents::ended, &loop, &QEventLoop::quit, Qt::QueuedConnection);

    std::optional<dimora::CubeStackCounts> counts;
    std::exception_ptr failure;
    QObject::connect(&window, &CubeProgressWindow::stopRequested, &loop, [&stop] { stop.request_stop(); });
    {
        std::jthread worker([&] {
            try {
                counts = dimora::countCubeStack(
                    settings,
                    [&events](std::int32_t done, std::int32_t total) { emit events.progressed(done, total); },
                    stop.get_token());
            } catch (const dimora::CubeRunStopped&) {
                // Nothing to report: the user asked for it.
            } catch (...) {
                failure = std::current_exception();
            }
            emit events.ended();
        });
        // The end arrives through the queue, so it cannot come before the loop runs.
        loop.exec();
    }
    if (stop.stop_requested())
        return std::nullopt;
    if (failure)
        std::rethrow_exception(failure);
    return counts;
}

}  // namespace

void TForm1::cube1Click()
{
    runCommand([] { windows().cubeSettings->show(); }, BusyCursor::DontShow);
}

void CubeSettingsDialog::RunButtonClick()
{
    // The progress window shows the run's state; the hourglass would only hide
    // that its stop button still works.
    runCommand(
        [this] {
            TForm1& form1 = *windows().form1;
            // A wrong voxel text is reported with the dialog still open for its correction.
            dimora::CubeSettings settings = this->settings();
            settings.region = form1.shownSelection();
            hide();

            std::optional<dimora::CubeStackCounts> run;
            {
                ProgressShown progress(*windows().cubeProgress, sliceCount());
                run = countOnWorker(settings, *windows().cubeProgress);
            }
            if (!run)
                return;
            windows().form4->clearCountList();
            windows().form4->showCubeNote(run->counts.sliceCount, run->counts.voxel);
            MeasurementWindows sink(*windows().form4, *windows().form2);
            dimora::finishMeasurement(dimora::reportCubeCounts(run->counts), run->counts.region.width,
                                      run->counts.region.height, sink);
        },
        BusyCursor::DontShow);
}
