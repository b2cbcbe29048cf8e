// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/common/version.hpp"
#include "gui/app/startup.hpp"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// --help and --version answer on standard output without opening a window
// (the manual page is made from them).
bool answeredOnTheTerminal(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs("Usage: dimora3 [OPTION]...\n"
                       "The desktop program of Dimora3: measure the fractal dimension of images by box\n"
                       "counting, with a Japanese interface.\n"
                       "\n"
                       "  --help     show this text and exit\n"
                       "  --version  show the version and exit\n"
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
    return runProgram(app);
}
