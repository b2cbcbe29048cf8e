// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The program's twelve windows. Each exists once, from start-up to the end of the
// program; commands show and hide them but never create or destroy them.
// Shared state between windows is reached through these instances.

#include <functional>

class QWidget;
class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TAboutBox;
class TForm5;
class TForm6;
class TForm7;
class TForm8;
class TForm9;
class CubeSettingsDialog;
class CubeProgressWindow;

struct Windows {
    TForm1* form1 = nullptr;  // main window
    TForm2* form2 = nullptr;  // result window
    TForm3* form3 = nullptr;  // threshold dialog
    TForm4* form4 = nullptr;  // count window
    TAboutBox* aboutBox = nullptr;
    TForm5* form5 = nullptr;                     // total-length window
    TForm6* form6 = nullptr;                     // scratch image window
    TForm7* form7 = nullptr;                     // slice settings dialog
    TForm8* form8 = nullptr;                     // progress window
    TForm9* form9 = nullptr;                     // numeric region dialog
    CubeSettingsDialog* cubeSettings = nullptr;  // cube measurement settings dialog
    CubeProgressWindow* cubeProgress = nullptr;  // cube measurement progress window
};

// The windows of the running program (all null before createWindows).
[[nodiscard]] Windows& windows();

// Creates the twelve windows in the order of the fields above; `created`, when
// given, is called with each window right after its creation. None is shown.
void createWindows(const std::function<void(QWidget*)>& created = {});

// Shows the windows that are visible at start: the main window and the
// result window.
void showStartWindows();

// Destroys the windows (in reverse order) and clears windows().
void destroyWindows();
