// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/app/program.hpp"

#include "gui/about/about_box.hpp"
#include "gui/about/help_commands.hpp"
#include "gui/app/file_commands.hpp"
#include "gui/app/main_window.hpp"
#include "gui/common/window_placement.hpp"
#include "gui/imageops/imageops_commands.hpp"
#include "gui/imageops/scratch_image_window.hpp"
#include "gui/imageops/threshold_dialog.hpp"
#include "gui/mass/mass_commands.hpp"
#include "gui/mass/mass_dialogs.hpp"
#include "gui/mass/mass_windows.hpp"
#include "gui/measure/count_window.hpp"
#include "gui/measure/measure_commands.hpp"
#include "gui/measure/result_window.hpp"
#include "gui/measure/total_length_window.hpp"
#include "gui/region/region_commands.hpp"
#include "gui/region/region_dialog.hpp"
#include "gui/region/selection_shape.hpp"
#include "gui/slices/cube_progress_window.hpp"
#include "gui/slices/cube_settings_dialog.hpp"
#include "gui/slices/progress_window.hpp"
#include "gui/slices/slice_commands.hpp"
#include "gui/slices/slice_settings_dialog.hpp"

#include <QAction>
#include <QMouseEvent>
#include <QToolButton>
#include <QWidget>

#include <utility>

namespace {

template <typename Window, typename... Arguments>
Window* create(Window*& slot, const std::function<void(QWidget*)>& created, Arguments&&... arguments)
{
    slot = new Window(std::forward<Arguments>(arguments)...);
    if (created)
        created(slot);
    return slot;
}

// Runs the command's handler whenever the action is triggered.
template <typename Commands> void onTrigger(QAction* action, Commands& commands, void (Commands::*handler)())
{
    QObject::connect(action, &QAction::triggered, action, [&commands, handler] { (commands.*handler)(); });
}

template <typename Commands>
void onClick(QToolButton* button, Commands& commands, void (Commands::*handler)())
{
    QObject::connect(button, &QToolButton::clicked, button, [&commands, handler] { (commands.*handler)(); });
}

}  // namespace

Program::Program(const std::function<void(QWidget*)>& created)
{
    Windows& w = windows_;
    create(w.form1, created);
    setMainWindowForPlacement(w.form1);
    create(w.form2, created);
    create(w.form3, created);
    create(w.form4, created, *w.form2);
    create(w.aboutBox, created);
    create(w.form5, created);
    create(w.form6, created);
    create(w.form7, created);
    create(w.form8, created);
    create(w.form9, created, w.form1->selection());
    create(w.cubeSettings, created);
    create(w.cubeProgress, created);
    create(w.lacunarityDialog, created);
    create(w.lacunarity, created);
    create(w.multifractalDialog, created);
    create(w.multifractal, created);

    // The dialogs' runs, once the windows they write exist.
    w.form7->setRunWindows({*w.form1, *w.form8, *w.form4, *w.form2});
    w.cubeSettings->setRunWindows({*w.form1, *w.cubeProgress, *w.form4, *w.form2});

    files_ = std::make_unique<FileCommands>(*w.form1, *w.form6);
    measure_ = std::make_unique<MeasureCommands>(*w.form1, *w.form2, *w.form4, *w.form5);
    imageOps_ = std::make_unique<ImageOpsCommands>(*w.form1, *w.form3, *w.form6);
    region_ = std::make_unique<RegionCommands>(w.form1->selection(), *w.form9);
    slices_ = std::make_unique<SliceCommands>(*w.form7, *w.cubeSettings);
    help_ = std::make_unique<HelpCommands>(*w.form1->controls().pvlUrl1, *w.aboutBox);
    mass_ = std::make_unique<MassCommands>(
        *w.form1, MassWindows{*w.lacunarityDialog, *w.lacunarity, *w.multifractalDialog, *w.multifractal});
    connectCommands();
}

