// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/mass/mass_commands.hpp"

#include "gui/common/command.hpp"
#include "gui/common/workspace.hpp"
#include "gui/mass/mass_dialogs.hpp"
#include "gui/mass/mass_samples.hpp"
#include "gui/mass/mass_windows.hpp"

#include <utility>

MassCommands::MassCommands(Workspace& workspace, const MassWindows& windows)
    : workspace_(workspace), windows_(windows)
{
    windows_.lacunarityDialog.setRun(
        [this](const dimora::LacunaritySettings& settings) { measureLacunarity(settings); });
    windows_.multifractalDialog.setRun(
        [this](dimora::MassKind mass, const dimora::MultifractalSettings& settings) {
            measureMultifractal(mass, settings);
        });
}

void MassCommands::lacunarity1Click()
{
    runCommand([this] { windows_.lacunarityDialog.show(); }, BusyCursor::DontShow);
}

void MassCommands::multifractal1Click()
{
    runCommand([this] { windows_.multifractalDialog.show(); }, BusyCursor::DontShow);
}

void MassCommands::measureLacunarity(const dimora::LacunaritySettings& settings)
{
    runCommand([&] {
        const dimora::Region region = workspace_.takeAnalysisRegion();
        const dimora::LacunarityResult result = dimora::measureLacunarity(
            std::as_const(workspace_).workingPicture().pixels().view(), region, settings);
        windows_.lacunarity.showLacunarity(result, workspace_.pictureFile());
        windows_.lacunarity.showInFront();
    });
}

void MassCommands::measureMultifractal(dimora::MassKind mass, const dimora::MultifractalSettings& settings)
{
    runCommand([&] {
        const dimora::Region region = workspace_.takeAnalysisRegion();
        const dimora::Bitmap& picture = std::as_const(workspace_).workingPicture().pixels();
        if (mass == dimora::MassKind::Black) {
            windows_.multifractal.showSpectrum(dimora::measureMultifractal(picture.view(), region, settings),
                                               MassOrigin::Black, workspace_.pictureFile());
        } else {
            const GreyMasses masses = greyMasses(picture, workspace_.pictureFile().toStdString());
            windows_.multifractal.showSpectrum(
                dimora::measureMultifractal(masses.samples, region, settings),
                masses.source == MassSource::FileSamples ? MassOrigin::FileSamples : MassOrigin::PictureGreys,
                workspace_.pictureFile());
        }
        windows_.multifractal.showInFront();
    });
}
