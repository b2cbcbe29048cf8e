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

QUrl helpPageUrl(const QString& programFolder)
{
    return QUrl::fromLocalFile(QDir(programFolder).filePath(QStringLiteral("help.htm")));
}

void TForm1::usage1Click()
{
    runCommand(
        [this] {
            pvlUrl1->setUrl(helpPageUrl(QCoreApplication::applicationDirPath()).toString(QUrl::FullyEncoded));
            pvlUrl1->OpenDefaultBrowser();
        },
        BusyCursor::DontShow);
}

void TForm1::version1Click()
{
    runCommand([] { windows().aboutBox->exec(); }, BusyCursor::DontShow);
}
