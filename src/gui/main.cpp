// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/common/version.hpp"
#include "gui/app/startup.hpp"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {

// --help and --version answer on standard output without opening a window
// (the manual page is made from them).
bool answeredOnTheTerminal(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            return false;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs("Usage: dimora3 [OPTION]... [FILE]\n"
                       "The desktop program of Dimora3: measure the fractal dimension of images by box\n"
                       "counting, with a Japanese interface (English on request).\n"
                       "FILE, an image (BMP, PNG, TIFF, JPEG, icon or metafile), is opened at start.\n"
                       "\n"
                       "  --lang LANG  the language of the windows: ja (the default) or en\n"
                       "  --help       show this text and exit\n"
                       "  --version    show the version and exit\n"
                       "\n"
                       "Environment:\n"
                       "  DIMORA3_LANG  the language when --lang is not given: ja or en\n"
                       "\n"
                       "dimora3-cli runs the same measurements from the command line.\n",
                       stdout);
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("dimora3 %s\n", std::string(dimora::kVersion).c_str());
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (answeredOnTheTerminal(argc, argv))
        return 0;
    QApplication app(argc, argv);
    StartOptions options;
    try {
        // Qt has taken its own options (-platform, -style, ...) by now.
        options = parseStartOptions(QApplication::arguments().mid(1), qEnvironmentVariable("DIMORA3_LANG"));
    } catch (const std::invalid_argument& error) {
        std::fprintf(stderr, "dimora3: %s\nTry 'dimora3 --help' for more information.\n", error.what());
        return EXIT_FAILURE;
    }
    return runProgram(app, options);
}
