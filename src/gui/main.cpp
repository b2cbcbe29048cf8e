// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    app.setApplicationDisplayName(QStringLiteral("Dimora3"));
    return 0;
}
