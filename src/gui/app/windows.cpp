// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/app/windows.hpp"

#include "gui/about/about_box.hpp"
#include "gui/app/main_window.hpp"
#include "gui/common/window_placement.hpp"
#include "gui/imageops/scratch_image_window.hpp"
#include "gui/imageops/threshold_dialog.hpp"
#include "gui/measure/count_window.hpp"
#include "gui/measure/result_window.hpp"
#include "gui/measure/total_length_window.hpp"
#include "gui/region/region_dialog.hpp"
#include "gui/slices/cube_progress_window.hpp"
#include "gui/slices/cube_settings_dialog.hpp"
#include "gui/slices/progress_window.hpp"
#include "gui/slices/slice_settings_dialog.hpp"

#include <QWidget>

Windows& windows()
{
    static Windows instances;
    return instances;
}

namespace {

template <typename Window> Window* create(Window*& slot, const std::function<void(QWidget*)>& created)
{
    slot = new Window;
    if (created)
        created(slot);
    return slot;
}

}  // namespace

void createWindows(const std::function<void(QWidget*)>& created)
{
    auto& w = windows();
    create(w.form1, created);
    setMainWindowForPlacement(w.form1);
    create(w.form2, created);
    create(w.form3, created);
    create(w.form4, created);
    create(w.aboutBox, created);
    create(w.form5, created);
    create(w.form6, created);
    create(w.form7, created);
    create(w.form8, created);
    create(w.form9, created);
    create(w.cubeSettings, created);
    create(w.cubeProgress, created);
}

void showStartWindows()
{
    windows().form1->show();
    windows().form2->show();
}

void destroyWindows()
{
    auto& w = windows();
    // Later windows may refer to earlier ones while they go; clear each slot
    // before deleting so nothing reaches a half-destroyed window.
    const auto destroy = [](auto*& slot) {
        auto* window = slot;
        slot = nullptr;
        delete window;
    };
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
