// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/measure/measure_settings_dialog.hpp"

#include "gui/common/fonts.hpp"
#include "gui/common/widget_names.hpp"
#include "gui/common/window_placement.hpp"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdint>

namespace {

// The largest side a measurement counts.
constexpr int kLargestSide = 8192;

template <typename Control> Control* named(Control* control, const char* name)
{
    nameControl(control, name);
    return control;
}

QSpinBox* sideSpin(QWidget* parent, const char* name, int value)
{
    auto* spin = named(new QSpinBox(parent), name);
    spin->setRange(1, kLargestSide);
    spin->setValue(value);
    return spin;
}

}  // namespace

MeasureSettingsDialog::MeasureSettingsDialog(QWidget* parent) : QDialog(parent)
{
    nameControl(this, "MeasureSettingsDialog");
    setWindowTitle(tr("測定の設定"));
    setFont(uiFont(kPGothic, 12));

    GridGroup = named(new QGroupBox(tr("グリッドの位置"), this), "GridGroup");
    GridOriginRadio = named(new QRadioButton(tr("領域の左上から（既定）"), GridGroup), "GridOriginRadio");
    GridMinRadio = named(new QRadioButton(tr("サイズ毎に個数が最小になる位置"), GridGroup), "GridMinRadio");
    auto* gridLayout = new QVBoxLayout(GridGroup);
    gridLayout->addWidget(GridOriginRadio);
    gridLayout->addWidget(GridMinRadio);

    RangeGroup = named(new QGroupBox(tr("直線を当てはめるサイズ"), this), "RangeGroup");
    RangeAllRadio = named(new QRadioButton(tr("すべてのサイズ（既定）"), RangeGroup), "RangeAllRadio");
    RangeAutoRadio = named(new QRadioButton(tr("自動（局所勾配の平坦部）"), RangeGroup), "RangeAutoRadio");
    RangeSidesRadio = named(new QRadioButton(tr("指定:"), RangeGroup), "RangeSidesRadio");
    RangeLowSpin = sideSpin(RangeGroup, "RangeLowSpin", 1);
    RangeToLabel = named(new QLabel(tr("～"), RangeGroup), "RangeToLabel");
    RangeHighSpin = sideSpin(RangeGroup, "RangeHighSpin", kLargestSide);
    auto* sidesLayout = new QHBoxLayout;
    sidesLayout->addWidget(RangeSidesRadio);
    sidesLayout->addWidget(RangeLowSpin);
    sidesLayout->addWidget(RangeToLabel);
    sidesLayout->addWidget(RangeHighSpin);
    sidesLayout->addStretch();
    auto* rangeLayout = new QVBoxLayout(RangeGroup);
    rangeLayout->addWidget(RangeAllRadio);
    rangeLayout->addWidget(RangeAutoRadio);
    rangeLayout->addLayout(sidesLayout);

    NoteLabel = named(new QLabel(tr("黒の次元と黒以外の次元に使います。"), this), "NoteLabel");

    OkButton = named(new QPushButton(tr("OK"), this), "OkButton");
    OkButton->setDefault(true);
    CancelButton = named(new QPushButton(tr("キャンセル"), this), "CancelButton");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkButton);
    buttons->addWidget(CancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(GridGroup);
    layout->addWidget(RangeGroup);
    layout->addWidget(NoteLabel);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(RangeSidesRadio, &QRadioButton::toggled, this, &MeasureSettingsDialog::enableSides);
    // S1 ≤ S2: moving one end past the other takes the other along.
    connect(RangeLowSpin, &QSpinBox::valueChanged, this, [this](int low) {
        if (RangeHighSpin->value() < low)
            RangeHighSpin->setValue(low);
    });
    connect(RangeHighSpin, &QSpinBox::valueChanged, this, [this](int high) {
        if (RangeLowSpin->value() > high)
            RangeLowSpin->setValue(high);
    });
    connect(OkButton, &QPushButton::clicked, this, &MeasureSettingsDialog::OkButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &MeasureSettingsDialog::CancelButtonClick);
    // Escape and the close button cancel too.
    connect(this, &QDialog::rejected, this, [this] { showInControls(choices_); });

    choices_ = loadTwoValuedChoices();
    showInControls(choices_);
}

void MeasureSettingsDialog::showChoices()
{
    showInControls(choices_);
    if (!isVisible())
        centreOverMainWindow(this);
    showInFront(this);
}

void MeasureSettingsDialog::OkButtonClick()
{
    choices_ = fromControls();
    saveTwoValuedChoices(choices_);
    hide();
}

void MeasureSettingsDialog::CancelButtonClick()
{
    showInControls(choices_);
    hide();
}

void MeasureSettingsDialog::showInControls(const TwoValuedChoices& choices)
{
    (choices.grid == dimora::GridPlacement::Min ? GridMinRadio : GridOriginRadio)->setChecked(true);
    switch (choices.range.kind) {
    case dimora::FitRange::Kind::All:
        RangeAllRadio->setChecked(true);
        break;
    case dimora::FitRange::Kind::Auto:
        RangeAutoRadio->setChecked(true);
        break;
    case dimora::FitRange::Kind::Sides:
        RangeSidesRadio->setChecked(true);
        // The high end first, so that the low one never pushes it.
        RangeHighSpin->setValue(static_cast<int>(std::min<std::int64_t>(choices.range.high, kLargestSide)));
        RangeLowSpin->setValue(static_cast<int>(std::min<std::int64_t>(choices.range.low, kLargestSide)));
        break;
    }
    enableSides();
}

TwoValuedChoices MeasureSettingsDialog::fromControls() const
{
    TwoValuedChoices choices;
    choices.grid = GridMinRadio->isChecked() ? dimora::GridPlacement::Min : dimora::GridPlacement::Origin;
    if (RangeAutoRadio->isChecked()) {
        choices.range.kind = dimora::FitRange::Kind::Auto;
    } else if (RangeSidesRadio->isChecked()) {
        choices.range.kind = dimora::FitRange::Kind::Sides;
        choices.range.low = RangeLowSpin->value();
        choices.range.high = RangeHighSpin->value();
    }
    return choices;
}

void MeasureSettingsDialog::enableSides()
{
    const bool sides = RangeSidesRadio->isChecked();
    RangeLowSpin->setEnabled(sides);
    RangeToLabel->setEnabled(sides);
    RangeHighSpin->setEnabled(sides);
}
