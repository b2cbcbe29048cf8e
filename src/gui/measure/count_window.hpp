// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include "core/measure/count_list.hpp"
#include "gui/measure/measure_settings.hpp"

#include <QPointF>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace dimora {
struct VoxelSize;
}

class QAction;
class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QPlainTextEdit;
class QPushButton;
class QScatterSeries;
class QValueAxis;
class TForm2;
struct RangedRecalculation;

// The count window: the editable list of box counts of the last measurement
// (line k for box side 2^k) beside the log-log chart of count against side
// with the fitted line. "再計算" fits the list again and rewrites the
// correlation and dimension of the result window. Under the chart, one line
// tells how sure the fitted dimension is; the context menus of the chart and
// of the count list save the chart as an image and the counts as CSV.
//
// A two-valued measurement made on the grid of least count or fitted over a
// range of sides (the measurement settings) says so in a line above the
// uncertainty line, and a small chart of the local slopes stands under the
// log-log chart, in its place; over a range other than all sides, the points
// left out of the fit are drawn hollow. With the default choices the window
// is exactly as designed.
class TForm4 : public QWidget {
    Q_OBJECT
public:
    // "再計算" rewrites the fit fields of the result window.
    explicit TForm4(TForm2& results, QWidget* parent = nullptr);

    QLabel* Label1;
    QPlainTextEdit* Memo2;  // size column, fixed
    QPlainTextEdit* Memo1;  // count list
    QChartView* Chart1;
    QScatterSeries* Series1;  // the points (log10 side, log10 count)
    QLineSeries* Series2;     // the fitted segment
    QPushButton* BitBtn1;     // "再計算"
    // "D = … ± … (95 %), r² = …, n = …" of the last fit, under a cube run's
    // line of slices and voxel.
    QLabel* UncertaintyLabel;
    QScatterSeries* UnfittedSeries;  // hollow marks over the points outside the fitted range
    QChartView* SlopeChart;          // the local slopes, while a choice is in effect
    QLineSeries* SlopeSeries;        // (mid log10 side of two neighbours, local slope)
    QLineSeries* SlopeFitSeries;     // the fitted dimension over the fitted sides
    QAction* SaveChartImage1;        // "グラフを画像として保存..."
    QAction* SaveCountsCsv1;         // "個数をCSVで保存..."

    // "再計算" as a command: fits the count list as the user left it again,
    // redraws the chart and rewrites Edit3 and Edit4 of the result window;
    // errors end in the general error report.
    void BitBtn1Click();

    // The count list, line by line (a final line end adds no line).
    [[nodiscard]] QStringList countLines() const;
    // Empties the list and the uncertainty line, which belongs to its fit,
    // and the cube line, which belongs to the list.
    void clearCountList();
    // Says above the uncertainty line that the list counts cubes, over how
    // many slices and with what voxel, until the list is cleared. The chart
    // gives up the line's height meanwhile.
    void showCubeNote(std::int32_t slices, const dimora::VoxelSize& voxel);
    void appendCountLine(const QString& line);
    // The file whose image the list counts, named under the exported chart
    // (empty for an image of no file); cleared with the list.
    void setSourceFile(const QString& path);
    // The measurement's grid and range, which every recalculation of the
    // list follows until it is cleared (clearing returns to the default).
    void setChoices(const TwoValuedChoices& choices);
    [[nodiscard]] const TwoValuedChoices& choices() const { return choices_; }
    // After a recalculation under choices other than the default: the
    // fitted range, the local slopes and the choices' line; `ranged` null
    // after a failed one (the grid's part of the line stays).
    void showRange(const RangedRecalculation* ranged);

    // Shows the window in front of the ordinary windows, restored if it was
    // minimised, and activates it.
    void showInFront();

    // Replaces the chart's contents by a recalculation's: its points, and the
    // fitted segment when it succeeded (`result` null: the points found
    // before it failed, without a line). The axes follow the data.
    void showChart(std::span<const dimora::ChartPoint> points, const dimora::Recalculation* result);

    // Rewrites the uncertainty line from a successful recalculation, or
    // empties it (`result` null) after a failed one.
    void showUncertainty(const dimora::Recalculation* result);

    // The context menu commands: ask for a file name and save the chart as
    // it is drawn (SVG for a name ending in .svg, PNG otherwise, at least
    // 1600 pixels wide), or the count list as it stands as CSV. A failure
    // ends in the general error report.
    // The exported chart carries the cube line, the uncertainty line and the
    // counted image's file name under it.
    void SaveChartImage1Click();
    void SaveCountsCsv1Click();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutControls();
    void showUncertaintyLines();
    void plot(const std::vector<QPointF>& points, const std::optional<std::pair<QPointF, QPointF>>& segment);
    void fitAxesToData();
    void showSlopes(const RangedRecalculation* ranged);
    [[nodiscard]] QString noteLines() const;
    void showCountListMenu(const QPoint& position);

    TForm2& results_;
    QString cubeNote_;
    QString choicesNote_;
    TwoValuedChoices choices_;
    QString fitLine_;
    QString sourceFile_;
    QChart* chart_;
    QValueAxis* axisX_;
    QValueAxis* axisY_;
    QValueAxis* slopeAxisX_;
    QValueAxis* slopeAxisY_;
};
