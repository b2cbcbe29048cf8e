// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include "gui/common/working_picture.hpp"

#include <QWidget>

class QLabel;

// The scratch image window, created hidden at start and never shown: it holds
// the scratch image, a second picture beside the working image. Opening and
// dropping a file load it too; the median filter first makes it a copy of the
// working image, writes its result into it and copies it back.
class TForm6 : public QWidget {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent = nullptr);

    // The scratch picture (a bitmap, or an icon or metafile after such a file
    // was opened or dropped).
    [[nodiscard]] WorkingPicture& scratchPicture() { return picture_; }
    void setScratchPicture(WorkingPicture picture);

    // The image control of the scratch picture, 49 × 49 and not sized to it.
    QLabel* Image1;

    // Shows the picture again in Image1 after it was changed in place.
    void pictureChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    WorkingPicture picture_;
};
