// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QUrl>

class TAboutBox;
class TpvlUrl;

// The help menu: the help page in the default browser, and the about box.
class HelpCommands {
public:
    // The launcher opens the help page.
    HelpCommands(TpvlUrl& launcher, TAboutBox& aboutBox) : launcher_(launcher), aboutBox_(aboutBox) {}

    // Opens the help page of the windows' language (helpPageUrl).
    void usage1Click();
    // Shows the about box modally.
    void version1Click();

private:
    TpvlUrl& launcher_;
    TAboutBox& aboutBox_;
};

// The address of the help page as a file URL (a folder name with blanks or
// non-ASCII letters stays intact): the page `pageName` in the program's
// folder when it is there (the build folder), else in
// <program folder>/../share/dimora3 (the installed layout) when it is there,
// else the one in the program's folder, which then fails to open as any
// missing page does.
[[nodiscard]] QUrl helpPageUrl(const QString& programFolder,
                               const QString& pageName = QStringLiteral("help.htm"));
