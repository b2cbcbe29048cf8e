// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "program_fixture.hpp"

#include "gui/measure/count_window.hpp"
#include "gui/measure/result_window.hpp"
#include "gui/slices/progress_window.hpp"
#include "gui/slices/slice_settings_dialog.hpp"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

dimora::Bitmap allBlack(int width, int height)
{
    return makeBitmap(width, height, [](int, int) { return dimora::kBlack; });
}

// Picks the last file through the settings dialog, as the user would.
void pickLastFile(ProgramUnderTest& program, const QString& path)
{
    program.desktop.fileAnswers.push_back(path);
    program.windows.form7->Button1->click();
}

}  // namespace

class SlicesTest : public QObject {
    Q_OBJECT
private slots:
    void theSettingsDialogDerivesTheFirstFile()
    {
        ProgramUnderTest program;
        TForm7& form7 = *program.windows.form7;
        QCOMPARE(form7.Label2->text(), QStringLiteral("1.bmp"));
        QCOMPARE(form7.Label4->text(), QStringLiteral("1.bmp"));
        QVERIFY(form7.SliceFileName.isEmpty());

        program.form1().controls().slice1->trigger();
        QVERIFY(form7.isVisible());
        QVERIFY(!form7.isModal());

        pickLastFile(program, QStringLiteral("/scan/25.PNG"));
        QCOMPARE(form7.Label2->text(), QStringLiteral("/scan/1.png"));
        QCOMPARE(form7.Label4->text(), QStringLiteral("/scan/25.PNG"));
        QCOMPARE(form7.SliceFileName, QStringLiteral("/scan/25.PNG"));
        QCOMPARE(program.desktop.dialogsShown.size(), std::size_t{1});
        QCOMPARE(program.desktop.dialogsShown[0].name, QStringLiteral("OpenDialog1"));
        QCOMPARE(program.desktop.dialogsShown[0].defaultExtension, QStringLiteral("BMP"));
        QCOMPARE(
            program.desktop.dialogsShown[0].filter,
            QStringLiteral("画像ファイル (*.bmp *.png *.tif *.tiff *.jpg *.jpeg);;ビットマップ(*.bmp);;"
                           "PNGファイル(*png);;TIFFファイル (*.tif *.tiff);;JPEGファイル (*.jpg *.jpeg)"));

        pickLastFile(program, QStringLiteral("/scan/12.bmp"));
        QCOMPARE(form7.Label2->text(), QStringLiteral("/scan/1.bmp"));
        pickLastFile(program, QStringLiteral("/scan/30.TIF"));
        QCOMPARE(form7.Label2->text(), QStringLiteral("/scan/1.TIF"));
        pickLastFile(program, QStringLiteral("/a.b/scan/7.gif"));
        QCOMPARE(form7.Label2->text(), QStringLiteral("/a.b/scan/1.bmp"));

        // Cancelling changes nothing.
        program.desktop.fileAnswers.push_back(std::nullopt);
        form7.Button1->click();
        QCOMPARE(form7.Label2->text(), QStringLiteral("/a.b/scan/1.bmp"));
        QCOMPARE(form7.Label4->text(), QStringLiteral("/a.b/scan/7.gif"));
        QCOMPARE(form7.SliceFileName, QStringLiteral("/a.b/scan/7.gif"));

        // Cancel and Esc hide the dialog and keep the settings.
        form7.Edit2->setText(QStringLiteral("0.1"));
        form7.BitBtn2->click();
        QVERIFY(form7.isHidden());
        program.form1().controls().slice1->trigger();
        QTest::keyClick(&form7, Qt::Key_Escape);
        QVERIFY(form7.isHidden());
        program.form1().controls().slice1->trigger();
        QCOMPARE(form7.Edit2->text(), QStringLiteral("0.1"));
        QCOMPARE(form7.Label4->text(), QStringLiteral("/a.b/scan/7.gif"));
        QVERIFY(program.desktop.errorReports.isEmpty());
    }

