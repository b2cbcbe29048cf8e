// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/mass/mass_windows.hpp"

#include "core/common/csv.hpp"
#include "core/common/replace_file.hpp"
#include "core/common/text.hpp"
#include "gui/common/chart_axes.hpp"
#include "gui/common/command.hpp"
#include "gui/common/fonts.hpp"
#include "gui/common/widget_names.hpp"
#include "gui/common/window_placement.hpp"
#include "gui/measure/count_exports.hpp"
#include "gui/platform/platform.hpp"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QFileInfo>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScatterSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace {

constexpr int kSummaryHeight = 34;

// A white chart with its two axes, shown in a sunken view.
QChartView* makeChart(QWidget* parent, const char* name, QValueAxis* x, QValueAxis* y,
                      const QList<QXYSeries*>& series)
{
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setBackgroundBrush(Qt::white);
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QXYSeries* s : series) {
        chart->addSeries(s);
        s->attachAxis(x);
        s->attachAxis(y);
    }
    auto* view = new QChartView(chart, parent);
    nameControl(view, name);
    view->setFrameShape(QFrame::Panel);
    view->setFrameShadow(QFrame::Sunken);
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

// The axes' ranges from the finite points of the series, with a margin of a
// twentieth of the span (a flat span gets ±0.5).
void fitAxes(QValueAxis* x, QValueAxis* y, const QList<QXYSeries*>& series)
{
    double left = 0, right = 1, low = 0, high = 1;
    bool any = false;
    for (const QXYSeries* s : series)
        for (const QPointF& p : s->points()) {
            if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
                continue;
            left = any ? std::min(left, p.x()) : p.x();
            right = any ? std::max(right, p.x()) : p.x();
            low = any ? std::min(low, p.y()) : p.y();
            high = any ? std::max(high, p.y()) : p.y();
            any = true;
        }
    // A span lost in the values' rounding (D_q of a uniform set is the same
    // for every q up to the last digits) counts as flat: ticks that small
    // would never advance along the axis.
    const auto widen = [](double& from, double& to) {
        const bool flat = !(to - from > 1e-9 * (1 + std::max(std::abs(from), std::abs(to))));
        const double margin = flat ? 0.5 : (to - from) / 20;
        from -= margin;
        to += margin;
    };
    widen(left, right);
    widen(low, high);
    x->setRange(left, right);
    y->setRange(low, high);
    x->setTickInterval(niceAxisStep(right - left));
    y->setTickInterval(niceAxisStep(high - low));
}

QString fixed(double value, int decimals = 4)
{
    return std::isfinite(value) ? QString::fromStdString(dimora::formatFixed(value, decimals))
                                : QString::number(value);
}

// A number at full precision for CSV (the shortest text that reads back the same).
std::string exact(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest).toStdString();
}

std::string exact(const std::optional<double>& value)
{
    return value ? exact(*value) : std::string();
}

QByteArray csvOf(const std::vector<std::vector<std::string>>& records)
{
    std::string csv;
    for (const std::vector<std::string>& record : records)
        csv += dimora::csvRecord(record, dimora::CsvQuoting::WhenNeeded, "\n");
    return QByteArray::fromStdString(csv);
}

// "± se" of a slope, or nothing without one.
QString plusMinus(const std::optional<double>& standardError)
{
    return standardError ? QStringLiteral(" ± ") + fixed(*standardError) : QString();
}

void saveBytes(const QString& path, const QByteArray& bytes)
{
    dimora::replaceFile(path.toStdString(),
                        std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                  static_cast<std::size_t>(bytes.size())));
}

}  // namespace

MassResultWindow::MassResultWindow(const char* name, const QString& columns, int listWidth, QWidget* parent)
    : QWidget(parent, Qt::Window), listWidth_(listWidth)
{
    nameControl(this, name);
    setFont(uiFont(kPGothic, 12));

    Label1 = new QLabel(columns, this);
    nameControl(Label1, "Label1");
    Label1->move(0, 8);
    Label1->adjustSize();

    Memo1 = new QPlainTextEdit(this);
    nameControl(Memo1, "Memo1");
    Memo1->setFont(uiFont(kGothic, 13));
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);

    SummaryLabel = new QLabel(this);
    nameControl(SummaryLabel, "SummaryLabel");
    SummaryLabel->setFont(uiFont(kPGothic, 11));
    SummaryLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    SaveChartImage1 = new QAction(tr("グラフを画像として保存..."), this);
    nameObject(SaveChartImage1, "SaveChartImage1");
    connect(SaveChartImage1, &QAction::triggered, this, &MassResultWindow::SaveChartImage1Click);
    SaveValuesCsv1 = new QAction(tr("値をCSVで保存..."), this);
    nameObject(SaveValuesCsv1, "SaveValuesCsv1");
    connect(SaveValuesCsv1, &QAction::triggered, this, &MassResultWindow::SaveValuesCsv1Click);
    // The list is read-only: its menu keeps copying, with the exports below.
    Memo1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Memo1, &QWidget::customContextMenuRequested, this, &MassResultWindow::showListMenu);
}

