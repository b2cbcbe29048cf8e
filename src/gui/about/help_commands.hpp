// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QUrl>

// The address of the help page help.htm in the program's folder, as a file
// URL (a folder name with blanks or non-ASCII letters stays intact).
[[nodiscard]] QUrl helpPageUrl(const QString& programFolder);
