// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
// The one way a long command works off the GUI thread: the work's thread,
// the order of its reports, its error and its stop.
#include "gui/common/background_run.hpp"

#include <QCoreApplication>
#include <QThread>
#include <QtTest>

#include <stdexcept>
#include <thread>

class BackgroundRunTest : public QObject {
    Q_OBJECT
private slots:
    void reportsArriveOnTheGuiThreadInOrderBeforeTheRunReturns()
    {
        for (const InputWhileRunning input : {InputWhileRunning::Waits, InputWhileRunning::Served}) {
            BackgroundRun background(input);
            std::thread::id worker;
            QList<int> shown;
            bool onGuiThread = true;
            background.run(
                [&](const std::stop_token&, const RunProgress& report) {
                    worker = std::this_thread::get_id();
                    for (int done = 1; done <= 50; ++done)
                        report(done, 50);
                },
                [&](std::int32_t done, std::int32_t total) {
                    onGuiThread = onGuiThread && QThread::currentThread() == qApp->thread();
                    shown.append(done * 100 + total);
                });
            QVERIFY(worker != std::this_thread::get_id());
            QVERIFY(onGuiThread);
            QCOMPARE(shown.size(), 50);
            for (int i = 0; i < shown.size(); ++i)
                QCOMPARE(shown[i], (i + 1) * 100 + 50);
        }
    }

    void theWorksErrorIsThrownAgainAfterItsReports()
    {
        BackgroundRun background(InputWhileRunning::Waits);
        int shown = 0;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 background.run(
                                     [](const std::stop_token&, const RunProgress& report) {
                                         report(1, 2);
                                         throw std::runtime_error("slice 2");
                                     },
                                     [&](std::int32_t, std::int32_t) { ++shown; }));
        QCOMPARE(shown, 1);
    }

    void aStopAskedOnTheGuiThreadReachesTheWork()
    {
        BackgroundRun background(InputWhileRunning::Served);
        int steps = 0;
        background.run(
            [&](const std::stop_token& stop, const RunProgress& report) {
                // Runs until it is told to stop: only the GUI thread can end it.
                while (!stop.stop_requested())
                    report(++steps, 0);
            },
            [&](std::int32_t done, std::int32_t) {
                if (done == 3)
                    background.requestStop();
            });
        QVERIFY(background.stopRequested());
        QVERIFY(steps >= 3);
    }
};

QTEST_MAIN(BackgroundRunTest)
#include "test_background_run.moc"
