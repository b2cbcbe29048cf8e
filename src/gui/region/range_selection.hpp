// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// The selection rectangle of the main window (the range) and its signs: the
// status label with the geometry text, the range tool button drawn pressed
// and the caption of the range menu item. The main window makes the
// controls and keeps this; the region commands and the numeric region
// dialog work through it.
//
// The rectangle's place in the view is shifted by the scroll positions, so
// it stands for the same pixels however the view is scrolled: this is the
// one place where its place in the view and its place in the image are
// turned into each other.

#include "core/image/region.hpp"

#include <QPoint>
#include <QString>

#include <optional>

class QAction;
class QLabel;
class QToolButton;
class ScrollBox;
class TSelShape;

class RangeSelection {
public:
    // The rectangle, the scroll box whose viewport holds it, the status
    // label, the range tool button and the range menu item.
    RangeSelection(TSelShape& shape, const ScrollBox& view, QLabel& status, QToolButton& button,
                   QAction& item)
        : shape_(shape), view_(view), status_(status), button_(button), item_(item)
    {
    }

    // The rectangle as it stands, shown or hidden, in image coordinates.
    [[nodiscard]] dimora::Region rectangle() const;
    // The rectangle while it is shown; nothing while it is hidden.
    [[nodiscard]] std::optional<dimora::Region> shown() const;
    // Shows the rectangle; the signs follow with showRangeSigns.
    void show();
    // Hides the rectangle and its signs: the label, the pressed button, and
    // the menu item's caption "計算範囲指定".
    void hide();
    // Moves the rectangle to a place in the view (not in the image).
    void moveInView(QPoint place);
    // Each sets one value of the rectangle and keeps the other three, without
    // the limits that dragging obeys: the left and top edges in image
    // coordinates, the width and the height.
    void setLeft(int x);
    void setTop(int y);
    void setWidth(int width);
    void setHeight(int height);
    // The three signs of a shown range: the status label with the geometry
    // text, the button drawn pressed and the caption "範囲指定解除".
    void showRangeSigns(const QString& geometryText);
    // Rewrites the status label's geometry text.
    void showGeometry(const QString& geometryText);

private:
    // The image position shown at the view's top-left corner (the scroll
    // positions): a position in the view plus this is a position in the image.
    [[nodiscard]] QPoint viewOrigin() const;

    TSelShape& shape_;
    const ScrollBox& view_;
    QLabel& status_;
    QToolButton& button_;
    QAction& item_;
};

// The status label's text for a selection at image position (x, y) of
// width w and height h: "左上(x, y)=( x, y )　(幅, 高さ)=( w, h )".
[[nodiscard]] QString selectionGeometryText(const QString& x, const QString& y, const QString& w,
                                            const QString& h);

// The same for a rectangle in image coordinates.
[[nodiscard]] QString selectionGeometryText(const dimora::Region& rectangle);
