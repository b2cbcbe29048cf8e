// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
// Open, save as, G1, copy, paste and dropped files, with the picture kinds and
// the failures that leave both pictures as they were.
#include "gui_test_support.hpp"

#include "core/files/bmp_reader.hpp"
#include "core/files/image_file.hpp"
#include "core/files/png_reader.hpp"
#include "core/files/png_test_files.hpp"
#include "core/files/tiff_jpeg_test_files.hpp"
#include "gui/app/startup.hpp"
#include "gui/common/image_control.hpp"
#include "gui/common/scroll_box.hpp"
#include "gui/imageops/scratch_image_window.hpp"
#include "gui/region/selection_shape.hpp"

#include <QFile>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

namespace {

QString errorText(const char* templ, const QString& argument)
{
    return QString::fromUtf8(templ).replace(QStringLiteral("%s"), argument) + QLatin1Char('.');
}

// Drags the files over the window and drops them; true when the window took
// both. The loading waits for the event loop.
bool sendDrop(TForm1& form, const QStringList& paths)
{
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls.append(QUrl::fromLocalFile(path));
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &enter);
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &drop);
    return enter.isAccepted() && drop.isAccepted();
}

// A drop and the loading that follows it.
void dropFiles(TForm1& form, const QStringList& paths)
{
    QVERIFY(sendDrop(form, paths));
    QCoreApplication::processEvents();
}

// The files of the other image formats, written in the folder: a PNG (RGB), a
// TIFF (8-bit palette) and a JPEG (gray) of 9 × 6 pixels, black left of
// x = 4 and white from there, each under a name whose extension is in
// another letter case than the last.
struct OtherImageFiles {
    QString png, tiff, jpeg;
};

OtherImageFiles writeOtherImageFiles(const QTemporaryDir& dir)
{
    constexpr std::uint32_t kWidth = 9;
    constexpr std::uint32_t kHeight = 6;
    const auto white = [](std::uint32_t x) { return x >= 4; };

    dimora::testing::PngImage png = dimora::testing::blankImage(kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB);
    for (auto& row : png.rows)
        for (std::uint32_t x = 0; x < kWidth; ++x)
            for (int c = 0; c < 3; ++c)
                dimora::testing::putSample(row, 8, 3, x, c, white(x) ? 255 : 0);

    dimora::testing::TiffPage page;
    page.width = kWidth;
    page.height = kHeight;
    page.photometric = PHOTOMETRIC_PALETTE;
    page.red = page.green = page.blue = std::vector<std::uint16_t>(256, 0xFFFF);
    page.red[0] = page.green[0] = page.blue[0] = 0;
    page.sample = [&](std::uint32_t x, std::uint32_t, unsigned) { return white(x) ? 1U : 0U; };

    const OtherImageFiles files{dir.filePath(QStringLiteral("p.png")), dir.filePath(QStringLiteral("t.TIF")),
                                dir.filePath(QStringLiteral("j.Jpeg"))};
    dimora::testing::writeFile(files.png.toStdString(), dimora::testing::encodePng(png));
    dimora::testing::writeFile(files.tiff.toStdString(), dimora::testing::encodeTiff({false, false, {page}}));
    dimora::testing::writeFile(
        files.jpeg.toStdString(),
        dimora::testing::encodeJpeg(kWidth, kHeight, 1, false, [&](std::uint32_t x, std::uint32_t, unsigned) {
            return white(x) ? 255U : 0U;
        }));
    return files;
}

