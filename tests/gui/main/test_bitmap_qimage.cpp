// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
// The conversions between the core's bitmaps and Qt's images, checked against
// Qt's own BMP reader over the BMP Suite's good files.
#include "core/files/bmp_reader.hpp"
#include "gui/common/bitmap_qimage.hpp"

#include <QDir>
#include <QImage>
#include <QtTest>

class BitmapQImageTest : public QObject {
    Q_OBJECT

private slots:
    void everyLayoutShowsTheColoursQtReadsFromTheSameFile()
    {
        const QDir suite(QStringLiteral(DIMORA_TEST_DATA "/bmpsuite/g"));
        int compared = 0;
        for (const QString& name : suite.entryList({QStringLiteral("*.bmp")}, QDir::Files)) {
            const QString path = suite.filePath(name);
            const QImage reference(path, "BMP");
            if (reference.isNull())
                continue;  // a layout Qt does not read
            dimora::Bitmap bitmap;
            try {
                bitmap = dimora::loadBmpFile(path.toStdString());
            } catch (const std::exception&) {
                continue;  // refused by our reader: nothing to show
            }
            // Channels narrower than 8 bits are widened by bit replication
            // here and by Qt's own scaling there; theShownImageHasTheBitmaps-
            // ColoursInEveryLayout covers them.
            if (bitmap.layout().format() == dimora::PixelFormat::Masked16)
                continue;
            const QImage shown = toQImage(bitmap);
            QVERIFY2(shown.size() == reference.size(), qPrintable(name));
            for (int y = 0; y < shown.height(); ++y)
                for (int x = 0; x < shown.width(); ++x)
                    if (qRed(shown.pixel(x, y)) != qRed(reference.pixel(x, y)) ||
                        qGreen(shown.pixel(x, y)) != qGreen(reference.pixel(x, y)) ||
                        qBlue(shown.pixel(x, y)) != qBlue(reference.pixel(x, y)))
                        QFAIL(qPrintable(QStringLiteral("%1 differs at %2, %3").arg(name).arg(x).arg(y)));
            ++compared;
        }
        // 1, 4 and 8 bits, 24 and 32 bits.
        QVERIFY(compared >= 10);
    }

    void theShownImageHasTheBitmapsColoursInEveryLayout()
    {
        const std::vector<dimora::PixelLayout> layouts{
            dimora::PixelLayout::rgb24(),
            dimora::PixelLayout::indexed(1,
                                         {dimora::makeColour(10, 20, 30), dimora::makeColour(250, 240, 230)}),
            dimora::PixelLayout::indexed(4, {dimora::kBlack, dimora::kWhite, dimora::makeColour(255, 0, 0)}),
            dimora::PixelLayout::indexed(8, {dimora::kWhite, dimora::makeColour(0, 0, 255), dimora::kBlack}),
            dimora::PixelLayout::masked(16, dimora::kMasks565),
            dimora::PixelLayout::masked(32, dimora::kMasks888),
        };
        for (const auto& layout : layouts) {
            for (const auto order : {dimora::RowOrder::BottomUp, dimora::RowOrder::TopDown}) {
                // Odd widths leave padding at the end of every row.
                dimora::Bitmap bitmap(13, 5, layout, order);
                bitmap.fill(dimora::kWhite);
                bitmap.setPixel(0, 0, dimora::kBlack);
                bitmap.setPixel(12, 4, dimora::makeColour(255, 0, 0));
                bitmap.setPixel(7, 2, dimora::makeColour(0, 0, 255));
                const QImage shown = toQImage(bitmap);
                QCOMPARE(shown.size(), QSize(13, 5));
                for (int y = 0; y < 5; ++y)
                    for (int x = 0; x < 13; ++x) {
                        const dimora::Colour c = bitmap.pixel(x, y);
                        QCOMPARE(shown.pixel(x, y),
                                 qRgb(dimora::redOf(c), dimora::greenOf(c), dimora::blueOf(c)));
                    }
            }
        }
        QVERIFY(toQImage(dimora::Bitmap()).isNull());
    }

    void aClipboardImageBecomesA24BitBitmapOfItsColours()
    {
        QImage image(7, 3, QImage::Format_ARGB32);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 7; ++x)
                image.setPixel(x, y, qRgba(x * 30, y * 80, 255 - x * 20, 255));
        const dimora::Bitmap bitmap = fromQImage(image);
        QCOMPARE(bitmap.layout().bitsPerPixel(), 24);
        QCOMPARE(bitmap.width(), 7);
        QCOMPARE(bitmap.height(), 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 7; ++x)
                QCOMPARE(bitmap.pixel(x, y), dimora::makeColour(x * 30, y * 80, 255 - x * 20));
        // And back again unchanged.
        QCOMPARE(toQImage(bitmap).convertToFormat(QImage::Format_ARGB32), image);
        QVERIFY(fromQImage(QImage()).empty());
    }
};

QTEST_MAIN(BitmapQImageTest)
#include "test_bitmap_qimage.moc"
