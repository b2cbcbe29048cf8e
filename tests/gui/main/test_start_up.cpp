// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
// Start-up: the twelve windows, what is visible, the main window's layout,
// menus and tool bar, and the result, count and total-length windows.
#include "gui_test_support.hpp"

#include "gui/about/about_box.hpp"
#include "gui/app/startup.hpp"
#include "gui/common/fonts.hpp"
#include "gui/common/image_control.hpp"
#include "gui/common/scroll_box.hpp"
#include "gui/common/toolbar_icons.hpp"
#include "gui/imageops/scratch_image_window.hpp"
#include "gui/imageops/threshold_dialog.hpp"
#include "gui/mass/mass_dialogs.hpp"
#include "gui/mass/mass_windows.hpp"
#include "gui/measure/total_length_window.hpp"
#include "gui/region/region_dialog.hpp"
#include "gui/region/selection_shape.hpp"
#include "gui/slices/cube_progress_window.hpp"
#include "gui/slices/cube_settings_dialog.hpp"
#include "gui/slices/progress_window.hpp"
#include "gui/slices/slice_settings_dialog.hpp"

#include <QChartView>
#include <QDialogButtonBox>
#include <QFontInfo>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolButton>
#include <QValueAxis>
#include <QtTest>

#include <memory>

namespace {

struct MenuItem {
    const char* name;
    QString caption;
};

QStringList actionNames(const QMenu* menu)
{
    QStringList names;
    for (const QAction* action : menu->actions())
        names.append(action->objectName());
    return names;
}

}  // namespace

class StartUpTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { prepareApplication(*qApp); }

    void theWindowsAreCreatedOnceInTheirOrder()
    {
        installRecordingPlatform();
        QStringList order;
        QList<QWidget*> created;
        auto program = std::make_unique<Program>([&](QWidget* window) {
            order.append(QString::fromLatin1(window->metaObject()->className()));
            created.append(window);
        });
        const QStringList expected{"TForm1", "TForm2", "TForm3", "TForm4", "TAboutBox", "TForm5", "TForm6",
                                   "TForm7", "TForm8", "TForm9", "CubeSettingsDialog", "CubeProgressWindow",
                                   // The mass measurements' windows come after those of the old program.
                                   "LacunarityDialog", "LacunarityWindow", "MultifractalDialog",
                                   "MultifractalWindow"};
        QCOMPARE(order, expected);
        const Windows& w = program->windows();
        const QList<QWidget*> instances{w.form1,
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
        QCOMPARE(instances, created);
        for (QWidget* window : created)
            QVERIFY(window->isWindow());
        // Destroying the program destroys every window.
        const QPointer<QWidget> first = w.form1;
        const QPointer<QWidget> last = w.multifractal;
        program.reset();
        QVERIFY(first.isNull() && last.isNull());
    }

    void onlyTheMainAndResultWindowsAreVisibleAtStart()
    {
        ProgramWindows program;
        QWidgetList visible;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible())
                visible.append(window);
        QCOMPARE(visible.size(), 2);
        QVERIFY(visible.contains(program.windows.form1));
        QVERIFY(visible.contains(program.windows.form2));
    }

    void theApplicationIsTitledAndSpeaksJapanese()
    {
        QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("Dimora3"));
        const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
        if (!QFile::exists(translations + QStringLiteral("/qtbase_ja.qm")))
            QSKIP("Qt's Japanese translations are not installed");
        QDialogButtonBox box(QDialogButtonBox::Cancel);
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
    }

    void theDesignFacesResolveToTheInstalledJapaneseFaces()
    {
        // Qt keeps substitutes in lower case.
        QCOMPARE(QFont::substitute(kPGothic).toLower(), QStringLiteral("ipapgothic"));
        QCOMPARE(QFont::substitute(kGothic).toLower(), QStringLiteral("ipagothic"));
        QCOMPARE(QFont::substitute(kPMincho).toLower(), QStringLiteral("ipapmincho"));
        ProgramWindows program;
        const QFontInfo mainFont(program.form1().font());
        QCOMPARE(mainFont.pixelSize(), 12);
        if (!QFontDatabase::families().contains(QStringLiteral("IPAPGothic")))
            QSKIP("the IPA fonts are not installed");
        QCOMPARE(mainFont.family(), QStringLiteral("IPAPGothic"));
        QCOMPARE(QFontInfo(program.form4().Memo1->font()).family(), QStringLiteral("IPAGothic"));
    }

    void theMainWindowHasItsDesignedLayout()
    {
        ProgramWindows program;
        TForm1& f = program.form1();
        QCOMPARE(f.windowTitle(), QStringLiteral("Dimora3"));
        QCOMPARE(f.centralWidget()->size(), QSize(539, 388));
        QCOMPARE(f.controls().ToolBar1->geometry(), QRect(0, 0, 539, 26));
        QCOMPARE(f.controls().ScrollBox1->geometry(), QRect(0, 32, 539, 357));
        QCOMPARE(f.controls().Label1->geometry(), QRect(182, 2, 258, 22));
        QVERIFY(f.controls().Label1->wordWrap());
        QVERIFY(f.controls().Label1->isVisible());
        QVERIFY(f.controls().Label1->text().isEmpty());
        QCOMPARE(f.controls().Image->parentWidget(), f.controls().ScrollBox1->viewport());
        QCOMPARE(f.controls().Image->pos(), QPoint(0, 0));
        QCOMPARE(f.controls().Image->size(), QSize(0, 0));
        QCOMPARE(f.controls().SelShape1->parentWidget(), f.controls().ScrollBox1->viewport());
        QVERIFY(f.controls().SelShape1->isHidden());
        QCOMPARE(f.controls().SelShape1->geometry(), QRect(80, 80, 64, 64));
        QCOMPARE(f.controls().SelShape1->SizeSense(), 4);
        QCOMPARE(f.controls().SelShape1->MinWidth(), 16);
        QCOMPARE(f.controls().SelShape1->MinHeight(), 16);
        QCOMPARE(f.controls().SelShape1->MaxBottom(), 0);
        QCOMPARE(f.controls().SelShape1->MaxRight(), 0);
        QVERIFY(f.controls().SelShape1->invertingPen());
        QCOMPARE(f.controls().SelShape1->toolTip(), QStringLiteral("サイズと位置変更"));
        QVERIFY(f.acceptDrops());

        // The scroll box follows all four edges of the window, the tool bar
        // its width.
        f.resize(f.width() + 100, f.height() + 50);
        QCOMPARE(f.controls().ScrollBox1->geometry(), QRect(0, 32, 639, 407));
        QCOMPARE(f.controls().ToolBar1->width(), 639);
    }

    void theToolButtonsStandInTheirOrderWithTheirHints()
    {
        ProgramWindows program;
        TForm1& f = program.form1();
        const QList<QToolButton*> buttons{f.controls().ToolButton2, f.controls().ToolButton4,
                                          f.controls().ToolButton6, f.controls().ToolButton7,
                                          f.controls().ToolButton9, f.controls().ToolButton10};
        const QStringList hints{"開く（ＢＭＰ）",
                                "範囲指定",
                                "次元算出（黒）",
                                "次元算出（黒以外）",
                                "次元算出（グレースケール）",
                                "サイズ毎の個数表示"};
        // Dividers of 8 and buttons of 23 after an indent of 4: the label
        // starts at 182.
        const QList<int> lefts{12, 43, 74, 97, 120, 151};
        QList<qint64> pictures;
        for (int i = 0; i < buttons.size(); ++i) {
            QCOMPARE(buttons[i]->toolTip(), hints[i]);
            QCOMPARE(buttons[i]->x(), lefts[i]);
            QCOMPARE(buttons[i]->size(), QSize(23, 22));
            QVERIFY(buttons[i]->autoRaise());
            QVERIFY(buttons[i]->isEnabled());
            const QImage picture = buttons[i]->icon().pixmap(16, 16).toImage();
            QCOMPARE(picture.size(), QSize(16, 16));
            pictures.append(picture.cacheKey());
            QCOMPARE(buttons[i]->accessibleDescription(), buttons[i]->objectName());
            QCOMPARE(buttons[i]->accessibleName(), hints[i]);
        }
        // Each divider draws a line: some pixel of its middle columns differs
        // from its edge.
        for (const char* name :
             {"ToolButton1", "ToolButton3", "ToolButton5", "ToolButton8", "ToolButton11"}) {
            auto* divider = f.controls().ToolBar1->findChild<QWidget*>(QString::fromLatin1(name));
            QCOMPARE(divider->width(), 8);
            const QImage picture = divider->grab().toImage();
            bool drawn = false;
            for (int y = 0; y < picture.height(); ++y)
                for (int x = picture.width() / 2 - 1; x <= picture.width() / 2; ++x)
                    drawn = drawn || picture.pixel(x, y) != picture.pixel(0, y);
            QVERIFY2(drawn, name);
        }
        // Six different pictures.
        for (int i = 0; i < 6; ++i)
            for (int j = i + 1; j < 6; ++j)
                QVERIFY(toolIcon(static_cast<ToolIcon>(i)).pixmap(16, 16).toImage() !=
                        toolIcon(static_cast<ToolIcon>(j)).pixmap(16, 16).toImage());
    }

    void theMenusCarryTheirItemsInOrder()
    {
        ProgramWindows program;
        TForm1& f = program.form1();
        QStringList menus;
        for (const QAction* action : f.menuBar()->actions())
            menus.append(action->text());
        QCOMPARE(menus, (QStringList{"ファイル", "編集", "画像加工", "フラクタル次元", "範囲指定",
                                     "フィルター", "ヘルプ"}));
        QCOMPARE(actionNames(f.controls().File1),
                 (QStringList{"Open1", "N3", "Saveas1", "bb1", "N1", "Exit1"}));
        QCOMPARE(actionNames(f.controls().Edit2), (QStringList{"Copy1", "Paste1"}));
        QCOMPARE(actionNames(f.controls().exec1),
                 (QStringList{"K2", "sikii1", "K1", "K3", "reverse1", "gray2", "SLIM1"}));
        QCOMPARE(actionNames(f.controls().N4),
                 (QStringList{"frac1", "fracw1", "gray1", "count1", "length1", "slice1", "cube1",
                              "measureSettings1", "lacunarity1", "multifractal1"}));
        QCOMPARE(actionNames(f.controls().hani1), (QStringList{"N5", "N2"}));
        QCOMPARE(actionNames(f.controls().filter1), (QStringList{"median1", "noise1"}));
        QCOMPARE(actionNames(f.controls().help2), (QStringList{"usage1", "version1"}));
        QVERIFY(f.controls().N3->isSeparator() && f.controls().N1->isSeparator());

        const std::vector<std::pair<QAction*, QString>> captions{
            {f.controls().Open1, "画像を開く(BMP)"},
            {f.controls().Saveas1, "画像を別名で保存(BMP)"},
            {f.controls().bb1, "ベタファイル(G1)保存"},
            {f.controls().Exit1, "終了"},
            {f.controls().Copy1, "コピー(&C)"},
            {f.controls().Paste1, "貼り付け(&P)"},
            {f.controls().K2, "％変換"},
            {f.controls().sikii1, "しきい値変更"},
            {f.controls().K1, "緑部抽出"},
            {f.controls().K3, "赤部抽出"},
            {f.controls().reverse1, "ネガポジ反転"},
            {f.controls().gray2, "グレースケール化"},
            {f.controls().SLIM1, "細線化"},
            {f.controls().frac1, "黒の次元"},
            {f.controls().fracw1, "黒以外の次元"},
            {f.controls().gray1, "グレースケールの次元"},
            {f.controls().count1, "サイズ毎の個数表示"},
            {f.controls().length1, "黒の総延長"},
            {f.controls().slice1, "３Ｄスライス２値"},
            {f.controls().cube1, "３Ｄ立方体ボックスカウント..."},
            {f.controls().measureSettings1, "測定の設定..."},
            {f.controls().N5, "数値による指定"},
            {f.controls().N2, "範囲の表示"},
            {f.controls().median1, "メディアン"},
            {f.controls().noise1, "孤立黒点除去"},
            {f.controls().usage1, "使い方"},
            {f.controls().version1, "バージョン情報"}};
        for (const auto& [action, caption] : captions) {
            QCOMPARE(action->text(), caption);
            QVERIFY(action->isEnabled());
        }
        QCOMPARE(f.controls().Paste1->shortcut(), QKeySequence(QStringLiteral("Ctrl+V")));
        QVERIFY(f.controls().Copy1->shortcut().isEmpty());
    }

    void theResultWindowStaysOnTopWithoutTitleBarButtons()
    {
        ProgramWindows program;
        TForm2& f = program.form2();
        QCOMPARE(f.windowTitle(), QStringLiteral("結果表示"));
        const Qt::WindowFlags flags = f.windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
        QVERIFY(!flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowSystemMenuHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinMaxButtonsHint));
        // Nor does a close request of the window manager hide it.
        QVERIFY(!f.close());
        QVERIFY(f.isVisible());
        QCOMPARE(f.size(), QSize(189, 107));
        QCOMPARE(f.minimumSize(), f.maximumSize());
        const QList<QLabel*> labels{f.Label1, f.Label2, f.Label3, f.Label4};
        const QStringList texts{"画像ｻｲｽﾞ（横×縦）", "被度（％），輝度差", "相関係数　（ ｎ ）",
                                "フラクタル次元"};
        const QList<QLineEdit*> fields{f.Edit1, f.Edit2, f.Edit3, f.Edit4};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(labels[i]->text(), texts[i]);
            QCOMPARE(labels[i]->pos(), QPoint(8, 16 + 24 * i));
            QCOMPARE(fields[i]->geometry(), QRect(112, 8 + 24 * i, 73, 20));
            QVERIFY(fields[i]->text().isEmpty());
            QVERIFY(!fields[i]->isReadOnly());
        }
        // The gap of the third label is an ideographic space, the n a full-width one.
        QVERIFY(f.Label3->text().contains(QChar(0x3000)));
        QVERIFY(f.Label3->text().contains(QStringLiteral(" \uFF4E ")));
    }

    void theCountAndLengthWindowsWaitHidden()
    {
        ProgramWindows program;
        TForm4& f4 = program.form4();
        QVERIFY(f4.isHidden());
        QCOMPARE(f4.windowTitle(), QStringLiteral("個数"));
        QCOMPARE(f4.Label1->text(), QStringLiteral("サイズ, 個数"));
        QCOMPARE(f4.BitBtn1->text(), QStringLiteral("再計算"));
        QVERIFY(!f4.BitBtn1->icon().isNull());
        QCOMPARE(f4.BitBtn1->geometry(), QRect(200, 0, 89, 25));
        QCOMPARE(f4.Memo2->toPlainText().split('\n'),
                 (QStringList{"  1", "  2", "  4", "  8", " 16", " 32", " 64", "128", "256", "512", " ・",
                              " ・", " ・"}));
        QVERIFY(!f4.Memo2->isEnabled());
        QVERIFY(f4.Memo1->toPlainText().isEmpty());
        QVERIFY(f4.Series1->points().isEmpty());
        QVERIFY(f4.Series2->points().isEmpty());
        QCOMPARE(f4.Series1->objectName(), QStringLiteral("Series1"));
        QCOMPARE(f4.Series2->objectName(), QStringLiteral("Series2"));
        QCOMPARE(f4.Series1->color(), QColor(Qt::red));
        QCOMPARE(f4.Series2->color(), QColor(0, 128, 0));
        QVERIFY(!f4.Chart1->chart()->legend()->isVisible());
        const auto axes = f4.Chart1->chart()->axes(Qt::Horizontal);
        QCOMPARE(axes.size(), 1);
        auto* axisX = qobject_cast<QValueAxis*>(axes.first());
        QCOMPARE(axisX->titleText(), QStringLiteral("log10(ボックスサイズ)"));
        QCOMPARE(axisX->min(), -0.1);
        QCOMPARE(axisX->tickInterval(), 1.0);
        QCOMPARE(f4.Chart1->chart()->axes(Qt::Vertical).first()->titleText(),
                 QStringLiteral("log10(カウント数)"));
        // Lists stretch with the height, the chart both ways.
        f4.show();
        QCOMPARE(f4.Memo2->geometry(), QRect(0, 24, 33, 249));
        QCOMPARE(f4.Memo1->geometry(), QRect(32, 24, 81, 249));
        QCOMPARE(f4.Chart1->geometry(), QRect(120, 24, 274, 254));
        const QRect memo = f4.Memo1->geometry();
        const QRect chart = f4.Chart1->geometry();
        f4.resize(f4.width() + 40, f4.height() + 30);
        QCOMPARE(f4.Memo1->geometry(), memo.adjusted(0, 0, 0, 30));
        QCOMPARE(f4.Chart1->geometry(), chart.adjusted(0, 0, 40, 30));

        TForm5& f5 = *program.windows.form5;
        QVERIFY(f5.isHidden());
        QCOMPARE(f5.windowTitle(), QStringLiteral("総延長"));
        QCOMPARE(f5.Label1->text(), QStringLiteral("指定範囲内の総延長"));
        QCOMPARE(f5.Label2->text(), QStringLiteral("pixel (dot)"));
        QVERIFY(f5.Label2->x() > f5.Edit1->geometry().right());
    }

    void theAnalysisRegionFollowsTheSelectionAndTheScrolling()
    {
        ProgramWindows program;
        TForm1& f = program.form1();
        QCOMPARE(f.takeAnalysisRegion(), (dimora::Region{0, 0, 0, 0}));

        f.setWorkingImage(filledImage(1000, 800));
        QCOMPARE(f.controls().Image->size(), QSize(1000, 800));
        QCOMPARE(f.takeAnalysisRegion(), (dimora::Region{0, 0, 1000, 800}));

        f.controls().ScrollBox1->horizontalScrollBar()->setValue(100);
        f.controls().ScrollBox1->verticalScrollBar()->setValue(30);
        f.controls().SelShape1->setGeometry(80, 80, 64, 64);
        f.controls().SelShape1->show();
        QCOMPARE(f.takeAnalysisRegion(), (dimora::Region{180, 110, 64, 64}));

        // Scrolling moves the rectangle with the image: it stays over the
        // same pixels.
        f.controls().ScrollBox1->horizontalScrollBar()->setValue(0);
        f.controls().ScrollBox1->verticalScrollBar()->setValue(70);
        QCOMPARE(f.controls().SelShape1->pos(), QPoint(180, 40));
        QCOMPARE(f.takeAnalysisRegion(), (dimora::Region{180, 110, 64, 64}));

        f.controls().SelShape1->hide();
        QCOMPARE(f.takeAnalysisRegion(), (dimora::Region{0, 0, 1000, 800}));
    }

    void theImageControlShowsTheWorkingImageAsItChanges()
    {
        ProgramWindows program;
        TForm1& f = program.form1();
        const auto shownAt = [&](int x, int y) {
            return f.controls().Image->grab(QRect(x, y, 1, 1)).toImage().pixel(0, 0);
        };
        for (const auto order : {dimora::RowOrder::BottomUp, dimora::RowOrder::TopDown}) {
            dimora::Bitmap image(3000, 2000, dimora::PixelLayout::rgb24(), order);
            image.fill(dimora::kWhite);
            image.setPixel(2999, 1999, dimora::makeColour(200, 100, 0));
            image.setPixel(5, 3, dimora::kBlack);
            f.setWorkingImage(std::move(image));
            QCOMPARE(f.controls().Image->size(), QSize(3000, 2000));
            QCOMPARE(shownAt(2999, 1999), qRgb(200, 100, 0));
            QCOMPARE(shownAt(5, 3), qRgb(0, 0, 0));
            QCOMPARE(shownAt(6, 3), qRgb(255, 255, 255));
        }
        // Pixels changed in place show after imageChanged.
        f.workingPicture().pixels().setPixel(6, 3, dimora::makeColour(0, 0, 255));
        f.imageChanged();
        QCOMPARE(shownAt(6, 3), qRgb(0, 0, 255));

        // A 4-bit image shown from an odd column.
        dimora::Bitmap indexed(
            37, 5, dimora::PixelLayout::indexed(4, {dimora::kWhite, dimora::makeColour(9, 8, 7)}));
        indexed.setPixel(33, 4, dimora::makeColour(9, 8, 7));
        f.setWorkingImage(std::move(indexed));
        const QImage part = f.controls().Image->grab(QRect(31, 2, 6, 3)).toImage();
        QCOMPARE(part.pixel(2, 2), qRgb(9, 8, 7));
        QCOMPARE(part.pixel(1, 2), qRgb(255, 255, 255));

        // The empty image, and a metafile, show nothing.
        f.setWorkingImage(dimora::Bitmap());
        QCOMPARE(f.controls().Image->size(), QSize(0, 0));
        f.setWorkingPicture(WorkingPicture::metafile(QByteArray("x"), QStringLiteral("emf")));
        QCOMPARE(f.controls().Image->size(), QSize(0, 0));
    }

    void closingTheMainWindowEndsTheProgram()
    {
        ProgramWindows program;
        QSignalSpy closed(&program.form1(), &TForm1::closed);
        // The event loop ends although the result window stays (the guard
        // only keeps a failure from hanging the test).
        QTimer::singleShot(0, &program.form1(), [&] { program.form1().controls().Exit1->trigger(); });
        QTimer guard;
        connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        guard.start(60000);
        QCOMPARE(runUntilMainWindowCloses(program.program), 0);
        QCOMPARE(closed.count(), 1);
        QVERIFY(!program.form1().isVisible());
    }
};

QTEST_MAIN(StartUpTest)
#include "test_start_up.moc"
