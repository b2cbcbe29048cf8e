// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include "core/image/region.hpp"
#include "gui/common/working_picture.hpp"
#include "gui/common/workspace.hpp"
#include "gui/region/range_selection.hpp"

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class ImageControl;
class QAction;
class QFrame;
class QLabel;
class QMenu;
class QScrollArea;
class QToolButton;
class ScrollBox;
class TSelShape;
class TpvlUrl;

// The main window's controls and menus, by the names of the program this one
// follows. The commands of each subsystem are connected to them by the
// program; tests and UI automation find them here and by objectName.
struct MainWindowControls {
    QFrame* ToolBar1 = nullptr;
    QToolButton* ToolButton2 = nullptr;   // open
    QToolButton* ToolButton4 = nullptr;   // range, drawn pressed while the range is shown
    QToolButton* ToolButton6 = nullptr;   // black dimension
    QToolButton* ToolButton7 = nullptr;   // non-black dimension
    QToolButton* ToolButton9 = nullptr;   // grayscale dimension
    QToolButton* ToolButton10 = nullptr;  // counts per size
    QLabel* Label1 = nullptr;             // status label: the selection geometry
    ScrollBox* ScrollBox1 = nullptr;
    ImageControl* Image = nullptr;
    TSelShape* SelShape1 = nullptr;
    TpvlUrl* pvlUrl1 = nullptr;  // opens the help page

    // The menu bar MainMenu1.
    QMenu* File1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* N3 = nullptr;
    QAction* Saveas1 = nullptr;
    QAction* bb1 = nullptr;
    QAction* N1 = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* Edit2 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* Paste1 = nullptr;
    QMenu* exec1 = nullptr;
    QAction* K2 = nullptr;
    QAction* sikii1 = nullptr;
    QAction* K1 = nullptr;
    QAction* K3 = nullptr;
    QAction* reverse1 = nullptr;
    QAction* gray2 = nullptr;
    QAction* SLIM1 = nullptr;
    QMenu* N4 = nullptr;
    QAction* frac1 = nullptr;
    QAction* fracw1 = nullptr;
    QAction* gray1 = nullptr;
    QAction* count1 = nullptr;
    QAction* length1 = nullptr;
    QAction* slice1 = nullptr;
    QAction* cube1 = nullptr;
    QAction* measureSettings1 = nullptr;  // the black and non-black dimensions' grid and range
    QAction* lacunarity1 = nullptr;       // the lacunarity (shows its settings dialog)
    QAction* multifractal1 = nullptr;     // the multifractal spectrum (shows its settings dialog)
    QMenu* hani1 = nullptr;
    QAction* N5 = nullptr;
    QAction* N2 = nullptr;
    QMenu* filter1 = nullptr;
    QAction* median1 = nullptr;
    QAction* noise1 = nullptr;
    QMenu* help2 = nullptr;
    QAction* usage1 = nullptr;
    QAction* version1 = nullptr;
};

// The main window: the working image in a scroll box with the selection
// rectangle over it, the menu bar and the tool bar from which every command
// starts, and the status label of the selection geometry. The commands
// themselves belong to the subsystems; the main window serves them as their
// Workspace. Closing it ends the program, except while a command runs: then
// a close request is refused.
class TForm1 : public QMainWindow, public Workspace {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // --- The working image (see Workspace) --------------------------------
    [[nodiscard]] WorkingPicture& workingPicture() override { return picture_; }
    [[nodiscard]] const WorkingPicture& workingPicture() const override { return picture_; }
    void setWorkingImage(dimora::Bitmap bitmap) override;
    void setWorkingPicture(WorkingPicture picture, const QString& sourceFile = QString()) override;
    [[nodiscard]] const QString& pictureFile() const override { return pictureFile_; }
    void showFileInTitle(const QString& path) override;
    void imageChanged() override;
    [[nodiscard]] dimora::Region takeAnalysisRegion() override;
    const dimora::Bitmap& prepareImageForSize() override;
    [[nodiscard]] std::optional<dimora::Region> shownSelection() const override;
    [[nodiscard]] QWidget& mainWindow() override { return *this; }
    // The path that open and save-as set and save writes to.
    [[nodiscard]] const QString& currentFileName() const override { return currentFileName_; }
    void setCurrentFileName(const QString& path) override { currentFileName_ = path; }

    // The selection rectangle and its signs.
    [[nodiscard]] RangeSelection& selection() { return *selection_; }

    [[nodiscard]] const MainWindowControls& controls() const { return controls_; }

signals:
    // The window was closed: the program ends.
    void closed();
    // Files were dropped on the window; emitted from the event loop once the
    // drag has finished.
    void filesDropped(const QStringList& paths);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenus();
    void createToolBar(QWidget* client);
    void createImageArea(QWidget* client);

    MainWindowControls controls_;
    std::unique_ptr<RangeSelection> selection_;
    WorkingPicture picture_;
    QString pictureFile_;
    QString currentFileName_;
};
