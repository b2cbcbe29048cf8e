// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/measure/count_window.hpp"

#include "core/common/replace_file.hpp"
#include "core/common/text.hpp"
#include "core/measure/measurement_sequence.hpp"
#include "core/slices/cube_count.hpp"
#include "gui/common/chart_axes.hpp"
#include "gui/common/command.hpp"
#include "gui/common/fonts.hpp"
#include "gui/common/widget_names.hpp"
#include "gui/common/window_placement.hpp"
#include "gui/measure/count_exports.hpp"
#include "gui/measure/measurement_windows.hpp"
#include "gui/measure/ranged_recalculation.hpp"
#include "gui/platform/platform.hpp"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QFileInfo>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScatterSeries>
#include <QStyle>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>

namespace {

// Designed client size; the lists stretch with the height, the chart with both.
constexpr int kClientWidth = 394;
constexpr int kClientHeight = 278;
// The uncertainty line under the chart adds its height to the designed one,
// so that every designed control keeps its place and size.
constexpr int kUncertaintyHeight = 16;
// The share of the chart's height that the local slopes take when shown.
constexpr int kSlopeChartPercent = 38;

QValueAxis* makeAxis(const QString& title)
{
    QValueAxis* axis = makeValueAxis(title, 12);
    axis->setGridLineColor(Qt::black);
    return axis;
}

void saveBytes(const QString& path, const QByteArray& bytes)
{
    dimora::replaceFile(path.toStdString(),
                        std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                  static_cast<std::size_t>(bytes.size())));
}

}  // namespace

