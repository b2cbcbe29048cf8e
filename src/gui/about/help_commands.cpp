// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// The help menu: the help page in the default browser, and the about box.

#include "gui/about/help_commands.hpp"

#include "gui/about/about_box.hpp"
#include "gui/about/url_launcher.hpp"
#include "gui/app/main_window.hpp"
#include "gui/app/windows.hpp"
#include "gui/common/command.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QUrl helpPageUrl(const QString& programFolder, const QString& pageName)
{
    const QString beside = QDir(programFolder).filePath(pageName);
    const QString installed =
        QDir::cleanPath(QDir(programFolder).filePath(QStringLiteral("../share/dimora3/") + pageName));
    if (!QFileInfo::exists(beside) && QFileInfo::exists(installed))
        return QUrl::fromLocalFile(installed);
    return QUrl::fromLocalFile(beside);
}

void TForm1::usage1Click()
{
    runCommand(
        [this] {
            // The English windows open the English page: its name is translated.
            const QString page = tr("help.htm");
            pvlUrl1->setUrl(
                helpPageUrl(QCoreApplication::applicationDirPath(), page).toString(QUrl::FullyEncoded));
            pvlUrl1->OpenDefaultBrowser();
        },
        BusyCursor::DontShow);
}

void TForm1::version1Click()
{
    runCommand([] { windows().aboutBox->exec(); }, BusyCursor::DontShow);
}
