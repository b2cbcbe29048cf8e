// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "program_fixture.hpp"

#include "core/files/png_test_files.hpp"
#include "core/files/tiff_jpeg_test_files.hpp"
#include "core/slices/cube_count.hpp"
#include "core/slices/cube_measurement.hpp"
#include "core/slices/cube_stack.hpp"
#include "gui/common/bitmap_qimage.hpp"
#include "gui/common/messages.hpp"
#include "gui/measure/count_window.hpp"
#include "gui/measure/result_window.hpp"
#include "gui/slices/cube_progress_window.hpp"
#include "gui/slices/cube_settings_dialog.hpp"

#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <string>

namespace {

// A scattered pattern that differs from slice to slice, so that every side
// and every k(s) gives its own count.
dimora::Bitmap patternSlice(int width, int height, int i)
{
    return makeBitmap(width, height, [i](int x, int y) {
        return (x * 7 + y * 13 + i * 5) % 11 < 3 ? dimora::kBlack : dimora::kWhite;
    });
}

// The four fields of the result window, then the count list: as the windows
// show them, and as the core's own whole measurement gives them.
QStringList shownNow(const Windows& windows)
{
    return resultFields(windows) + windows.form4->countLines();
}

QStringList shownBy(const dimora::DimensionMeasurement& m)
{
    QStringList texts;
    for (const std::string& text : {m.fields.edit1, m.fields.edit2, m.fields.edit3, m.fields.edit4})
        texts.append(QString::fromStdString(text));
    for (const std::string& line : m.countList)
        texts.append(QString::fromStdString(line));
    return texts;
}

// Marks the result and count windows, so that a run that writes nothing can
// be told from one that writes.
void markWindows(const Windows& windows)
{
    windows.form2->Edit1->setText(QStringLiteral("kept"));
    windows.form4->appendCountLine(QStringLiteral("stale"));
}

void expectMarkedWindows(const Windows& windows)
{
    QCOMPARE(windows.form2->Edit1->text(), QStringLiteral("kept"));
    QCOMPARE(windows.form4->countLines(), QStringList{QStringLiteral("stale")});
}

}  // namespace

class CubesTest : public QObject {
    Q_OBJECT
private slots:
    void theDialogFindsTheStackFromAFileOrAFolder()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        writeBmpSeries(folder.path(), 3, [](int i) { return patternSlice(32, 32, i); });
        ProgramUnderTest program;
        TForm1& form1 = program.form1();
        CubeSettingsDialog& dialog = *program.windows.cubeSettings;

        // The item stands right below the slice series' item.
        const QList<QAction*> items = form1.controls().N4->actions();
        QCOMPARE(items.indexOf(form1.controls().cube1), items.indexOf(form1.controls().slice1) + 1);
        QCOMPARE(form1.controls().cube1->objectName(), QStringLiteral("cube1"));
        form1.controls().cube1->trigger();
        QVERIFY(dialog.isVisible());
        QVERIFY(!dialog.isModal());
        QCOMPARE(dialog.PixelSizeEdit->text(), QStringLiteral("1"));
        QCOMPARE(dialog.SliceDistanceEdit->text(), QStringLiteral("1"));

        // The last file of a numbered series.
        const QString last = folder.filePath(QStringLiteral("3.bmp"));
        program.desktop.fileAnswers.push_back(last);
        dialog.FileButton->click();
        QCOMPARE(dialog.StackEdit->text(), last);
        QCOMPARE(dialog.FirstSliceEdit->text(), folder.filePath(QStringLiteral("1.bmp")));
        QCOMPARE(dialog.LastSliceEdit->text(), last);
        QCOMPARE(dialog.SliceCountLabel->text(), QStringLiteral("スライス数: 3"));
        QCOMPARE(dialog.sliceCount(), 3);

        // The folder, its files in the order the core finds them.
        program.desktop.fileAnswers.push_back(folder.path());
        dialog.FolderButton->click();
        const dimora::CubeStack found = dimora::CubeStack::find(folder.path().toStdString());
        QCOMPARE(dialog.StackEdit->text(), folder.path());
        QCOMPARE(dialog.FirstSliceEdit->text(), QString::fromStdString(found.slicePath(1)));
        QCOMPARE(dialog.LastSliceEdit->text(), QString::fromStdString(found.slicePath(3)));

        QCOMPARE(program.desktop.dialogsShown.size(), std::size_t{2});
        QCOMPARE(program.desktop.dialogsShown[0].kind, FileDialogOptions::Kind::Open);
        QCOMPARE(program.desktop.dialogsShown[0].filter, fileDialogs::openBitmap().filter);
        QCOMPARE(program.desktop.dialogsShown[1].kind, FileDialogOptions::Kind::Folder);