TForm4::TForm4(TForm2& results, QWidget* parent) : QWidget(parent, Qt::Window), results_(results)
{
    nameControl(this, "TForm4");
    setWindowTitle(tr("個数"));
    setFont(uiFont(kPGothic, 12));
    resize(kClientWidth, kClientHeight + kUncertaintyHeight);
    move(172, 607);

    Label1 = new QLabel(tr("サイズ, 個数"), this);
    nameControl(Label1, "Label1");
    Label1->move(0, 8);
    Label1->adjustSize();

    const QFont listFont = uiFont(kGothic, 13);
    Memo2 = new QPlainTextEdit(this);
    nameControl(Memo2, "Memo2");
    Memo2->setFont(listFont);
    Memo2->setPlainText(QStringLiteral("  1\n  2\n  4\n  8\n 16\n 32\n 64\n128\n256\n512\n ・\n ・\n ・"));
    Memo2->setReadOnly(true);
    Memo2->setEnabled(false);
    Memo2->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    Memo1 = new QPlainTextEdit(this);
    nameControl(Memo1, "Memo1");
    Memo1->setFont(listFont);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);

    chart_ = new QChart;
    chart_->legend()->hide();
    chart_->setBackgroundBrush(Qt::white);
    chart_->setBackgroundRoundness(0);
    chart_->setMargins(QMargins(4, 4, 4, 4));
    axisX_ = makeAxis(tr("log10(ボックスサイズ)"));
    axisX_->setLinePen(QPen(Qt::black, 3));
    axisX_->setTickInterval(1.0);
    axisY_ = makeAxis(tr("log10(カウント数)"));
    chart_->addAxis(axisX_, Qt::AlignBottom);
    chart_->addAxis(axisY_, Qt::AlignLeft);

    Series1 = new QScatterSeries;
    nameObject(Series1, "Series1");
    Series1->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    Series1->setMarkerSize(7.0);
    Series1->setColor(Qt::red);
    Series1->setBorderColor(Qt::red);
    Series1->setPointLabelsVisible(false);
    Series2 = new QLineSeries;
    nameObject(Series2, "Series2");
    Series2->setColor(QColor(0, 128, 0));
    Series2->setPointLabelsVisible(false);
    // Drawn over Series1's points of the same place: they look hollow.
    UnfittedSeries = new QScatterSeries;
    nameObject(UnfittedSeries, "UnfittedSeries");
    UnfittedSeries->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    UnfittedSeries->setMarkerSize(5.0);
    UnfittedSeries->setColor(Qt::white);
    UnfittedSeries->setBorderColor(Qt::white);
    for (QXYSeries* series : {static_cast<QXYSeries*>(Series1), static_cast<QXYSeries*>(Series2),
                              static_cast<QXYSeries*>(UnfittedSeries)}) {
        chart_->addSeries(series);
        series->attachAxis(axisX_);
        series->attachAxis(axisY_);
    }

    Chart1 = new QChartView(chart_, this);
    nameControl(Chart1, "Chart1");
    // The chart's title is kept with the chart but not shown.
    Chart1->setWindowTitle(tr("ボックスサイズとカウント数の関係"));
    Chart1->setFrameShape(QFrame::Panel);
    Chart1->setFrameShadow(QFrame::Sunken);
    Chart1->setRenderHint(QPainter::Antialiasing);

    auto* slopes = new QChart;
    slopes->legend()->hide();
    slopes->setBackgroundBrush(Qt::white);
    slopes->setBackgroundRoundness(0);
    slopes->setMargins(QMargins(4, 0, 4, 0));
    slopeAxisX_ = makeAxis(QString());
    slopeAxisY_ = makeAxis(tr("局所勾配"));
    for (QValueAxis* axis : {slopeAxisX_, slopeAxisY_}) {
        const QFont small = uiFont(kPMincho, 10);
        axis->setTitleFont(small);
        axis->setLabelsFont(small);
    }
    slopeAxisX_->setTickInterval(1.0);
    slopes->addAxis(slopeAxisX_, Qt::AlignBottom);
    slopes->addAxis(slopeAxisY_, Qt::AlignLeft);
    SlopeSeries = new QLineSeries;
    nameObject(SlopeSeries, "SlopeSeries");
    SlopeSeries->setColor(Qt::blue);
    SlopeSeries->setPointsVisible(true);
    SlopeFitSeries = new QLineSeries;
    nameObject(SlopeFitSeries, "SlopeFitSeries");
    SlopeFitSeries->setPen(QPen(QColor(0, 128, 0), 2, Qt::DashLine));
    for (QLineSeries* series : {SlopeSeries, SlopeFitSeries}) {
        slopes->addSeries(series);
        series->attachAxis(slopeAxisX_);
        series->attachAxis(slopeAxisY_);
    }
    SlopeChart = new QChartView(slopes, this);
    nameControl(SlopeChart, "SlopeChart");
    SlopeChart->setWindowTitle(tr("局所勾配"));
    SlopeChart->setFrameShape(QFrame::Panel);
    SlopeChart->setFrameShadow(QFrame::Sunken);
    SlopeChart->setRenderHint(QPainter::Antialiasing);
    SlopeChart->hide();

    BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_BrowserReload), tr("再計算"), this);
    nameControl(BitBtn1, "BitBtn1");
    BitBtn1->setGeometry(200, 0, 89, 25);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm4::BitBtn1Click);

    UncertaintyLabel = new QLabel(this);
    nameControl(UncertaintyLabel, "UncertaintyLabel");
    UncertaintyLabel->setFont(uiFont(kPGothic, 11));

    SaveChartImage1 = new QAction(tr("グラフを画像として保存..."), this);
    nameObject(SaveChartImage1, "SaveChartImage1");
    connect(SaveChartImage1, &QAction::triggered, this, &TForm4::SaveChartImage1Click);
    SaveCountsCsv1 = new QAction(tr("個数をCSVで保存..."), this);
    nameObject(SaveCountsCsv1, "SaveCountsCsv1");
    connect(SaveCountsCsv1, &QAction::triggered, this, &TForm4::SaveCountsCsv1Click);
    Chart1->addActions({SaveChartImage1, SaveCountsCsv1});
    Chart1->setContextMenuPolicy(Qt::ActionsContextMenu);
    // The count list keeps its editing menu, with the exports below it.
    Memo1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Memo1, &QWidget::customContextMenuRequested, this, &TForm4::showCountListMenu);

    plot({}, std::nullopt);
}

