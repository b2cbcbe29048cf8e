// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "app/startup.hpp"

#include "app/fonts.hpp"
#include "app/main_window.hpp"
#include "app/windows.hpp"

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

int runProgram(QApplication& app)
{
    prepareApplication(app);
    createWindows();
    // Closing the main window ends the program, whatever else is open.
    QObject::connect(windows().form1, &TForm1::closed, &app, &QApplication::quit, Qt::QueuedConnection);
    showStartWindows();
    const int status = QApplication::exec();
    destroyWindows();
    return status;
}
