// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "program_fixture.hpp"

#include "gui/common/fonts.hpp"
#include "gui/common/working_picture.hpp"
#include "gui/imageops/scratch_image_window.hpp"
#include "gui/imageops/threshold_dialog.hpp"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace {

using dimora::Colour;
using dimora::makeColour;

// The colour of every pixel, row by row.
std::vector<Colour> pixelsOf(const dimora::Bitmap& image)
{
    std::vector<Colour> pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            pixels.push_back(image.pixel(x, y));
    return pixels;
}

std::vector<Colour> workingPixels(TForm1& form1)
{
    return pixelsOf(form1.workingPicture().pixels());
}

// A row of the given colours.
dimora::Bitmap rowOf(const std::vector<Colour>& colours)
{
    return makeBitmap(static_cast<int>(colours.size()), 1, [&](int x, int) { return colours[x]; });
}

// Types the text into the threshold edit and moves the focus away; a bad
// text is reported from the event loop.
void typeThreshold(TForm3& form3, const QString& text)
{
    form3.Edit1->setText(text);
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(form3.Edit1, &leave);
    QCoreApplication::processEvents();
}

// Shows the threshold dialog by its menu item and makes it the active window.
bool showThresholdDialog(ProgramUnderTest& program)
{
    program.form1().controls().sikii1->trigger();
    QApplication::setActiveWindow(program.windows.form3);
    return QTest::qWaitForWindowActive(program.windows.form3);
}

// A black square of side `side` with its corner at (at, at) on white.
dimora::Bitmap squareOn(int size, int at, int side)
{
    return makeBitmap(size, size, [=](int x, int y) {
        return x >= at && x < at + side && y >= at && y < at + side ? dimora::kBlack : dimora::kWhite;
    });
}

const Colour kGreenish = makeColour(10, 20, 0);
const Colour kGreen = makeColour(0, 255, 0);
const Colour kRed = makeColour(255, 0, 0);

}  // namespace

class ImageOperationsTest : public QObject {
    Q_OBJECT
private slots:
    // The windows' faces map to the installed ones, as at start-up.
    void initTestCase() { installFontSubstitutions(); }

    void theThresholdDialogShowsAndHides()
    {
        ProgramUnderTest program;
        TForm3& form3 = *program.windows.form3;
        QVERIFY(form3.isHidden());
        QCOMPARE(form3.Edit1->text(), QStringLiteral(" 0"));
        QCOMPARE(form3.threshold(), 0);

        // Shown by its menu item, modeless, focus on OK; "OK" hides it.
        program.form1().controls().sikii1->trigger();
        QVERIFY(form3.isVisible());
        QVERIFY(!form3.isModal());
        program.form1().controls().sikii1->trigger();
        QVERIFY(form3.isVisible());
        QTest::keyClick(&form3, Qt::Key_Escape);  // no cancel button: Esc does nothing
        QVERIFY(form3.isVisible());
        form3.Button1->click();
        QVERIFY(form3.isHidden());

        // Enter presses the focused OK; in the edit no default button takes it.
        QVERIFY(showThresholdDialog(program));
        form3.Edit1->setFocus(Qt::TabFocusReason);
        QTest::keyClick(form3.Edit1, Qt::Key_Return);
        QVERIFY(form3.isVisible());
        form3.Button1->setFocus(Qt::TabFocusReason);
        QTest::keyClick(form3.Button1, Qt::Key_Return);
        QVERIFY(form3.isHidden());
    }

    void theLabelsShowTheirWholeText()
    {
        if (!QFontDatabase::families().contains(QStringLiteral("IPAPGothic")))
            QSKIP("the IPA fonts are not installed");
        ProgramUnderTest program;
        TForm3& form3 = *program.windows.form3;
        for (const QLabel* label : {form3.Label1, form3.Label2}) {
            QCOMPARE(QFontInfo(label->font()).family(), QStringLiteral("IPAPGothic"));
            QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
            QVERIFY(label->fontMetrics().height() <= label->height());
            QVERIFY(form3.rect().contains(label->geometry()));
        }
        QVERIFY(form3.Label2->geometry().bottom() < form3.Edit1->y());
    }

