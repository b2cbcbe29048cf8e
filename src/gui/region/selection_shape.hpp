// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// TSelShape: a rectangle outline that the user moves and resizes with the
// mouse. The pointer position picks the part a drag acts on: the inside
// (move), one of the four edge bands of width SizeSense, or one of the four
// corner squares; the cursor shows the choice. Drags keep the rectangle
// within MinLeft / MinTop and MaxRight / MaxBottom (or the parent's client
// area when those are not greater than MinLeft / MinTop) and refuse to make
// it narrower than MinWidth or lower than MinHeight.
//
// Setting the geometry through move / resize / setGeometry applies no limit:
// only drags obey them.
//
// Mouse events: the control raises mouseDown, mouseMove and mouseUp with the
// event in its own coordinates. mouseMove is raised BEFORE the move of the
// same event is applied, so a handler reads the geometry as it was.
//
// While a drag lasts the pointer is confined to the rectangle that starts at
// the screen position of the parent's top-left corner and has the parent's
// size: every pointer position outside it is brought back to its nearest
// point inside (QCursor::setPos), and the event is handled as if the pointer
// were there.
//
// The outline is drawn one pixel wide along the control's bounds, the inside
// is not painted. With the inverting pen (setInvertingPen(true)) the outline
// inverts the pixels beneath it, so it stays visible on any image.

#include <QFlags>
#include <QPoint>
#include <QRect>
#include <QWidget>

class QMouseEvent;

class TSelShape : public QWidget {
    Q_OBJECT
public:
    // Which resizings and movements a drag may make (all four by default).
    enum TSelOptSet { ResizeX = 0x1, ResizeY = 0x2, MoveX = 0x4, MoveY = 0x8 };
    Q_DECLARE_FLAGS(TSelOpt, TSelOptSet)

    // The part of the rectangle that the current or next drag acts on.
    enum class DragZone { Move, Top, Bottom, Left, Right, TopLeft, TopRight, BottomLeft, BottomRight };
    Q_ENUM(DragZone)

    explicit TSelShape(QWidget* parent = nullptr);

    [[nodiscard]] int SizeSense() const { return sizeSense_; }
    void setSizeSense(int value) { sizeSense_ = value; }
    [[nodiscard]] int MinWidth() const { return minWidth_; }
    void setMinWidth(int value) { minWidth_ = value; }
    [[nodiscard]] int MinHeight() const { return minHeight_; }
    void setMinHeight(int value) { minHeight_ = value; }
    [[nodiscard]] int MinTop() const { return minTop_; }
    void setMinTop(int value) { minTop_ = value; }
    [[nodiscard]] int MinLeft() const { return minLeft_; }
    void setMinLeft(int value) { minLeft_ = value; }
    [[nodiscard]] int MaxBottom() const { return maxBottom_; }
    void setMaxBottom(int value) { maxBottom_ = value; }
    [[nodiscard]] int MaxRight() const { return maxRight_; }
    void setMaxRight(int value) { maxRight_ = value; }
    [[nodiscard]] TSelOpt SelOption() const { return selOption_; }
    void setSelOption(TSelOpt value) { selOption_ = value; }

    // The outline inverts what lies beneath ("not" pen) instead of drawing
    // in the pen colour (black by default).
    [[nodiscard]] bool invertingPen() const { return invertingPen_; }
    void setInvertingPen(bool on);

    [[nodiscard]] bool dragging() const { return dragging_; }
    [[nodiscard]] DragZone dragZone() const { return zone_; }
    [[nodiscard]] QPoint pressPoint() const { return pressPoint_; }
    // The screen rectangle that holds the pointer during a drag (empty when
    // not dragging).
    [[nodiscard]] QRect confinement() const { return confinement_; }

signals:
    void mouseDown(QMouseEvent* event);
    void mouseMove(QMouseEvent* event);
    void mouseUp(QMouseEvent* event);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    [[nodiscard]] DragZone zoneAt(QPoint point) const;
    [[nodiscard]] DragZone restrictedZone(DragZone zone) const;
    [[nodiscard]] int bottomLimit() const;
    [[nodiscard]] int rightLimit() const;
    void dragBy(int dx, int dy);
    void updateCursor();

    int sizeSense_ = 5;
    int minWidth_ = 5;
    int minHeight_ = 5;
    int minTop_ = 0;
    int minLeft_ = 0;
    int maxBottom_ = 0;
    int maxRight_ = 0;
    TSelOpt selOption_ = TSelOpt(ResizeX | ResizeY | MoveX | MoveY);
    bool invertingPen_ = false;

    bool dragging_ = false;
    DragZone zone_ = DragZone::Move;
    QPoint pressPoint_;
    QRect confinement_;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TSelShape::TSelOpt)
