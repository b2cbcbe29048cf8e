// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The program keeps the user's choices (the dialogs' folder, the measurement
// settings) in QSettings. The tests' programs read and write them in a folder
// of their own for the whole test run, never in the real user's settings.

#include <QSettings>
#include <QString>
#include <QTemporaryDir>

// Moves the user's settings into the run's own folder (the first call) and
// returns that folder.
inline QString keepUserSettingsAway()
{
    static QTemporaryDir folder;
    static const bool moved = [] {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
        return true;
    }();
    (void)moved;
    return folder.path();
}