void TForm4::BitBtn1Click()
{
    runCommand(
        [this] {
            MeasurementWindows sink(*this, results_);
            dimora::recalculate(sink);
        },
        BusyCursor::DontShow);
}

void TForm4::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutControls();
}

void TForm4::layoutControls()
{
    const int dw = width() - kClientWidth;
    const int dh = height() - kClientHeight - kUncertaintyHeight;
    // A cube run's line, or the line of the measurement's choices, stands
    // above the uncertainty line, in the chart's place; so do the local
    // slopes, under the chart.
    const int note = noteLines().isEmpty() ? 0 : kUncertaintyHeight;
    const int charts = 254 + dh - note;
    const int slopes = choices_.isDefault() ? 0 : charts * kSlopeChartPercent / 100;
    Memo2->setGeometry(0, 24, 33, 249 + dh);
    Memo1->setGeometry(32, 24, 81, 249 + dh);
    Chart1->setGeometry(120, 24, 274 + dw, charts - slopes);
    SlopeChart->setGeometry(120, 24 + charts - slopes, 274 + dw, slopes);
    SlopeChart->setVisible(slopes > 0);
    UncertaintyLabel->setGeometry(122, kClientHeight + dh - note, 272 + dw, kUncertaintyHeight + note);
    showUncertaintyLines();
}

void TForm4::showCubeNote(std::int32_t slices, const dimora::VoxelSize& voxel)
{
    const auto edge = [](double value, const std::string& text) {
        return QString::fromStdString(dimora::voxelEdgeText(value, text));
    };
    cubeNote_ = tr("3D: %1 スライス, ボクセル %2×%3×%4 mm")
                    .arg(QString::number(slices), edge(voxel.x, voxel.xText), edge(voxel.y, voxel.yText),
                         edge(voxel.z, voxel.zText));
    layoutControls();
}

QString TForm4::noteLines() const
{
    // A cube run is never a two-valued one: at most one of them is set.
    return cubeNote_ + choicesNote_;
}

void TForm4::showUncertaintyLines()
{
    // Voxel texts are the user's, of any length: a cube line too long for the
    // label is cut with "…" and given whole as the label's tool tip.
    const QString whole = noteLines();
    const QString note = UncertaintyLabel->fontMetrics().elidedText(whole, Qt::ElideRight,
                                                                    UncertaintyLabel->contentsRect().width());
    UncertaintyLabel->setToolTip(note == whole ? QString() : whole);
    UncertaintyLabel->setText(note.isEmpty() || fitLine_.isEmpty() ? note + fitLine_
                                                                   : note + QLatin1Char('\n') + fitLine_);
}

void TForm4::showCountListMenu(const QPoint& position)
{
    QMenu* menu = Memo1->createStandardContextMenu(position);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addSeparator();
    menu->addAction(SaveChartImage1);
    menu->addAction(SaveCountsCsv1);
    menu->popup(Memo1->viewport()->mapToGlobal(position));
}

QStringList TForm4::countLines() const
{
    const QString text = Memo1->toPlainText();
    if (text.isEmpty())
        return {};
    QStringList lines = text.split(QLatin1Char('\n'));
    if (text.endsWith(QLatin1Char('\n')))
        lines.removeLast();
    return lines;
}

void TForm4::clearCountList()
{
    Memo1->clear();
    sourceFile_.clear();
    fitLine_.clear();
    const bool hadNote = !noteLines().isEmpty() || !choices_.isDefault();
    cubeNote_.clear();
    choicesNote_.clear();
    choices_ = {};
    if (hadNote)
        layoutControls();
    else
        showUncertaintyLines();
}

void TForm4::setSourceFile(const QString& path)
{
    sourceFile_ = path;
}

