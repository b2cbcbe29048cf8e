// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/region/region_commands.hpp"

#include "gui/common/command.hpp"
#include "gui/region/region_dialog.hpp"

#include <optional>

void RegionCommands::N2Click()
{
    runCommand(
        [this] {
            if (selection_.shown()) {
                selection_.hide();
                return;
            }
            selection_.show();
            // 80 pixels right of and below the visible corner, wherever the view is scrolled.
            selection_.moveInView({80, 80});
            selection_.showRangeSigns(selectionGeometryText(selection_.rectangle()));
        },
        BusyCursor::DontShow);
}

void RegionCommands::SelShape1MouseMove(QMouseEvent*)
{
    runCommand(
        [this] {
            if (const std::optional<dimora::Region> shown = selection_.shown())
                selection_.showGeometry(selectionGeometryText(*shown));
        },
        BusyCursor::DontShow);
}

void RegionCommands::N5Click()
{
    runCommand(
        [this] {
            // The rectangle's last place, also while it is hidden.
            form9_.setRegion(selection_.rectangle());
            form9_.show();
        },
        BusyCursor::DontShow);
}
