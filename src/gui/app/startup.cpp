// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/app/startup.hpp"

#include "gui/app/main_window.hpp"
#include "gui/app/windows.hpp"
#include "gui/common/fonts.hpp"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool prepareApplication(QApplication& app)
{
    // The application name doubles as its display name. Setting a display name
    // of its own would make Qt append " — Dimora3" to every window's caption.
    QApplication::setApplicationName(QStringLiteral("Dimora3"));
    installFontSubstitutions();

    // Qt's own texts (dialog buttons, file dialogs) in Japanese, as the rest.
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QApplication::installTranslator(translator);
    return true;
}

int runUntilMainWindowCloses()
{
    // Closing the main window ends the program, whatever else is open. Not by
    // quit(): that first asks every window to close and gives up when one
    // refuses, as the result window does.
    TForm1* main = windows().form1;
    QObject::connect(
        main, &TForm1::closed, main, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    return QApplication::exec();
}

int runProgram(QApplication& app)
{
    prepareApplication(app);
    createWindows();
    showStartWindows();
    const int status = runUntilMainWindowCloses();
    destroyWindows();
    return status;
}
