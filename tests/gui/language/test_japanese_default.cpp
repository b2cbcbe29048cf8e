// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
// Started on a system in English without a language asked for, the windows,
// dialogs and error reports are Japanese.
#include "gui/app/file_commands.hpp"
#include "gui/app/main_window.hpp"
#include "gui/app/program.hpp"
#include "gui/app/startup.hpp"
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
        const std::unique_ptr<Program> program = startWindows(options);
        TForm1& f = *program->windows().form1;
        QCOMPARE(f.controls().File1->title(), QStringLiteral("ファイル"));
        QCOMPARE(f.controls().Open1->text(), QStringLiteral("画像を開く(BMP)"));
        QCOMPARE(program->windows().form2->windowTitle(), QStringLiteral("結果表示"));
        program->files().openFile(QStringLiteral("/no/such/picture.gif"));
        QCOMPARE(desktop.errorReports,
                 QStringList{QStringLiteral("拡張子 .gif の画像形式は処理できません.")});
    }
};

QTEST_MAIN(JapaneseDefaultTest)
#include "test_japanese_default.moc"
