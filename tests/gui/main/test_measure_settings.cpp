// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
// The measurement settings of the black and non-black dimensions: the dialog
// and its saved choices, the grid of least count and the range of sides in
// the count and result windows, and the default that leaves them as before.
#include "gui_test_support.hpp"

#include "core/common/error.hpp"
#include "core/common/text.hpp"
#include "core/measure/fit_range.hpp"
#include "core/measure/min_grid_count.hpp"
#include "core/measure/result_fields.hpp"
#include "gui/measure/measure_settings_dialog.hpp"

#include <QChartView>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QtTest>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

Q_DECLARE_METATYPE(TwoValuedChoices)

namespace {

using dimora::FitRange;
using dimora::GridPlacement;

FitRange sides(std::int64_t low, std::int64_t high)
{
    return {FitRange::Kind::Sides, low, high};
}

const FitRange kAuto{FitRange::Kind::Auto, 0, 0};

QSettings userSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Dimora3"),
                     QStringLiteral("Dimora3"));
}

// The dialog, opened through its menu item.
MeasureSettingsDialog& openSettings(const ProgramWindows& program)
{
    program.form1().controls().measureSettings1->trigger();
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<MeasureSettingsDialog*>(window); dialog && dialog->isVisible())
            return *dialog;
    qFatal("the settings dialog is not shown");
}

// Chooses in the dialog's controls, without pressing a button.
void setControls(MeasureSettingsDialog& dialog, const TwoValuedChoices& choices)
{
    (choices.grid == GridPlacement::Min ? dialog.GridMinRadio : dialog.GridOriginRadio)->click();
    switch (choices.range.kind) {
    case FitRange::Kind::All:
        dialog.RangeAllRadio->click();
        break;
    case FitRange::Kind::Auto:
        dialog.RangeAutoRadio->click();
        break;
    case FitRange::Kind::Sides:
        dialog.RangeSidesRadio->click();
        dialog.RangeHighSpin->setValue(static_cast<int>(choices.range.high));
        dialog.RangeLowSpin->setValue(static_cast<int>(choices.range.low));
        break;
    }
}

void choose(const ProgramWindows& program, const TwoValuedChoices& choices)
{
    MeasureSettingsDialog& dialog = openSettings(program);
    setControls(dialog, choices);
    dialog.OkButton->click();
}

// A Sierpinski gasket of `size` pixels (a power of two), pixel (x, y) of it
// black when x AND y is 0, at (left, top) of a white image.
dimora::Bitmap gasketImage(int width, int height, int size, int left, int top)
{
    dimora::Bitmap image = filledImage(width, height);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            if ((x & y) == 0)
                image.setPixel(left + x, top + y, dimora::kBlack);
    return image;
}

// A band 4 pixels thick across the image: an area at the sides up to 4, a
// line at the larger ones, so that every range fits a dimension of its own
// and the automatic one takes the larger sides.
dimora::Bitmap bentImage()
{
    dimora::Bitmap image = filledImage(256, 256);
    paintRect(image, 0, 101, 256, 4, dimora::kBlack);
    return image;
}

std::vector<dimora::SideCount> listPairs(const QStringList& lines)
{
    std::vector<dimora::SideCount> pairs;
    for (qsizetype k = 0; k < lines.size(); ++k)
        if (!lines[k].isEmpty())
            pairs.push_back({static_cast<std::int64_t>(dimora::countListSide(static_cast<std::size_t>(k))),
                             lines[k].toLongLong()});
    return pairs;
}

QString fixed(double value)
{
    return QString::fromStdString(dimora::formatFixed(value, 4));
}

}  // namespace

class MeasureSettingsTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        keepUserSettingsAway();
        userSettings().remove(QStringLiteral("Measurement"));
        program_ = std::make_unique<ProgramWindows>();
    }
    void cleanup() { program_.reset(); }

    void theMenuItemOpensTheDialog()
    {
        const MainWindowControls& c = program_->form1().controls();
        const QList<QAction*> items = c.N4->actions();
        QCOMPARE(items.indexOf(c.measureSettings1), items.indexOf(c.cube1) + 1);
        QCOMPARE(c.measureSettings1->text(), QStringLiteral("測定の設定..."));
        MeasureSettingsDialog& dialog = openSettings(*program_);
        QCOMPARE(dialog.choices(), TwoValuedChoices{});
        QVERIFY(dialog.GridOriginRadio->isChecked() && dialog.RangeAllRadio->isChecked());
        QVERIFY(!dialog.RangeLowSpin->isEnabled());
        for (QWidget* control : dialog.findChildren<QWidget*>()) {
            if (control->objectName().startsWith(QLatin1String("qt_")) || control->parent() == nullptr ||
                qobject_cast<QSpinBox*>(control->parentWidget()))
                continue;  // the spin boxes' own line edits
            QVERIFY2(!control->objectName().isEmpty(), control->metaObject()->className());
            QCOMPARE(control->accessibleDescription(), control->objectName());
        }
    }

    void theChoicesRoundTripAndLast_data()
    {
        QTest::addColumn<TwoValuedChoices>("choices");
        QTest::addColumn<QString>("grid");
        QTest::addColumn<QString>("range");
        QTest::newRow("min grid, auto") << TwoValuedChoices{GridPlacement::Min, kAuto} << "min"
                                        << "auto";
        QTest::newRow("origin, 4-256") << TwoValuedChoices{GridPlacement::Origin, sides(4, 256)} << "origin"
                                       << "4-256";
        QTest::newRow("min grid, 2-2") << TwoValuedChoices{GridPlacement::Min, sides(2, 2)} << "min"
                                       << "2-2";
        QTest::newRow("defaults") << TwoValuedChoices{} << "origin"
                                  << "all";
    }
    void theChoicesRoundTripAndLast()
    {
        QFETCH(TwoValuedChoices, choices);
        QFETCH(QString, grid);
        QFETCH(QString, range);
        // From some other choice, so that each row changes something.
        choose(*program_, TwoValuedChoices{GridPlacement::Min, sides(8, 16)});
        choose(*program_, choices);
        const QSettings saved = userSettings();
        QVERIFY(saved.fileName().startsWith(keepUserSettingsAway()));
        QCOMPARE(saved.value(QStringLiteral("Measurement/grid")).toString(), grid);
        QCOMPARE(saved.value(QStringLiteral("Measurement/range")).toString(), range);

        // The next run starts with them, in the controls too.
        program_ = std::make_unique<ProgramWindows>();
        MeasureSettingsDialog& next = openSettings(*program_);
        QCOMPARE(next.choices(), choices);
        QCOMPARE(next.GridMinRadio->isChecked(), choices.grid == GridPlacement::Min);
        QCOMPARE(next.RangeSidesRadio->isChecked(), choices.range.kind == FitRange::Kind::Sides);
        QCOMPARE(next.RangeLowSpin->isEnabled(), choices.range.kind == FitRange::Kind::Sides);
        if (choices.range.kind == FitRange::Kind::Sides)
            QCOMPARE(next.RangeLowSpin->value(), choices.range.low);

        // Cancel keeps them, and the controls show them again.
        setControls(next, TwoValuedChoices{GridPlacement::Origin, sides(32, 64)});
        next.CancelButton->click();
        QCOMPARE(next.choices(), choices);
        QCOMPARE(openSettings(*program_).GridMinRadio->isChecked(), choices.grid == GridPlacement::Min);
    }

    void theRangesEndsNeverCross()
    {
        MeasureSettingsDialog& dialog = openSettings(*program_);
        dialog.RangeSidesRadio->click();
        dialog.RangeHighSpin->setValue(64);
        dialog.RangeLowSpin->setValue(128);
        QCOMPARE(dialog.RangeHighSpin->value(), 128);
        dialog.RangeHighSpin->setValue(8);
        QCOMPARE(dialog.RangeLowSpin->value(), 8);
        dialog.OkButton->click();
        QCOMPARE(dialog.choices().range, sides(8, 8));
    }

    void theShiftedGasketMeasuresItsDimensionOnTheGridOfLeastCount()
    {
        const dimora::Bitmap image = gasketImage(300, 300, 256, 37, 21);
        const dimora::Region region{0, 0, 300, 300};
        const dimora::BoxCounts least =
            dimora::countBoxesOnGrid(image.view(), region, dimora::PixelClass::Black, GridPlacement::Min);
        const dimora::BoxCounts origin =
            dimora::countBoxesOnGrid(image.view(), region, dimora::PixelClass::Black, GridPlacement::Origin);
        QVERIFY(least.counts != origin.counts);

        TForm1& f = program_->form1();
        TForm4& counts = program_->form4();
        choose(*program_, TwoValuedChoices{GridPlacement::Min, {}});
        f.setWorkingImage(dimora::Bitmap(image));
        f.controls().frac1->trigger();
        QVERIFY(program_->recorder.errorReports.isEmpty());
        QStringList expected;
        for (const std::int64_t count : least.counts)
            expected << QString::number(count);
        QCOMPARE(counts.countLines(), expected);
        const QString exact = QLatin1Char(' ') + fixed(std::log2(3.0));
        QCOMPARE(program_->form2().Edit4->text(), exact);
        QCOMPARE(counts.UncertaintyLabel->text().section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("最小グリッド"));
        QVERIFY(counts.UncertaintyLabel->text().contains(QStringLiteral("D = ") + exact.trimmed()));
        // The local slopes, each that of the gasket; every point fitted.
        QVERIFY(!counts.SlopeChart->isHidden());
        QCOMPARE(counts.SlopeSeries->count(), expected.size() - 1);
        for (const QPointF& slope : counts.SlopeSeries->points())
            QCOMPARE(fixed(slope.y()), exact.trimmed());
        QCOMPARE(counts.UnfittedSeries->count(), 0);

        // The same image on the origin grid measures less.
        choose(*program_, {});
        f.controls().frac1->trigger();
        QVERIFY(program_->form2().Edit4->text() != exact);
        QVERIFY(counts.SlopeChart->isHidden());
    }

    void theRangeIsFittedAndNamed_data()
    {
        QTest::addColumn<TwoValuedChoices>("choices");
        QTest::addColumn<QString>("note");  // %1, %2: the fitted range
        QTest::newRow("sides 4-64") << TwoValuedChoices{GridPlacement::Origin, sides(4, 64)} << "範囲 %1–%2";
        QTest::newRow("sides 3-40") << TwoValuedChoices{GridPlacement::Origin, sides(3, 40)} << "範囲 %1–%2";
        QTest::newRow("auto") << TwoValuedChoices{GridPlacement::Origin, kAuto} << "範囲 %1–%2 (自動)";
        QTest::newRow("min grid, 2-32")
            << TwoValuedChoices{GridPlacement::Min, sides(2, 32)} << "最小グリッド, 範囲 %1–%2";
    }
    void theRangeIsFittedAndNamed()
    {
        QFETCH(TwoValuedChoices, choices);
        QFETCH(QString, note);
        TForm1& f = program_->form1();
        TForm4& counts = program_->form4();
        choose(*program_, choices);
        f.setWorkingImage(bentImage());
        f.controls().frac1->trigger();
        QVERIFY(program_->recorder.errorReports.isEmpty());

        const std::vector<dimora::SideCount> pairs = listPairs(counts.countLines());
        const dimora::RangedFit ranged = dimora::fitOverRange(pairs, choices.range);
        QVERIFY(ranged.run.count < pairs.size());
        const dimora::FitFields fields =
            dimora::fitFieldTexts(ranged.fit.r, ranged.fit.n, ranged.fit.dimension);
        QCOMPARE(resultFields(program_->windows).mid(2),
                 (QStringList{QString::fromStdString(fields.edit3), QString::fromStdString(fields.edit4)}));
        const QStringList label = counts.UncertaintyLabel->text().split(QLatin1Char('\n'));
        QCOMPARE(label.value(0), note.arg(ranged.low).arg(ranged.high));
        QVERIFY(label.value(1).startsWith(QStringLiteral("D = ") + fixed(ranged.fit.dimension)));
        QVERIFY(label.value(1).endsWith(QStringLiteral("n = %1").arg(ranged.run.count)));
        // Every point is drawn; those outside the range hollow.
        QCOMPARE(counts.Series1->count(), static_cast<int>(pairs.size()));
        QCOMPARE(counts.UnfittedSeries->count(), static_cast<int>(pairs.size() - ranged.run.count));
        QCOMPARE(counts.SlopeSeries->count(), static_cast<int>(pairs.size() - 1));

        // "再計算" keeps the range: a count outside it changes nothing.
        if (choices.range.kind == FitRange::Kind::Sides) {
            QStringList edited = counts.countLines();
            edited[0] = QString::number(edited[0].toLongLong() * 3);
            counts.Memo1->setPlainText(edited.join(QLatin1Char('\n')));
            counts.BitBtn1->click();
            QCOMPARE(program_->form2().Edit4->text(), QString::fromStdString(fields.edit4));
            QCOMPARE(counts.UncertaintyLabel->text().section(QLatin1Char('\n'), 0, 0),
                     note.arg(ranged.low).arg(ranged.high));
        }
    }

    void aRangeOfOneSideFailsLikeAFitOfOnePoint()
    {
        TForm4& counts = program_->form4();
        choose(*program_, TwoValuedChoices{GridPlacement::Origin, sides(8, 15)});
        program_->form1().setWorkingImage(bentImage());
        program_->form1().controls().frac1->trigger();
        QCOMPARE(program_->recorder.errorReports, QStringList{QString::fromStdString(dimora::errorReportText(
                                                      dimora::msg::kInvalidFloatOperation))});
        QVERIFY(counts.Series1->count() > 2);
        QCOMPARE(counts.Series2->count(), 0);
        QVERIFY(!counts.UncertaintyLabel->text().contains(QStringLiteral("D = ")));
    }

    void theDefaultsLeaveTheWindowsAsTheyWere()
    {
        // A measurement in a fresh program, and one after other choices were
        // used and the defaults chosen again.
        const auto measure = [](const ProgramWindows& program) {
            program.form1().setWorkingImage(bentImage());
            program.form1().controls().frac1->trigger();
            TForm4& counts = program.form4();
            return QStringList{counts.countLines().join(QLatin1Char(',')), counts.UncertaintyLabel->text(),
                               resultFields(program.windows).join(QLatin1Char(',')),
                               QString::number(counts.Series1->count()),
                               QString::number(counts.Series2->count())};
        };
        TForm4& counts = program_->form4();
        counts.show();
        const QStringList fresh = measure(*program_);
        const QRect designed = counts.Chart1->geometry();
        choose(*program_, TwoValuedChoices{GridPlacement::Min, sides(2, 16)});
        QVERIFY(measure(*program_) != fresh);
        QVERIFY(counts.Chart1->geometry() != designed);
        choose(*program_, {});
        QCOMPARE(measure(*program_), fresh);
        QCOMPARE(counts.Chart1->geometry(), designed);
        QVERIFY(counts.SlopeChart->isHidden());
        QCOMPARE(counts.UnfittedSeries->count(), 0);
        // A grayscale measurement never takes the choices.
        choose(*program_, TwoValuedChoices{GridPlacement::Min, kAuto});
        program_->form1().controls().gray1->trigger();
        QVERIFY(counts.SlopeChart->isHidden());
        QVERIFY(!counts.UncertaintyLabel->text().contains(QStringLiteral("最小グリッド")));
    }

    void theExportedChartShowsTheRangeAndTheSlopes()
    {
        QTemporaryDir dir;
        TForm4& counts = program_->form4();
        const auto exported = [&](const QString& name) {
            program_->form1().setWorkingImage(bentImage());
            program_->form1().controls().frac1->trigger();
            program_->form1().controls().count1->trigger();
            QCoreApplication::processEvents();
            const QString path = dir.filePath(name);
            program_->recorder.fileAnswers.push_back(path);
            counts.SaveChartImage1->trigger();
            QFile file(path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        const QByteArray plain = exported(QStringLiteral("plain.svg"));
        choose(*program_, TwoValuedChoices{GridPlacement::Min, sides(2, 32)});
        const QByteArray chosen = exported(QStringLiteral("chosen.svg"));
        QVERIFY(program_->recorder.errorReports.isEmpty());
        const QString note = counts.UncertaintyLabel->text().section(QLatin1Char('\n'), 0, 0);
        QVERIFY(note.startsWith(QStringLiteral("最小グリッド, 範囲 ")));
        QVERIFY(QString::fromUtf8(chosen).contains(note.toHtmlEscaped()));
        QVERIFY(QString::fromUtf8(chosen).contains(QStringLiteral(">局所勾配<")));
        QVERIFY(!QString::fromUtf8(plain).contains(QStringLiteral("局所勾配")));
        QVERIFY(!QString::fromUtf8(plain).contains(QStringLiteral("最小グリッド")));
    }

private:
    std::unique_ptr<ProgramWindows> program_;
};

QTEST_MAIN(MeasureSettingsTest)
#include "test_measure_settings.moc"
