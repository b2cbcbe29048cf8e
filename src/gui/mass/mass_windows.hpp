// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include "core/measure/lacunarity.hpp"
#include "core/measure/multifractal.hpp"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

class QAction;
class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QPlainTextEdit;
class QScatterSeries;
class QValueAxis;

// What the two mass measurements' windows share, in the count window's
// style: the values of the last measurement as a list on the left, the
// charts on the right, the lines that sum the result up under them, and the
// context menus of the charts and the list that save the charts (PNG or SVG,
// with the summing lines and the measured file's name under them) and the
// values (CSV).
class MassResultWindow : public QWidget {
    Q_OBJECT
public:
    QLabel* Label1;            // the list's columns
    QPlainTextEdit* Memo1;     // the values, one line per side or q
    QLabel* SummaryLabel;      // the settings' line and the fit's line
    QAction* SaveChartImage1;  // "グラフを画像として保存..."
    QAction* SaveValuesCsv1;   // "値をCSVで保存..."

    // The list's lines (none before a measurement).
    [[nodiscard]] QStringList valueLines() const;
    // The summing lines under the charts.
    [[nodiscard]] QStringList summaryLines() const { return summary_; }
    // The values of the last measurement as CSV (a header line, then one
    // record per side or q, numbers at full precision).
    [[nodiscard]] QByteArray valuesCsv() const { return csv_; }

    // Shows the window in front, restored if it was minimised.
    void showInFront();

    // Ask for a file name and save the charts or the values; a failure ends
    // in the general error report.
    void SaveChartImage1Click();
    void SaveValuesCsv1Click();

protected:
    // `listWidth`: the values' list's width in pixels (the charts take the rest).
    MassResultWindow(const char* name, const QString& columns, int listWidth, QWidget* parent);
    // The charts, top to bottom, once the window has made them.
    void setCharts(const QList<QChartView*>& charts, const QString& title);
    void showResult(const QStringList& lines, const QStringList& summary, const QByteArray& csv,
                    const QString& sourceFile);
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutControls();
    void showListMenu(const QPoint& position);

    int listWidth_;
    QList<QChartView*> charts_;
    QString chartTitle_;
    QStringList summary_;
    QByteArray csv_;
    QString sourceFile_;
};

// The lacunarity window: per side r the lacunarity Λ and λ = Λ − 1, the
// chart of log10 Λ against log10 r with the fitted line, and under it the
// method and the slope with its standard error.
class LacunarityWindow : public MassResultWindow {
    Q_OBJECT
public:
    explicit LacunarityWindow(QWidget* parent = nullptr);

    QChartView* Chart1;
    QScatterSeries* Series1;  // (log10 r, log10 Λ)
    QLineSeries* Series2;     // the fitted line over the sides

    // Writes the list, the chart and the lines of a measurement of the
    // picture of `sourceFile` (empty: of no file).
    void showLacunarity(const dimora::LacunarityResult& result, const QString& sourceFile);

private:
    QValueAxis* axisX_;
    QValueAxis* axisY_;
};

// Where the grey masses of a multifractal spectrum came from.
enum class MassOrigin {
    Black,         // every black pixel has mass 1
    FileSamples,   // the grey samples of the picture's file at their own depth
    PictureGreys,  // the picture's 8-bit grey levels
};

// The multifractal window: per q the generalized dimension D_q, α and f(α);
// the chart of D_q against q over the chart of f against α; and under them
// the mass, the sides and D_0, D_1, D_2 with their standard errors.
class MultifractalWindow : public MassResultWindow {
    Q_OBJECT
public:
    explicit MultifractalWindow(QWidget* parent = nullptr);

    QChartView* DqChart;
    QLineSeries* DqSeries;  // (q, D_q)
    QChartView* SpectrumChart;
    QLineSeries* SpectrumSeries;  // (α, f)

    void showSpectrum(const dimora::MultifractalResult& result, MassOrigin origin, const QString& sourceFile);

private:
    QValueAxis* dqAxisX_;
    QValueAxis* dqAxisY_;
    QValueAxis* fAxisX_;
    QValueAxis* fAxisY_;
};
