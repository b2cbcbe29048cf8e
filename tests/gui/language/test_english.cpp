// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
// The windows in English: menus, captions, dialogs, error reports and the
// help page, every text inside its control and every window in its designed
// geometry.
#include "core/common/error.hpp"
#include "core/common/replace_file.hpp"
#include "core/files/bmp_writer.hpp"
#include "core/measure/mass_test_images.hpp"
#include "core/measure/result_fields.hpp"
#include "core/slices/cube_measurement.hpp"
#include "gui/about/about_box.hpp"
#include "gui/app/file_commands.hpp"
#include "gui/app/main_window.hpp"
#include "gui/app/program.hpp"
#include "gui/app/startup.hpp"
#include "gui/common/fonts.hpp"
#include "gui/common/messages.hpp"
#include "gui/common/working_picture.hpp"
#include "gui/imageops/scratch_image_window.hpp"
#include "gui/imageops/threshold_dialog.hpp"
#include "gui/mass/mass_dialogs.hpp"
#include "gui/mass/mass_windows.hpp"
#include "gui/measure/count_window.hpp"
#include "gui/measure/result_window.hpp"
#include "gui/measure/total_length_window.hpp"
#include "gui/platform/recording_platform.hpp"
#include "gui/region/range_selection.hpp"
#include "gui/region/region_dialog.hpp"
#include "gui/slices/cube_progress_window.hpp"
#include "gui/slices/cube_settings_dialog.hpp"
#include "gui/slices/progress_window.hpp"
#include "gui/slices/slice_settings_dialog.hpp"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <cerrno>
#include <map>
#include <memory>
#include <string>

namespace {

QList<QWidget*> allWindows(const Windows& windows)
{
    const Windows& w = windows;
    const QList<QWidget*> list{w.form1,
                               w.form2,
                               w.form3,
                               w.form4,
                               w.aboutBox,
                               w.form5,
                               w.form6,
                               w.form7,
                               w.form8,
                               w.form9,
                               w.cubeSettings,
                               w.cubeProgress,
                               w.lacunarityDialog,
                               w.lacunarity,
                               w.multifractalDialog,
                               w.multifractal};
    // A window that was never shown places its controls on the resize event
    // it gets when it is first shown: deliver it, so that the controls stand
    // where the user will see them.
    for (QWidget* window : list)
        if (window->testAttribute(Qt::WA_PendingResizeEvent)) {
            QResizeEvent resized(window->size(), QSize());
            QCoreApplication::sendEvent(window, &resized);
            window->setAttribute(Qt::WA_PendingResizeEvent, false);
        }
    return list;
}

// The design's own: the main window's status label gives the largest
// geometry two lines, a few pixels taller than the 22 pixels of its tool bar.
const QStringList kDesignedProblems{QStringLiteral("TForm1/Label1 cuts its text")};

// A name for each control: its window's class and its own object name.
QString placeOf(const QWidget* control)
{
    return QString::fromLatin1(control->window()->metaObject()->className()) + QLatin1Char('/') +
           control->objectName();
}

// The geometry of every window and of every named control that is not a
// label (labels size themselves to their text), a menu or the menu bar
// (which fit their items and the letters' height).
std::map<QString, QRect> layoutOfTheWindows(const Windows& windows)
{
    std::map<QString, QRect> layout;
    for (QWidget* window : allWindows(windows)) {
        // The main window's client area: its menu bar is as high as its letters.
        const auto* main = qobject_cast<QMainWindow*>(window);
        layout[placeOf(window)] = QRect(QPoint(), main ? main->centralWidget()->size() : window->size());
        for (QWidget* control : window->findChildren<QWidget*>())
            if (!control->objectName().isEmpty() && !qobject_cast<QLabel*>(control) &&
                !qobject_cast<QMenu*>(control) && !qobject_cast<QMenuBar*>(control) &&
                !(main && control == main->centralWidget()))
                layout[placeOf(control)] = control->geometry();
    }
    return layout;
}

bool hasJapanese(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x3000)
            return true;
    return false;
}

// Whether a line edit shows its whole text: its picture stays the same when
// the cursor moves from the end of the text to its start, which it does only
// when the edit need not scroll.
bool showsWholeText(QLineEdit* edit)
{
    edit->end(false);
    const QImage atEnd = edit->grab().toImage();
    edit->home(false);
    return edit->grab().toImage() == atEnd;
}

// Where a label's text is drawn, in its parent's coordinates: the text laid
// out in the label's font within its contents (wrapped when the label wraps).
QRect textRectOf(const QLabel* label)
{
    const int margin = label->margin();
    const QRect contents = label->contentsRect().adjusted(margin, margin, -margin, -margin);
    const int flags = int(label->alignment()) | (label->wordWrap() ? int(Qt::TextWordWrap) : 0);
    return label->fontMetrics().boundingRect(contents, flags, label->text()).translated(label->pos());
}

