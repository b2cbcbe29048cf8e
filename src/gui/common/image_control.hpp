// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

class WorkingPicture;

// The control that shows the working image: it sizes itself to its picture
// and draws it unscaled from its top-left corner. A repaint turns only the
// exposed part of the bitmap into screen pixels, straight from the bitmap's
// rows, so a huge image opens without a second full copy and scrolls as fast
// as a small one.
class ImageControl : public QWidget {
    Q_OBJECT
public:
    // `picture` gives the picture to show whenever the control is painted.
    explicit ImageControl(std::function<const WorkingPicture&()> picture, QWidget* parent = nullptr);

    // Takes the picture's size and shows it again, after it was replaced or
    // its pixels were changed.
    void pictureChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<const WorkingPicture&()> picture_;
    QImage icon_;  // an icon's picture, decoded once per change
};
