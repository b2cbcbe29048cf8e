// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
// The measurement commands as the user runs them: the result fields, the
// count list, the chart's points and fitted segment, editing the list and
// recalculating, the count window and the total length.
#include "gui_test_support.hpp"

#include "gui/common/scroll_box.hpp"
#include "gui/measure/total_length_window.hpp"
#include "gui/region/selection_shape.hpp"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <QtTest>

#include <cmath>

namespace {

QStringList countList(const Windows& windows)
{
    return windows.form4->countLines();
}

void setCountList(const Windows& windows, const QStringList& lines)
{
    windows.form4->Memo1->setPlainText(lines.join(QLatin1Char('\n')));
}

QList<QPointF> chartPoints(const Windows& windows)
{
    return windows.form4->Series1->points();
}

QList<QPointF> fittedSegment(const Windows& windows)
{
    return windows.form4->Series2->points();
}

// The log-log points of the pairs (side, count).
QList<QPointF> logPoints(const std::vector<std::pair<double, double>>& pairs)
{
    QList<QPointF> points;
    for (const auto& [side, count] : pairs)
        points.append(QPointF(std::log10(side), std::log10(count)));
    return points;
}

bool samePoints(const QList<QPointF>& actual, const QList<QPointF>& expected)
{
    if (actual.size() != expected.size())
        return false;
    for (qsizetype i = 0; i < actual.size(); ++i)
        if (std::abs(actual[i].x() - expected[i].x()) > 1e-12 ||
            std::abs(actual[i].y() - expected[i].y()) > 1e-12)
            return false;
    return true;
}

const QStringList kSentinel{"a", "b", "c", "d"};

}  // namespace

class MeasurementsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { program_ = std::make_unique<ProgramWindows>(); }
    void cleanup() { program_.reset(); }

    void theBlackDimensionOfASquareFillsFieldsListAndChart()
    {
        TForm1& f = program_->form1();
        f.setWorkingImage(filledImage(64, 64, dimora::kBlack));
        f.controls().frac1->trigger();
        QVERIFY(program_->recorder.errorReports.isEmpty());
        QCOMPARE(resultFields(program_->windows),
                 (QStringList{" 64×64", " 100.0", " -1.0000 (5)", " 2.0000"}));
        QCOMPARE(countList(program_->windows), (QStringList{"4096", "1024", "256", "64", "16"}));
        QVERIFY(samePoints(chartPoints(program_->windows),
                           logPoints({{1, 4096}, {2, 1024}, {4, 256}, {8, 64}, {16, 16}})));
        // The fitted segment runs from side 1 down to a count of 1.
        const double a = std::log10(4096.0);
        QVERIFY(samePoints(fittedSegment(program_->windows), {QPointF(0, a), QPointF(a / 2, 0)}));
        QVERIFY(cursorIsNormal());
        // Measurements do not show the count window themselves.
        QVERIFY(program_->form4().isHidden());
    }

    void theNonBlackDimensionIsTheComplementAndAnEmptyClassGivesTheZeroReport()
    {
        TForm1& f = program_->form1();
        dimora::Bitmap image = filledImage(64, 64);
        paintRect(image, 0, 0, 32, 32, dimora::makeColour(0, 255, 255));  // cyan: black by its red byte
        paintRect(image, 32, 32, 32, 32, dimora::makeColour(1, 0, 0));    // red byte 1: not black
        f.setWorkingImage(std::move(image));
        f.controls().frac1->trigger();
        QCOMPARE(resultFields(program_->windows).at(1), QStringLiteral(" 25.0"));
        QTest::mouseClick(f.controls().ToolButton7, Qt::LeftButton);
        QCOMPARE(resultFields(program_->windows).at(1), QStringLiteral(" 75.0"));
        QCOMPARE(countList(program_->windows).first(), QStringLiteral("3072"));

        // All white: no black pixel, the zero report; list empty, chart kept.
        const QList<QPointF> chartBefore = chartPoints(program_->windows);
        f.setWorkingImage(filledImage(1000, 1000));
        QTest::mouseClick(f.controls().ToolButton6, Qt::LeftButton);
        QCOMPARE(resultFields(program_->windows), (QStringList{" 1000×1000", " 0", "", " 0"}));
        QVERIFY(countList(program_->windows).isEmpty());
        QCOMPARE(chartPoints(program_->windows), chartBefore);
        QVERIFY(!chartBefore.isEmpty());
    }

    void aSelectionPastTheImageCountsTheOutsideAsNonBlack()
    {
        TForm1& f = program_->form1();
        f.setWorkingImage(filledImage(100, 100, dimora::kBlack));
        f.controls().SelShape1->setGeometry(60, 0, 64, 64);  // 24 columns beyond the right edge
        f.controls().SelShape1->show();
        f.controls().fracw1->trigger();
        QCOMPARE(resultFields(program_->windows).at(0), QStringLiteral(" 64×64"));
        QCOMPARE(resultFields(program_->windows).at(1), QStringLiteral(" 37.5"));
        QCOMPARE(countList(program_->windows).first(), QString::number(24 * 64));
        f.controls().frac1->trigger();
        QCOMPARE(resultFields(program_->windows).at(1), QStringLiteral(" 62.5"));
        QCOMPARE(countList(program_->windows).first(), QString::number(40 * 64));
    }

    void failuresEndWithTheReportAndKeepTheFields()
    {
        TForm1& f = program_->form1();
        setResultFields(program_->windows, kSentinel);

        // The empty image: 0 / 0 coverage; the list stays empty.
        f.controls().frac1->trigger();
        QCOMPARE(program_->recorder.errorReports, QStringList{"不正な浮動小数点数演算命令."});
        QCOMPARE(resultFields(program_->windows), kSentinel);
        QVERIFY(countList(program_->windows).isEmpty());

        // One side only: the list holds its count, the fit fails.
        dimora::Bitmap image = filledImage(4, 4);
        paintRect(image, 0, 0, 1, 3, dimora::kBlack);
        f.setWorkingImage(std::move(image));
        f.controls().frac1->trigger();
        QCOMPARE(program_->recorder.errorReports.size(), 2);
        QCOMPARE(program_->recorder.errorReports.last(), QStringLiteral("不正な浮動小数点数演算命令."));
        QCOMPARE(countList(program_->windows), QStringList{"3"});
        QCOMPARE(resultFields(program_->windows), kSentinel);
        QVERIFY(chartPoints(program_->windows).isEmpty());
        QCOMPARE(program_->recorder.busyCursorAtReport, (std::vector<bool>{false, false}));
        QVERIFY(cursorIsNormal());
    }

    void theGrayscaleDimensionLeavesSideOneOut()
    {
        TForm1& f = program_->form1();
        f.setWorkingImage(filledImage(64, 64, dimora::makeColour(100, 100, 100)));
        QTest::mouseClick(f.controls().ToolButton9, Qt::LeftButton);
        QVERIFY(program_->recorder.errorReports.isEmpty());
        QCOMPARE(resultFields(program_->windows), (QStringList{" 64×64", " 0.0", " -1.0000 (4)", " 2.0000"}));
        QCOMPARE(countList(program_->windows), (QStringList{"", "1024", "256", "64", "16"}));
        QVERIFY(
            samePoints(chartPoints(program_->windows), logPoints({{2, 1024}, {4, 256}, {8, 64}, {16, 16}})));

        // Halves of level 0 and 255: the brightness difference of the last side.
        dimora::Bitmap halves = filledImage(64, 64, dimora::kBlack);
        paintRect(halves, 32, 0, 32, 64, dimora::kWhite);
        f.setWorkingImage(std::move(halves));
        f.controls().gray1->trigger();
        QCOMPARE(resultFields(program_->windows).at(1), QStringLiteral(" 255.0"));
        QCOMPARE(countList(program_->windows).at(1), QStringLiteral("1024"));

        // Shorter edge 8: one side only, the report, an empty line and one count.
        setResultFields(program_->windows, kSentinel);
        f.setWorkingImage(filledImage(8, 20));
        f.controls().gray1->trigger();
        QCOMPARE(program_->recorder.errorReports, QStringList{"不正な浮動小数点数演算命令."});
        QCOMPARE(countList(program_->windows),
                 (QStringList{"", QString::number(4 * 10)}));  // 4 × 10 uniform boxes of side 2
        QCOMPARE(resultFields(program_->windows), kSentinel);
    }

    void editingTheCountListAndRecalculating()
    {
        TForm1& f = program_->form1();
        TForm4& counts = program_->form4();
        f.setWorkingImage(filledImage(64, 64, dimora::kBlack));
        f.controls().frac1->trigger();

        // Line 0 emptied: the sides 2 to 16 only.
        setCountList(program_->windows, {"", "1024", "256", "64", "16"});
        setResultFields(program_->windows, {"keep1", "keep2", "x", "y"});
        QTest::mouseClick(counts.BitBtn1, Qt::LeftButton);
        QCOMPARE(resultFields(program_->windows), (QStringList{"keep1", "keep2", " -1.0000 (4)", " 2.0000"}));
        QVERIFY(
            samePoints(chartPoints(program_->windows), logPoints({{2, 1024}, {4, 256}, {8, 64}, {16, 16}})));

        // Line 0 deleted: the counts move to the sides 1 to 8.
        setCountList(program_->windows, {"1024", "256", "64", "16"});
        counts.BitBtn1->click();
        QCOMPARE(resultFields(program_->windows).at(3), QStringLiteral(" 2.0000"));
        QVERIFY(
            samePoints(chartPoints(program_->windows), logPoints({{1, 1024}, {2, 256}, {4, 64}, {8, 16}})));
        const double a = std::log10(1024.0);
        QVERIFY(samePoints(fittedSegment(program_->windows), {QPointF(0, a), QPointF(a / 2, 0)}));

        // Leading blanks are allowed; lines from the 15th on are never read.
        QStringList lines{" 1000", "100", "10"};
        while (lines.size() < 14)
            lines.append(QString());
        lines.append(QStringLiteral("not a number"));
        setCountList(program_->windows, lines);
        counts.BitBtn1->click();
        QVERIFY(program_->recorder.errorReports.isEmpty());
        QCOMPARE(resultFields(program_->windows).mid(2), (QStringList{" -1.0000 (3)", " 3.3219"}));
    }

    void aBadCountListEndsTheRecalculationWithItsMessage()
    {
        TForm4& counts = program_->form4();
        struct Case {
            QStringList lines;
            QString message;
            int pointsKept;
        };
        const std::vector<Case> cases{
            {{"100", "abc", "10"}, "'abc' は整数ではありません.", 1},
            {{"100", "25 ", "10"}, "'25 ' は整数ではありません.", 1},
            {{"100", "   ", "10"}, "'   ' は整数ではありません.", 1},
            {{"100", "10", "0"}, "0 による浮動小数点数除算.", 2},
            {{"100", "-5"}, "不正な浮動小数点数演算命令.", 1},
            {{"", "", "7"}, "不正な浮動小数点数演算命令.", 1},
            {{"1", "1", "1"}, "不正な浮動小数点数演算命令.", 3},
        };
        for (const Case& c : cases) {
            program_->recorder.errorReports.clear();
            counts.Series2->replace({QPointF(0, 1), QPointF(1, 0)});
            setResultFields(program_->windows, kSentinel);
            setCountList(program_->windows, c.lines);
            counts.BitBtn1->click();
            QCOMPARE(program_->recorder.errorReports, QStringList{c.message});
            QCOMPARE(chartPoints(program_->windows).size(), c.pointsKept);
            QVERIFY(fittedSegment(program_->windows).isEmpty());
            QCOMPARE(resultFields(program_->windows), kSentinel);
            QCOMPARE(counts.countLines(), c.lines);  // the list itself is never changed
        }
    }

    void theCountCommandsShowTheCountWindow()
    {
        TForm1& f = program_->form1();
        QVERIFY(program_->form4().isHidden());
        f.controls().count1->trigger();
        QVERIFY(program_->form4().isVisible());
        program_->form4().hide();
        QTest::mouseClick(f.controls().ToolButton10, Qt::LeftButton);
        QVERIFY(program_->form4().isVisible());
        QVERIFY(cursorIsNormal());
    }

    void theCountAndLengthCommandsBringTheirWindowsBackOnEveryRun()
    {
        TForm1& f = program_->form1();
        f.setWorkingImage(filledImage(30, 30));
        const std::vector<std::pair<QWidget*, QAction*>> commands{
            {&program_->form4(), f.controls().count1}, {program_->windows.form5, f.controls().length1}};
        for (const auto& [window, command] : commands) {
            for (int run = 0; run < 2; ++run) {
                // The user minimised the window and went back to the main window.
                window->showMinimized();
                f.activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(&f));
                command->trigger();
                QVERIFY(window->isVisible());
                QVERIFY(!window->windowState().testFlag(Qt::WindowMinimized));
                QVERIFY(QTest::qWaitForWindowActive(window));
            }
        }
        QVERIFY(program_->recorder.errorReports.isEmpty());
    }

    void theTotalLengthOfBlackLines()
    {
        TForm1& f = program_->form1();
        TForm5& lengths = *program_->windows.form5;
        const auto measure = [&](dimora::Bitmap image) {
            f.setWorkingImage(std::move(image));
            f.controls().length1->trigger();
            return lengths.Edit1->text();
        };
        dimora::Bitmap line = filledImage(30, 30);
        paintRect(line, 5, 10, 10, 1, dimora::kBlack);
        QCOMPARE(measure(line), QStringLiteral(" 9"));
        QVERIFY(lengths.isVisible());

        dimora::Bitmap diagonal = filledImage(30, 30);
        for (int i = 0; i < 10; ++i)
            diagonal.setPixel(5 + i, 5 + i, dimora::kBlack);
        QCOMPARE(measure(diagonal), QStringLiteral(" 13"));

        dimora::Bitmap square = filledImage(30, 30);
        paintRect(square, 10, 10, 2, 2, dimora::kBlack);
        QCOMPARE(measure(square), QStringLiteral(" 7"));

        // Row 0 lies in the frame that is not scanned without a selection.
        dimora::Bitmap border = filledImage(30, 30);
        paintRect(border, 3, 0, 1, 5, dimora::kBlack);
        QCOMPARE(measure(border), QStringLiteral(" 4"));

        // Cyan is not black here.
        dimora::Bitmap cyan = filledImage(30, 30);
        paintRect(cyan, 5, 10, 10, 1, dimora::makeColour(0, 255, 255));
        QCOMPARE(measure(cyan), QStringLiteral(" 0"));

        // Nothing to scan: the field keeps its text.
        QCOMPARE(measure(filledImage(2, 50, dimora::kBlack)), QStringLiteral(" 0"));

        // A selection cutting a line: the link across its edge adds a half.
        dimora::Bitmap cut = filledImage(60, 100);
        paintRect(cut, 10, 50, 20, 1, dimora::kBlack);
        f.controls().SelShape1->setGeometry(0, 0, 20, 100);
        f.controls().SelShape1->show();
        QCOMPARE(measure(cut), QStringLiteral(" 10"));  // 9.5 rounded away from zero
        QVERIFY(program_->recorder.errorReports.isEmpty());
        QVERIFY(cursorIsNormal());
    }

    void measurementsReadTheSelectionThroughTheScrolling()
    {
        TForm1& f = program_->form1();
        dimora::Bitmap image = filledImage(1200, 900);
        paintRect(image, 180, 110, 64, 64, dimora::kBlack);
        f.setWorkingImage(std::move(image));
        f.controls().ScrollBox1->horizontalScrollBar()->setValue(100);
        f.controls().ScrollBox1->verticalScrollBar()->setValue(30);
        f.controls().SelShape1->setGeometry(80, 80, 64, 64);
        f.controls().SelShape1->show();
        f.controls().frac1->trigger();
        QCOMPARE(resultFields(program_->windows),
                 (QStringList{" 64×64", " 100.0", " -1.0000 (5)", " 2.0000"}));
    }

private:
    std::unique_ptr<ProgramWindows> program_;
};

QTEST_MAIN(MeasurementsTest)
#include "test_measurements.moc"
