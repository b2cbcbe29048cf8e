// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The running program: its windows and the command objects of the
// subsystems. Each window exists once, from start-up to the end of the
// program; commands show and hide them but never create or destroy them.
// The program hands each command object and each dialog references to
// exactly the windows and main-window services it needs, and connects the
// main window's menu items and tool buttons to the commands' handlers.

#include <functional>
#include <memory>

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
class LacunarityDialog;
class LacunarityWindow;
class MultifractalDialog;
class MultifractalWindow;
class FileCommands;
class MeasureCommands;
class ImageOpsCommands;
class RegionCommands;
class SliceCommands;
class HelpCommands;
class MassCommands;

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
    // The mass measurements' settings dialogs and result windows.
    LacunarityDialog* lacunarityDialog = nullptr;
    LacunarityWindow* lacunarity = nullptr;
    MultifractalDialog* multifractalDialog = nullptr;
    MultifractalWindow* multifractal = nullptr;
};

class Program {
public:
    // Creates the windows in the order of the fields of Windows
    // (`created`, when given, is called with each window right after its
    // creation), then the command objects. None is shown.
    explicit Program(const std::function<void(QWidget*)>& created = {});
    // Destroys the windows in reverse order.
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    [[nodiscard]] const Windows& windows() const { return windows_; }

    // The file commands (the start-up opens its file through them).
    [[nodiscard]] FileCommands& files() const { return *files_; }

    // Shows the windows that are visible at start: the main window and the
    // result window.
    void showStartWindows() const;

private:
    void connectCommands();

    Windows windows_;
    std::unique_ptr<FileCommands> files_;
    std::unique_ptr<MeasureCommands> measure_;
    std::unique_ptr<ImageOpsCommands> imageOps_;
    std::unique_ptr<RegionCommands> region_;
    std::unique_ptr<SliceCommands> slices_;
    std::unique_ptr<HelpCommands> help_;
    std::unique_ptr<MassCommands> mass_;
};
