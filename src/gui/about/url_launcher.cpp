// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "about/url_launcher.hpp"

#include <QWidget>

TpvlUrl::TpvlUrl(QWidget* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("TpvlUrl"));
}
