// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/common/window_placement.hpp"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

const QWidget* placementMainWindow = nullptr;

void centreOn(QWidget* window, const QRect& area)
{
    const QSize outer = window->frameGeometry().size();
    window->move(area.x() + (area.width() - outer.width()) / 2,
                 area.y() + (area.height() - outer.height()) / 2);
}

}  // namespace

void centreOnScreen(QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen)
        centreOn(window, screen->availableGeometry());
}

void setMainWindowForPlacement(const QWidget* mainWindow)
{
    placementMainWindow = mainWindow;
}

void centreOverMainWindow(QWidget* window)
{
    const QWidget* main = placementMainWindow;
    if (main && main != window)
        centreOn(window, main->frameGeometry());
    else
        centreOnScreen(window);
}

void showInFront(QWidget* window)
{
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}
