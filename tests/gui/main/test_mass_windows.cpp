// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
// The lacunarity and multifractal commands as the user runs them: the
// dialogs' settings reach the core, the windows show the core's values in
// their lists, charts and lines, a gray mass comes from the file at its own
// depth until the picture changes, and the exports write their files.
#include "gui_test_support.hpp"

#include "core/common/error.hpp"
#include "core/common/text.hpp"
#include "core/files/sample_test_files.hpp"
#include "core/measure/lacunarity.hpp"
#include "core/measure/mass_test_images.hpp"
#include "core/measure/multifractal.hpp"
#include "gui/mass/mass_dialogs.hpp"
#include "gui/mass/mass_samples.hpp"
#include "gui/mass/mass_windows.hpp"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

// The general error report of a message (with its argument).
QString reportOf(std::string_view templ, std::string_view argument = {})
{
    const std::string message =
        argument.empty() ? std::string(templ) : dimora::formatMessage(templ, argument);
    return QString::fromStdString(dimora::errorReportText(message));
}

// The numbers of each line of a window's list.
std::vector<std::vector<double>> listNumbers(const MassResultWindow& window)
{
    std::vector<std::vector<double>> rows;
    for (const QString& line : window.valueLines()) {
        std::vector<double> row;
        for (const QString& field : line.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            row.push_back(field.toDouble());
        rows.push_back(row);
    }
    return rows;
}

// The level-3 Sierpinski carpet, 27 × 27, as the working picture.
void showCarpet(const ProgramWindows& w)
{
    w.form1().setWorkingImage(dimora::testing::sierpinskiCarpet(3));
}

dimora::LacunarityResult coreLacunarity(const ProgramWindows& w, const dimora::LacunaritySettings& settings)
{
    const dimora::Bitmap& picture = std::as_const(w.form1()).workingPicture().pixels();
    return dimora::measureLacunarity(picture.view(), {0, 0, picture.width(), picture.height()}, settings);
}

// A 16-bit grey plane whose pixel (x, y) is `value(x, y)`.
dimora::SamplePlane plane16(int width, int height, std::uint16_t value)
{
    dimora::SamplePlane plane(width, height, dimora::SampleType::UInt16);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            std::memcpy(plane.row(y) + 2 * x, &value, 2);
    return plane;
}

void writePlanePng(const QString& path, const dimora::SamplePlane& plane)
{
    dimora::testing::writeGreyPng(
        path.toStdString(),
        {static_cast<std::uint32_t>(plane.width()), static_cast<std::uint32_t>(plane.height()), plane.type(),
         [&plane](std::uint32_t x, std::uint32_t y) {
             return plane.value(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
         }});
}

}  // namespace

class MassWindowsTest : public QObject {
    Q_OBJECT
private slots:
    void lacunarityDialogSettingsReachTheCore_data()
    {
        QTest::addColumn<bool>("grid");
        QTest::addColumn<bool>("empty");
        QTest::addColumn<QString>("sides");             // empty: the default sides
        QTest::addColumn<QList<double>>("closedForm");  // Λ per side where known
        // Λ(3^k) = (9/8)^(3 − k) on the grid with the empty boxes; 1 without them.
        QTest::newRow("grid, empty boxes")
            << true << true << "1, 3,9,27" << QList<double>{729.0 / 512, 81.0 / 64, 9.0 / 8, 1.0};
        QTest::newRow("grid, occupied boxes") << true << false << "1,3,9,27" << QList<double>{1, 1, 1, 1};
        QTest::newRow("gliding, listed") << false << true << "2,5" << QList<double>{};
        QTest::newRow("gliding, default") << false << true << "" << QList<double>{};
    }

    void lacunarityDialogSettingsReachTheCore()
    {
        QFETCH(bool, grid);
        QFETCH(bool, empty);
        QFETCH(QString, sides);
        QFETCH(QList<double>, closedForm);
        ProgramWindows w;
        showCarpet(w);
        w.form1().controls().lacunarity1->trigger();
        LacunarityDialog& dialog = *w.windows.lacunarityDialog;
        QVERIFY(dialog.isVisible());
        // The defaults: gliding box, the default sides, empty boxes counted.
        QVERIFY(dialog.GlidingRadio->isChecked() && !dialog.GridRadio->isChecked());
        QVERIFY(dialog.DefaultSidesRadio->isChecked() && dialog.EmptyCheck->isChecked());
        (grid ? dialog.GridRadio : dialog.GlidingRadio)->click();
        QCOMPARE(dialog.EmptyCheck->isEnabled(), grid);
        dialog.EmptyCheck->setChecked(empty);
        (sides.isEmpty() ? dialog.DefaultSidesRadio : dialog.ListedSidesRadio)->click();
        QCOMPARE(dialog.SidesEdit->isEnabled(), !sides.isEmpty());
        // Choosing the sides leaves the method as it was.
        QCOMPARE(dialog.GridRadio->isChecked(), grid);
        dialog.SidesEdit->setText(sides);
        dialog.RunButton->click();
        QVERIFY2(w.recorder.errorReports.isEmpty(), qPrintable(w.recorder.errorReports.join('\n')));
        QVERIFY(!dialog.isVisible());

        // The settings as the test means them, given to the core directly.
        dimora::LacunaritySettings settings;
        settings.method = grid ? dimora::LacunarityMethod::Grid : dimora::LacunarityMethod::Gliding;
        settings.empty = empty ? dimora::EmptyBoxes::Include : dimora::EmptyBoxes::Exclude;
        for (const QString& side : sides.split(QLatin1Char(','), Qt::SkipEmptyParts))
            settings.sides.push_back(side.trimmed().toLongLong());
        const dimora::LacunarityResult expected = coreLacunarity(w, settings);

        const LacunarityWindow& window = *w.windows.lacunarity;
        QVERIFY(window.isVisible());
        const auto rows = listNumbers(window);
        QCOMPARE(rows.size(), expected.sides.size());
        const QList<QPointF> points = window.Series1->points();
        QCOMPARE(points.size(), qsizetype(expected.sides.size()));
        for (std::size_t k = 0; k < rows.size(); ++k) {
            const dimora::LacunaritySide& side = expected.sides[k];
            QCOMPARE(rows[k].size(), 3u);
            QCOMPARE(rows[k][0], double(side.side));
            QVERIFY(std::abs(rows[k][1] - side.lacunarity) < 1e-5);
            QVERIFY(std::abs(rows[k][2] - side.lambda) < 1e-5);
            if (!closedForm.isEmpty())
                QVERIFY2(std::abs(rows[k][1] - closedForm[qsizetype(k)]) < 1e-5,
                         qPrintable(window.valueLines()[k]));
            QVERIFY(std::abs(points[qsizetype(k)].y() - std::log10(side.lacunarity)) < 1e-12);
        }
        // The fitted line rises by the slope over the sides' span.
        const QList<QPointF> line = window.Series2->points();
        QCOMPARE(line.size(), 2);
        QVERIFY(std::abs((line[1].y() - line[0].y()) / (line[1].x() - line[0].x()) - expected.slope) < 1e-9);
        QVERIFY2(window.summaryLines().value(1).contains(
                     QString::fromStdString(dimora::formatFixed(expected.slope, 4))),
                 qPrintable(window.summaryLines().join('\n')));
    }

    void aSideListThatIsNoNumberIsReportedWithTheDialogOpen()
    {
        ProgramWindows w;
        showCarpet(w);
        w.form1().controls().lacunarity1->trigger();
        LacunarityDialog& dialog = *w.windows.lacunarityDialog;
        dialog.ListedSidesRadio->click();
        dialog.SidesEdit->setText(QStringLiteral("2,x"));
        dialog.RunButton->click();
        QCOMPARE(w.recorder.errorReports, QStringList{reportOf(dimora::msg::kNotAnInteger, "x")});
        QVERIFY(dialog.isVisible());
        QVERIFY(w.windows.lacunarity->valueLines().isEmpty());
    }

    void multifractalQRangeReachesTheCore_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("step");
        QTest::addColumn<QList<double>>("q");  // empty: the range is refused
        QTest::newRow("whole steps") << "-2"
                                     << "2"
                                     << "1" << QList<double>{-2, -1, 0, 1, 2};
        QTest::newRow("halves") << "0"
                                << "1.5"
                                << "0.5" << QList<double>{0, 0.5, 1, 1.5};
        QTest::newRow("one q") << "3"
                               << "3"
                               << "1" << QList<double>{3};
        QTest::newRow("reversed") << "2"
                                  << "-2"
                                  << "1" << QList<double>{};
        QTest::newRow("no step") << "-2"
                                 << "2"
                                 << "0" << QList<double>{};
    }

    void multifractalQRangeReachesTheCore()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, step);
        QFETCH(QList<double>, q);
        ProgramWindows w;
        // Three quadrants of four at every scale: D_q = log 3 / log 2 for every q.
        w.form1().setWorkingImage(dimora::testing::threeQuadrantCarpet(5));
        w.form1().controls().multifractal1->trigger();
        MultifractalDialog& dialog = *w.windows.multifractalDialog;
        QVERIFY(dialog.BlackRadio->isChecked());
        dialog.FromEdit->setText(from);
        dialog.ToEdit->setText(to);
        dialog.StepEdit->setText(step);
        dialog.RunButton->click();
        const MultifractalWindow& window = *w.windows.multifractal;
        if (q.isEmpty()) {
            QCOMPARE(w.recorder.errorReports, QStringList{reportOf(kBadQRangeMessage)});
            QVERIFY(dialog.isVisible());
            QVERIFY(window.valueLines().isEmpty());
            return;
        }
        QVERIFY2(w.recorder.errorReports.isEmpty(), qPrintable(w.recorder.errorReports.join('\n')));
        const auto rows = listNumbers(window);
        QCOMPARE(rows.size(), std::size_t(q.size()));
        const double uniform = std::log(3.0) / std::log(2.0);
        for (std::size_t k = 0; k < rows.size(); ++k) {
            QCOMPARE(rows[k][0], q[qsizetype(k)]);
            QVERIFY(std::abs(rows[k][1] - uniform) < 1e-4);  // D_q
            QVERIFY(std::abs(rows[k][2] - uniform) < 1e-4);  // α
            QVERIFY(std::abs(rows[k][3] - uniform) < 1e-4);  // f
            QVERIFY(std::abs(window.DqSeries->points()[qsizetype(k)].y() - uniform) < 1e-9);
            QVERIFY(std::abs(window.SpectrumSeries->points()[qsizetype(k)].x() - uniform) < 1e-9);
        }
        QVERIFY(window.summaryLines().value(0).startsWith(w.windows.multifractal->tr("質量: 黒")));
    }

    void grayMassComesFromTheFileUntilThePictureChanges()
    {
        ProgramWindows w;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("cascade.png"));
        const dimora::SamplePlane cascade =
            dimora::testing::binomialCascade(5, {1, 2, 3, 4}, dimora::SampleType::UInt16);
        writePlanePng(path, cascade);
        w.files().openFile(path);
        QVERIFY2(w.recorder.errorReports.isEmpty(), qPrintable(w.recorder.errorReports.join('\n')));

        dimora::MultifractalSettings settings;
        settings.q = {-2, 0, 1, 2};
        const dimora::Region whole{0, 0, 32, 32};
        const auto run = [&] {
            w.form1().controls().multifractal1->trigger();
            MultifractalDialog& dialog = *w.windows.multifractalDialog;
            dialog.GrayRadio->click();
            dialog.FromEdit->setText(QStringLiteral("-2"));
            dialog.ToEdit->setText(QStringLiteral("2"));
            dialog.StepEdit->setText(QStringLiteral("1"));
            dialog.RunButton->click();
            QVERIFY2(w.recorder.errorReports.isEmpty(), qPrintable(w.recorder.errorReports.join('\n')));
        };
        const auto shows = [&](const dimora::MultifractalResult& expected) {
            const auto rows = listNumbers(*w.windows.multifractal);
            bool same = rows.size() == 5;
            for (std::size_t k = 0, e = 0; same && k < rows.size(); ++k) {
                if (rows[k][0] == -1)
                    continue;  // not asked of the core here
                same = std::abs(rows[k][1] - expected.points[e].dq) < 1e-4 &&
                       std::abs(rows[k][2] - expected.points[e].alpha) < 1e-4 &&
                       std::abs(rows[k][3] - expected.points[e].f) < 1e-4;
                ++e;
            }
            return same;
        };
        const dimora::MultifractalResult full = dimora::measureMultifractal(cascade, whole, settings);
        const dimora::Bitmap& picture = std::as_const(w.form1()).workingPicture().pixels();
        const dimora::MultifractalResult reduced =
            dimora::measureMultifractal(pictureGreys(picture), whole, settings);
        // The 8-bit picture loses the cascade's smallest masses: the two differ.
        QVERIFY(std::abs(full.points[0].dq - reduced.points[0].dq) > 1e-3);

        run();
        QVERIFY(shows(full));
        QVERIFY(w.windows.multifractal->summaryLines().value(0).contains(QStringLiteral("ファイル")));

        // Inverted, the picture no longer shows the file: its own levels serve.
        w.form1().controls().reverse1->trigger();
        const dimora::MultifractalResult inverted = dimora::measureMultifractal(
            pictureGreys(std::as_const(w.form1()).workingPicture().pixels()), whole, settings);
        run();
        QVERIFY(shows(inverted));
        QVERIFY(w.windows.multifractal->summaryLines().value(0).contains(QStringLiteral("8 ビット")));
    }

    void samplesShowThePictureOnlyWhereEveryTopByteIsItsGrey_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("changedGreen");  // -1: none
        QTest::addColumn<int>("changedRed");
        QTest::addColumn<bool>("shows");
        QTest::newRow("the same") << 4 << -1 << -1 << true;
        QTest::newRow("other size") << 5 << -1 << -1 << false;
        QTest::newRow("a colour pixel") << 4 << 0x20 << -1 << false;
        QTest::newRow("another grey") << 4 << -1 << 0x13 << false;
    }

    void samplesShowThePictureOnlyWhereEveryTopByteIsItsGrey()
    {
        QFETCH(int, width);
        QFETCH(int, changedGreen);
        QFETCH(int, changedRed);
        QFETCH(bool, shows);
        const dimora::SamplePlane samples = plane16(4, 3, 0x12ff);
        dimora::Bitmap picture = filledImage(width, 3, 0x121212);
        if (changedGreen >= 0)
            picture.setPixel(2, 1, dimora::Colour(0x120012 | (changedGreen << 8)));
        if (changedRed >= 0)
            picture.setPixel(3, 2, dimora::Colour(changedRed | (changedRed << 8) | (changedRed << 16)));
        QCOMPARE(samplesShowPicture(samples, picture), shows);
        QCOMPARE(greyMasses(picture, std::string()).source, MassSource::PictureGreys);
    }

    void exportsWriteTheChartsAndTheValues_data()
    {
        QTest::addColumn<bool>("lacunarity");
        QTest::newRow("lacunarity") << true;
        QTest::newRow("multifractal") << false;
    }

    void exportsWriteTheChartsAndTheValues()
    {
        QFETCH(bool, lacunarity);
        ProgramWindows w;
        showCarpet(w);
        QTemporaryDir dir;
        MassResultWindow* window = nullptr;
        if (lacunarity) {
            w.form1().controls().lacunarity1->trigger();
            w.windows.lacunarityDialog->RunButton->click();
            window = w.windows.lacunarity;
        } else {
            w.form1().controls().multifractal1->trigger();
            w.windows.multifractalDialog->RunButton->click();
            window = w.windows.multifractal;
        }
        QVERIFY2(w.recorder.errorReports.isEmpty(), qPrintable(w.recorder.errorReports.join('\n')));
        const QStringList names{"values.csv", "chart.png", "chart.svg"};
        for (const QString& name : names)
            w.recorder.fileAnswers.push_back(dir.filePath(name));
        window->SaveValuesCsv1->trigger();
        window->SaveChartImage1->trigger();
        window->SaveChartImage1->trigger();
        QVERIFY2(w.recorder.errorReports.isEmpty(), qPrintable(w.recorder.errorReports.join('\n')));
        const auto read = [&](const QString& name) {
            QFile file(dir.filePath(name));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        // One CSV record per line of the list, after the header.
        const QList<QByteArray> records = read(names[0]).trimmed().split('\n');
        QCOMPARE(records.size(), window->valueLines().size() + 1);
        QVERIFY(records[0].startsWith(lacunarity ? "side," : "q,"));
        QCOMPARE(records[1].split(',').value(0).toDouble(), listNumbers(*window)[0][0]);
        QVERIFY(read(names[1]).startsWith("\x89PNG"));
        const QByteArray svg = read(names[2]);
        QVERIFY(svg.contains("<svg"));
        // The lines under the charts go with them.
        QVERIFY(svg.contains(window->summaryLines().value(1).toHtmlEscaped().toUtf8().left(6)));
    }
};

QTEST_MAIN(MassWindowsTest)
#include "test_mass_windows.moc"