bool showsText(const QLabel* label)
{
    return !label->text().isEmpty() && label->textFormat() != Qt::RichText &&
           !(label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
}

// What the texts do to the windows, as a user sees them: a control whose text
// is wider than it, a label's text that its window cuts off or that runs into
// another control or another label's text, a field that scrolls its value.
// The main window's status label shows a long geometry text and the result
// window the widest values it is given (a 65535 × 65535 region, 14 points).
QStringList textProblems(const Windows& windows)
{
    QStringList problems;
    TForm1& f = *windows.form1;
    const QString wide = QStringLiteral("4096");
    f.selection().showRangeSigns(selectionGeometryText(wide, wide, wide, wide));
    windows.form2->showFields(dimora::ShowResult(65535, 65535, 100.0, -0.99994, 14, -1.9999));
    for (QWidget* window : allWindows(windows)) {
        for (QWidget* control : window->findChildren<QWidget*>()) {
            if (control->objectName().isEmpty() || qobject_cast<QMenu*>(control) ||
                !control->isVisibleTo(window))
                continue;
            const QString place = placeOf(control);
            QString text;
            int room = 0;
            if (auto* label = qobject_cast<QLabel*>(control)) {
                if (!showsText(label))
                    continue;
                const QRect drawn = textRectOf(label);
                if (!QRect(label->pos(), label->size()).contains(drawn))
                    problems.append(place + QStringLiteral(" cuts its text"));
                if (!QRect(QPoint(), label->parentWidget()->size()).contains(drawn))
                    problems.append(place + QStringLiteral(" is cut by its window"));
                for (QWidget* other :
                     label->parentWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
                    if (other == label || !other->isVisibleTo(window) || other->objectName().isEmpty())
                        continue;
                    const auto* otherLabel = qobject_cast<const QLabel*>(other);
                    if (otherLabel && !showsText(otherLabel))
                        continue;
                    if ((otherLabel ? textRectOf(otherLabel) : other->geometry()).intersects(drawn))
                        problems.append(place + QStringLiteral(" runs into ") + other->objectName());
                }
                continue;
            }
            if (auto* edit = qobject_cast<QLineEdit*>(control)) {
                if (!edit->text().isEmpty() && !showsWholeText(edit))
                    problems.append(place + QStringLiteral(" hides part of \"") + edit->text() +
                                    QLatin1Char('"'));
                continue;
            }
            if (auto* button = qobject_cast<QPushButton*>(control)) {
                // The style centres the icon, a gap of 4 pixels and the text
                // within the button's contents.
                QStyleOptionButton option;
                option.initFrom(button);
                option.rect = button->rect();
                if (button->autoDefault())
                    option.features |= QStyleOptionButton::AutoDefaultButton;
                text = button->text().remove(QLatin1Char('&'));
                room =
                    button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width();
                if (!button->icon().isNull())
                    room -= button->iconSize().width() + 4;
            } else if (auto* tool = qobject_cast<QToolButton*>(control)) {
                if (tool->toolButtonStyle() == Qt::ToolButtonIconOnly)
                    continue;  // its text is only the hint
                text = tool->text().remove(QLatin1Char('&'));
                room = tool->contentsRect().width();
            }
            if (!text.isEmpty() && control->fontMetrics().horizontalAdvance(text) > room)
                problems.append(place + QStringLiteral(" cuts its text"));
        }
    }
    return problems;
}

}  // namespace

class EnglishTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The layout as designed, with the Japanese texts in the faces that
        // stand in for the design's, before English is installed.
        installFontSubstitutions();
        installRecordingPlatform();
        program_ = startWindows({});
        designed_ = layoutOfTheWindows(program_->windows());
        for (const QString& problem : textProblems(program_->windows()))
            if (!kDesignedProblems.contains(problem))
                designedProblems_.append(problem);
        program_.reset();

        const StartOptions options = parseStartOptions({}, qEnvironmentVariable("DIMORA3_LANG"));
        QCOMPARE(options.language, Language::English);
        QVERIFY(prepareApplication(*qApp, options.language));
        QVERIFY(!QApplication::windowIcon().isNull());  // the program's icon, from the resources
    }

    void init()
    {
        desktop_ = &installRecordingPlatform();
        program_ = startWindows({});
    }
    void cleanup() { program_.reset(); }

    void menusCaptionsDialogsAndErrorsAreEnglish()
    {
        TForm1& f = *program_->windows().form1;
        QCOMPARE(f.controls().File1->title(), QStringLiteral("File"));
        QCOMPARE(f.controls().Open1->text(), QStringLiteral("Open Image"));
        QCOMPARE(f.controls().N4->title(), QStringLiteral("Fractal Dimension"));
        QCOMPARE(f.controls().frac1->text(), QStringLiteral("Dimension of Black"));
        QCOMPARE(f.controls().help2->title(), QStringLiteral("Help"));
        QCOMPARE(f.controls().ToolButton6->toolTip(), QStringLiteral("Dimension (black)"));
        QCOMPARE(program_->windows().form2->windowTitle(), QStringLiteral("Result"));
        QCOMPARE(program_->windows().form4->BitBtn1->text(), QStringLiteral("Refit"));
        QCOMPARE(program_->windows().form7->BitBtn1->text(), QStringLiteral("Run"));
        QCOMPARE(f.controls().cube1->text(), QStringLiteral("3D Cube Box Counting..."));
        QCOMPARE(program_->windows().cubeSettings->FolderButton->text(), QStringLiteral("Folder..."));
        QCOMPARE(program_->windows().cubeProgress->StopButton->text(), QStringLiteral("Stop"));
        QVERIFY(fileDialogs::openBitmap().filter.startsWith(QStringLiteral("Image files (*.bmp *.png")));
        QCOMPARE(fileDialogs::saveBitmap().filter, QStringLiteral("Bitmap (*.bmp);;PNG files (*.png)"));
        QCOMPARE(program_->windows().form4->SaveChartImage1->text(),
                 QStringLiteral("Save chart as image..."));
        QCOMPARE(program_->windows().form4->SaveCountsCsv1->text(), QStringLiteral("Save counts as CSV..."));
        QCOMPARE(fileDialogs::saveChartImage().filter,
                 QStringLiteral("PNG files (*.png);;SVG files (*.svg)"));
        QCOMPARE(fileDialogs::saveCountsCsv().filter, QStringLiteral("CSV files (*.csv)"));

        f.controls().N2->trigger();
        QCOMPARE(f.controls().N2->text(), QStringLiteral("Hide Region"));
        QVERIFY2(f.controls().Label1->text().startsWith(QStringLiteral("Top left (x, y)=( ")),
                 qPrintable(f.controls().Label1->text()));
        f.controls().N2->trigger();
        QCOMPARE(f.controls().N2->text(), QStringLiteral("Set Region"));

        const QString missing = QStringLiteral("/no/such/folder/picture.png");
        program_->files().openFile(missing);
        QCOMPARE(desktop_->errorReports,
                 QStringList{QStringLiteral("Cannot open file /no/such/folder/picture.png.")});

        // A picture that only the memory budget keeps out: the command line
        // measures it, and the message says so.
        {
            const QTemporaryDir folder;
            const QString large = folder.filePath(QStringLiteral("large.bmp"));
            dimora::saveBmpFile(dimora::Bitmap(64, 64, dimora::PixelLayout::rgb24()), large.toStdString());
            const std::uint64_t budget = dimora::Bitmap::memoryBudget();
            dimora::Bitmap::setMemoryBudget(1024);
            desktop_->errorReports.clear();
            program_->files().openFile(large);
            dimora::Bitmap::setMemoryBudget(budget);
            QCOMPARE(desktop_->errorReports,
                     QStringList{QStringLiteral("Image file %1 is too large to show. The command line "
                                                "(dimora3-cli) can measure it.")
                                     .arg(large)});
        }

        f.controls().usage1->trigger();
        QCOMPARE(desktop_->urlsOpened.size(), 1);
        QCOMPARE(desktop_->urlsOpened[0].fileName(), QStringLiteral("help_en.htm"));
    }

    void everyMessageTemplateIsTranslatedWithItsArgument()
    {
        const std::string argument = "/tmp/x.bmp";
        for (const std::string_view templ :
             {dimora::msg::kInvalidFloatOperation, dimora::msg::kFloatDivideByZero,
              dimora::msg::kNotAnInteger, dimora::msg::kNotAReal, dimora::msg::kCannotOpenFile,
              dimora::msg::kCannotCreateFile, dimora::msg::kInvalidBitmap, dimora::msg::kUnknownExtension,
              dimora::msg::kCannotReadImage, dimora::msg::kImageTooLargeToShow,
              dimora::msg::kNoImageFilesInFolder, dimora::msg::kSliceSizeDiffers,
              dimora::msg::kVoxelSizeNotPositive, dimora::msg::kVoxelNotSquare, kBitmapOnlyMessage,
              kIconClipboardMessage, kBadQRangeMessage}) {
            const std::string message = dimora::formatMessage(templ, argument);
            const QString english = translatedMessage(message);
            QVERIFY2(!hasJapanese(english), message.c_str());
            QCOMPARE(english.contains(QString::fromStdString(argument)),
                     templ.find("%s") != std::string_view::npos);
        }
        for (const int errnum : {EACCES, ENOSPC, EIO}) {
            const std::string message = dimora::fileErrorText(errnum);
            QVERIFY2(!hasJapanese(translatedMessage(message)), message.c_str());
        }
        QCOMPARE(translatedMessage(dimora::fileErrorText(EIO)), QStringLiteral("I/O error (%1)").arg(EIO));
        // Two holes, a path that holds the literal between them, and the
        // holes in another order.
        QCOMPARE(translatedMessage(dimora::cannotReadSliceMessage("/a (2)/6.png", 6)),
                 QStringLiteral("Cannot read slice 6 (/a (2)/6.png)"));
        // Texts that are English already stay as they are.
        QCOMPARE(translatedMessage("Error Reading File!"), QStringLiteral("Error Reading File!"));
    }

    void theEnglishHelpPageNamesTheMenusAsTheyRead()
    {
        QFile page(QStringLiteral(DIMORA_PROGRAM_DIR "/help_en.htm"));
        QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(page.fileName()));
        const QString text = QString::fromUtf8(page.readAll());
        QVERIFY(!hasJapanese(text));
        const TForm1& f = *program_->windows().form1;
        for (const QAction* item :
             {f.controls().Open1, f.controls().Saveas1, f.controls().N2, f.controls().N5, f.controls().frac1,
              f.controls().fracw1, f.controls().gray1, f.controls().count1, f.controls().length1,
              f.controls().slice1, f.controls().cube1, f.controls().sikii1, f.controls().K1, f.controls().K2,
              f.controls().median1, f.controls().noise1, f.controls().version1, f.controls().lacunarity1,
              f.controls().multifractal1})
            QVERIFY2(text.contains(item->text().remove(QLatin1Char('&'))), qPrintable(item->text()));
    }

    void theMassWindowsSpeakEnglishAndTheirLinesFit()
    {
        const Windows& w = program_->windows();
        TForm1& f = *w.form1;
        QCOMPARE(f.controls().lacunarity1->text(), QStringLiteral("Lacunarity..."));
        QCOMPARE(w.multifractalDialog->GrayRadio->text(), QStringLiteral("Gray (the file's own levels)"));
        f.setWorkingImage(dimora::testing::sierpinskiCarpet(3));
        f.controls().lacunarity1->trigger();
        w.lacunarityDialog->GridRadio->click();
        w.lacunarityDialog->EmptyCheck->setChecked(false);
        w.lacunarityDialog->RunButton->click();
        f.controls().multifractal1->trigger();
        w.multifractalDialog->GrayRadio->click();
        w.multifractalDialog->RunButton->click();
        QVERIFY2(desktop_->errorReports.isEmpty(), qPrintable(desktop_->errorReports.join('\n')));
        for (const MassResultWindow* window :
             {static_cast<MassResultWindow*>(w.lacunarity), static_cast<MassResultWindow*>(w.multifractal)}) {
            const QString summary = window->summaryLines().join(QLatin1Char('\n'));
            QVERIFY2(!summary.isEmpty() && !hasJapanese(summary), qPrintable(summary));
        }
        QVERIFY(w.lacunarity->summaryLines().value(0).startsWith(
            QStringLiteral("fixed grid, empty boxes left out")));
        QVERIFY(
            w.multifractal->summaryLines().value(0).startsWith(QStringLiteral("mass: gray (the picture's")));
        QStringList problems;
        for (const QString& problem : textProblems(w))
            if (problem.startsWith(QStringLiteral("LacunarityWindow/")) ||
                problem.startsWith(QStringLiteral("MultifractalWindow/")))
                problems.append(problem);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
    }

    void everyTextFitsItsControlAndTheWindowsKeepTheirLayout()
    {
        QStringList problems;
        // Every control stays where it was designed; a window may only be
        // narrower (the threshold dialog fits its labels when they are wider
        // than its designed width, as the Japanese ones are).
        for (const auto& [place, geometry] : layoutOfTheWindows(program_->windows())) {
            const bool window = place.endsWith(place.section(QLatin1Char('/'), 0, 0));
            if (window ? !designed_[place].contains(geometry) : designed_[place] != geometry)
                problems.append(place + QStringLiteral(" moved or resized"));
        }
        for (const QString& problem : textProblems(program_->windows()))
            if (!kDesignedProblems.contains(problem))
                problems.append(problem);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("; "))));
    }

    void everyJapaneseTextIsShownWhole()
    {
        QVERIFY2(designedProblems_.isEmpty(), qPrintable(designedProblems_.join(QStringLiteral("; "))));
    }

private:
    std::unique_ptr<Program> program_;
    std::map<QString, QRect> designed_;
    QStringList designedProblems_;
    RecordingPlatform* desktop_ = nullptr;
};

QTEST_MAIN(EnglishTest)
#include "test_english.moc"