    void aBadThresholdIsReportedOnceThePressThatLeftTheEditIsHandled()
    {
        ProgramUnderTest program;
        TForm3& form3 = *program.windows.form3;
        QVERIFY(showThresholdDialog(program));
        QScrollBar& bar = *form3.ScrollBar1;

        // A click on the bar's right arrow: the press reaches the bar, the
        // report comes after it with the focus back in the edit.
        form3.Edit1->setFocus(Qt::TabFocusReason);
        form3.Edit1->setText(QStringLiteral("abc"));
        QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(bar.width() - 4, bar.height() / 2));
        QVERIFY(program.desktop.errorReports.isEmpty());
        QCOMPARE(bar.value(), 1);
        QCoreApplication::processEvents();
        QCOMPARE(program.desktop.errorReports, QStringList{reportOf(dimora::msg::kNotAnInteger, "abc")});
        QCOMPARE(QApplication::focusWidget(), form3.Edit1);

        // A press still held when the report comes, whose release the error
        // box would take: it ends without a click.
        bar.setValue(0);  // the handle in the middle of the bar
        const std::vector<std::pair<QWidget*, std::function<bool()>>> presses{
            {form3.Button1, [&] { return form3.Button1->isDown(); }},
            {&bar, [&] { return bar.isSliderDown(); }}};
        for (const auto& [control, held] : presses) {
            form3.Edit1->setText(QStringLiteral("abc"));
            const int reports = program.desktop.errorReports.size();
            QTest::mousePress(control, Qt::LeftButton, {}, control->rect().center());
            QVERIFY(held());
            QCOMPARE(program.desktop.errorReports.size(), reports);
            QCoreApplication::processEvents();
            QCOMPARE(program.desktop.errorReports.size(), reports + 1);
            QVERIFY(!held());
            QCOMPARE(QApplication::focusWidget(), form3.Edit1);
            QTest::mouseRelease(control, Qt::LeftButton, {}, control->rect().center());
        }
        QVERIFY(form3.isVisible());
        QCOMPARE(bar.value(), 0);
    }

    void theScrollBarSetsTheThresholdAndTheEdit()
    {
        ProgramUnderTest program;
        TForm3& form3 = *program.windows.form3;
        form3.ScrollBar1->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(form3.threshold(), 1);
        QCOMPARE(form3.Edit1->text(), QStringLiteral(" 1"));
        form3.ScrollBar1->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(form3.threshold(), 6);
        form3.ScrollBar1->setValue(-20);
        QCOMPARE(form3.threshold(), -20);
        QCOMPARE(form3.Edit1->text(), QStringLiteral(" -20"));
        form3.ScrollBar1->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(form3.threshold(), -20);
    }

    void aTypedThresholdIsTakenWhenTheEditLosesTheFocus()
    {
        ProgramUnderTest program;
        TForm3& form3 = *program.windows.form3;
        form3.Edit1->setText(QStringLiteral(" 7"));
        QCOMPARE(form3.threshold(), 0);  // nothing before the focus leaves
        typeThreshold(form3, QStringLiteral(" 7"));
        QCOMPARE(form3.threshold(), 7);
        QCOMPARE(form3.ScrollBar1->value(), 7);

        // Beyond the bar's range: the bar clamps and reports back.
        form3.ScrollBar1->setValue(0);
        typeThreshold(form3, QStringLiteral("35"));
        QCOMPARE(form3.ScrollBar1->value(), 20);
        QCOMPARE(form3.threshold(), 20);
        QCOMPARE(form3.Edit1->text(), QStringLiteral(" 20"));

        // With the bar already at the clamped position, the typed value stays.
        typeThreshold(form3, QStringLiteral("35"));
        QCOMPARE(form3.ScrollBar1->value(), 20);
        QCOMPARE(form3.threshold(), 35);
        QCOMPARE(form3.Edit1->text(), QStringLiteral("35"));
        typeThreshold(form3, QStringLiteral("-$10"));  // not a number: reported, nothing changes
        QCOMPARE(form3.threshold(), 35);

        typeThreshold(form3, QStringLiteral("abc"));
        QCOMPARE(program.desktop.errorReports.last(), reportOf(dimora::msg::kNotAnInteger, "abc"));
        QCOMPARE(form3.threshold(), 35);
        QCOMPARE(form3.ScrollBar1->value(), 20);
        QCOMPARE(form3.Edit1->text(), QStringLiteral("abc"));
        QCOMPARE(program.desktop.errorReports.size(), 2);

        // Losing the focus to another window is no change of control.
        form3.Edit1->setText(QStringLiteral("3"));
        QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(form3.Edit1, &away);
        QCOMPARE(form3.threshold(), 35);
    }

    void clickingTheBarOrOkReadsTheTypedValueFirst()
    {
        ProgramUnderTest program;
        TForm3& form3 = *program.windows.form3;
        form3.show();
        QApplication::setActiveWindow(&form3);
        QVERIFY(QTest::qWaitForWindowActive(&form3));
        form3.Edit1->setFocus();
        QVERIFY(form3.Edit1->hasFocus());
        form3.Edit1->setText(QStringLiteral("-4"));
        QTest::mouseClick(form3.Button1, Qt::LeftButton);
        QCOMPARE(form3.threshold(), -4);
        QVERIFY(form3.isHidden());
    }

    void extractionUsesTheThreshold()
    {
        ProgramUnderTest program;
        TForm1& form1 = program.form1();
        TForm3& form3 = *program.windows.form3;
        const std::vector<Colour> colours{kGreenish, dimora::kBlack, kGreen, kRed, dimora::kWhite};

        form1.setWorkingImage(rowOf(colours));
        form1.controls().K1->trigger();  // green: d = g% − r% > 0
        QCOMPARE(workingPixels(form1), (std::vector<Colour>{0, 0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF}));

        form1.setWorkingImage(rowOf(colours));
        form1.controls().K3->trigger();  // red: d = r% − g% > 0
        QCOMPARE(workingPixels(form1), (std::vector<Colour>{0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0, 0xFFFFFF}));

        // A negative threshold makes greys (d = 0) black.
        form3.ScrollBar1->setValue(-1);
        form1.setWorkingImage(rowOf(colours));
        form1.controls().K1->trigger();
        QCOMPARE(workingPixels(form1), (std::vector<Colour>{0, 0, 0, 0xFFFFFF, 0}));

        // A typed 35 kept beyond the bar's range: the greenish pixel
        // (d = 33) is white, pure green (d = 100) still black.
        form3.ScrollBar1->setValue(20);
        typeThreshold(form3, QStringLiteral("35"));
        form1.setWorkingImage(rowOf(colours));
        form1.controls().K1->trigger();
        QCOMPARE(workingPixels(form1), (std::vector<Colour>{0xFFFFFF, 0xFFFFFF, 0, 0xFFFFFF, 0xFFFFFF}));
        QVERIFY(program.desktop.errorReports.isEmpty());
        QCOMPARE(program.desktop.beeps, 0);
    }

    void percentConversion()
    {
        ProgramUnderTest program;
        TForm1& form1 = program.form1();
        form1.setWorkingImage(rowOf({dimora::kBlack, dimora::kWhite, kRed, kGreenish}));
        form1.controls().K2->trigger();
        QCOMPARE(workingPixels(form1), (std::vector<Colour>{makeColour(83, 83, 83), makeColour(83, 83, 83),
                                                            makeColour(250, 0, 0), makeColour(83, 166, 0)}));
    }

    void aPaletteDisplayOnlyBeeps()
    {
        ProgramUnderTest program;
        TForm1& form1 = program.form1();
        program.desktop.colourDepth = 8;
        const std::vector<Colour> colours{kGreenish, kRed};
        form1.setWorkingImage(rowOf(colours));
        form1.controls().K1->trigger();
        form1.controls().K3->trigger();
        form1.controls().K2->trigger();
        QCOMPARE(program.desktop.beeps, 3);
        QCOMPARE(workingPixels(form1), colours);
        // Inversion has no such guard.
        form1.controls().reverse1->trigger();
        QCOMPARE(workingPixels(form1),
                 (std::vector<Colour>{makeColour(245, 235, 255), makeColour(0, 255, 255)}));
        QCOMPARE(program.desktop.beeps, 3);
    }

    void anIconStopsTheColourCommandsAndEmptiesForTheOthers()
    {
        ProgramUnderTest program;
        TForm1& form1 = program.form1();
        program.desktop.colourDepth = 8;
        form1.setWorkingPicture(WorkingPicture::icon(QByteArray("icon bytes")));
        form1.controls().K1->trigger();
        // The pixel access fails before the palette guard: no beep.
        QCOMPARE(program.desktop.errorReports, QStringList{reportOf(kBitmapOnlyMessage)});
        QCOMPARE(program.desktop.beeps, 0);
        QCOMPARE(form1.workingPicture().kind(), PictureKind::Icon);

        for (QAction* command : {form1.controls().reverse1, form1.controls().gray2, form1.controls().SLIM1,
                                 form1.controls().median1, form1.controls().noise1}) {
            form1.setWorkingPicture(WorkingPicture::icon(QByteArray("icon bytes")));
            command->trigger();
            QCOMPARE(form1.workingPicture().kind(), PictureKind::Bitmap);
            QVERIFY(form1.workingPicture().pixels().empty());
        }
        QCOMPARE(program.desktop.errorReports.size(), 1);
        QVERIFY(program.windows.form6->scratchPicture().pixels().empty());
    }

    void inversionAndGrayscale()
    {
        ProgramUnderTest program;
        TForm1& form1 = program.form1();
        const std::vector<Colour> colours{
            dimora::kBlack,      dimora::kWhite,     kRed, kGreen, makeColour(0, 0, 255),
            makeColour(2, 0, 0), makeColour(9, 9, 9)};
        form1.setWorkingImage(rowOf(colours));
        form1.controls().reverse1->trigger();
        form1.controls().reverse1->trigger();
        QCOMPARE(workingPixels(form1), colours);
        form1.controls().reverse1->trigger();
        QCOMPARE(workingPixels(form1)[0], dimora::kWhite);
        QCOMPARE(workingPixels(form1)[1], dimora::kBlack);

        form1.setWorkingImage(rowOf(colours));
        form1.controls().gray2->trigger();
        std::vector<Colour> greys;
        for (unsigned y : {0u, 255u, 76u, 150u, 28u, 0u, 9u})
            greys.push_back(y * 0x010101u);
        QCOMPARE(workingPixels(form1), greys);
    }

    void thinningLeavesTheCentreOfASquare()
    {
        ProgramUnderTest program;
        TForm1& form1 = program.form1();
        form1.setWorkingImage(squareOn(7, 2, 3));
        form1.controls().SLIM1->trigger();
        const auto pixels = workingPixels(form1);
        for (int i = 0; i < 49; ++i)
            QCOMPARE(pixels[i], i == 3 * 7 + 3 ? dimora::kBlack : dimora::kWhite);
    }

    void theMedianFilterWritesThroughTheScratchImage()
    {
        ProgramUnderTest program;
        TForm1& form1 = program.form1();
        TForm6& form6 = *program.windows.form6;
        form6.setScratchPicture(WorkingPicture(squareOn(3, 0, 3)));

        // A lone black dot and a two-pixel-thick bar on white.
        form1.setWorkingImage(makeBitmap(9, 9, [](int x, int y) {
            return (x == 2 && y == 2) || (y >= 5 && y <= 6 && x >= 1 && x <= 7) ? dimora::kBlack
                                                                                : dimora::kWhite;
        }));
        form1.controls().median1->trigger();
        const dimora::Bitmap& result = form1.workingPicture().pixels();
        QCOMPARE(result.pixel(2, 2), dimora::kWhite);  // the dot vanished
        QCOMPARE(result.pixel(0, 0), dimora::kBlack);  // corners always come out black
        QCOMPARE(result.pixel(8, 8), dimora::kBlack);
        QCOMPARE(result.pixel(4, 5), dimora::kBlack);  // the bar stays ...
        QCOMPARE(result.pixel(1, 5), dimora::kWhite);  // ... one shorter at each end
        QCOMPARE(result.pixel(2, 5), dimora::kBlack);
        QCOMPARE(result.pixel(7, 6), dimora::kWhite);
        // The scratch image keeps the result.
        QCOMPARE(pixelsOf(form6.scratchPicture().pixels()), pixelsOf(result));
    }

    void dotRemovalKeepsConnectedAndBorderDots()
    {
        ProgramUnderTest program;
        TForm1& form1 = program.form1();
        form1.setWorkingImage(makeBitmap(8, 8, [](int x, int y) {
            if ((x == 2 && y == 2) || (x == 0 && y == 5) || (x == 5 && y == 5) || (x == 6 && y == 5) ||
                (x == 4 && y == 1))
                return dimora::kBlack;
            return x == 3 && y == 1 ? makeColour(255, 0, 0) : dimora::kWhite;
        }));
        form1.controls().noise1->trigger();
        const dimora::Bitmap& result = form1.workingPicture().pixels();
        QCOMPARE(result.pixel(2, 2), dimora::kWhite);  // isolated
        QCOMPARE(result.pixel(4, 1), dimora::kWhite);  // a red neighbour does not keep it
        QCOMPARE(result.pixel(3, 1), makeColour(255, 0, 0));
        QCOMPARE(result.pixel(0, 5), dimora::kBlack);  // on the border
        QCOMPARE(result.pixel(5, 5), dimora::kBlack);  // side by side
        QCOMPARE(result.pixel(6, 5), dimora::kBlack);
    }
};

QTEST_MAIN(ImageOperationsTest)
#include "test_image_operations.moc"