        // Cancelled dialogs change nothing.
        program.desktop.fileAnswers = {std::nullopt, std::nullopt};
        dialog.FileButton->click();
        dialog.FolderButton->click();
        QCOMPARE(dialog.StackEdit->text(), folder.path());
        QCOMPARE(dialog.sliceCount(), 3);

        // A multi-page TIFF names its pages.
        dimora::testing::TiffPage page;
        page.sample = [](std::uint32_t x, std::uint32_t, unsigned) { return x % 2 == 0 ? 0U : 255U; };
        const QString tiff = folder.filePath(QStringLiteral("stack.tif"));
        dimora::testing::writeFile(tiff.toStdString(),
                                   dimora::testing::encodeTiff({false, false, {page, page}}));
        dialog.StackEdit->setText(tiff);
        QCOMPARE(dialog.FirstSliceEdit->text(), tiff + QStringLiteral(" (1 / 2 ページ)"));
        QCOMPARE(dialog.LastSliceEdit->text(), tiff + QStringLiteral(" (2 / 2 ページ)"));

        // A stack that is not found shows why, in the core's words.
        QTemporaryDir empty;
        std::string why;
        try {
            (void)dimora::CubeStack::find(empty.path().toStdString());
        } catch (const dimora::Error& error) {
            why = error.what();
        }
        QVERIFY(!why.empty());
        dialog.StackEdit->setText(empty.path());
        QCOMPARE(dialog.SliceCountLabel->text(), translatedMessage(why));
        QVERIFY(dialog.FirstSliceEdit->text().isEmpty() && dialog.LastSliceEdit->text().isEmpty());
        QCOMPARE(dialog.sliceCount(), 0);