void Program::connectCommands()
{
    const MainWindowControls& c = windows_.form1->controls();
    onTrigger(c.Open1, *files_, &FileCommands::Open1Click);
    onTrigger(c.Saveas1, *files_, &FileCommands::Saveas1Click);
    onTrigger(c.bb1, *files_, &FileCommands::bb1Click);
    onTrigger(c.Exit1, *files_, &FileCommands::Exit1Click);
    onTrigger(c.Copy1, *files_, &FileCommands::Copy1Click);
    onTrigger(c.Paste1, *files_, &FileCommands::Paste1Click);
    QObject::connect(windows_.form1, &TForm1::filesDropped, windows_.form1,
                     [this](const QStringList& paths) { files_->FilesDropped(paths); });

    onTrigger(c.K2, *imageOps_, &ImageOpsCommands::K2Click);
    onTrigger(c.sikii1, *imageOps_, &ImageOpsCommands::sikii1Click);
    onTrigger(c.K1, *imageOps_, &ImageOpsCommands::K1Click);
    onTrigger(c.K3, *imageOps_, &ImageOpsCommands::K3Click);
    onTrigger(c.reverse1, *imageOps_, &ImageOpsCommands::reverse1Click);
    onTrigger(c.gray2, *imageOps_, &ImageOpsCommands::gray2Click);
    onTrigger(c.SLIM1, *imageOps_, &ImageOpsCommands::SLIM1Click);
    onTrigger(c.median1, *imageOps_, &ImageOpsCommands::median1Click);
    onTrigger(c.noise1, *imageOps_, &ImageOpsCommands::noise1Click);

    onTrigger(c.frac1, *measure_, &MeasureCommands::frac1Click);
    onTrigger(c.fracw1, *measure_, &MeasureCommands::fracw1Click);
    onTrigger(c.gray1, *measure_, &MeasureCommands::gray1Click);
    onTrigger(c.count1, *measure_, &MeasureCommands::count1Click);
    onTrigger(c.length1, *measure_, &MeasureCommands::length1Click);
    onTrigger(c.slice1, *slices_, &SliceCommands::slice1Click);
    onTrigger(c.cube1, *slices_, &SliceCommands::cube1Click);
    onTrigger(c.measureSettings1, *measure_, &MeasureCommands::measureSettings1Click);
    onTrigger(c.lacunarity1, *mass_, &MassCommands::lacunarity1Click);
    onTrigger(c.multifractal1, *mass_, &MassCommands::multifractal1Click);

    onTrigger(c.N5, *region_, &RegionCommands::N5Click);
    onTrigger(c.N2, *region_, &RegionCommands::N2Click);
    QObject::connect(c.SelShape1, &TSelShape::mouseMove, c.SelShape1,
                     [this](QMouseEvent* event) { region_->SelShape1MouseMove(event); });

    onTrigger(c.usage1, *help_, &HelpCommands::usage1Click);
    onTrigger(c.version1, *help_, &HelpCommands::version1Click);

    onClick(c.ToolButton2, *files_, &FileCommands::Open1Click);
    onClick(c.ToolButton4, *region_, &RegionCommands::N2Click);
    onClick(c.ToolButton6, *measure_, &MeasureCommands::frac1Click);
    onClick(c.ToolButton7, *measure_, &MeasureCommands::fracw1Click);
    onClick(c.ToolButton9, *measure_, &MeasureCommands::gray1Click);
    onClick(c.ToolButton10, *measure_, &MeasureCommands::ToolButton10Click);
}

void Program::showStartWindows() const
{
    windows_.form1->show();
    windows_.form2->show();
}

Program::~Program()
{
    Windows& w = windows_;
    // Later windows may refer to earlier ones while they go; clear each slot
    // before deleting so nothing reaches a half-destroyed window.
    const auto destroy = [](auto*& slot) {
        auto* window = slot;
        slot = nullptr;
        delete window;
    };
    destroy(w.multifractal);
    destroy(w.multifractalDialog);
    destroy(w.lacunarity);
    destroy(w.lacunarityDialog);
    destroy(w.cubeProgress);
    destroy(w.cubeSettings);
    destroy(w.form9);
    destroy(w.form8);
    destroy(w.form7);
    destroy(w.form6);
    destroy(w.form5);
    destroy(w.aboutBox);
    destroy(w.form4);
    destroy(w.form3);
    destroy(w.form2);
    setMainWindowForPlacement(nullptr);
    destroy(w.form1);
}
