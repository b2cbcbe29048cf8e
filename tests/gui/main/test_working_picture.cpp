// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
// The picture of the main window: bitmap, icon or metafile, and the sharing
// of a bitmap between the working and the scratch image.
#include "core/common/error.hpp"
#include "gui/common/working_picture.hpp"

#include <QtTest>

#include <utility>

namespace {

dimora::Bitmap whiteImage(int width, int height)
{
    dimora::Bitmap image(width, height, dimora::PixelLayout::rgb24());
    image.fill(dimora::kWhite);
    return image;
}

}  // namespace

class WorkingPictureTest : public QObject {
    Q_OBJECT

private slots:
    void copiesShareTheBitmapUntilOneIsWritten()
    {
        WorkingPicture working(whiteImage(50, 40));
        WorkingPicture scratch = working;
        // Reading never copies.
        QCOMPARE(&std::as_const(working).pixels(), &std::as_const(scratch).pixels());

        working.pixels().setPixel(3, 4, dimora::kBlack);
        QVERIFY(&std::as_const(working).pixels() != &std::as_const(scratch).pixels());
        QCOMPARE(std::as_const(working).pixels().pixel(3, 4), dimora::kBlack);
        QCOMPARE(std::as_const(scratch).pixels().pixel(3, 4), dimora::kWhite);

        // Writing the other one as a whole leaves the first alone too.
        WorkingPicture other = working;
        other.bitmap().fill(dimora::kBlack);
        QCOMPARE(std::as_const(working).pixels().pixel(0, 0), dimora::kWhite);
        QCOMPARE(std::as_const(other).pixels().pixel(0, 0), dimora::kBlack);
        QCOMPARE(std::as_const(working).pixels().pixel(3, 4), dimora::kBlack);
    }

    void anIconOrMetafileHasNoPixelsButGivesWayToTheEmptyBitmap()
    {
        for (WorkingPicture picture :
             {WorkingPicture::icon(QByteArray("icon bytes")),
              WorkingPicture::metafile(QByteArray("emf bytes"), QStringLiteral("EMF"))}) {
            const PictureKind kind = picture.kind();
            QVERIFY(kind != PictureKind::Bitmap);
            try {
                (void)std::as_const(picture).pixels();
                QFAIL("pixels of a picture without a bitmap");
            } catch (const dimora::Error& error) {
                QCOMPARE(QString::fromUtf8(error.what()),
                         QStringLiteral("ビットマップを持っている時のみイメージの変更が可能です"));
            }
            QVERIFY_THROWS_EXCEPTION(dimora::Error, (void)picture.pixels());
            QCOMPARE(picture.kind(), kind);
            QVERIFY(!picture.fileBytes().isEmpty());

            dimora::Bitmap& replaced = picture.bitmap();
            QCOMPARE(picture.kind(), PictureKind::Bitmap);
            QVERIFY(replaced.empty());
            QVERIFY(picture.fileBytes().isEmpty());
        }
        WorkingPicture metafile = WorkingPicture::metafile(QByteArray("x"), QStringLiteral("WMF"));
        QCOMPARE(metafile.metafileMimeType(), QStringLiteral("image/wmf"));
        metafile.dropNonBitmap();
        QCOMPARE(metafile.kind(), PictureKind::Bitmap);
    }

    void aPictureMovedFromIsTheEmptyBitmap()
    {
        WorkingPicture source = WorkingPicture::icon(QByteArray("i"));
        WorkingPicture target = std::move(source);
        QCOMPARE(target.kind(), PictureKind::Icon);
        QCOMPARE(source.kind(), PictureKind::Bitmap);  // NOLINT: checked on purpose
        QVERIFY(std::as_const(source).pixels().empty());

        WorkingPicture bitmap(whiteImage(2, 2));
        target = std::move(bitmap);
        QCOMPARE(std::as_const(target).pixels().width(), 2);
        QVERIFY(std::as_const(bitmap).pixels().empty());  // NOLINT: checked on purpose
    }
};

QTEST_MAIN(WorkingPictureTest)
#include "test_working_picture.moc"
