// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The file commands (menus "ファイル" and "編集", the open tool button and
// files dropped on the main window): open, save, G1, quit, clipboard. A file
// is loaded once into a picture of its own; only when that succeeded do the
// scratch image and the working image take it, so a failed load leaves both
// as they were.

#include <QString>
#include <QStringList>

#include <optional>

class TForm6;
class Workspace;

class FileCommands {
public:
    FileCommands(Workspace& workspace, TForm6& scratch) : workspace_(workspace), scratch_(scratch) {}

    // Asks for an image file and opens it.
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

private:
    // The page of the file at path to load: 1 for a file of one page, else
    // the one the user chooses; nothing when the user cancels.
    [[nodiscard]] std::optional<int> choosePage(const QString& path);
    // Loads the page of the file into the scratch and working images.
    void load(const QString& path, int page);

    Workspace& workspace_;
    TForm6& scratch_;
};
