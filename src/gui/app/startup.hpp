// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class Program;
class QApplication;

// The language of the windows: Japanese, the program's own, unless English
// is asked for.
enum class Language { Japanese, English };

// What the command line asks of the start: `dimora3 [--lang ja|en] [FILE]`.
struct StartOptions {
    Language language = Language::Japanese;
    QString file;  // opened at start as the open command opens it; empty for none
};

// Reads the arguments after the program's name (those Qt has not taken) and
// the value of the environment variable DIMORA3_LANG ("en" or "ja"; any other
// value is ignored); --lang (also --lang=VALUE) overrides the variable. Throws
// std::invalid_argument with a text for the terminal on an unknown option or
// language, a missing value or a second file.
[[nodiscard]] StartOptions parseStartOptions(const QStringList& arguments, const QString& languageVariable);

// Sets the application's title "Dimora3" (task bar, caption of the error
// boxes) and its window icon, maps the window fonts to the installed
// Japanese faces and installs the translations of the language: Qt's own
// Japanese ones, or the program's and Qt's English ones. True when the
// translations were found.
bool prepareApplication(QApplication& app, Language language = Language::Japanese);

// Creates the program's windows, shows the main window and the result window
// and opens the file of the options, if any, as the open command would (an
// error is reported as usual and the windows stay). Destroying the program
// destroys its windows.
[[nodiscard]] std::unique_ptr<Program> startWindows(const StartOptions& options);

// Runs the event loop over the program's windows until the main window
// closes; the exit status.
int runUntilMainWindowCloses(const Program& program);

// The whole program: prepares the application, starts the windows and runs
// until the main window closes.
int runProgram(QApplication& app, const StartOptions& options);
