// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/platform/dialog_folder.hpp"

#include <QFileInfo>
#include <QSettings>

namespace {

const QString kLastFolderKey = QStringLiteral("FileDialogs/lastFolder");

// Named here rather than by the application's names, so that every program
// of ours (and the tests, which set no names) reads the same file.
QSettings userSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Dimora3"),
                     QStringLiteral("Dimora3"));
}

}  // namespace

QString lastDialogFolder()
{
    const QString folder = userSettings().value(kLastFolderKey).toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return {};
    return folder;
}

void rememberDialogChoice(const QString& chosen, FileDialogOptions::Kind kind)
{
    const QFileInfo info(chosen);
    const QString folder =
        kind == FileDialogOptions::Kind::Folder ? info.absoluteFilePath() : info.absolutePath();
    userSettings().setValue(kLastFolderKey, folder);
}
