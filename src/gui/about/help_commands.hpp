// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QUrl>

// The address of the help page as a file URL (a folder name with blanks or
// non-ASCII letters stays intact): the page `pageName` in the program's
// folder when it is there (the build folder), else in
// <program folder>/../share/dimora3 (the installed layout) when it is there,
// else the one in the program's folder, which then fails to open as any
// missing page does.
[[nodiscard]] QUrl helpPageUrl(const QString& programFolder,
                               const QString& pageName = QStringLiteral("help.htm"));
