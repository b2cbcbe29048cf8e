// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/measure/count_exports.hpp"

#include "core/common/error.hpp"
#include "core/common/text.hpp"

#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

namespace {

// The chart's area in the scene, after any pending layout of a change just
// made (new points, new axis ranges) has been done.
QRectF laidOutChart(QChartView& view)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    return view.chart()->geometry();
}

void renderChart(QChartView& view, QPainter& painter, const QRectF& target)
{
    const QRectF source = laidOutChart(view);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    view.scene()->render(&painter, target, source, Qt::IgnoreAspectRatio);
}

QString csvField(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

std::optional<std::int64_t> integerOf(const QString& line)
{
    try {
        return dimora::parseInteger64(line.toStdString());
    } catch (const dimora::Error&) {
        return std::nullopt;
    }
}

QString fixed(double value)
{
    return QString::fromStdString(dimora::formatFixed(value, 6));
}

}  // namespace

bool wantsSvg(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0;
}

QByteArray chartPng(QChartView& view, int width)
{
    const QRectF source = laidOutChart(view);
    const double aspect = source.width() > 0 ? source.height() / source.width() : 1.0;
    const int height = std::max(1, static_cast<int>(std::lround(width * aspect)));
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        renderChart(view, painter, QRectF(0, 0, width, height));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray chartSvg(QChartView& view, const QString& title)
{
    const QSize size = laidOutChart(view).size().toSize();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(), size));
    generator.setTitle(title);
    {
        QPainter painter(&generator);
        renderChart(view, painter, QRectF(QPointF(), QSizeF(size)));
    }
    return bytes;
}

QByteArray countsCsv(const QStringList& lines)
{
    QString csv = QStringLiteral("side,count,log10 side,log10 count\n");
    for (qsizetype k = 0; k < lines.size(); ++k) {
        const QString& line = lines[k];
        if (line.isEmpty())
            continue;
        const double side = std::ldexp(1.0, static_cast<int>(k));
        QString count = csvField(line);
        QString logCount;
        if (const std::optional<std::int64_t> value = integerOf(line)) {
            count = QString::number(*value);
            if (*value > 0)
                logCount = fixed(std::log10(static_cast<double>(*value)));
        }
        csv += QString::fromStdString(dimora::formatFixed(side, 0)) + QLatin1Char(',') + count +
               QLatin1Char(',') + fixed(std::log10(side)) + QLatin1Char(',') + logCount + QLatin1Char('\n');
    }
    return csv.toUtf8();
}
