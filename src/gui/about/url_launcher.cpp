// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/about/url_launcher.hpp"

#include "core/common/error.hpp"
#include "gui/platform/platform.hpp"

#include <QUrl>
#include <QWidget>

TpvlUrl::TpvlUrl(QWidget* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("TpvlUrl"));
}

void TpvlUrl::OpenDefaultBrowser()
{
    if (!platform().openUrl(QUrl(url_)))
        dimora::fail("Couldn't launch default browser");
}
