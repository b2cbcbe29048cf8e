// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/about/help_commands.hpp"

#include "gui/about/about_box.hpp"
#include "gui/about/url_launcher.hpp"
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

void HelpCommands::usage1Click()
{
    runCommand(
        [this] {
            // The English windows open the English page: its name is
            // translated, among the main window's texts.
            const QString page = QCoreApplication::translate("TForm1", "help.htm");
            launcher_.setUrl(
                helpPageUrl(QCoreApplication::applicationDirPath(), page).toString(QUrl::FullyEncoded));
            launcher_.OpenDefaultBrowser();
        },
        BusyCursor::DontShow);
}

void HelpCommands::version1Click()
{
    runCommand([this] { aboutBox_.exec(); }, BusyCursor::DontShow);
}
