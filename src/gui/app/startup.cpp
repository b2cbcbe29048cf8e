// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/app/startup.hpp"

#include "gui/app/file_commands.hpp"
#include "gui/app/main_window.hpp"
#include "gui/app/program.hpp"
#include "gui/common/fonts.hpp"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

#include <optional>
#include <stdexcept>

namespace {

std::optional<Language> languageNamed(const QString& name)
{
    if (name == QLatin1String("ja"))
        return Language::Japanese;
    if (name == QLatin1String("en"))
        return Language::English;
    return std::nullopt;
}

Language requiredLanguage(const QString& name)
{
    if (const auto language = languageNamed(name))
        return *language;
    throw std::invalid_argument("unknown language '" + name.toStdString() + "' (ja or en)");
}

bool installTranslator(QApplication& app, const QString& name, const QString& folder)
{
    auto* translator = new QTranslator(&app);
    if (!translator->load(name, folder)) {
        delete translator;
        return false;
    }
    QApplication::installTranslator(translator);
    return true;
}

}  // namespace

StartOptions parseStartOptions(const QStringList& arguments, const QString& languageVariable)
{
    StartOptions options;
    options.language = languageNamed(languageVariable).value_or(Language::Japanese);
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded && argument == QLatin1String("--lang")) {
            if (i + 1 == arguments.size())
                throw std::invalid_argument("--lang needs a language (ja or en)");
            options.language = requiredLanguage(arguments[++i]);
        } else if (!optionsEnded && argument.startsWith(QLatin1String("--lang="))) {
            options.language = requiredLanguage(argument.mid(7));
        } else if (!optionsEnded && argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            throw std::invalid_argument("unknown option '" + argument.toStdString() + "'");
        } else if (options.file.isEmpty()) {
            options.file = argument;
        } else {
            throw std::invalid_argument("only one file can be opened");
        }
    }
    return options;
}

bool prepareApplication(QApplication& app, Language language)
{
    // The application name doubles as its display name. Setting a display name
    // of its own would make Qt append " — Dimora3" to every window's caption.
    QApplication::setApplicationName(QStringLiteral("Dimora3"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/org.dimora3.Dimora3.png")));
    installFontSubstitutions();

    // Qt's own texts (dialog buttons, file dialogs) are English already; in
    // Japanese they come from Qt's translations, as the rest.
    if (language == Language::English)
        return installTranslator(app, QStringLiteral("dimora3_en"), QStringLiteral(":/i18n"));
    return installTranslator(app, QStringLiteral("qtbase_ja"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

std::unique_ptr<Program> startWindows(const StartOptions& options)
{
    auto program = std::make_unique<Program>();
    program->showStartWindows();
    if (!options.file.isEmpty())
        program->files().openFile(options.file);
    return program;
}

int runUntilMainWindowCloses(const Program& program)
{
    // Closing the main window ends the program, whatever else is open. Not by
    // quit(): that first asks every window to close and gives up when one
    // refuses, as the result window does.
    TForm1* main = program.windows().form1;
    QObject::connect(
        main, &TForm1::closed, main, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    return QApplication::exec();
}

int runProgram(QApplication& app, const StartOptions& options)
{
    prepareApplication(app, options.language);
    const std::unique_ptr<Program> program = startWindows(options);
    return runUntilMainWindowCloses(*program);
}
