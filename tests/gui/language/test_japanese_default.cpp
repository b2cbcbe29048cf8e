// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
// Started on a system in English without a language asked for, the windows,
// dialogs and error reports are Japanese.
#include "gui/app/main_window.hpp"
#include "gui/app/startup.hpp"
#include "gui/app/windows.hpp"
#include "gui/measure/result_window.hpp"
#include "gui/platform/recording_platform.hpp"

#include <QAction>
#include <QMenu>
#include <QtTest>

class JapaneseDefaultTest : public QObject {
    Q_OBJECT
private slots:
    void theWindowsAreJapaneseOnAnEnglishSystem()
    {
        QCOMPARE(qEnvironmentVariable("LANG"), QStringLiteral("en_US.UTF-8"));
        const StartOptions options = parseStartOptions({}, qEnvironmentVariable("DIMORA3_LANG"));
        QCOMPARE(options.language, Language::Japanese);
        prepareApplication(*qApp, options.language);
        RecordingPlatform& desktop = installRecordingPlatform();
        startWindows(options);
        TForm1& f = *windows().form1;
        QCOMPARE(f.File1->title(), QStringLiteral("ファイル"));
        QCOMPARE(f.Open1->text(), QStringLiteral("画像を開く(BMP)"));
        QCOMPARE(windows().form2->windowTitle(), QStringLiteral("結果表示"));
        f.openFile(QStringLiteral("/no/such/picture.gif"));
        QCOMPARE(desktop.errorReports,
                 QStringList{QStringLiteral("拡張子 .gif の画像形式は処理できません.")});
        destroyWindows();
    }
};

QTEST_MAIN(JapaneseDefaultTest)
#include "test_japanese_default.moc"
