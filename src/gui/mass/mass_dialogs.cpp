// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/mass/mass_dialogs.hpp"

#include "core/common/error.hpp"
#include "core/common/text.hpp"
#include "gui/common/command.hpp"
#include "gui/common/fonts.hpp"
#include "gui/common/widget_names.hpp"
#include "gui/common/window_placement.hpp"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

template <typename Control>
Control* addControl(QWidget* parent, const char* name, const QString& text, int left, int top, int width)
{
    auto* control = new Control(text, parent);
    nameControl(control, name);
    control->setGeometry(left, top, width, 20);
    return control;
}

QLineEdit* addEdit(QWidget* parent, const char* name, const QString& text, int left, int top, int width)
{
    auto* edit = new QLineEdit(text, parent);
    nameControl(edit, name);
    edit->setGeometry(left, top, width, 20);
    return edit;
}

// The run and cancel buttons at the foot of a dialog, as the cube dialog has them.
std::pair<QPushButton*, QPushButton*> addRunButtons(QDialog* dialog, int top)
{
    const int middle = dialog->width() / 2;
    auto* run = new QPushButton(QCoreApplication::translate("MassDialogs", "実行"), dialog);
    nameControl(run, "RunButton");
    run->setGeometry(middle - 83, top, 75, 25);
    run->setAutoDefault(true);
    run->setDefault(true);
    auto* cancel = new QPushButton(QCoreApplication::translate("MassDialogs", "キャンセル"), dialog);
    nameControl(cancel, "CancelButton");
    cancel->setGeometry(middle + 8, top, 75, 25);
    cancel->setAutoDefault(true);
    cancel->setIcon(dialog->style()->standardIcon(QStyle::SP_DialogCancelButton));
    return {run, cancel};
}

// A list of box sides: integers separated by commas (blanks around them
// allowed); each is checked by the core against the region.
std::vector<std::int64_t> parseSides(const QString& text)
{
    std::vector<std::int64_t> sides;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString side = part.trimmed();
        if (!side.isEmpty())
            sides.push_back(dimora::parseInteger64(side.toStdString()));
    }
    if (sides.empty())
        dimora::fail(dimora::msg::kNotAnInteger, text.toStdString());
    return sides;
}

double parseReal(const QLineEdit* edit)
{
    return static_cast<double>(dimora::parseExtended(edit->text().trimmed().toStdString()));
}

}  // namespace

