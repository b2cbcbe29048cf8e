// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/common/background_run.hpp"

#include <QEventLoop>

#include <exception>
#include <thread>

void BackgroundRun::run(const std::function<void(const std::stop_token&, const RunProgress&)>& work,
                        const RunProgress& showProgress)
{
    QEventLoop loop;
    std::exception_ptr failure;
    // Queued invocations from one thread to one receiver arrive in the order
    // they were posted: every report before the end.
    const RunProgress report = [&loop, &showProgress](std::int32_t done, std::int32_t total) {
        QMetaObject::invokeMethod(
            &loop, [&showProgress, done, total] { showProgress(done, total); }, Qt::QueuedConnection);
    };
    {
        std::jthread worker([&] {
            try {
                work(stop_.get_token(), report);
            } catch (...) {
                failure = std::current_exception();
            }
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        // The end arrives through the queue, so it cannot come before the loop runs.
        loop.exec(input_ == InputWhileRunning::Served ? QEventLoop::AllEvents
                                                      : QEventLoop::ExcludeUserInputEvents);
    }
    if (failure)
        std::rethrow_exception(failure);
}