void TForm4::setChoices(const TwoValuedChoices& choices)
{
    choices_ = choices;
    choicesNote_ = choices.grid == dimora::GridPlacement::Min ? tr("最小グリッド") : QString();
    layoutControls();
}

void TForm4::showRange(const RangedRecalculation* ranged)
{
    QStringList parts;
    if (choices_.grid == dimora::GridPlacement::Min)
        parts << tr("最小グリッド");
    UnfittedSeries->clear();
    if (ranged && choices_.range.kind != dimora::FitRange::Kind::All) {
        QString range = tr("範囲 %1–%2").arg(ranged->low).arg(ranged->high);
        if (ranged->noPlateau)
            range += tr(" (自動: 平坦部なし)");
        else if (ranged->automatic)
            range += tr(" (自動)");
        parts << range;
        // Series1 holds one point per pair of the list, in the pairs' order.
        const QList<QPointF> points = Series1->points();
        for (qsizetype k = 0; k < points.size(); ++k) {
            const auto pair = static_cast<std::size_t>(k);
            if (pair < ranged->run.first || pair >= ranged->run.first + ranged->run.count)
                UnfittedSeries->append(points[k]);
        }
    }
    const QString note = parts.join(QStringLiteral(", "));
    showSlopes(ranged);
    if (note.isEmpty() != choicesNote_.isEmpty()) {
        choicesNote_ = note;
        layoutControls();
    } else {
        choicesNote_ = note;
        showUncertaintyLines();
    }
}

void TForm4::showSlopes(const RangedRecalculation* ranged)
{
    SlopeSeries->clear();
    SlopeFitSeries->clear();
    const QList<QPointF> points = Series1->points();
    double low = 0.0;
    double high = 0.0;
    bool any = false;
    const auto take = [&](double value) {
        low = any ? std::min(low, value) : value;
        high = any ? std::max(high, value) : value;
        any = true;
    };
    if (ranged) {
        // Each slope stands between the two sides it joins.
        for (std::size_t k = 0;
             k < ranged->localSlopes.size() && k + 1 < static_cast<std::size_t>(points.size()); ++k) {
            const std::optional<double>& slope = ranged->localSlopes[k];
            if (!slope || !std::isfinite(*slope))
                continue;
            const auto at = static_cast<qsizetype>(k);
            SlopeSeries->append((points[at].x() + points[at + 1].x()) / 2, *slope);
            take(*slope);
        }
        const std::size_t first = ranged->run.first;
        const std::size_t last = first + ranged->run.count - 1;
        const double dimension = ranged->recalculation.fit.dimension;
        if (ranged->run.count >= 2 && last < static_cast<std::size_t>(points.size()) &&
            std::isfinite(dimension)) {
            SlopeFitSeries->append(points[static_cast<qsizetype>(first)].x(), dimension);
            SlopeFitSeries->append(points[static_cast<qsizetype>(last)].x(), dimension);
            take(dimension);
        }
    }
    if (!any) {
        low = 0.0;
        high = 2.0;
    }
    const double margin = std::max(0.1, (high - low) * 0.1);
    slopeAxisX_->setRange(axisX_->min(), axisX_->max());
    slopeAxisY_->setRange(low - margin, high + margin);
    // Two or three ticks: the small chart has no height for five labels, and
    // Qt Charts draws a label that does not fit its tick's spacing as "...".
    slopeAxisY_->setTickInterval(niceAxisStep(2.0 * (high - low + 2 * margin)));
}

void TForm4::appendCountLine(const QString& line)
{
    // Every line ends with a line end, as in a list that lines are added to:
    // an empty first line stays a line of its own.
    Memo1->setPlainText(Memo1->toPlainText() + line + QLatin1Char('\n'));
}

void TForm4::showInFront()
{
    ::showInFront(this);
}

