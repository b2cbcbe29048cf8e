// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
// The command wrapper (busy cursor, general error report) and the real
// desktop's dialogs.
#include "core/common/error.hpp"
#include "gui/common/command.hpp"
#include "gui/platform/desktop_platform.hpp"
#include "gui/platform/recording_platform.hpp"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <stdexcept>

namespace {

// Runs `inspect` on the modal window that the next call opens, then lets
// `close` end it.
void whenModalAppears(std::function<void(QWidget*)> inspect)
{
    QTimer::singleShot(0, [inspect = std::move(inspect)] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY2(modal != nullptr, "no modal window appeared");
        inspect(modal);
    });
}

bool busyCursorShown()
{
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor != nullptr && cursor->shape() == Qt::WaitCursor;
}

}  // namespace

class CommandAndPlatformTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The dialogs remember their folder in the user's settings: here in a
        // folder of the test's own, never in the real ones.
        QVERIFY(settings_.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
    }
    void init() { recorder_ = &installRecordingPlatform(); }
    void cleanupTestCase() { setPlatform(nullptr); }

    void busyCursorIsShownWhileTheBodyRunsAndRemovedAfter()
    {
        bool busyInside = false;
        runCommand([&] { busyInside = busyCursorShown(); });
        QVERIFY(busyInside);
        QVERIFY(QApplication::overrideCursor() == nullptr);

        bool anyCursorInside = true;
        runCommand([&] { anyCursorInside = QApplication::overrideCursor() != nullptr; },
                   BusyCursor::DontShow);
        QVERIFY(!anyCursorInside);
        QVERIFY(recorder_->errorReports.isEmpty());
    }

    void anErrorEndsTheBodyAndIsReportedOnceWithTheFullStopRule()
    {
        bool ranOn = false;
        runCommand([&] {
            dimora::fail(dimora::msg::kInvalidFloatOperation);
            ranOn = true;
        });
        QVERIFY(!ranOn);
        QCOMPARE(recorder_->errorReports, QStringList{QStringLiteral("不正な浮動小数点数演算命令.")});
        // The cursor is back before the box appears.
        QCOMPARE(recorder_->busyCursorAtReport, std::vector<bool>{false});
        QVERIFY(QApplication::overrideCursor() == nullptr);

        runCommand([] { throw std::runtime_error("Error Reading File!"); });
        QCOMPARE(recorder_->errorReports.size(), 2);
        QCOMPARE(recorder_->errorReports.at(1), QStringLiteral("Error Reading File!"));
    }

    void aNestedCommandPassesItsErrorToTheOuterOne()
    {
        bool outerRanOn = false;
        bool innerBusy = false;
        runCommand([&] {
            runCommand(
                [&] {
                    innerBusy = busyCursorShown();
                    dimora::fail(dimora::msg::kFloatDivideByZero);
                },
                BusyCursor::DontShow);
            outerRanOn = true;
        });
        QVERIFY(innerBusy);  // the outer command's cursor is still on
        QVERIFY(!outerRanOn);
        QCOMPARE(recorder_->errorReports, QStringList{QStringLiteral("0 による浮動小数点数除算.")});
        QVERIFY(QApplication::overrideCursor() == nullptr);

        // After the nested failure the wrapper is back at the outer level.
        runCommand([] { dimora::fail("x"); });
        QCOMPARE(recorder_->errorReports.size(), 2);
    }

    void withoutAnInstalledPlatformTheRealDesktopIsUsed()
    {
        setPlatform(nullptr);
        QVERIFY(dynamic_cast<DesktopPlatform*>(&platform()) != nullptr);
        auto& recorder = installRecordingPlatform();
        QCOMPARE(&platform(), static_cast<Platform*>(&recorder));
    }

    void theErrorReportIsAModalBoxTitledWithTheProgramName()
    {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QList<QAbstractButton*> buttons;
        QMessageBox::StandardButtons standard;
        whenModalAppears([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box != nullptr);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->buttons();
            standard = box->standardButtons();
            box->button(QMessageBox::Ok)->click();
        });
        DesktopPlatform desktop;
        desktop.showErrorReport(QStringLiteral("ファイル /nowhere/a.bmp は開けません."));
        QCOMPARE(title, QStringLiteral("Dimora3"));
        QCOMPARE(text, QStringLiteral("ファイル /nowhere/a.bmp は開けません."));
        QCOMPARE(icon, QMessageBox::Critical);
        QCOMPARE(buttons.size(), 1);
        QCOMPARE(standard, QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    void theOpenDialogIsQtsOwnAndTakesANameThatDoesNotExist()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString missing = dir.filePath(QStringLiteral("missing"));
        QFileDialog::Options options;
        QStringList filters;
        QString suffix;
        QFileDialog::FileMode mode = QFileDialog::Directory;
        QFileDialog::AcceptMode accept = QFileDialog::AcceptSave;
        QString name;
        whenModalAppears([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog != nullptr);
            options = dialog->options();
            filters = dialog->nameFilters();
            suffix = dialog->defaultSuffix();
            mode = dialog->fileMode();
            accept = dialog->acceptMode();
            name = dialog->objectName();
            dialog->selectFile(missing);
            static_cast<QDialog*>(dialog)->accept();
        });
        DesktopPlatform desktop;
        const auto chosen = desktop.askFileName(fileDialogs::openBitmap(), nullptr);
        QVERIFY(options.testFlag(QFileDialog::DontUseNativeDialog));
        QCOMPARE(filters, fileDialogs::openBitmap().filter.split(QStringLiteral(";;")));
        QCOMPARE(filters.size(), 5);
        QCOMPARE(suffix, QStringLiteral("BMP"));
        QCOMPARE(mode, QFileDialog::AnyFile);
        QCOMPARE(accept, QFileDialog::AcceptOpen);
        QCOMPARE(name, QStringLiteral("OpenDialog1"));
        QVERIFY(chosen.has_value());
        // The default extension is appended to a typed name without one.
        QCOMPARE(*chosen, missing + QStringLiteral(".BMP"));
    }

    void theSaveDialogsReplaceWithoutAskingAndCancelGivesNothing()
    {
        QFileDialog::Options options;
        QStringList filters;
        QFileDialog::AcceptMode accept = QFileDialog::AcceptOpen;
        whenModalAppears([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog != nullptr);
            options = dialog->options();
            filters = dialog->nameFilters();
            accept = dialog->acceptMode();
            dialog->reject();
        });
        DesktopPlatform desktop;
        const auto chosen = desktop.askFileName(fileDialogs::saveG1(), nullptr);
        QVERIFY(!chosen.has_value());
        QVERIFY(options.testFlag(QFileDialog::DontConfirmOverwrite));
        QVERIFY(options.testFlag(QFileDialog::DontUseNativeDialog));
        QCOMPARE(filters, QStringList{QStringLiteral("ベタファイル(*.g1)")});
        QCOMPARE(accept, QFileDialog::AcceptSave);
    }

    void aSaveAppendsTheExtensionOfTheChosenFilterToATypedName()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString typed = dir.filePath(QStringLiteral("picture"));
        const auto saveUnder = [&](const QString& filter, const FileDialogOptions& options) {
            whenModalAppears([&](QWidget* modal) {
                auto* dialog = qobject_cast<QFileDialog*>(modal);
                QVERIFY(dialog != nullptr);
                dialog->selectNameFilter(filter);
                dialog->selectFile(typed);
                static_cast<QDialog*>(dialog)->accept();
            });
            DesktopPlatform desktop;
            return desktop.askFileName(options, nullptr).value_or(QString());
        };
        QCOMPARE(saveUnder(QStringLiteral("PNGファイル (*.png)"), fileDialogs::saveBitmap()),
                 typed + QStringLiteral(".png"));
        QCOMPARE(saveUnder(QStringLiteral("ビットマップ(*.bmp)"), fileDialogs::saveBitmap()),
                 typed + QStringLiteral(".bmp"));
        QCOMPARE(saveUnder(QStringLiteral("ベタファイル(*.g1)"), fileDialogs::saveG1()),
                 typed + QStringLiteral(".g1"));
    }

    void theDialogsStartInTheFolderOfTheLastChoiceAlsoInALaterRun()
    {
        QTemporaryDir first;
        QTemporaryDir second;
        QVERIFY(first.isValid() && second.isValid());
        // Answers the next dialog with the path; gives where the dialog
        // started, and what it returned.
        const auto choose = [](const FileDialogOptions& options, const QString& path) {
            QString started;
            whenModalAppears([&](QWidget* modal) {
                auto* dialog = qobject_cast<QFileDialog*>(modal);
                QVERIFY(dialog != nullptr);
                started = dialog->directory().absolutePath();
                dialog->selectFile(path);
                static_cast<QDialog*>(dialog)->accept();
            });
            DesktopPlatform desktop;
            const QString chosen = desktop.askFileName(options, nullptr).value_or(QString());
            return QStringList{started, chosen};
        };
        const QString a = first.filePath(QStringLiteral("a.bmp"));
        const QString b = second.filePath(QStringLiteral("b.g1"));
        const QString c = second.filePath(QStringLiteral("c.csv"));
        QCOMPARE(choose(fileDialogs::openBitmap(), a).at(1), a);
        QCOMPARE(choose(fileDialogs::saveG1(), b), (QStringList{first.path(), b}));
        QCOMPARE(choose(fileDialogs::chooseCubeFolder(), first.path()),
                 (QStringList{second.path(), first.path()}));
        QCOMPARE(choose(fileDialogs::saveCountsCsv(), c), (QStringList{first.path(), c}));
        // Kept in the settings file, for the next run.
        QSettings kept(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Dimora3"),
                       QStringLiteral("Dimora3"));
        QVERIFY(kept.fileName().startsWith(settings_.path()));
        QCOMPARE(kept.value(QStringLiteral("FileDialogs/lastFolder")).toString(), second.path());
    }

    void thePageQuestionTellsTheCountAndOffersTheFirstPage()
    {
        for (const bool accept : {true, false}) {
            QString label;
            QList<int> range;
            whenModalAppears([&](QWidget* modal) {
                auto* dialog = qobject_cast<QInputDialog*>(modal);
                QVERIFY(dialog != nullptr);
                label = dialog->labelText();
                range = {dialog->intMinimum(), dialog->intMaximum(), dialog->intValue()};
                dialog->setIntValue(3);
                accept ? dialog->accept() : dialog->reject();
            });
            DesktopPlatform desktop;
            const std::optional<int> page = desktop.askPage(QStringLiteral("/scans/stack.tif"), 7, nullptr);
            QCOMPARE(label, QStringLiteral("stack.tif には 7 ページあります。\n開くページ:"));
            QCOMPARE(range, (QList<int>{1, 7, 1}));
            QCOMPARE(page, accept ? std::optional<int>(3) : std::nullopt);
        }
    }

    void theRecorderAnswersDialogsInOrderAndCancelsWhenEmpty()
    {
        recorder_->fileAnswers = {QStringLiteral("/a.bmp"), std::nullopt};
        QCOMPARE(platform().askFileName(fileDialogs::saveBitmap(), nullptr),
                 std::optional<QString>("/a.bmp"));
        QVERIFY(!platform().askFileName(fileDialogs::saveBitmap(), nullptr).has_value());
        QVERIFY(!platform().askFileName(fileDialogs::openBitmap(), nullptr).has_value());
        QCOMPARE(recorder_->dialogsShown.size(), std::size_t{3});
        QCOMPARE(recorder_->dialogsShown.at(2).name, QStringLiteral("OpenDialog1"));
    }

private:
    RecordingPlatform* recorder_ = nullptr;
    QTemporaryDir settings_;
};

QTEST_MAIN(CommandAndPlatformTest)
#include "test_command_and_platform.moc"