// True when the picture is the 9 × 6 image of writeOtherImageFiles (away
// from the edge, where JPEG blurs).
bool isBlackThenWhite(const dimora::Bitmap& b)
{
    const auto grey = [&](int x) { return dimora::redOf(b.pixel(x, 3)); };
    return b.width() == 9 && b.height() == 6 && grey(0) < 16 && grey(1) < 16 && grey(7) > 240 &&
           grey(8) > 240;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

TForm6& scratchWindow(const Windows& windows)
{
    return *windows.form6;
}

// A TIFF of three pages told apart by their sizes and pixels: page p is
// (4 + p) × 3, black up to x = p and white from there.
QString writeThreePageTiff(const QTemporaryDir& dir)
{
    dimora::testing::TiffFile file;
    for (std::uint32_t p = 1; p <= 3; ++p) {
        dimora::testing::TiffPage page;
        page.width = 4 + p;
        page.height = 3;
        page.sample = [p](std::uint32_t x, std::uint32_t, unsigned) { return x < p ? 0U : 255U; };
        file.pages.push_back(page);
    }
    const QString path = dir.filePath(QStringLiteral("pages.tif"));
    dimora::testing::writeFile(path.toStdString(), dimora::testing::encodeTiff(file));
    return path;
}

bool samePixels(const dimora::Bitmap& a, const dimora::Bitmap& b)
{
    if (a.width() != b.width() || a.height() != b.height())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return false;
    return true;
}

// The size and a few pixels of a bitmap, to tell pictures apart.
struct Snapshot {
    int width;
    int height;
    dimora::Colour corner;
    friend bool operator==(const Snapshot&, const Snapshot&) = default;
};

Snapshot snapshot(WorkingPicture& picture)
{
    const dimora::Bitmap& b = picture.pixels();
    return {b.width(), b.height(), b.pixel(0, 0)};
}

}  // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        program_ = std::make_unique<ProgramWindows>();
    }
    void cleanup() { program_.reset(); }

    void cancellingTheOpenDialogChangesNothing()
    {
        TForm1& f = program_->form1();
        program_->recorder.fileAnswers = {std::nullopt};
        f.controls().Open1->trigger();
        QCOMPARE(program_->recorder.dialogsShown.size(), std::size_t{1});
        QCOMPARE(program_->recorder.dialogsShown[0].name, QStringLiteral("OpenDialog1"));
        QVERIFY(f.currentFileName().isEmpty());
        QCOMPARE(f.workingPicture().pixels().width(), 0);
        QVERIFY(program_->recorder.errorReports.isEmpty());
    }

    void openingABitmapFillsBothPicturesAndTheView()
    {
        TForm1& f = program_->form1();
        dimora::Bitmap image = filledImage(640, 480, dimora::makeColour(10, 20, 30));
        const QString path = writeBmp(dir_, QStringLiteral("a.bmp"), image);
        f.controls().SelShape1->move(80, 80);
        program_->recorder.fileAnswers = {path};
        QTest::mouseClick(f.controls().ToolButton2, Qt::LeftButton);

        QCOMPARE(f.currentFileName(), path);
        QCOMPARE(f.workingPicture().kind(), PictureKind::Bitmap);
        QCOMPARE(snapshot(f.workingPicture()), (Snapshot{640, 480, dimora::makeColour(10, 20, 30)}));
        QCOMPARE(snapshot(scratchWindow(program_->windows).scratchPicture()),
                 (Snapshot{640, 480, dimora::makeColour(10, 20, 30)}));
        QCOMPARE(f.controls().Image->size(), QSize(640, 480));
        QCOMPARE(f.controls().Image->grab(QRect(630, 470, 10, 10)).toImage().pixel(9, 9), qRgb(10, 20, 30));
        QVERIFY(f.controls().ScrollBox1->horizontalScrollBar()->maximum() > 0);
        QVERIFY(f.controls().ScrollBox1->verticalScrollBar()->maximum() > 0);
        QCOMPARE(f.controls().SelShape1->pos(), QPoint(80, 80));
        QVERIFY(program_->recorder.errorReports.isEmpty());
        QCOMPARE(program_->recorder.busyCursorAtDialog, std::vector<bool>{false});
        QVERIFY(cursorIsNormal());

        // The extension is compared without regard to case.
        const QString upper = writeBmp(dir_, QStringLiteral("B.BMP"), filledImage(3, 2));
        program_->recorder.fileAnswers = {upper};
        f.controls().Open1->trigger();
        QCOMPARE(snapshot(f.workingPicture()), (Snapshot{3, 2, dimora::kWhite}));
    }

    void aFailedOpenReportsAndLeavesBothPicturesButTakesTheName()
    {
        TForm1& f = program_->form1();
        const QString good = writeBmp(dir_, QStringLiteral("good.bmp"), filledImage(5, 7, dimora::kBlack));
        program_->recorder.fileAnswers = {good};
        f.controls().Open1->trigger();
        const Snapshot before{5, 7, dimora::kBlack};

        const QString missing = dir_.filePath(QStringLiteral("missing.bmp"));
        QFile bad(dir_.filePath(QStringLiteral("bad.bmp")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("BM this is no bitmap at all");
        bad.close();
        const QString gif = dir_.filePath(QStringLiteral("photo.gif"));
        const QString suite = QStringLiteral(DIMORA_TEST_DATA "/bmpsuite/b/badbitcount.bmp");

        const std::vector<std::pair<QString, QString>> cases{
            {missing, errorText("ファイル %s は開けません", missing)},
            {bad.fileName(), QStringLiteral("ビットマップイメージが不正です.")},
            {suite, QStringLiteral("ビットマップイメージが不正です.")},
            {gif, errorText("拡張子 .%s の画像形式は処理できません", QStringLiteral("gif"))},
            {dir_.path() + QStringLiteral("/noextension"),
             errorText("拡張子 .%s の画像形式は処理できません", QString())},
        };
        for (const auto& [path, message] : cases) {
            program_->recorder.errorReports.clear();
            program_->recorder.fileAnswers = {path};
            f.controls().Open1->trigger();
            QCOMPARE(program_->recorder.errorReports, QStringList{message});
            QCOMPARE(program_->recorder.busyCursorAtReport.back(), false);
            QCOMPARE(f.currentFileName(), path);
            QCOMPARE(snapshot(f.workingPicture()), before);
            QCOMPARE(snapshot(scratchWindow(program_->windows).scratchPicture()), before);
            QCOMPARE(f.controls().Image->size(), QSize(5, 7));
            QVERIFY(cursorIsNormal());
        }
    }

    void pngTiffAndJpegFilesOpenAndDropAsBitmaps()
    {
        TForm1& f = program_->form1();
        const OtherImageFiles files = writeOtherImageFiles(dir_);
        for (const QString& path : {files.png, files.tiff, files.jpeg}) {
            f.setWorkingImage(filledImage(2, 2));
            program_->recorder.fileAnswers = {path};
            f.controls().Open1->trigger();
            QVERIFY2(program_->recorder.errorReports.isEmpty(), qPrintable(path));
            QCOMPARE(f.currentFileName(), path);
            QCOMPARE(f.workingPicture().kind(), PictureKind::Bitmap);
            QVERIFY2(isBlackThenWhite(f.workingPicture().pixels()), qPrintable(path));
            QVERIFY(isBlackThenWhite(scratchWindow(program_->windows).scratchPicture().pixels()));
            QCOMPARE(f.controls().Image->size(), QSize(9, 6));

            // Every command works on it as on a BMP.
            f.controls().reverse1->trigger();
            QVERIFY(dimora::redOf(f.workingPicture().pixels().pixel(0, 3)) > 240);
            QVERIFY(program_->recorder.errorReports.isEmpty());

            f.setWorkingImage(filledImage(2, 2));
            dropFiles(f, {path});
            QVERIFY(isBlackThenWhite(f.workingPicture().pixels()));
        }

        // A damaged file of one of these kinds leaves both pictures.
        const QString broken = dir_.filePath(QStringLiteral("broken.tiff"));
        dimora::testing::writeFile(broken.toStdString(), std::vector<std::uint8_t>{'I', 'I', 42, 0, 1, 2});
        program_->recorder.fileAnswers = {broken};
        f.controls().Open1->trigger();
        QCOMPARE(program_->recorder.errorReports,
                 QStringList{errorText("画像ファイル %s を読み込めません", broken)});
        QVERIFY(isBlackThenWhite(f.workingPicture().pixels()));
        QVERIFY(isBlackThenWhite(scratchWindow(program_->windows).scratchPicture().pixels()));
    }

    void aTiffOfSeveralPagesAsksWhichPageToShow()
    {
        TForm1& f = program_->form1();
        RecordingPlatform& recorder = program_->recorder;
        const QString tiff = writeThreePageTiff(dir_);
        // The page shown is the page that the command line's --page reads.
        const auto page = [&](int number) { return dimora::loadImageFile(tiff.toStdString(), number); };

        recorder.pageAnswers = {2};
        recorder.fileAnswers = {tiff};
        f.controls().Open1->trigger();
        QCOMPARE(recorder.pageQuestions.size(), std::size_t{1});
        QCOMPARE(recorder.pageQuestions[0].path, tiff);
        QCOMPARE(recorder.pageQuestions[0].pageCount, 3);
        QVERIFY(recorder.errorReports.isEmpty());
        QCOMPARE(f.currentFileName(), tiff);
        QVERIFY(samePixels(f.workingPicture().pixels(), page(2)));
        QVERIFY(samePixels(scratchWindow(program_->windows).scratchPicture().pixels(), page(2)));

        // A drop asks too; cancelling the question changes nothing.
        recorder.pageAnswers = {3};
        dropFiles(f, {tiff});
        QVERIFY(samePixels(f.workingPicture().pixels(), page(3)));
        const QString other = writeBmp(dir_, QStringLiteral("other.bmp"), filledImage(2, 2));
        recorder.fileAnswers = {other};
        f.controls().Open1->trigger();
        recorder.fileAnswers = {tiff};
        recorder.pageAnswers = {std::nullopt};
        f.controls().Open1->trigger();
        QCOMPARE(f.currentFileName(), other);
        QCOMPARE(snapshot(f.workingPicture()), (Snapshot{2, 2, dimora::kWhite}));
        QCOMPARE(recorder.pageQuestions.size(), std::size_t{3});

        // Files of one page ask nothing.
        const OtherImageFiles single = writeOtherImageFiles(dir_);
        for (const QString& path : {single.tiff, single.png, other}) {
            recorder.fileAnswers = {path};
            f.controls().Open1->trigger();
        }
        QCOMPARE(recorder.pageQuestions.size(), std::size_t{3});
        QVERIFY(recorder.errorReports.isEmpty());
    }

    void theTitleNamesTheFileShown()
    {
        TForm1& f = program_->form1();
        RecordingPlatform& recorder = program_->recorder;
        const QString first = writeBmp(dir_, QStringLiteral("first.bmp"), filledImage(3, 3));
        const QString second = writeBmp(dir_, QStringLiteral("second.bmp"), filledImage(4, 4));
        recorder.fileAnswers = {first};
        f.controls().Open1->trigger();
        QCOMPARE(f.windowTitle(), QStringLiteral("first.bmp — Dimora3"));
        // A file that does not load leaves the title of the picture shown.
        recorder.fileAnswers = {dir_.filePath(QStringLiteral("missing.bmp"))};
        f.controls().Open1->trigger();
        QCOMPARE(f.windowTitle(), QStringLiteral("first.bmp — Dimora3"));
        dropFiles(f, {second});
        QCOMPARE(f.windowTitle(), QStringLiteral("second.bmp — Dimora3"));
        recorder.fileAnswers = {dir_.filePath(QStringLiteral("saved.png"))};
        f.controls().Saveas1->trigger();
        QCOMPARE(f.windowTitle(), QStringLiteral("saved.png — Dimora3"));
        recorder.fileAnswers = {dir_.filePath(QStringLiteral("no/folder/x.bmp"))};
        f.controls().Saveas1->trigger();
        QCOMPARE(f.windowTitle(), QStringLiteral("saved.png — Dimora3"));
        // A pasted picture is no file.
        recorder.setClipboardImage(QImage(2, 2, QImage::Format_RGB32));
        f.controls().Paste1->trigger();
        QCOMPARE(f.windowTitle(), QStringLiteral("Dimora3"));
    }

    void theDesktopsKeysRunTheirCommands()
    {
        TForm1& f = program_->form1();
        RecordingPlatform& recorder = program_->recorder;
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QTest::keyClick(&f, Qt::Key_O, Qt::ControlModifier);
        QTest::keyClick(&f, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(recorder.dialogsShown.size(), std::size_t{2});
        QCOMPARE(recorder.dialogsShown[0].name, QStringLiteral("OpenDialog1"));
        QCOMPARE(recorder.dialogsShown[1].name, QStringLiteral("SaveDialog1"));
        QTest::keyClick(&f, Qt::Key_F1);
        QCOMPARE(recorder.urlsOpened.size(), 1);
        QVERIFY(recorder.urlsOpened[0].toString().endsWith(QStringLiteral("help.htm")));
        QSignalSpy closed(&f, &TForm1::closed);
        QTest::keyClick(&f, Qt::Key_Q, Qt::ControlModifier);
        QCOMPARE(closed.size(), 1);
    }

    void theDialogsOfferTheImageFormats()
    {
        QCOMPARE(
            fileDialogs::openBitmap().filter,
            QStringLiteral("画像ファイル (*.bmp *.png *.tif *.tiff *.jpg *.jpeg);;PNGファイル (*.png);;"
                           "TIFFファイル (*.tif *.tiff);;JPEGファイル (*.jpg *.jpeg);;ビットマップ(*.bmp)"));
        QCOMPARE(fileDialogs::saveBitmap().filter,
                 QStringLiteral("ビットマップ(*.bmp);;PNGファイル (*.png)"));
    }

    void aFileNamedAtStartOpensAsTheOpenCommandOpensIt()
    {
        program_.reset();
        const OtherImageFiles files = writeOtherImageFiles(dir_);
        RecordingPlatform& recorder = installRecordingPlatform();
        std::unique_ptr<Program> started = startWindows(parseStartOptions({files.png}, {}));
        QVERIFY(started->windows().form1->isVisible() && started->windows().form2->isVisible());
        QCOMPARE(started->windows().form1->currentFileName(), files.png);
        QVERIFY(isBlackThenWhite(started->windows().form1->workingPicture().pixels()));
        QVERIFY(isBlackThenWhite(scratchWindow(started->windows()).scratchPicture().pixels()));
        started.reset();

        // A file that cannot be opened is reported and the windows stay.
        const QString missing = dir_.filePath(QStringLiteral("missing.png"));
        started =
            startWindows(parseStartOptions({QStringLiteral("--lang"), QStringLiteral("ja"), missing}, {}));
        QCOMPARE(recorder.errorReports, QStringList{errorText("ファイル %s は開けません", missing)});
        QVERIFY(started->windows().form1->isVisible());
        QCOMPARE(started->windows().form1->currentFileName(), missing);
        QCOMPARE(started->windows().form1->workingPicture().pixels().width(), 0);
        started.reset();
        program_ = std::make_unique<ProgramWindows>();
    }

    void theStartOptionsAreReadFromTheArgumentsAndTheEnvironment()
    {
        using Args = QStringList;
        QCOMPARE(parseStartOptions({}, {}).language, Language::Japanese);
        QCOMPARE(parseStartOptions({}, QStringLiteral("en")).language, Language::English);
        QCOMPARE(parseStartOptions({}, QStringLiteral("fr")).language, Language::Japanese);
        QCOMPARE(parseStartOptions(Args{"--lang", "ja"}, QStringLiteral("en")).language, Language::Japanese);
        const StartOptions both = parseStartOptions(Args{"a.bmp", "--lang=en"}, {});
        QCOMPARE(both.language, Language::English);
        QCOMPARE(both.file, QStringLiteral("a.bmp"));
        QCOMPARE(parseStartOptions(Args{"--", "--lang"}, {}).file, QStringLiteral("--lang"));
        for (const Args& wrong :
             {Args{"--lang"}, Args{"--lang", "de"}, Args{"--zoom"}, Args{"a.bmp", "b.bmp"}})
            QVERIFY_THROWS_EXCEPTION(std::invalid_argument, (void)parseStartOptions(wrong, {}));
    }

    void anIconLoadsAsAnIconWithItsLaterFailures()
    {
        TForm1& f = program_->form1();
        QImage picture(32, 32, QImage::Format_ARGB32);
        picture.fill(Qt::red);
        const QString path = dir_.filePath(QStringLiteral("x.ICO"));
        QVERIFY(picture.save(path, "ICO"));
        program_->recorder.fileAnswers = {path};
        f.controls().Open1->trigger();
        QVERIFY(program_->recorder.errorReports.isEmpty());
        QCOMPARE(f.workingPicture().kind(), PictureKind::Icon);
        QCOMPARE(scratchWindow(program_->windows).scratchPicture().kind(), PictureKind::Icon);
        QCOMPARE(f.controls().Image->size(), QSize(32, 32));
        QCOMPARE(f.workingPicture().fileBytes(), fileBytes(path));

        f.controls().Copy1->trigger();
        QCOMPARE(program_->recorder.errorReports,
                 QStringList{QStringLiteral("クリップボードはアイコンには対応していません.")});
        QVERIFY(program_->recorder.clipboard.isNull());

        // Pixels of an icon fail; its size replaces it by the empty bitmap.
        f.controls().SelShape1->show();
        f.controls().frac1->trigger();
        QCOMPARE(program_->recorder.errorReports.last(),
                 QStringLiteral("ビットマップを持っている時のみイメージの変更が可能です."));
        QCOMPARE(f.workingPicture().kind(), PictureKind::Icon);
        f.controls().SelShape1->hide();
        f.controls().frac1->trigger();
        QCOMPARE(program_->recorder.errorReports.last(), QStringLiteral("不正な浮動小数点数演算命令."));
        QCOMPARE(f.workingPicture().kind(), PictureKind::Bitmap);
        QCOMPARE(f.controls().Image->size(), QSize(0, 0));

        // Save-as writes an icon as its own file.
        const QString copy = dir_.filePath(QStringLiteral("copy.ico"));
        dropFiles(f, {path});
        program_->recorder.fileAnswers = {copy};
        f.controls().Saveas1->trigger();
        QCOMPARE(fileBytes(copy), fileBytes(path));
    }

    void aMetafileIsKeptShownEmptyAndCopiedAsAMetafile()
    {
        TForm1& f = program_->form1();
        const QByteArray bytes("\x01\x00\x00\x00 not drawn by this program", 30);
        const QString path = dir_.filePath(QStringLiteral("drawing.wmf"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        dropFiles(f, {path});
        QVERIFY(program_->recorder.errorReports.isEmpty());
        QCOMPARE(f.workingPicture().kind(), PictureKind::Metafile);
        QCOMPARE(f.controls().Image->size(), QSize(0, 0));
        f.controls().Copy1->trigger();
        QCOMPARE(program_->recorder.clipboardMimeType, QStringLiteral("image/wmf"));
        QCOMPARE(program_->recorder.clipboardBytes, bytes);

        // Pixel commands fail on it; the G1 save before asking for a name.
        program_->recorder.fileAnswers = {dir_.filePath(QStringLiteral("x.g1"))};
        const auto dialogs = program_->recorder.dialogsShown.size();
        f.controls().bb1->trigger();
        QCOMPARE(program_->recorder.errorReports,
                 QStringList{QStringLiteral("ビットマップを持っている時のみイメージの変更が可能です.")});
        QCOMPARE(program_->recorder.dialogsShown.size(), dialogs);
        QVERIFY(!QFile::exists(dir_.filePath(QStringLiteral("x.g1"))));
    }

    void aDropLoadsTheFirstFileOnlyAndKeepsTheFileName()
    {
        TForm1& f = program_->form1();
        const QString first = writeBmp(dir_, QStringLiteral("1.bmp"), filledImage(4, 4, dimora::kBlack));
        const QString second = writeBmp(dir_, QStringLiteral("2.bmp"), filledImage(6, 6));
        const QString third = writeBmp(dir_, QStringLiteral("3.bmp"), filledImage(8, 8));
        program_->recorder.fileAnswers = {second};
        f.controls().Open1->trigger();
        QCOMPARE(f.currentFileName(), second);

        dropFiles(f, {first, second, third});
        QCOMPARE(snapshot(f.workingPicture()), (Snapshot{4, 4, dimora::kBlack}));
        QCOMPARE(snapshot(scratchWindow(program_->windows).scratchPicture()),
                 (Snapshot{4, 4, dimora::kBlack}));
        QCOMPARE(f.currentFileName(), second);
        QVERIFY(cursorIsNormal());

        dropFiles(f, {dir_.filePath(QStringLiteral("picture.gif")), third});
        QCOMPARE(program_->recorder.errorReports,
                 QStringList{errorText("拡張子 .%s の画像形式は処理できません", QStringLiteral("gif"))});
        QCOMPARE(snapshot(f.workingPicture()), (Snapshot{4, 4, dimora::kBlack}));
        QCOMPARE(snapshot(scratchWindow(program_->windows).scratchPicture()),
                 (Snapshot{4, 4, dimora::kBlack}));
        QVERIFY(cursorIsNormal());
    }

    void aDropFinishesBeforeTheFileLoads()
    {
        TForm1& f = program_->form1();
        const QString picture = writeBmp(dir_, QStringLiteral("4.bmp"), filledImage(4, 4, dimora::kBlack));
        QVERIFY(sendDrop(f, {picture}));
        QCOMPARE(snapshot(f.workingPicture()).width, 0);
        QCoreApplication::processEvents();
        QCOMPARE(snapshot(f.workingPicture()), (Snapshot{4, 4, dimora::kBlack}));

        // The error box too comes only after the drop.
        QVERIFY(sendDrop(f, {dir_.filePath(QStringLiteral("picture.gif"))}));
        QVERIFY(program_->recorder.errorReports.isEmpty());
        QCoreApplication::processEvents();
        QCOMPARE(program_->recorder.errorReports.size(), 1);
        QVERIFY(cursorIsNormal());
    }

    void saveAsWritesTheImageInItsOwnLayout()
    {
        TForm1& f = program_->form1();
        // A 4-bit image with a palette of its own keeps its layout.
        std::vector<dimora::Colour> palette{dimora::kBlack, dimora::makeColour(200, 10, 10),
                                            dimora::makeColour(10, 200, 10), dimora::kWhite};
        dimora::Bitmap image(9, 5, dimora::PixelLayout::indexed(4, palette));
        image.fill(dimora::kWhite);
        image.setPixel(2, 3, dimora::makeColour(200, 10, 10));
        const QString source = writeBmp(dir_, QStringLiteral("pal4.bmp"), image);
        program_->recorder.fileAnswers = {source};
        f.controls().Open1->trigger();

        program_->recorder.fileAnswers = {std::nullopt};
        f.controls().Saveas1->trigger();
        QCOMPARE(f.currentFileName(), source);

        const QString target = dir_.filePath(QStringLiteral("saved.bmp"));
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an older file that is replaced without a question");
        old.close();
        program_->recorder.fileAnswers = {target};
        f.controls().Saveas1->trigger();
        QCOMPARE(program_->recorder.dialogsShown.back().name, QStringLiteral("SaveDialog1"));
        QCOMPARE(program_->recorder.dialogsShown.back().defaultExtension, QStringLiteral("bmp"));
        QCOMPARE(f.currentFileName(), target);
        QVERIFY(program_->recorder.errorReports.isEmpty());
        const dimora::Bitmap saved = dimora::loadBmpFile(target.toStdString());
        QCOMPARE(saved.layout().bitsPerPixel(), 4);
        QCOMPARE(saved.layout().palette(), palette);
        QCOMPARE(saved.pixel(2, 3), dimora::makeColour(200, 10, 10));
        QCOMPARE(saved.pixel(0, 0), dimora::kWhite);
        QVERIFY(cursorIsNormal());

        // A name ending in .png, in any case, is written as PNG; the picture stays.
        const QString png = dir_.filePath(QStringLiteral("saved.Png"));
        program_->recorder.fileAnswers = {png};
        f.controls().Saveas1->trigger();
        QCOMPARE(f.currentFileName(), png);
        QVERIFY(program_->recorder.errorReports.isEmpty());
        const dimora::Bitmap fromPng = dimora::decodePng(dimora::testing::readFile(png.toStdString()));
        QCOMPARE(fromPng.width(), 9);
        QCOMPARE(fromPng.pixel(2, 3), dimora::makeColour(200, 10, 10));
        QCOMPARE(fromPng.pixel(8, 4), dimora::kWhite);
        QCOMPARE(f.workingPicture().pixels().layout().bitsPerPixel(), 4);

        const QString unwritable = dir_.filePath(QStringLiteral("no/such/folder/x.bmp"));
        program_->recorder.fileAnswers = {unwritable};
        f.controls().Saveas1->trigger();
        QCOMPARE(program_->recorder.errorReports,
                 QStringList{errorText("ファイル %s を作成できません", unwritable)});
        QCOMPARE(f.currentFileName(), unwritable);
        QVERIFY(cursorIsNormal());
    }

    void theG1FileHoldsTheFixedRasterAndAPaletteDisplayOnlyBeeps()
    {
        TForm1& f = program_->form1();
        dimora::Bitmap image = filledImage(700, 420);
        image.setPixel(9, 2, dimora::kBlack);
        image.setPixel(650, 2, dimora::kBlack);  // beyond the raster
        f.setWorkingImage(std::move(image));
        f.controls().SelShape1->show();  // no effect on what is written

        const QString path = dir_.filePath(QStringLiteral("out.g1"));
        program_->recorder.fileAnswers = {path};
        f.controls().bb1->trigger();
        QCOMPARE(program_->recorder.dialogsShown.back().name, QStringLiteral("SaveDialog2"));
        const QByteArray bytes = fileBytes(path);
        QCOMPARE(bytes.size(), 32000);
        QCOMPARE(static_cast<unsigned char>(bytes.at(161)), 0x40u);
        QCOMPARE(bytes.count('\0'), 31999);
        QVERIFY(cursorIsNormal());

        // Cancelling writes nothing, even after an earlier save.
        QVERIFY(QFile::remove(path));
        program_->recorder.fileAnswers = {std::nullopt};
        f.controls().bb1->trigger();
        QVERIFY(!QFile::exists(path));

        program_->recorder.colourDepth = 8;
        program_->recorder.fileAnswers = {path};
        const auto dialogs = program_->recorder.dialogsShown.size();
        f.controls().bb1->trigger();
        QCOMPARE(program_->recorder.beeps, 1);
        QCOMPARE(program_->recorder.dialogsShown.size(), dialogs);
        QVERIFY(!QFile::exists(path));
    }

    void copyAndPasteGoThroughTheClipboard()
    {
        TForm1& f = program_->form1();
        dimora::Bitmap image = filledImage(3, 2, dimora::makeColour(1, 2, 3));
        image.setPixel(2, 1, dimora::makeColour(250, 128, 0));
        f.setWorkingImage(std::move(image));
        f.controls().Copy1->trigger();
        const QImage copied = program_->recorder.clipboard;
        QCOMPARE(copied.size(), QSize(3, 2));
        QCOMPARE(copied.pixel(0, 0), qRgb(1, 2, 3));
        QCOMPARE(copied.pixel(2, 1), qRgb(250, 128, 0));

        const QString path = writeBmp(dir_, QStringLiteral("kept.bmp"), filledImage(5, 5, dimora::kBlack));
        program_->recorder.fileAnswers = {path};
        f.controls().Open1->trigger();

        // Text on the clipboard: paste does nothing.
        program_->recorder.setClipboardText(QStringLiteral("text"));
        f.controls().Paste1->trigger();
        QCOMPARE(snapshot(f.workingPicture()), (Snapshot{5, 5, dimora::kBlack}));

        QImage other(4, 3, QImage::Format_ARGB32);
        other.fill(qRgba(12, 34, 56, 255));
        other.setPixel(3, 2, qRgba(200, 100, 50, 255));
        program_->recorder.setClipboardImage(other);
        // Ctrl+V in the main window.
        f.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QTest::keyClick(&f, Qt::Key_V, Qt::ControlModifier);
        QVERIFY(program_->recorder.errorReports.isEmpty());
        const dimora::Bitmap& pasted = f.workingPicture().pixels();
        QCOMPARE(pasted.width(), 4);
        QCOMPARE(pasted.height(), 3);
        QCOMPARE(pasted.pixel(0, 0), dimora::makeColour(12, 34, 56));
        QCOMPARE(pasted.pixel(3, 2), dimora::makeColour(200, 100, 50));
        QCOMPARE(f.controls().Image->size(), QSize(4, 3));
        // The scratch image and the file name stay.
        QCOMPARE(snapshot(scratchWindow(program_->windows).scratchPicture()),
                 (Snapshot{5, 5, dimora::kBlack}));
        QCOMPARE(f.currentFileName(), path);
    }

private:
    QTemporaryDir dir_;
    std::unique_ptr<ProgramWindows> program_;
};

QTEST_MAIN(FileCommandsTest)
#include "test_file_commands.moc"