void MassResultWindow::setCharts(const QList<QChartView*>& charts, const QString& title)
{
    charts_ = charts;
    chartTitle_ = title;
    for (QChartView* chart : charts) {
        chart->addActions({SaveChartImage1, SaveValuesCsv1});
        chart->setContextMenuPolicy(Qt::ActionsContextMenu);
    }
    layoutControls();
}

void MassResultWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutControls();
}

void MassResultWindow::layoutControls()
{
    // The summing lines run under the list and the charts alike, so that the
    // D0, D1 and D2 line has the window's whole width.
    const int body = height() - 24 - kSummaryHeight;
    Memo1->setGeometry(0, 24, listWidth_, body);
    const int left = listWidth_ + 6;
    const int count = static_cast<int>(charts_.size());
    for (int k = 0; k < count; ++k)
        charts_[k]->setGeometry(left, 24 + k * body / count, width() - left,
                                (k + 1) * body / count - k * body / count);
    SummaryLabel->setGeometry(4, height() - kSummaryHeight, width() - 8, kSummaryHeight);
}

QStringList MassResultWindow::valueLines() const
{
    const QString text = Memo1->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void MassResultWindow::showResult(const QStringList& lines, const QStringList& summary, const QByteArray& csv,
                                  const QString& sourceFile)
{
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));
    summary_ = summary;
    csv_ = csv;
    sourceFile_ = sourceFile;
    SummaryLabel->setText(summary.join(QLatin1Char('\n')));
}

void MassResultWindow::showInFront()
{
    ::showInFront(this);
}

void MassResultWindow::showListMenu(const QPoint& position)
{
    QMenu* menu = Memo1->createStandardContextMenu(position);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addSeparator();
    menu->addAction(SaveChartImage1);
    menu->addAction(SaveValuesCsv1);
    menu->popup(Memo1->viewport()->mapToGlobal(position));
}

void MassResultWindow::SaveChartImage1Click()
{
    runCommand(
        [this] {
            const std::optional<QString> path = platform().askFileName(fileDialogs::saveChartImage(), this);
            if (!path)
                return;
            ScopedBusyCursor busy;
            QStringList caption = summary_;
            caption.append(QFileInfo(sourceFile_).fileName());
            saveBytes(*path,
                      wantsSvg(*path) ? chartSvg(charts_, chartTitle_, caption) : chartPng(charts_, caption));
        },
        BusyCursor::DontShow);
}

void MassResultWindow::SaveValuesCsv1Click()
{
    runCommand(
        [this] {
            const std::optional<QString> path = platform().askFileName(fileDialogs::saveCountsCsv(), this);
            if (path)
                saveBytes(*path, csv_);
        },
        BusyCursor::DontShow);
}

LacunarityWindow::LacunarityWindow(QWidget* parent)
    : MassResultWindow("LacunarityWindow", tr("サイズ, Λ, λ"), 210, parent)
{
    setWindowTitle(tr("ラクナリティ"));
    resize(520, 330);
    move(200, 240);

    axisX_ = makeValueAxis(tr("log10(ボックスサイズ)"), 12);
    axisY_ = makeValueAxis(tr("log10(ラクナリティ)"), 12);
    Series1 = new QScatterSeries;
    nameObject(Series1, "Series1");
    Series1->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    Series1->setMarkerSize(7.0);
    Series1->setColor(Qt::red);
    Series1->setBorderColor(Qt::red);
    Series2 = new QLineSeries;
    nameObject(Series2, "Series2");
    Series2->setColor(QColor(0, 128, 0));
    Chart1 = makeChart(this, "Chart1", axisX_, axisY_, {Series1, Series2});
    setCharts({Chart1}, tr("ボックスサイズとラクナリティの関係"));
    fitAxes(axisX_, axisY_, {});
}

