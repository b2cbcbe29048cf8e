// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

#include <QScrollArea>

// The scroll box of the main window. Besides the image, every other child of
// its viewport (the selection rectangle) moves by the scrolled distance, so it
// stays over the same image pixels: image coordinates are control coordinates
// plus the scroll positions.
class ScrollBox : public QScrollArea {
    Q_OBJECT
public:
    explicit ScrollBox(QWidget* parent = nullptr);

    // The scroll positions (0 when not scrolled).
    [[nodiscard]] int horizontalPosition() const;
    [[nodiscard]] int verticalPosition() const;

protected:
    void scrollContentsBy(int dx, int dy) override;
};
