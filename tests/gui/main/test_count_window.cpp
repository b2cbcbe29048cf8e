// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
// The count window's uncertainty line under the chart and its exports: the
// chart as a PNG or SVG image and the count list as CSV, through the context
// menus of the chart and of the list.
#include "gui_test_support.hpp"

#include "core/common/text.hpp"
#include "core/measure/count_list.hpp"
#include "core/measure/fit_uncertainty.hpp"

#include <QAction>
#include <QChartView>
#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QtTest>

#include <cmath>
#include <string>
#include <vector>

namespace {

QString fixed(double value, int decimals = 4)
{
    return QString::fromStdString(dimora::formatFixed(value, decimals));
}

// The uncertainty line that the core's numbers give for the count list.
QString expectedLine(const QStringList& lines)
{
    std::vector<std::string> list;
    for (const QString& line : lines)
        list.push_back(line.toStdString());
    std::vector<dimora::ChartPoint> points;
    const dimora::Recalculation recalculation = dimora::recalculateCountList(list, points);
    const double d = recalculation.fit.dimension;
    const dimora::FitUncertainty u = dimora::fitUncertainty(recalculation.pairs, d);
    const QString n = QString::number(recalculation.fit.n);
    if (!u.ci95High)
        return QStringLiteral("D = %1, r² = %2, n = %3").arg(fixed(d), fixed(u.rSquared), n);
    return QStringLiteral("D = %1 ± %2 (95 %), r² = %3, n = %4")
        .arg(fixed(d), fixed((*u.ci95High - *u.ci95Low) / 2), fixed(u.rSquared), n);
}

// A scattered pattern whose counts do not fall on one straight line.
dimora::Bitmap scatteredImage()
{
    dimora::Bitmap image = filledImage(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            if (((x * 37 + y * 91) ^ (x * y)) % 5 == 0 || (x < 40 && y < 40))
                image.setPixel(x, y, dimora::kBlack);
    return image;
}

void setCountList(const Windows& windows, const QStringList& lines)
{
    windows.form4->Memo1->setPlainText(lines.join(QLatin1Char('\n')));
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// The number of pixels of the image near the colour.
int pixelsNear(const QImage& image, QColor colour)
{
    int found = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) < 40 && std::abs(c.green() - colour.green()) < 40 &&
                std::abs(c.blue() - colour.blue()) < 40)
                ++found;
        }
    return found;
}

}  // namespace

class CountWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        program_ = std::make_unique<ProgramWindows>();
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
    }
    void cleanup()
    {
        program_.reset();
        dir_.reset();
    }

    void theUncertaintyOfABlackSquare()
    {
        TForm1& f = program_->form1();
        TForm4& counts = program_->form4();
        QVERIFY(counts.UncertaintyLabel->text().isEmpty());
        QCOMPARE(counts.UncertaintyLabel->accessibleDescription(), QStringLiteral("UncertaintyLabel"));
        f.setWorkingImage(filledImage(64, 64, dimora::kBlack));
        f.controls().frac1->trigger();
        QCOMPARE(counts.UncertaintyLabel->text(),
                 QStringLiteral("D = 2.0000 ± 0.0000 (95 %), r² = 1.0000, n = 5"));
        // The result window's fields are those of before.
        QCOMPARE(resultFields(program_->windows),
                 (QStringList{" 64×64", " 100.0", " -1.0000 (5)", " 2.0000"}));
    }

    void theUncertaintyFollowsEveryRecalculation()
    {
        TForm1& f = program_->form1();
        TForm4& counts = program_->form4();
        f.setWorkingImage(scatteredImage());
        f.controls().frac1->trigger();
        QVERIFY(program_->recorder.errorReports.isEmpty());
        const QString measured = counts.UncertaintyLabel->text();
        QCOMPARE(measured, expectedLine(counts.countLines()));
        QVERIFY2(!measured.contains(QStringLiteral("± 0.0000")), qPrintable(measured));
        QVERIFY2(!measured.contains(QStringLiteral("r² = 1.0000")), qPrintable(measured));
        // The line fits under the chart, at the window's designed size.
        counts.show();
        QVERIFY(counts.UncertaintyLabel->fontMetrics().horizontalAdvance(measured) <=
                counts.UncertaintyLabel->contentsRect().width());
        QCOMPARE(counts.UncertaintyLabel->y(), counts.Chart1->geometry().bottom() + 1);
        QVERIFY(QRect(QPoint(), counts.size()).contains(counts.UncertaintyLabel->geometry()));
        counts.resize(counts.width() + 40, counts.height() + 30);
        QCOMPARE(counts.UncertaintyLabel->y(), counts.Chart1->geometry().bottom() + 1);
        QCOMPARE(counts.UncertaintyLabel->geometry().bottom(), counts.height() - 1);

        // An edited list, recalculated.
        const QStringList edited{"", "5000", "1400", "300", "90", "20"};
        setCountList(program_->windows, edited);
        counts.BitBtn1->click();
        QCOMPARE(counts.UncertaintyLabel->text(), expectedLine(edited));
        QVERIFY(counts.UncertaintyLabel->text() != measured);

        // Two counts: no degree of freedom left, no interval.
        setCountList(program_->windows, {"100", "10"});
        counts.BitBtn1->click();
        QCOMPARE(counts.UncertaintyLabel->text(),
                 QStringLiteral("D = %1, r² = 1.0000, n = 2").arg(fixed(std::log2(10.0))));

        // A failed recalculation empties the line.
        setCountList(program_->windows, {"100", "abc", "10"});
        counts.BitBtn1->click();
        QCOMPARE(program_->recorder.errorReports.size(), 1);
        QVERIFY(counts.UncertaintyLabel->text().isEmpty());

        // So does a measurement whose fit fails before the recalculation.
        counts.BitBtn1->click();
        setCountList(program_->windows, {"100", "10"});
        counts.BitBtn1->click();
        QVERIFY(!counts.UncertaintyLabel->text().isEmpty());
        dimora::Bitmap dot = filledImage(4, 4);
        paintRect(dot, 0, 0, 1, 3, dimora::kBlack);
        f.setWorkingImage(std::move(dot));
        f.controls().frac1->trigger();
        QVERIFY(counts.UncertaintyLabel->text().isEmpty());
    }

    void bothMenusOfferTheExports()
    {
        TForm4& counts = program_->form4();
        QCOMPARE(counts.Chart1->contextMenuPolicy(), Qt::ActionsContextMenu);
        QCOMPARE(counts.Chart1->actions(), (QList<QAction*>{counts.SaveChartImage1, counts.SaveCountsCsv1}));
        QCOMPARE(counts.SaveChartImage1->text(), QStringLiteral("グラフを画像として保存..."));
        QCOMPARE(counts.SaveCountsCsv1->text(), QStringLiteral("個数をCSVで保存..."));

        // The list's menu keeps its editing items and adds the exports.
        counts.show();
        emit counts.Memo1->customContextMenuRequested(QPoint(5, 5));
        QMenu* menu = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* candidate = qobject_cast<QMenu*>(widget); candidate && candidate->isVisible())
                menu = candidate;
        QVERIFY(menu);
        QVERIFY(menu->actions().contains(counts.SaveChartImage1));
        QVERIFY(menu->actions().contains(counts.SaveCountsCsv1));
        QVERIFY(menu->actions().size() > 3);
        menu->close();
    }

    void theChartAsPng()
    {
        TForm4& counts = measuredAndShown();
        const QString path = dir_->filePath(QStringLiteral("chart.png"));
        program_->recorder.fileAnswers.push_back(path);
        counts.SaveChartImage1->trigger();
        QVERIFY(program_->recorder.errorReports.isEmpty());
        QCOMPARE(program_->recorder.dialogsShown.size(), std::size_t{1});
        QCOMPARE(program_->recorder.dialogsShown[0].name, QStringLiteral("SaveDialog3"));
        QCOMPARE(program_->recorder.dialogsShown[0].kind, FileDialogOptions::Kind::Save);

        QImage image;
        QVERIFY(image.loadFromData(fileBytes(path), "PNG"));
        QVERIFY(image.width() >= 1600);
        // The chart in proportion to the one on the screen, with the caption's
        // band under it, where its lines are written in black.
        const QSize shown = counts.Chart1->chart()->size().toSize();
        const int chartHeight = image.width() * shown.height() / shown.width();
        QVERIFY2(image.height() > chartHeight + 20, qPrintable(QString::number(image.height())));
        QVERIFY(pixelsNear(image.copy(0, chartHeight + 2, image.width(), image.height() - chartHeight - 2),
                           Qt::black) > 100);
        // The red points and the green fitted line are drawn.
        QVERIFY(pixelsNear(image, Qt::red) > 50);
        QVERIFY(pixelsNear(image, QColor(0, 128, 0)) > 200);
        QVERIFY(cursorIsNormal());
    }

    void theChartAsSvgHoldsAPointPerCount()
    {
        // The scattered image, from a file.
        TForm1& f = program_->form1();
        program_->files().openFile(writeBmp(*dir_, QStringLiteral("scattered.bmp"), scatteredImage()));
        f.controls().frac1->trigger();
        f.controls().count1->trigger();
        QCoreApplication::processEvents();
        TForm4& counts = program_->form4();
        const QString path = dir_->filePath(QStringLiteral("chart.SVG"));
        program_->recorder.fileAnswers.push_back(path);
        counts.SaveChartImage1->trigger();
        QVERIFY(program_->recorder.errorReports.isEmpty());
        const QByteArray svg = fileBytes(path);
        QVERIFY(QSvgRenderer(svg).isValid());

        QXmlStreamReader reader(svg);
        int circles = 0;
        QStringList texts;  // each text element's whole text
        QStringList families;
        while (!reader.atEnd()) {
            reader.readNext();
            if (reader.isStartElement() && reader.name() == QLatin1String("circle"))
                ++circles;
            if (reader.isStartElement() && reader.name() == QLatin1String("text")) {
                families.append(reader.attributes().value(QLatin1String("font-family")).toString());
                texts.append(reader.readElementText(QXmlStreamReader::IncludeChildElements));
            }
        }
        QVERIFY(!reader.hasError());
        QCOMPARE(circles, counts.countLines().size());
        // Each axis title is one run of text; the fit's line and the image's
        // file name are under the chart.
        for (const QString& line :
             {QStringLiteral("log10(ボックスサイズ)"), QStringLiteral("log10(カウント数)"),
              counts.UncertaintyLabel->text(), QStringLiteral("scattered.bmp")})
            QVERIFY2(texts.contains(line), qPrintable(line + QStringLiteral(" in ") + texts.join(" | ")));
        // Every text asks for an installed family, then a generic one.
        QVERIFY(!svg.contains("ＭＳ"));
        const QRegularExpression family(QStringLiteral("^'([^']+)', (serif|sans-serif|monospace)$"));
        for (const QString& value : families) {
            const QRegularExpressionMatch match = family.match(value);
            QVERIFY2(match.hasMatch() && QFontDatabase::hasFamily(match.captured(1)), qPrintable(value));
        }

        // With fewer counts, fewer points.
        setCountList(program_->windows, {"100", "30", "10"});
        counts.BitBtn1->click();
        program_->recorder.fileAnswers.push_back(path);
        counts.SaveChartImage1->trigger();
        QXmlStreamReader again(fileBytes(path));
        circles = 0;
        while (!again.atEnd())
            if (again.readNext() == QXmlStreamReader::StartElement && again.name() == QLatin1String("circle"))
                ++circles;
        QCOMPARE(circles, 3);
    }

    void theCountsAsCsvAreTheListAsItStands()
    {
        TForm1& f = program_->form1();
        TForm4& counts = program_->form4();
        f.setWorkingImage(filledImage(64, 64, dimora::kBlack));
        f.controls().frac1->trigger();
        const QString path = dir_->filePath(QStringLiteral("counts.csv"));
        program_->recorder.fileAnswers.push_back(path);
        counts.SaveCountsCsv1->trigger();
        QCOMPARE(program_->recorder.dialogsShown.at(0).name, QStringLiteral("SaveDialog4"));
        QByteArray expected = "side,count,log10 side,log10 count\n";
        for (int k = 0; k < 5; ++k) {
            const int count = 4096 >> (2 * k);
            expected += QStringLiteral("%1,%2,%3,%4\n")
                            .arg(1 << k)
                            .arg(count)
                            .arg(fixed(k * std::log10(2.0), 6), fixed(std::log10(double(count)), 6))
                            .toUtf8();
        }
        QCOMPARE(fileBytes(path), expected);

        // Edited: an empty line keeps its side, blanks before a number are
        // dropped, anything else is written as it stands without logarithms.
        setCountList(program_->windows, {"", " 1000", "0", "1,5", "a\"b", "10"});
        program_->recorder.fileAnswers.push_back(path);
        counts.SaveCountsCsv1->trigger();
        QVERIFY(program_->recorder.errorReports.isEmpty());
        const QByteArray edited = QByteArray("side,count,log10 side,log10 count\n") +
                                  "2,1000,0.301030,3.000000\n" + "4,0,0.602060,\n" + "8,\"1,5\",0.903090,\n" +
                                  "16,\"a\"\"b\",1.204120,\n" + "32,10,1.505150,1.000000\n";
        QCOMPARE(fileBytes(path), edited);
    }

    void cancelledAndFailedSaves()
    {
        TForm4& counts = measuredAndShown();
        // Cancelled: nothing written, nothing reported.
        counts.SaveCountsCsv1->trigger();
        counts.SaveChartImage1->trigger();
        QCOMPARE(program_->recorder.dialogsShown.size(), std::size_t{2});
        QVERIFY(program_->recorder.errorReports.isEmpty());
        QVERIFY(QDir(dir_->path()).entryList(QDir::Files).isEmpty());

        // A folder that does not exist: the report, and no file.
        const QString missing = dir_->filePath(QStringLiteral("none/counts.csv"));
        program_->recorder.fileAnswers.push_back(missing);
        counts.SaveCountsCsv1->trigger();
        QCOMPARE(program_->recorder.errorReports,
                 QStringList{QStringLiteral("ファイル %1 を作成できません.").arg(missing)});
        const QString png = dir_->filePath(QStringLiteral("none/chart.png"));
        program_->recorder.fileAnswers.push_back(png);
        counts.SaveChartImage1->trigger();
        QCOMPARE(program_->recorder.errorReports.size(), 2);
        QVERIFY(!QFile::exists(png));
        QVERIFY(cursorIsNormal());
    }

private:
    // A measurement of the scattered image, with the count window shown.
    TForm4& measuredAndShown()
    {
        TForm1& f = program_->form1();
        f.setWorkingImage(scatteredImage());
        f.controls().frac1->trigger();
        f.controls().count1->trigger();
        QCoreApplication::processEvents();
        return program_->form4();
    }

    std::unique_ptr<ProgramWindows> program_;
    std::unique_ptr<QTemporaryDir> dir_;
};

QTEST_MAIN(CountWindowTest)
#include "test_count_window.moc"
