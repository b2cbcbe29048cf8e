// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

class QApplication;

// Sets the application's title "Dimora3" (task bar, caption of the error
// boxes), maps the window fonts to the installed Japanese faces and installs
// Qt's Japanese translations when they are present (true then).
bool prepareApplication(QApplication& app);

// Runs the event loop over the created windows until the main window closes;
// the exit status.
int runUntilMainWindowCloses();

// The whole program: prepares the application, creates the windows, shows the
// main window and the result window and runs until the main window closes.
int runProgram(QApplication& app);
