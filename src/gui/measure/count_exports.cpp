// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/measure/count_exports.hpp"

#include "core/measure/count_list.hpp"
#include "gui/common/fonts.hpp"

#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

// The chart's area in the scene, after any pending layout of a change just
// made (new points, new axis ranges) has been done.
QRectF laidOutChart(QChartView& view)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    return view.chart()->geometry();
}

// One text of the picture, drawn as one run: centred on `at` (the caption's
// lines start there instead), its line's middle on `at`, turned by `angle`
// degrees about it.
struct TextRun {
    QString text;
    QFont font;
    QColor colour;
    QPointF at;
    qreal angle = 0;
    bool centred = true;
};

// The chart's texts (axis titles and labels), taken out of the scene while
// the picture is drawn so that each can be written as one run: the scene
// draws a text in pieces where its script changes, each piece at a fixed
// place, which another font then draws overlapping or with a gap.
class DetachedTexts {
public:
    DetachedTexts(QGraphicsScene& scene, QPointF origin)
    {
        for (QGraphicsItem* item : scene.items()) {
            auto* text = qgraphicsitem_cast<QGraphicsTextItem*>(item);
            if (!text || !text->isVisible() || text->toPlainText().isEmpty())
                continue;
            const QTransform turn = text->sceneTransform();
            runs_.push_back({text->toPlainText(), text->font(), text->defaultTextColor(),
                             text->mapToScene(text->boundingRect().center()) - origin,
                             qRadiansToDegrees(std::atan2(turn.m12(), turn.m11()))});
            text->setVisible(false);
            hidden_.push_back(text);
        }
    }
    ~DetachedTexts()
    {
        for (QGraphicsTextItem* text : hidden_)
            text->setVisible(true);
    }
    DetachedTexts(const DetachedTexts&) = delete;
    DetachedTexts& operator=(const DetachedTexts&) = delete;

    [[nodiscard]] const std::vector<TextRun>& runs() const { return runs_; }

private:
    std::vector<TextRun> runs_;
    std::vector<QGraphicsTextItem*> hidden_;
};

// One chart of the picture: its area in its view's scene, and where its top
// lies in the picture.
struct PicturePart {
    QChartView* view = nullptr;
    QRectF source;
    qreal top = 0;
};

// The picture: the charts one under the other and the caption's band under
// them.
struct Picture {
    std::vector<PicturePart> parts;
    std::vector<TextRun> caption;
    QSizeF size;
};

Picture pictureOf(const QList<QChartView*>& views, const QStringList& caption)
{
    Picture picture;
    qreal y = 0;
    qreal width = 0;
    for (QChartView* view : views) {
        const QRectF source = laidOutChart(*view);
        picture.parts.push_back({view, source, y});
        y += source.height();
        width = std::max(width, source.width());
    }
    const qreal chartsHeight = y;
    const QFont font = views.isEmpty() ? QFont() : views.front()->font();
    const qreal lineHeight = QFontMetricsF(font).height();
    const qreal pad = 4;
    y += pad;
    for (const QString& line : caption) {
        if (line.isEmpty())
            continue;
        picture.caption.push_back({line, font, Qt::black, QPointF(8, y + lineHeight / 2), 0, false});
        y += lineHeight;
    }
    picture.size = QSizeF(width, picture.caption.empty() ? chartsHeight : y + pad);
    return picture;
}

// Where the run's text starts and where its baseline lies, around `at`.
QPointF textStart(const TextRun& run)
{
    const QFontMetricsF metrics(run.font);
    return {run.centred ? -metrics.horizontalAdvance(run.text) / 2 : 0.0,
            (metrics.ascent() - metrics.descent()) / 2};
}

void paintRun(QPainter& painter, const TextRun& run)
{
    painter.save();
    painter.translate(run.at);
    painter.rotate(run.angle);
    painter.setFont(run.font);
    painter.setPen(run.colour);
    painter.drawText(textStart(run), run.text);
    painter.restore();
}

QString number(qreal value)
{
    return QString::number(value, 'f', 2);
}

QString svgText(const TextRun& run)
{
    const QPointF start = textStart(run);
    QString element =
        QStringLiteral("<text x=\"%1\" y=\"%2\"").arg(number(run.at.x()), number(run.at.y() + start.y()));
    if (run.angle != 0)
        element += QStringLiteral(" transform=\"rotate(%1 %2 %3)\"")
                       .arg(number(run.angle), number(run.at.x()), number(run.at.y()));
    element += QStringLiteral(" text-anchor=\"%1\" font-family=\"%2\" font-size=\"%3\" fill=\"%4\"")
                   .arg(run.centred ? QStringLiteral("middle") : QStringLiteral("start"),
                        cssFontFamily(run.font).toHtmlEscaped(),
                        QString::number(QFontInfo(run.font).pixelSize()), run.colour.name());
    return element + QStringLiteral(" xml:space=\"preserve\">") + run.text.toHtmlEscaped() +
           QStringLiteral("</text>\n");
}

// Draws the picture in the views' pixels; the charts' texts come back as
// runs for the caller to write.
std::vector<TextRun> drawPicture(QPainter& painter, const Picture& picture)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(QRectF(QPointF(), picture.size), Qt::white);
    std::vector<TextRun> runs;
    for (const PicturePart& part : picture.parts) {
        const DetachedTexts texts(*part.view->scene(), part.source.topLeft() - QPointF(0, part.top));
        part.view->scene()->render(&painter, QRectF(QPointF(0, part.top), part.source.size()), part.source,
                                   Qt::IgnoreAspectRatio);
        runs.insert(runs.end(), texts.runs().begin(), texts.runs().end());
    }
    runs.insert(runs.end(), picture.caption.begin(), picture.caption.end());
    return runs;
}

}  // namespace

bool wantsSvg(const QString& path)
{
    return QFileInfo(path).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0;
}

QByteArray chartPng(const QList<QChartView*>& views, const QStringList& caption, int width)
{
    const Picture picture = pictureOf(views, caption);
    const double scale = picture.size.width() > 0 ? width / picture.size.width() : 1.0;
    const int height = std::max(1, static_cast<int>(std::lround(picture.size.height() * scale)));
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.scale(scale, scale);
        for (const TextRun& run : drawPicture(painter, picture))
            paintRun(painter, run);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray chartSvg(const QList<QChartView*>& views, const QString& title, const QStringList& caption)
{
    const Picture picture = pictureOf(views, caption);
    const QSize size = picture.size.toSize();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(), size));
    generator.setTitle(title);
    std::vector<TextRun> runs;
    {
        QPainter painter(&generator);
        runs = drawPicture(painter, picture);
    }
    // The texts go straight into the document, each one element, in the
    // view box's coordinates, which are the picture's.
    QString texts;
    for (const TextRun& run : runs)
        texts += svgText(run);
    const qsizetype end = bytes.lastIndexOf("</svg>");
    bytes.insert(end < 0 ? bytes.size() : end, texts.toUtf8());
    return bytes;
}

QByteArray countsCsv(const QStringList& lines)
{
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(lines.size()));
    for (const QString& line : lines)
        texts.push_back(line.toStdString());
    return QByteArray::fromStdString(dimora::countListCsv(texts));
}
