// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The folder that the desktop's file dialogs start in: the folder of the
// last file (or the last folder) chosen in any of them, kept in the user's
// settings (QSettings, organisation and application "Dimora3", key
// "FileDialogs/lastFolder") so that it holds across runs. Tests move the
// settings away from the user's own with QSettings::setPath.

#include "gui/platform/platform.hpp"

#include <QString>

// The remembered folder while it still exists; empty (the working folder)
// before the first choice or when the folder has gone.
[[nodiscard]] QString lastDialogFolder();

// Remembers the folder of a path chosen in a dialog of the given kind: a
// file's own folder (also of a file that does not exist yet), or the chosen
// folder itself.
void rememberDialogChoice(const QString& chosen, FileDialogOptions::Kind kind);
