// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/slices/slice_commands.hpp"

#include "gui/common/command.hpp"
#include "gui/slices/cube_settings_dialog.hpp"
#include "gui/slices/slice_settings_dialog.hpp"

void SliceCommands::slice1Click()
{
    runCommand([this] { sliceSettings_.show(); }, BusyCursor::DontShow);
}

void SliceCommands::cube1Click()
{
    runCommand([this] { cubeSettings_.show(); }, BusyCursor::DontShow);
}
