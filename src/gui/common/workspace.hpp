// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// What the main window offers the commands of every subsystem: the working
// picture, the analysis region taken from the shown selection, and the
// window that dialogs and questions belong to. The main window implements
// it; a command object holds a reference, so no window or command folder
// includes the main window's own header.

#include "core/image/region.hpp"
#include "gui/common/working_picture.hpp"

#include <QString>

#include <optional>

class QWidget;

class Workspace {
public:
    // The picture under work (a bitmap, or an icon or metafile). Commands
    // that only read it do so through a const reference, so that a bitmap
    // shared with the scratch image is not copied.
    [[nodiscard]] virtual WorkingPicture& workingPicture() = 0;
    [[nodiscard]] virtual const WorkingPicture& workingPicture() const = 0;
    // Replaces the working image by the bitmap and shows it.
    virtual void setWorkingImage(dimora::Bitmap bitmap) = 0;
    // The same for a picture loaded from `sourceFile`: the window's title
    // names the file ("name — Dimora3"), or is "Dimora3" for a picture of no
    // file (pasted, or made by a measurement).
    virtual void setWorkingPicture(WorkingPicture picture, const QString& sourceFile) = 0;
    // The file the shown picture was loaded from; empty for a picture of no file.
    [[nodiscard]] virtual const QString& pictureFile() const = 0;
    // Names the file in the window's title (after the picture was saved there).
    virtual void showFileInTitle(const QString& path) = 0;
    // Shows the working image again after its pixels were changed in place.
    virtual void imageChanged() = 0;
    // Takes the analysis region of a measurement: the shown selection, else
    // the whole image, whose size is asked for with prepareImageForSize (so
    // an icon or metafile gives way to the empty bitmap).
    [[nodiscard]] virtual dimora::Region takeAnalysisRegion() = 0;
    // Prepares the working image for a command that asks for its size: an
    // icon or metafile is replaced by the empty bitmap (and the view
    // follows). Returns the bitmap.
    virtual const dimora::Bitmap& prepareImageForSize() = 0;
    // The selection rectangle in image coordinates while it is shown (the
    // range); nothing while it is hidden.
    [[nodiscard]] virtual std::optional<dimora::Region> shownSelection() const = 0;
    // The main window: the parent of the questions a command asks, and what
    // the quit command closes.
    [[nodiscard]] virtual QWidget& mainWindow() = 0;
    // The path that open and save-as set and save writes to.
    [[nodiscard]] virtual const QString& currentFileName() const = 0;
    virtual void setCurrentFileName(const QString& path) = 0;

protected:
    Workspace() = default;
    ~Workspace() = default;
    Workspace(const Workspace&) = default;
    Workspace& operator=(const Workspace&) = default;
};
