// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
// Makes the README's picture of the program: with DIMORA_SCREENSHOT set to a
// path and a real display (xcb, e.g. under xvfb-run), the sample carpet is
// opened, measured and shown with its counts, and the screen is saved there.
// Without the variable there is nothing to do.
#include "gui_test_support.hpp"

#include "gui/app/startup.hpp"

#include <QScreen>
#include <QtTest>

class ScreenshotTest : public QObject {
    Q_OBJECT

private slots:
    void theProgramAfterABlackMeasurementOfTheSampleCarpet()
    {
        const QString target = qEnvironmentVariable("DIMORA_SCREENSHOT");
        if (target.isEmpty())
            QSKIP("DIMORA_SCREENSHOT is not set");
        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            QSKIP("the picture needs a real display");
        prepareApplication(*qApp);
        ProgramWindows program;
        TForm1& f = program.form1();
        f.move(10, 10);
        f.resize(780, 640);
        program.form2().move(810, 40);
        program.recorder.fileAnswers = {
            QStringLiteral(DIMORA_TEST_DATA "/../../samples/sierpinski-carpet.bmp")};
        f.controls().Open1->trigger();
        f.controls().frac1->trigger();
        QVERIFY(program.recorder.errorReports.isEmpty());
        f.controls().count1->trigger();
        program.form4().move(810, 200);
        program.form4().resize(450, 330);
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QVERIFY(QTest::qWaitForWindowExposed(&program.form4()));
        QTest::qWait(800);
        const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
        QVERIFY(screen.save(target, "PNG"));
    }
};

QTEST_MAIN(ScreenshotTest)
#include "test_screenshot.moc"
