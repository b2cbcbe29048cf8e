// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include "core/image/region.hpp"
#include "gui/common/working_picture.hpp"

#include <QMainWindow>
#include <QPoint>
#include <QString>

#include <optional>

class ImageControl;
class QAction;
class QFrame;
class QLabel;
class QMenu;
class QMouseEvent;
class QScrollArea;
class QToolButton;
class ScrollBox;
class TSelShape;
class TpvlUrl;

// The main window: the working image in a scroll box, the menu bar and the
// tool bar from which every command starts, and the status label of the
// selection geometry. Closing it ends the program, except while a command
// runs: then a close request is refused.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // --- The working image -------------------------------------------------
    // The picture under work (a bitmap, or an icon or metafile). Commands
    // that only read it do so through a const reference, so that a bitmap
    // shared with the scratch image is not copied.
    [[nodiscard]] WorkingPicture& workingPicture() { return picture_; }
    [[nodiscard]] const WorkingPicture& workingPicture() const { return picture_; }
    // Replaces the working image by the bitmap and shows it.
    void setWorkingImage(dimora::Bitmap bitmap);
    // The same for a picture; the window's title names the file it was
    // loaded from ("name — Dimora3"), or is "Dimora3" for a picture of no
    // file (pasted, or made by a measurement).
    void setWorkingPicture(WorkingPicture picture, const QString& sourceFile = QString());
    // The file the shown picture was loaded from; empty for a picture of no file.
    [[nodiscard]] const QString& pictureFile() const { return pictureFile_; }
    // Shows the working image again after its pixels were changed in place.
    void imageChanged();
    // Takes the analysis region of a measurement: the shown selection, else
    // the whole image, whose size is asked for with prepareImageForSize (so
    // an icon or metafile gives way to the empty bitmap).
    [[nodiscard]] dimora::Region takeAnalysisRegion();
    // Prepares the working image for a command that asks for its size: an
    // icon or metafile is replaced by the empty bitmap (and the view
    // follows). Returns the bitmap.
    const dimora::Bitmap& prepareImageForSize();
    // The path that open and save-as set and save writes to.
    [[nodiscard]] const QString& currentFileName() const { return currentFileName_; }

    // --- The selection rectangle, in image coordinates ---------------------
    // Its place in the view shifted by the scroll positions, so it stands
    // for the same pixels however the view is scrolled.
    //
    // The rectangle as it stands, shown or hidden.
    [[nodiscard]] dimora::Region selectionRectangle() const;
    // The rectangle while it is shown (the range); nothing while it is hidden.
    [[nodiscard]] std::optional<dimora::Region> shownSelection() const;
    // Shows the rectangle; the signs of the range follow with showRangeSigns.
    void showSelection();
    // Each sets one value of the rectangle and keeps the other three, without
    // the limits that dragging obeys: the left and top edges in image
    // coordinates, the width and the height.
    void setSelectionLeft(int x);
    void setSelectionTop(int y);
    void setSelectionWidth(int width);
    void setSelectionHeight(int height);
    // The three signs of a shown range: the status label with the geometry
    // text, ToolButton4 drawn pressed and the caption "範囲指定解除" of N2.
    void showRangeSigns(const QString& geometryText);

    // --- Controls -----------------------------------------------------------
    QFrame* ToolBar1;
    QToolButton* ToolButton2;   // open
    QToolButton* ToolButton4;   // range, drawn pressed while the range is shown
    QToolButton* ToolButton6;   // black dimension
    QToolButton* ToolButton7;   // non-black dimension
    QToolButton* ToolButton9;   // grayscale dimension
    QToolButton* ToolButton10;  // counts per size
    QLabel* Label1;             // status label: the selection geometry
    ScrollBox* ScrollBox1;
    ImageControl* Image;
    TSelShape* SelShape1;
    TpvlUrl* pvlUrl1;

    // --- Menus (menu bar MainMenu1) -----------------------------------------
    QMenu* File1;
    QAction* Open1;
    QAction* N3;
    QAction* Saveas1;
    QAction* bb1;
    QAction* N1;
    QAction* Exit1;
    QMenu* Edit2;
    QAction* Copy1;
    QAction* Paste1;
    QMenu* exec1;
    QAction* K2;
    QAction* sikii1;
    QAction* K1;
    QAction* K3;
    QAction* reverse1;
    QAction* gray2;
    QAction* SLIM1;
    QMenu* N4;
    QAction* frac1;
    QAction* fracw1;
    QAction* gray1;
    QAction* count1;
    QAction* length1;
    QAction* slice1;
    QAction* cube1;
    QMenu* hani1;
    QAction* N5;
    QAction* N2;
    QMenu* filter1;
    QAction* median1;
    QAction* noise1;
    QMenu* help2;
    QAction* usage1;
    QAction* version1;

    // --- Handlers -----------------------------------------------------------
    // Files and clipboard.
    void Open1Click();
    // What open does once it has a path: the path becomes the current file
    // name and the file is loaded into the working and scratch images, or
    // the error is reported and both stay as they were. Also the start-up's
    // way to open a file named on the command line.
    // A TIFF of several pages first asks which page to open (the count told,
    // the first offered); cancelling that question changes nothing.
    void openFile(const QString& path);
    void Saveas1Click();
    void Save1Click();
    void bb1Click();
    void Exit1Click();
    void Copy1Click();
    void Paste1Click();
    // Loads the first of the dropped files into the working and scratch images
    // (a drop runs it from the event loop once the drag has finished).
    void FilesDropped(const QStringList& paths);
    // Measurements.
    void frac1Click();
    void fracw1Click();
    void gray1Click();
    void count1Click();
    void ToolButton10Click();
    void length1Click();
    // Image operations.
    void K1Click();
    void K2Click();
    void K3Click();
    void sikii1Click();
    void reverse1Click();
    void gray2Click();
    void SLIM1Click();
    void median1Click();
    void noise1Click();
    // Region.
    void N2Click();
    void N5Click();
    void SelShape1MouseMove(QMouseEvent* event);
    // Slices and help.
    void slice1Click();
    // Shows the cube measurement's settings dialog.
    void cube1Click();
    void usage1Click();
    void version1Click();

signals:
    // The window was closed: the program ends.
    void closed();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenus();
    void createToolBar(QWidget* client);
    void createImageArea(QWidget* client);
    void saveWorkingImage();
    // The page of the file at path to load: 1 for a file of one page, else
    // the one the user chooses; nothing when the user cancels.
    [[nodiscard]] std::optional<int> choosePage(const QString& path);
    // The title: the file's name before the program's, or the program's alone.
    void showFileInTitle(const QString& path);
    // The image position shown at the view's top-left corner (the scroll
    // positions): a position in the view plus this is a position in the image.
    [[nodiscard]] QPoint viewOrigin() const;

    WorkingPicture picture_;
    QString pictureFile_;
    QString currentFileName_;
};
