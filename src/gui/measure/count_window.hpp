// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include <QPointF>
#include <QStringList>
#include <QWidget>

#include <optional>
#include <utility>
#include <vector>

class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QPlainTextEdit;
class QPushButton;
class QScatterSeries;
class QValueAxis;

// The count window: the editable list of box counts of the last measurement
// (line k for box side 2^k) beside the log-log chart of count against side
// with the fitted line. "再計算" fits the list again and rewrites the
// correlation and dimension of the result window.
class TForm4 : public QWidget {
    Q_OBJECT
  public:
    explicit TForm4(QWidget* parent = nullptr);

    QLabel* Label1;
    QPlainTextEdit* Memo2; // size column, fixed
    QPlainTextEdit* Memo1; // count list
    QChartView* Chart1;
    QScatterSeries* Series1; // the points (log10 side, log10 count)
    QLineSeries* Series2;    // the fitted segment
    QPushButton* BitBtn1;    // "再計算"

    // The recalculation as a command: errors end in the general error report.
    void BitBtn1Click();
    // The recalculation itself, for commands that run it as their last step:
    // errors propagate to the caller's command.
    void recalculate();

    // The count list, line by line (a final line end adds no line).
    [[nodiscard]] QStringList countLines() const;
    void clearCountList();
    void appendCountLine(const QString& line);

    // Shows the window in front of the ordinary windows, restored if it was
    // minimised, and activates it.
    void showInFront();

    // Replaces the chart's contents: the points, and the fitted segment when
    // there is one. The axes follow the data.
    void plot(const std::vector<QPointF>& points, const std::optional<std::pair<QPointF, QPointF>>& segment);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void fitAxesToData();

    QChart* chart_;
    QValueAxis* axisX_;
    QValueAxis* axisY_;
};