void TForm4::showChart(std::span<const dimora::ChartPoint> points, const dimora::Recalculation* result)
{
    const auto toQPoint = [](const dimora::ChartPoint& point) { return QPointF(point.x, point.y); };
    std::vector<QPointF> converted;
    converted.reserve(points.size());
    for (const dimora::ChartPoint& point : points)
        converted.push_back(toQPoint(point));
    if (result)
        plot(converted, std::pair(toQPoint(result->lineStart), toQPoint(result->lineEnd)));
    else
        plot(converted, std::nullopt);
}

void TForm4::showUncertainty(const dimora::Recalculation* result)
{
    fitLine_.clear();
    if (result) {
        const double dimension = result->fit.dimension;
        const dimora::FitUncertainty& uncertainty = result->fit.uncertainty;
        const auto fixed = [](double value) { return QString::fromStdString(dimora::formatFixed(value, 4)); };
        const QString n = QString::number(result->fit.n);
        if (uncertainty.ci95Low && uncertainty.ci95High)
            fitLine_ = tr("D = %1 ± %2 (95 %), r² = %3, n = %4")
                           .arg(fixed(dimension), fixed((*uncertainty.ci95High - *uncertainty.ci95Low) / 2),
                                fixed(uncertainty.rSquared), n);
        else
            fitLine_ = tr("D = %1, r² = %2, n = %3").arg(fixed(dimension), fixed(uncertainty.rSquared), n);
    }
    showUncertaintyLines();
}

void TForm4::SaveChartImage1Click()
{
    runCommand(
        [this] {
            const std::optional<QString> path = platform().askFileName(fileDialogs::saveChartImage(), this);
            if (!path)
                return;
            ScopedBusyCursor busy;
            const QStringList caption{noteLines(), fitLine_, QFileInfo(sourceFile_).fileName()};
            QList<QChartView*> views{Chart1};
            if (!choices_.isDefault())
                views.append(SlopeChart);
            saveBytes(*path, wantsSvg(*path) ? chartSvg(views, Chart1->windowTitle(), caption)
                                             : chartPng(views, caption));
        },
        BusyCursor::DontShow);
}

void TForm4::SaveCountsCsv1Click()
{
    runCommand(
        [this] {
            const std::optional<QString> path = platform().askFileName(fileDialogs::saveCountsCsv(), this);
            if (path)
                saveBytes(*path, countsCsv(countLines()));
        },
        BusyCursor::DontShow);
}

void TForm4::plot(const std::vector<QPointF>& points,
                  const std::optional<std::pair<QPointF, QPointF>>& segment)
{
    Series1->replace(QList<QPointF>(points.begin(), points.end()));
    UnfittedSeries->clear();
    if (segment)
        Series2->replace(QList<QPointF>{segment->first, segment->second});
    else
        Series2->clear();
    fitAxesToData();
}

void TForm4::fitAxesToData()
{
    // Horizontal: from -0.1 to the largest x; vertical: the data's range with
    // a 2 % margin at the top.
    double maxX = 0.0;
    double minY = 0.0;
    double maxY = 0.0;
    bool any = false;
    for (const QXYSeries* series : {static_cast<QXYSeries*>(Series1), static_cast<QXYSeries*>(Series2)}) {
        for (const QPointF& p : series->points()) {
            if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
                continue;
            maxX = any ? std::max(maxX, p.x()) : p.x();
            minY = any ? std::min(minY, p.y()) : p.y();
            maxY = any ? std::max(maxY, p.y()) : p.y();
            any = true;
        }
    }
    if (!any) {
        maxX = 1.0;
        minY = 0.0;
        maxY = 1.0;
    }
    maxX = std::max(maxX, 0.0);
    if (maxY <= minY)
        maxY = minY + 1.0;
    maxY += (maxY - minY) * 0.02;
    axisX_->setRange(-0.1, maxX);
    axisY_->setRange(minY, maxY);
    axisY_->setTickInterval(niceAxisStep(maxY - minY));
}
