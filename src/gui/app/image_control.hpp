// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QWidget>

// The control that shows the working image: it sizes itself to its picture
// and draws it unscaled from its top-left corner. The picture is a QImage
// made once per change of the working image; a repaint draws only the part
// that became visible, so a huge image scrolls as fast as a small one.
class ImageControl : public QWidget {
    Q_OBJECT
public:
    explicit ImageControl(QWidget* parent = nullptr);

    void setPicture(QImage picture);
    [[nodiscard]] const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};
