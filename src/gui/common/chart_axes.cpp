// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/common/chart_axes.hpp"

#include "gui/common/fonts.hpp"

#include <QValueAxis>

#include <cmath>

QValueAxis* makeValueAxis(const QString& title, int pixelSize)
{
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    const QFont font = uiFont(kPMincho, pixelSize);
    axis->setTitleFont(font);
    axis->setLabelsFont(font);
    axis->setTitleBrush(Qt::black);
    axis->setLabelsColor(Qt::black);
    axis->setLabelFormat(QStringLiteral("%.4g"));
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0.0);
    return axis;
}

double niceAxisStep(double span)
{
    if (!(span > 0.0) || !std::isfinite(span))
        return 1.0;
    const double rough = span / 5.0;
    const double decade = std::pow(10.0, std::floor(std::log10(rough)));
    for (const double factor : {1.0, 2.0, 5.0})
        if (rough <= factor * decade)
            return factor * decade;
    return 10.0 * decade;
}
