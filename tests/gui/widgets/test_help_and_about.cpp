// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "program_fixture.hpp"

#include "gui/about/about_box.hpp"
#include "gui/about/help_commands.hpp"
#include "gui/about/hyperlink_label.hpp"
#include "gui/about/url_launcher.hpp"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QXmlStreamReader>

namespace {

void clickLabel(QWidget* label, Qt::MouseButton button)
{
    const QPointF local(3, 3);
    const QPointF global = label->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, local, global, button, button, Qt::NoModifier);
    QApplication::sendEvent(label, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, local, global, button, {}, Qt::NoModifier);
    QApplication::sendEvent(label, &release);
}

}  // namespace

class HelpAndAboutTest : public QObject {
    Q_OBJECT
private slots:
    void theHelpPageOpensFromTheProgramsFolder()
    {
        ProgramUnderTest program;
        program.form1().controls().usage1->trigger();
        QVERIFY(program.desktop.errorReports.isEmpty());
        QCOMPARE(program.desktop.urlsOpened.size(), 1);
        const QUrl opened = program.desktop.urlsOpened[0];
        QVERIFY(opened.isLocalFile());
        QCOMPARE(opened.toLocalFile(), QCoreApplication::applicationDirPath() + QStringLiteral("/help.htm"));
        QCOMPARE(QUrl(program.form1().controls().pvlUrl1->Url()), opened);
    }

    void aFolderWithBlanksStaysOneAddress()
    {
        const QUrl url = helpPageUrl(QStringLiteral("/opt/my tools/ディモラ"));
        QCOMPARE(url.scheme(), QStringLiteral("file"));
        QCOMPARE(url.toLocalFile(), QStringLiteral("/opt/my tools/ディモラ/help.htm"));
        QVERIFY(!url.toString(QUrl::FullyEncoded).contains(QLatin1Char(' ')));
    }

