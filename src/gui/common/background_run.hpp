// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The one way a long command of the desktop program works off the GUI
// thread: the work runs on a worker thread, while the GUI thread waits in an
// event loop of its own, which delivers the work's progress reports in the
// order they were made, keeps the windows painted and, when the command asks
// for it, serves the user's input (a progress window's stop button). The
// loop ends by the work's own last message, so no report comes after the
// run has returned, and nothing reenters the command through a
// processEvents call of its own.

#include <QObject>

#include <cstdint>
#include <functional>
#include <stop_token>

// Whether the user's input reaches the windows while the work runs. A
// command whose progress window is modal lets it through (the other windows
// stay blocked by the modality); one whose progress window only shows the
// state keeps it waiting until the run has ended.
enum class InputWhileRunning { Waits, Served };

// The progress of the work, as the core's runs report it: `done` of `total` steps.
using RunProgress = std::function<void(std::int32_t done, std::int32_t total)>;

class BackgroundRun : public QObject {
public:
    explicit BackgroundRun(InputWhileRunning input) : input_(input) {}

    // Runs work(stop, report) on a worker thread and returns when it has
    // ended. Each call of `report` on the worker reaches `showProgress` on
    // the GUI thread, in order, before run returns. An exception that ends
    // the work is thrown again here. Runs once.
    void run(const std::function<void(const std::stop_token&, const RunProgress&)>& work,
             const RunProgress& showProgress);

    // Asks the work to stop through its stop token (from the GUI thread, by a
    // stop button connected with this object as context).
    void requestStop() { stop_.request_stop(); }
    [[nodiscard]] bool stopRequested() const { return stop_.stop_requested(); }

private:
    InputWhileRunning input_;
    std::stop_source stop_;
};
