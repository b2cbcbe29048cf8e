// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/app/startup.hpp"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    return runProgram(app);
}
