// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/measure/measure_settings.hpp"

#include <QSettings>

#include <optional>

namespace {

const QString kGridKey = QStringLiteral("Measurement/grid");
const QString kRangeKey = QStringLiteral("Measurement/range");

// The same file as the dialogs' folder, named the same way so that the tests'
// QSettings::setPath moves it too.
QSettings userSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Dimora3"),
                     QStringLiteral("Dimora3"));
}

}  // namespace

QString fitRangeText(const dimora::FitRange& range)
{
    switch (range.kind) {
    case dimora::FitRange::Kind::Auto:
        return QStringLiteral("auto");
    case dimora::FitRange::Kind::Sides:
        return QStringLiteral("%1-%2").arg(range.low).arg(range.high);
    case dimora::FitRange::Kind::All:
        break;
    }
    return QStringLiteral("all");
}

TwoValuedChoices loadTwoValuedChoices()
{
    const QSettings settings = userSettings();
    TwoValuedChoices choices;
    if (settings.value(kGridKey).toString() == QLatin1String("min"))
        choices.grid = dimora::GridPlacement::Min;
    const std::optional<dimora::FitRange> range =
        dimora::parseFitRange(settings.value(kRangeKey).toString().toStdString());
    if (range)
        choices.range = *range;
    return choices;
}

void saveTwoValuedChoices(const TwoValuedChoices& choices)
{
    QSettings settings = userSettings();
    settings.setValue(kGridKey, choices.grid == dimora::GridPlacement::Min ? QStringLiteral("min")
                                                                           : QStringLiteral("origin"));
    settings.setValue(kRangeKey, fitRangeText(choices.range));
}