LacunarityDialog::LacunarityDialog(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
{
    nameControl(this, "LacunarityDialog");
    setWindowTitle(tr("ラクナリティ"));
    setFont(uiFont(kPGothic, 12));
    setFixedSize(320, 214);
    setModal(false);

    MethodLabel = addLabel(this, "MethodLabel", tr("方法"), 8, 8);
    GlidingRadio = addControl<QRadioButton>(this, "GlidingRadio", tr("グライディングボックス"), 16, 28, 296);
    GridRadio = addControl<QRadioButton>(this, "GridRadio", tr("固定グリッド"), 16, 50, 296);
    EmptyCheck = addControl<QCheckBox>(this, "EmptyCheck", tr("空の箱も数える"), 40, 72, 272);
    EmptyCheck->setChecked(true);

    SidesLabel = addLabel(this, "SidesLabel", tr("箱の辺 (ピクセル)"), 8, 100);
    DefaultSidesRadio = addControl<QRadioButton>(this, "DefaultSidesRadio",
                                                 tr("既定 (1, 2, 4, … 短辺の半分まで)"), 16, 120, 296);
    ListedSidesRadio = addControl<QRadioButton>(this, "ListedSidesRadio", tr("指定"), 16, 144, 72);
    SidesEdit = addEdit(this, "SidesEdit", QStringLiteral("1,2,4,8"), 92, 144, 220);
    // The method and the sides are two choices of their own.
    auto* methods = new QButtonGroup(this);
    methods->addButton(GlidingRadio);
    methods->addButton(GridRadio);
    auto* sides = new QButtonGroup(this);
    sides->addButton(DefaultSidesRadio);
    sides->addButton(ListedSidesRadio);
    GlidingRadio->setChecked(true);
    DefaultSidesRadio->setChecked(true);
    connect(GridRadio, &QRadioButton::toggled, this, [this] { enableControls(); });
    connect(ListedSidesRadio, &QRadioButton::toggled, this, [this] { enableControls(); });

    std::tie(RunButton, CancelButton) = addRunButtons(this, 180);
    connect(RunButton, &QPushButton::clicked, this, [this] { RunButtonClick(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButtonClick(); });
    enableControls();
}

void LacunarityDialog::enableControls()
{
    EmptyCheck->setEnabled(GridRadio->isChecked());
    SidesEdit->setEnabled(ListedSidesRadio->isChecked());
}

dimora::LacunaritySettings LacunarityDialog::settings() const
{
    dimora::LacunaritySettings settings;
    settings.method =
        GridRadio->isChecked() ? dimora::LacunarityMethod::Grid : dimora::LacunarityMethod::Gliding;
    settings.empty = EmptyCheck->isChecked() ? dimora::EmptyBoxes::Include : dimora::EmptyBoxes::Exclude;
    if (ListedSidesRadio->isChecked())
        settings.sides = parseSides(SidesEdit->text());
    return settings;
}

void LacunarityDialog::RunButtonClick()
{
    runCommand(
        [this] {
            const dimora::LacunaritySettings chosen = settings();
            hide();
            if (run_)
                run_(chosen);
        },
        BusyCursor::DontShow);
}

void LacunarityDialog::CancelButtonClick()
{
    hide();
}

void LacunarityDialog::reject()
{
    // Esc answers like the cancel button.
    CancelButtonClick();
}

void LacunarityDialog::showEvent(QShowEvent* event)
{
    centreOverMainWindow(this);
    QDialog::showEvent(event);
}

MultifractalDialog::MultifractalDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
{
    nameControl(this, "MultifractalDialog");
    setWindowTitle(tr("マルチフラクタル スペクトル"));
    setFont(uiFont(kPGothic, 12));
    setFixedSize(320, 176);
    setModal(false);

    MassLabel = addLabel(this, "MassLabel", tr("質量"), 8, 8);
    BlackRadio = addControl<QRadioButton>(this, "BlackRadio", tr("黒 (黒の画素ごとに 1)"), 16, 28, 296);
    GrayRadio = addControl<QRadioButton>(this, "GrayRadio", tr("グレー (ファイルの階調のまま)"), 16, 50, 296);
    BlackRadio->setChecked(true);

    QLabel1 = addLabel(this, "QLabel1", tr("q の範囲"), 8, 80);
    FromLabel = addLabel(this, "FromLabel", tr("最初"), 16, 104);
    FromEdit = addEdit(this, "FromEdit", QStringLiteral("-10"), 52, 100, 48);
    ToLabel = addLabel(this, "ToLabel", tr("最後"), 112, 104);
    ToEdit = addEdit(this, "ToEdit", QStringLiteral("10"), 148, 100, 48);
    StepLabel = addLabel(this, "StepLabel", tr("刻み"), 208, 104);
    StepEdit = addEdit(this, "StepEdit", QStringLiteral("0.5"), 244, 100, 48);

    std::tie(RunButton, CancelButton) = addRunButtons(this, 142);
    connect(RunButton, &QPushButton::clicked, this, [this] { RunButtonClick(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButtonClick(); });
}

dimora::MassKind MultifractalDialog::mass() const
{
    return GrayRadio->isChecked() ? dimora::MassKind::Gray : dimora::MassKind::Black;
}

dimora::MultifractalSettings MultifractalDialog::settings() const
{
    const double from = parseReal(FromEdit);
    const double to = parseReal(ToEdit);
    const double step = parseReal(StepEdit);
    if (!(step > 0) || !(from <= to))
        dimora::fail(kBadQRangeMessage);
    // The core's own reading of FROM:TO:STEP decides which q the range holds.
    const std::string range = FromEdit->text().trimmed().toStdString() + ':' +
                              ToEdit->text().trimmed().toStdString() + ':' +
                              StepEdit->text().trimmed().toStdString();
    const std::optional<std::vector<double>> q = dimora::parseQList(range);
    if (!q || q->empty())
        dimora::fail(kBadQRangeMessage);
    dimora::MultifractalSettings settings;
    settings.q = *q;
    return settings;
}

void MultifractalDialog::RunButtonClick()
{
    runCommand(
        [this] {
            const dimora::MultifractalSettings chosen = settings();
            const dimora::MassKind kind = mass();
            hide();
            if (run_)
                run_(kind, chosen);
        },
        BusyCursor::DontShow);
}

void MultifractalDialog::CancelButtonClick()
{
    hide();
}

void MultifractalDialog::reject()
{
    CancelButtonClick();
}

void MultifractalDialog::showEvent(QShowEvent* event)
{
    centreOverMainWindow(this);
    QDialog::showEvent(event);
}