        // Cancel and Esc hide the dialog and keep the settings.
        dialog.PixelSizeEdit->setText(QStringLiteral("0.5"));
        dialog.CancelButton->click();
        QVERIFY(dialog.isHidden());
        form1.controls().cube1->trigger();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(dialog.isHidden());
        form1.controls().cube1->trigger();
        QCOMPARE(dialog.PixelSizeEdit->text(), QStringLiteral("0.5"));
        QCOMPARE(dialog.StackEdit->text(), empty.path());
        QVERIFY(program.desktop.errorReports.isEmpty());
    }

    void aWrongVoxelTextIsReportedWithTheDialogOpen()
    {
        QTemporaryDir folder;
        writeBmpSeries(folder.path(), 3, [](int i) { return patternSlice(32, 32, i); });
        ProgramUnderTest program;
        CubeSettingsDialog& dialog = *program.windows.cubeSettings;
        program.form1().controls().cube1->trigger();
        dialog.StackEdit->setText(folder.path());
        markWindows(program.windows);

        const auto runWith = [&](const QString& pixel, const QString& distance) {
            program.desktop.errorReports.clear();
            dialog.PixelSizeEdit->setText(pixel);
            dialog.SliceDistanceEdit->setText(distance);
            dialog.RunButton->click();
            return program.desktop.errorReports;
        };
        QCOMPARE(runWith(QStringLiteral("abc"), QStringLiteral("1")),
                 QStringList{reportOf(dimora::msg::kNotAReal, "abc")});
        QCOMPARE(runWith(QStringLiteral("1"), QString()), QStringList{reportOf(dimora::msg::kNotAReal, "")});
        const QStringList notPositive{reportOf(dimora::msg::kVoxelSizeNotPositive)};
        QCOMPARE(runWith(QStringLiteral("0"), QStringLiteral("1")), notPositive);
        QCOMPARE(runWith(QStringLiteral("1"), QStringLiteral("-0.2")), notPositive);
        // Too large for a double.
        QCOMPARE(runWith(QStringLiteral("1"), QStringLiteral("1e999")), notPositive);
        QVERIFY(dialog.isVisible());
        QVERIFY(program.windows.cubeProgress->isHidden());
        expectMarkedWindows(program.windows);
    }

    void theVoxelTextsRoundAsWritten()
    {
        ProgramUnderTest program;
        CubeSettingsDialog& dialog = *program.windows.cubeSettings;
        // Pixel, distance, k(1): 0.3 / 0.2 is 1.5 and rounds up, although it is
        // less in doubles; the longer text is the same double as 0.3.
        const struct {
            const char* pixel;
            const char* distance;
            std::int64_t slices;
        } cases[] = {{"0.3", "0.2", 2}, {" 0.7", "2e-1 ", 4}, {"0.29999999999999999", "0.2", 1}};
        for (const auto& c : cases) {
            dialog.PixelSizeEdit->setText(QString::fromLatin1(c.pixel));
            dialog.SliceDistanceEdit->setText(QString::fromLatin1(c.distance));
            QCOMPARE(dimora::slicesPerBox(1, dialog.settings().voxel), c.slices);
        }
    }

    void aRunWritesTheCoreMeasurementAndKeepsTheWorkingImage()
    {
        QTemporaryDir folder;
        constexpr int kSlices = 16;
        writeBmpSeries(folder.path(), kSlices, [](int i) { return patternSlice(160, 150, i); });
        ProgramUnderTest program;
        TForm1& form1 = program.form1();
        CubeSettingsDialog& dialog = *program.windows.cubeSettings;
        CubeProgressWindow& progress = *program.windows.cubeProgress;
        form1.setWorkingImage(patternSlice(40, 30, 0));
        const QImage picture = toQImage(form1.workingPicture().pixels());
        program.windows.form4->appendCountLine(QStringLiteral("stale"));

        form1.controls().cube1->trigger();
        dialog.StackEdit->setText(folder.filePath(QStringLiteral("%1.bmp").arg(kSlices)));
        dialog.PixelSizeEdit->setText(QStringLiteral("0.05"));
        dialog.SliceDistanceEdit->setText(QStringLiteral("0.1"));

        QList<int> positions;
        QStringList texts;
        bool shownModal = true;
        connect(progress.ProgressBar, &QProgressBar::valueChanged, &progress, [&](int value) {
            positions.append(value);
            texts.append(progress.SliceLabel->text());
            shownModal = shownModal && progress.isVisible() && QApplication::activeModalWidget() == &progress;
        });
        // The windows are served while the slices are counted; the main
        // window refuses to close meanwhile.
        bool servedDuringRun = false;
        QTimer::singleShot(0, &progress, [&] { servedDuringRun = progress.isVisible() && !form1.close(); });
        dialog.RunButton->click();

        QVERIFY(program.desktop.errorReports.isEmpty());
        QVERIFY(servedDuringRun);
        QVERIFY(shownModal);
        QList<int> expectedPositions;
        for (int i = 0; i <= kSlices; ++i)
            expectedPositions.append(i);
        // The bar may start at 0 already, so that the first change is to 1.
        if (positions.value(0) != 0)
            expectedPositions.removeFirst();
        QCOMPARE(positions, expectedPositions);
        QCOMPARE(texts.last(), QStringLiteral("スライス 16 / 16"));
        QVERIFY(progress.isHidden());
        QVERIFY(dialog.isHidden());

        dimora::CubeSettings settings;
        settings.stack = dialog.StackEdit->text().toStdString();
        settings.voxel = {0.05, 0.05, 0.1};
        const dimora::CubeStackMeasurement whole = dimora::measureCubeStack(settings);
        QCOMPARE(shownNow(program.windows), shownBy(whole.measurement));
        QCOMPARE(program.windows.form2->Edit1->text(), QStringLiteral(" 160×150"));
        QCOMPARE(toQImage(form1.workingPicture().pixels()), picture);

        // The count window says that it counts cubes, over how many slices
        // and with what voxel, above the uncertainty line; both lines fit.
        TForm4& counts = *program.windows.form4;
        counts.show();
        const QStringList lines = counts.UncertaintyLabel->text().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], QStringLiteral("3D: 16 スライス, ボクセル 0.05×0.05×0.1 mm"));
        QVERIFY(lines[1].startsWith(QStringLiteral("D = ")));
        const QFontMetrics metrics = counts.UncertaintyLabel->fontMetrics();
        for (const QString& line : lines)
            QVERIFY2(metrics.horizontalAdvance(line) <= counts.UncertaintyLabel->contentsRect().width(),
                     qPrintable(line));
        QVERIFY(counts.UncertaintyLabel->height() >= 2 * metrics.lineSpacing());
        QVERIFY(counts.UncertaintyLabel->toolTip().isEmpty());
        QCOMPARE(counts.UncertaintyLabel->y(), counts.Chart1->geometry().bottom() + 1);
        QCOMPARE(counts.UncertaintyLabel->geometry().bottom(), counts.height() - 1);

        // The shown selection limits every slice.
        form1.controls().N2->trigger();
        settings.region = form1.shownSelection();
        QVERIFY(settings.region);
        // Voxel texts too long for the line are cut there and given whole in its tool tip.
        dialog.PixelSizeEdit->setText(QStringLiteral("0.0500000000000000000000000000"));
        dialog.SliceDistanceEdit->setText(QStringLiteral("0.1000000000000000000000000000"));
        dialog.RunButtonClick();
        const dimora::CubeStackMeasurement selected = dimora::measureCubeStack(settings);
        QVERIFY(program.desktop.errorReports.isEmpty());
        QCOMPARE(shownNow(program.windows), shownBy(selected.measurement));
        QVERIFY(shownBy(selected.measurement) != shownBy(whole.measurement));
        QCOMPARE(toQImage(form1.workingPicture().pixels()), picture);
        const QString longNote = QStringLiteral("3D: 16 スライス, ボクセル %1×%1×%2 mm")
                                     .arg(dialog.PixelSizeEdit->text(), dialog.SliceDistanceEdit->text());
        QCOMPARE(counts.UncertaintyLabel->toolTip(), longNote);
        const QString cut = counts.UncertaintyLabel->text().section(QLatin1Char('\n'), 0, 0);
        QVERIFY(cut.endsWith(QChar(0x2026)) && longNote.startsWith(cut.chopped(1)));
        QVERIFY(metrics.horizontalAdvance(cut) <= counts.UncertaintyLabel->contentsRect().width());

        // A measurement in the plane leaves the line and the chart as they were.
        const int chartHeight = counts.Chart1->height();
        form1.controls().frac1->trigger();
        QVERIFY(program.desktop.errorReports.isEmpty());
        QVERIFY(!counts.UncertaintyLabel->text().startsWith(QStringLiteral("3D")));
        QVERIFY(!counts.UncertaintyLabel->text().contains(QLatin1Char('\n')));
        QVERIFY(counts.UncertaintyLabel->toolTip().isEmpty());
        QCOMPARE(counts.Chart1->height(), chartHeight + counts.UncertaintyLabel->height());
        QCOMPARE(counts.UncertaintyLabel->y(), counts.Chart1->geometry().bottom() + 1);
        QVERIFY(form1.close());  // the run is over
    }

    void stoppingEndsTheRunWithoutWriting()
    {
        QTemporaryDir folder;
        writeBmpSeries(folder.path(), 40, [](int i) { return patternSlice(64, 64, i); });
        ProgramUnderTest program;
        CubeSettingsDialog& dialog = *program.windows.cubeSettings;
        CubeProgressWindow& progress = *program.windows.cubeProgress;
        dialog.StackEdit->setText(folder.path());
        markWindows(program.windows);

        // The stop button, then closing the window: both only ask the run to stop.
        for (const bool byButton : {true, false}) {
            int stops = 0;
            const QMetaObject::Connection stopping =
                connect(progress.ProgressBar, &QProgressBar::valueChanged, &progress, [&](int value) {
                    if (value != 1)
                        return;
                    ++stops;
                    if (byButton)
                        progress.StopButton->click();
                    else
                        QVERIFY(!progress.close());
                    QVERIFY(!progress.StopButton->isEnabled());
                });
            dialog.RunButtonClick();
            disconnect(stopping);
            QCOMPARE(stops, 1);
            QVERIFY(progress.isHidden());
            QVERIFY(program.desktop.errorReports.isEmpty());
            expectMarkedWindows(program.windows);
        }
        // The next run may be stopped again, and runs to its end when it is not.
        dialog.RunButtonClick();
        QVERIFY(program.desktop.errorReports.isEmpty());
        QCOMPARE(program.windows.form4->countLines().size(),
                 qsizetype(dimora::measureCubeStack({folder.path().toStdString(), {}, {}})
                               .measurement.countList.size()));
    }

    void aSliceOfAnotherSizeIsReported()
    {
        QTemporaryDir folder;
        writeBmpSeries(folder.path(), 6, [](int i) { return patternSlice(64, i == 4 ? 60 : 64, i); });
        ProgramUnderTest program;
        CubeSettingsDialog& dialog = *program.windows.cubeSettings;
        const QString last = folder.filePath(QStringLiteral("6.bmp"));
        dialog.StackEdit->setText(last);
        markWindows(program.windows);
        dialog.RunButtonClick();

        const std::string fourth = dimora::CubeStack::find(last.toStdString()).slicePath(4);
        QCOMPARE(program.desktop.errorReports, QStringList{reportOf(dimora::msg::kSliceSizeDiffers, fourth)});
        QVERIFY(program.windows.cubeProgress->isHidden());
        expectMarkedWindows(program.windows);

        // A slice cut short is named by its path and number.
        writeBmpSeries(folder.path(), 6, [](int i) { return patternSlice(64, 64, i); });
        const QString fifth = folder.filePath(QStringLiteral("5.bmp"));
        QVERIFY(QFile::resize(fifth, QFileInfo(fifth).size() / 2));
        program.desktop.errorReports.clear();
        dialog.RunButtonClick();
        QCOMPARE(program.desktop.errorReports,
                 QStringList{reportOf(dimora::cannotReadSliceMessage(fifth.toStdString(), 5))});
        QVERIFY(program.windows.cubeProgress->isHidden());
        expectMarkedWindows(program.windows);
    }
};

QTEST_MAIN(CubesTest)
#include "test_cubes.moc"