    void enterPressesTheFocusedButtonElseTheRunButton()
    {
        QTemporaryDir folder;  // empty: a run reports the missing first slice
        ProgramUnderTest program;
        TForm7& form7 = *program.windows.form7;
        pickLastFile(program, folder.filePath(QStringLiteral("3.bmp")));
        const auto pressEnterOn = [&](QWidget* control) {
            program.form1().controls().slice1->trigger();
            QApplication::setActiveWindow(&form7);
            QVERIFY(QTest::qWaitForWindowActive(&form7));
            control->setFocus(Qt::TabFocusReason);
            QTest::keyClick(control, Qt::Key_Return);
        };
        pressEnterOn(form7.BitBtn2);  // cancels, runs nothing
        QVERIFY(form7.isHidden());
        pressEnterOn(form7.Button1);  // asks for the last file again
        QCOMPARE(program.desktop.dialogsShown.size(), std::size_t{2});
        QVERIFY(form7.isVisible());
        QVERIFY(program.desktop.errorReports.isEmpty());
        pressEnterOn(form7.Edit3);  // elsewhere: the run
        QVERIFY(form7.isHidden());
        QCOMPARE(program.desktop.errorReports.size(), 1);
    }

    void aRunMeasuresTheStackWithProgress()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        writeBmpSeries(folder.path(), 3, [](int) { return allBlack(64, 64); });

        ProgramUnderTest program;
        TForm7& form7 = *program.windows.form7;
        TForm8& form8 = *program.windows.form8;
        program.windows.form4->appendCountLine(QStringLiteral("stale"));
        program.form1().controls().slice1->trigger();
        pickLastFile(program, folder.filePath(QStringLiteral("3.bmp")));

        QList<int> positions;
        QList<bool> progressShown;
        QList<bool> eventsDelivered;
        bool delivered = false;
        bool closeRefused = false;
        connect(form8.ProgressBar1, &QProgressBar::valueChanged, &form8, [&](int value) {
            positions.append(value);
            progressShown.append(form8.isVisible());
            eventsDelivered.append(delivered);
        });
        // The windows are served while the slices are counted on the worker:
        // an event posted before the run (such as a repaint) is delivered as
        // the run starts, before the first slice's progress. Close requests
        // of the window manager are refused meanwhile.
        QTimer::singleShot(0, &form8, [&] {
            delivered = true;
            closeRefused = !program.form1().close() && !form8.close() && form8.isVisible();
        });
        form7.BitBtn1->click();