    void theHelpPageIsBesideTheProgramElseInTheInstalledDataFolder()
    {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("bin")));
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("share/dimora3")));
        const QString bin = root.filePath(QStringLiteral("bin"));
        const auto touch = [](const QString& path) {
            QFile file(path);
            return file.open(QIODevice::WriteOnly);
        };
        // Neither: the address beside the program, which fails as before.
        QCOMPARE(helpPageUrl(bin).toLocalFile(), bin + QStringLiteral("/help.htm"));
        QVERIFY(touch(root.filePath(QStringLiteral("share/dimora3/help.htm"))));
        QCOMPARE(helpPageUrl(bin).toLocalFile(), root.filePath(QStringLiteral("share/dimora3/help.htm")));
        // The English page is looked up the same way, by its own name.
        QCOMPARE(helpPageUrl(bin, QStringLiteral("help_en.htm")).toLocalFile(),
                 bin + QStringLiteral("/help_en.htm"));
        QVERIFY(touch(bin + QStringLiteral("/help.htm")));
        QCOMPARE(helpPageUrl(bin).toLocalFile(), bin + QStringLiteral("/help.htm"));
    }

    void aBrowserThatDoesNotStartIsReported()
    {
        ProgramUnderTest program;
        program.desktop.openUrlSucceeds = false;
        program.form1().controls().usage1->trigger();
        QCOMPARE(program.desktop.errorReports, QStringList{reportOf("Couldn't launch default browser")});
    }

    void theHelpPageLiesBesideTheProgram()
    {
        QFile page(QStringLiteral(DIMORA_PROGRAM_DIR "/help.htm"));
        QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(page.fileName()));
        const QString text = QString::fromUtf8(page.readAll());
        QVERIFY(text.contains(QStringLiteral("<html")));
        // It explains the commands by their menu captions.
        for (const char* caption : {"画像を開く(BMP)", "範囲の表示", "黒の次元", "サイズ毎の個数表示",
                                    "３Ｄスライス２値", "しきい値変更", "メディアン"})
            QVERIFY2(text.contains(QString::fromUtf8(caption)), caption);
    }

    void theAboutBoxIsModal()
    {
        ProgramUnderTest program;
        TAboutBox& box = *program.windows.aboutBox;
        QVERIFY(!box.ProgramIcon->pixmap().isNull());
        // The link label's caption is the project's home, as the AppStream
        // metadata names it.
        QFile metadata(QStringLiteral(DIMORA_TEST_DATA "/../../resources/org.dimora3.Dimora3.metainfo.xml"));
        QVERIFY(metadata.open(QIODevice::ReadOnly));
        QString home;
        for (QXmlStreamReader reader(&metadata); !reader.atEnd();)
            if (reader.readNext() == QXmlStreamReader::StartElement &&
                reader.name() == QLatin1String("url") &&
                reader.attributes().value(QLatin1String("type")) == QLatin1String("homepage"))
                home = reader.readElementText();
        QVERIFY(home.startsWith(QStringLiteral("https://")));
        QCOMPARE(box.HTLabel1->text(), home);

        // Modal: the command returns when "OK" closes the box.
        bool wasModal = false;
        QTimer::singleShot(0, &box, [&] {
            wasModal = box.isModal() && box.isVisible();
            box.OKButton->click();
        });
        program.form1().controls().version1->trigger();
        QVERIFY(wasModal);
        QVERIFY(box.isHidden());
        QCOMPARE(box.result(), int(QDialog::Accepted));
    }

    void colourTriples()
    {
        QCOMPARE(ParseColourTriple(QStringLiteral("0,0,255")), std::optional<std::uint32_t>(0x02FF0000u));
        QCOMPARE(ParseColourTriple(QStringLiteral("255,0,0")), std::optional<std::uint32_t>(0x020000FFu));
        QCOMPARE(ParseColourTriple(QStringLiteral("1,2,3")), std::optional<std::uint32_t>(0x02030201u));
        QCOMPARE(ParseColourTriple(QStringLiteral(" 16,32,64")), std::optional<std::uint32_t>(0x02402010u));
        QVERIFY(!ParseColourTriple(QStringLiteral("0,0")));
        QVERIFY(!ParseColourTriple(QStringLiteral("0,x,0")));
        QVERIFY(!ParseColourTriple(QStringLiteral("0,0,0,0")));
    }

    void theLinkLabelOpensItsCaption()
    {
        ProgramUnderTest program;
        THTLabel label;
        label.setText(QStringLiteral("http://example.org/x"));
        label.show();
        int clicks = 0;
        connect(&label, &THTLabel::clicked, &label, [&] { ++clicks; });
        clickLabel(&label, Qt::LeftButton);
        QCOMPARE(clicks, 1);
        QCOMPARE(program.desktop.urlsOpened, QList<QUrl>{QUrl(QStringLiteral("http://example.org/x"))});
        // The visited colour until the next painting.
        QCOMPARE(label.palette().color(QPalette::WindowText), QColor(255, 0, 255));

        // Capital letters do not make a web address: it goes to the mail program.
        label.setText(QStringLiteral("HTTP://example.org/"));
        clickLabel(&label, Qt::LeftButton);
        QCOMPARE(program.desktop.urlsOpened.last(), QUrl(QStringLiteral("mailto:HTTP://example.org/")));
        label.setText(QStringLiteral("someone@example.org"));
        clickLabel(&label, Qt::LeftButton);
        QCOMPARE(program.desktop.urlsOpened.last(), QUrl(QStringLiteral("mailto:someone@example.org")));

        // A failed start goes unreported.
        program.desktop.openUrlSucceeds = false;
        clickLabel(&label, Qt::LeftButton);
        QVERIFY(program.desktop.errorReports.isEmpty());
        // A right click opens no address.
        const auto opened = program.desktop.urlsOpened.size();
        label.popupMenu()->hide();
        clickLabel(&label, Qt::RightButton);
        QCOMPARE(program.desktop.urlsOpened.size(), opened);
    }

    void theLinkLabelsPopupMenu()
    {
        ProgramUnderTest program;
        THTLabel& label = *program.windows.aboutBox->HTLabel1;
        QMenu* menu = label.popupMenu();
        QCOMPARE(menu->actions().size(), 2);
        QCOMPARE(menu->actions()[0]->text(), QStringLiteral("開く(&O)"));
        QCOMPARE(menu->actions()[1]->text(), QStringLiteral("コピー(&C)"));
        QCOMPARE(menu->defaultAction(), menu->actions()[0]);

        program.windows.aboutBox->show();
        QVERIFY(menu->isHidden());
        clickLabel(&label, Qt::RightButton);
        QVERIFY(menu->isVisible());
        menu->hide();

        label.copyItem()->trigger();
        QCOMPARE(program.desktop.clipboardTextValue, label.text());
        label.openItem()->trigger();
        QCOMPARE(program.desktop.urlsOpened, QList<QUrl>{QUrl(label.text())});
        program.windows.aboutBox->hide();
    }

    void theLinkStyleFollowsTheHoverRule()
    {
        ProgramUnderTest program;
        THTLabel label;
        label.setText(QStringLiteral("http://example.org/"));
        label.show();
        QVERIFY(QTest::qWaitForWindowExposed(&label));
        const auto paint = [&] {
            label.repaint();
            return std::pair{label.palette().color(QPalette::WindowText), label.font().underline()};
        };
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), label.mapToGlobal(QPointF(2, 2)));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&label, &leave);  // wherever the pointer was left
        QVERIFY(!THTLabel::hovering());
        QCOMPARE(paint(), std::pair(QColor(0, 0, 255), true));
        QApplication::sendEvent(&label, &enter);
        QVERIFY(THTLabel::hovering());
        QCOMPARE(paint(), std::pair(QColor(255, 0, 0), true));
        QApplication::sendEvent(&label, &leave);
        QVERIFY(!THTLabel::hovering());

        // With the hover rule, underlined only under the pointer.
        THTLabel::linkColours().useAnchorHover = QStringLiteral("yes");
        QCOMPARE(paint(), std::pair(QColor(0, 0, 255), false));
        QApplication::sendEvent(&label, &enter);
        QCOMPARE(paint(), std::pair(QColor(255, 0, 0), true));
        QApplication::sendEvent(&label, &leave);
        QCOMPARE(paint(), std::pair(QColor(0, 0, 255), false));
    }
};

QTEST_MAIN(HelpAndAboutTest)
#include "test_help_and_about.moc"