void LacunarityWindow::showLacunarity(const dimora::LacunarityResult& result, const QString& sourceFile)
{
    QStringList lines;
    QList<QPointF> points;
    std::vector<std::vector<std::string>> records{{"side", "boxes", "lacunarity", "lambda"}};
    for (const dimora::LacunaritySide& side : result.sides) {
        lines.append(QStringLiteral("%1 %2 %3")
                         .arg(side.side, 4)
                         .arg(fixed(side.lacunarity, 5), 9)
                         .arg(fixed(side.lambda, 5), 9));
        points.append(QPointF(std::log10(static_cast<double>(side.side)), std::log10(side.lacunarity)));
        records.push_back({std::to_string(side.side), std::to_string(side.boxes), exact(side.lacunarity),
                           exact(side.lambda)});
    }
    Series1->replace(points);
    // The fitted line passes through the points' centre with the fit's slope
    // (the same in log10 as in ln on both axes).
    Series2->clear();
    if (!points.isEmpty()) {
        double meanX = 0, meanY = 0, lowX = points.front().x(), highX = lowX;
        for (const QPointF& p : points) {
            meanX += p.x();
            meanY += p.y();
            lowX = std::min(lowX, p.x());
            highX = std::max(highX, p.x());
        }
        meanX /= static_cast<double>(points.size());
        meanY /= static_cast<double>(points.size());
        Series2->append(lowX, meanY + result.slope * (lowX - meanX));
        Series2->append(highX, meanY + result.slope * (highX - meanX));
    }
    fitAxes(axisX_, axisY_, {Series1, Series2});

    const QString method = result.method == dimora::LacunarityMethod::Gliding ? tr("グライディングボックス")
                           : result.empty == dimora::EmptyBoxes::Include ? tr("固定グリッド, 空の箱を含む")
                                                                         : tr("固定グリッド, 空の箱を除く");
    QString fit = tr("傾き = %1%2").arg(fixed(result.slope), plusMinus(result.standardError));
    if (result.rSquared)
        fit += tr(", r² = %1").arg(fixed(*result.rSquared));
    fit += tr(", n = %1").arg(result.sides.size());
    showResult(lines, {tr("%1, 占有 %2 ピクセル").arg(method).arg(result.occupied), fit}, csvOf(records),
               sourceFile);
}

MultifractalWindow::MultifractalWindow(QWidget* parent)
    : MassResultWindow("MultifractalWindow", tr("q, D_q, α, f"), 260, parent)
{
    setWindowTitle(tr("マルチフラクタル スペクトル"));
    resize(600, 420);
    move(220, 200);

    dqAxisX_ = makeValueAxis(QStringLiteral("q"), 11);
    dqAxisY_ = makeValueAxis(QStringLiteral("D_q"), 11);
    DqSeries = new QLineSeries;
    nameObject(DqSeries, "DqSeries");
    DqSeries->setColor(Qt::red);
    DqSeries->setPointsVisible(true);
    DqChart = makeChart(this, "DqChart", dqAxisX_, dqAxisY_, {DqSeries});

    fAxisX_ = makeValueAxis(QStringLiteral("α"), 11);
    fAxisY_ = makeValueAxis(QStringLiteral("f(α)"), 11);
    SpectrumSeries = new QLineSeries;
    nameObject(SpectrumSeries, "SpectrumSeries");
    SpectrumSeries->setColor(Qt::blue);
    SpectrumSeries->setPointsVisible(true);
    SpectrumChart = makeChart(this, "SpectrumChart", fAxisX_, fAxisY_, {SpectrumSeries});
    setCharts({DqChart, SpectrumChart}, tr("マルチフラクタル スペクトル"));
    fitAxes(dqAxisX_, dqAxisY_, {});
    fitAxes(fAxisX_, fAxisY_, {});
}

void MultifractalWindow::showSpectrum(const dimora::MultifractalResult& result, MassOrigin origin,
                                      const QString& sourceFile)
{
    QStringList lines;
    QList<QPointF> dq;
    QList<QPointF> spectrum;
    std::vector<std::vector<std::string>> records{{"q", "Dq", "DqStandardError", "tau", "tauStandardError",
                                                   "alpha", "alphaStandardError", "f", "fStandardError",
                                                   "rSquared"}};
    QStringList named;
    for (const dimora::MultifractalPoint& point : result.points) {
        lines.append(QStringLiteral("%1 %2 %3 %4")
                         .arg(QString::number(point.q), 5)
                         .arg(fixed(point.dq), 7)
                         .arg(fixed(point.alpha), 7)
                         .arg(fixed(point.f), 7));
        dq.append(QPointF(point.q, point.dq));
        spectrum.append(QPointF(point.alpha, point.f));
        records.push_back({exact(point.q), exact(point.dq), exact(point.dqStandardError), exact(point.tau),
                           exact(point.tauStandardError), exact(point.alpha), exact(point.alphaStandardError),
                           exact(point.f), exact(point.fStandardError), exact(point.rSquared)});
        // D_0, D_1 and D_2 (capacity, information, correlation) sum the spectrum up.
        if (point.q == 0 || point.q == 1 || point.q == 2)
            named.append(
                QStringLiteral("D%1 = %2%3")
                    .arg(QString::number(point.q), fixed(point.dq), plusMinus(point.dqStandardError)));
    }
    DqSeries->replace(dq);
    SpectrumSeries->replace(spectrum);
    fitAxes(dqAxisX_, dqAxisY_, {DqSeries});
    fitAxes(fAxisX_, fAxisY_, {SpectrumSeries});

    const QString mass = origin == MassOrigin::Black         ? tr("質量: 黒")
                         : origin == MassOrigin::FileSamples ? tr("質量: グレー (ファイルの階調)")
                                                             : tr("質量: グレー (画像の 8 ビット値)");
    QString sides;
    if (!result.sides.empty())
        sides = tr(", 辺 %1–%2").arg(result.sides.front()).arg(result.sides.back());
    showResult(lines, {mass + sides, named.join(QStringLiteral(", "))}, csvOf(records), sourceFile);
}