        QVERIFY(program.desktop.errorReports.isEmpty());
        QCOMPARE(positions, (QList<int>{33, 66, 100}));
        QCOMPARE(progressShown, (QList<bool>{true, true, true}));
        QCOMPARE(eventsDelivered, (QList<bool>{true, true, true}));
        QVERIFY(closeRefused);
        QVERIFY(form8.isHidden());
        QVERIFY(form7.isHidden());
        QCOMPARE(program.windows.form4->countLines(), (QStringList{"12288", "1536", "192", "24", "3"}));
        QCOMPARE(resultFields(program.windows), (QStringList{" 64×64", " 100.0", " -1.0000 (5)", " 3.0000"}));
        QCOMPARE(form7.SliceFileName, folder.filePath(QStringLiteral("3.bmp")));
        QVERIFY(program.form1().close());  // the run is over
    }

    void theSpacingScalesTheCounts()
    {
        QTemporaryDir folder;
        writeBmpSeries(folder.path(), 3, [](int) { return allBlack(64, 64); });
        ProgramUnderTest program;
        TForm7& form7 = *program.windows.form7;
        pickLastFile(program, folder.filePath(QStringLiteral("3.bmp")));
        form7.Edit2->setText(QStringLiteral("0.1"));
        form7.Edit3->setText(QStringLiteral("0.2"));
        form7.BitBtn1Click();
        QCOMPARE(program.windows.form4->countLines(), (QStringList{"24576", "3072", "384", "48", "6"}));
        QCOMPARE(resultFields(program.windows), (QStringList{" 64×64", " 100.0", " -1.0000 (5)", " 3.0000"}));

        // A pixel size of 0 cannot be divided by.
        form7.Edit2->setText(QStringLiteral("0"));
        form7.BitBtn1Click();
        QCOMPARE(program.desktop.errorReports, QStringList{reportOf(dimora::msg::kFloatDivideByZero)});
        QVERIFY(program.windows.form8->isHidden());
    }

    void theLastSliceStaysAndTheSelectionLimitsEverySlice()
    {
        QTemporaryDir folder;
        // Slice i is 200 wide and 190 + i high, black all over.
        writeBmpSeries(folder.path(), 3, [](int i) { return allBlack(200, 190 + i); });
        ProgramUnderTest program;
        TForm1& form1 = program.form1();
        pickLastFile(program, folder.filePath(QStringLiteral("3.bmp")));
        form1.controls().N2->trigger();  // the 64 × 64 selection at (80, 80)
        program.windows.form7->BitBtn1Click();

        QVERIFY(program.desktop.errorReports.isEmpty());
        QCOMPARE(resultFields(program.windows), (QStringList{" 64×64", " 100.0", " -1.0000 (5)", " 3.0000"}));
        QCOMPARE(program.windows.form4->countLines(), (QStringList{"12288", "1536", "192", "24", "3"}));
        QCOMPARE(form1.workingPicture().pixels().height(), 193);

        // Without the selection the whole first slice counts.
        form1.controls().N2->trigger();
        program.windows.form7->BitBtn1Click();
        QCOMPARE(program.windows.form2->Edit1->text(), QStringLiteral(" 200×191"));
    }

    void aMissingSliceEndsTheRunWithTheSliceBeforeIt()
    {
        QTemporaryDir folder;
        writeBmpSeries(folder.path(), 3, [](int i) { return allBlack(64, 60 + i); });
        QVERIFY(QFile::remove(folder.filePath(QStringLiteral("2.bmp"))));
        ProgramUnderTest program;
        TForm1& form1 = program.form1();
        TForm2& form2 = *program.windows.form2;
        form2.Edit1->setText(QStringLiteral("kept"));
        pickLastFile(program, folder.filePath(QStringLiteral("3.bmp")));
        program.windows.form4->appendCountLine(QStringLiteral("stale"));
        program.windows.form7->BitBtn1Click();

        const QString missing = folder.filePath(QStringLiteral("2.bmp"));
        QCOMPARE(program.desktop.errorReports,
                 QStringList{reportOf(dimora::msg::kCannotOpenFile, missing.toStdString())});
        QCOMPARE(form1.workingPicture().pixels().height(), 61);  // slice 1
        QCOMPARE(program.windows.form7->SliceFileName, missing);
        QVERIFY(program.windows.form8->isHidden());
        QVERIFY(program.windows.form4->countLines().isEmpty());
        QCOMPARE(form2.Edit1->text(), QStringLiteral("kept"));
    }

    void aPngSeriesIsReadByItsLowerCaseNames()
    {
        QTemporaryDir folder;
        for (int i = 1; i <= 3; ++i) {
            QImage slice(64, 64, QImage::Format_RGB32);
            slice.fill(Qt::black);
            QVERIFY(slice.save(folder.filePath(QStringLiteral("%1.png").arg(i))));
        }
        ProgramUnderTest program;
        pickLastFile(program, folder.filePath(QStringLiteral("3.PNG")));
        QCOMPARE(program.windows.form7->Label2->text(), folder.filePath(QStringLiteral("1.png")));
        program.windows.form7->BitBtn1Click();
        QVERIFY(program.desktop.errorReports.isEmpty());
        QCOMPARE(program.windows.form4->countLines(), (QStringList{"12288", "1536", "192", "24", "3"}));
        QCOMPARE(program.windows.form7->SliceFileName, folder.filePath(QStringLiteral("3.png")));
    }
};

QTEST_MAIN(SlicesTest)
#include "test_slices.moc"
