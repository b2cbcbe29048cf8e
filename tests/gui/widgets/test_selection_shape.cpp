// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "gui/region/selection_shape.hpp"

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QTest>

#include <memory>

namespace {

using Zone = TSelShape::DragZone;

// A 300 × 200 parent holding a 64 × 64 rectangle at (80, 80) set up like the
// main window's selection: grip band 4, minimum size 16.
struct Scene {
    std::unique_ptr<QWidget> parent = std::make_unique<QWidget>();
    TSelShape* shape = new TSelShape(parent.get());

    Scene()
    {
        parent->resize(300, 200);
        shape->setGeometry(80, 80, 64, 64);
        shape->setSizeSense(4);
        shape->setMinWidth(16);
        shape->setMinHeight(16);
        parent->show();
    }

    // The pointer at p in the parent's coordinates, as the control sees it.
    void send(QEvent::Type type, QPoint p, Qt::MouseButton button = Qt::NoButton,
              Qt::MouseButtons buttons = {})
    {
        sendGlobal(type, parent->mapToGlobal(p), button, buttons);
    }
    void sendGlobal(QEvent::Type type, QPoint global, Qt::MouseButton button = Qt::NoButton,
                    Qt::MouseButtons buttons = {})
    {
        const QPointF local = shape->mapFromGlobal(QPointF(global));
        QMouseEvent event(type, local, local, QPointF(global), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(shape, &event);
    }
    void hover(QPoint p) { send(QEvent::MouseMove, p); }
    void press(QPoint p, Qt::MouseButton button = Qt::LeftButton)
    {
        send(QEvent::MouseButtonPress, p, button, button);
    }
    void dragTo(QPoint p, Qt::MouseButton button = Qt::LeftButton)
    {
        send(QEvent::MouseMove, p, Qt::NoButton, button);
    }
    void release(QPoint p, Qt::MouseButton button = Qt::LeftButton)
    {
        send(QEvent::MouseButtonRelease, p, button);
    }

    // A whole drag from `from` to `to` in steps of one pixel along each axis.
    void drag(QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton)
    {
        hover(from);
        press(from, button);
        QPoint p = from;
        while (p != to) {
            if (p.x() != to.x())
                p.rx() += to.x() > p.x() ? 1 : -1;
            if (p.y() != to.y())
                p.ry() += to.y() > p.y() ? 1 : -1;
            dragTo(p, button);
        }
        release(to, button);
    }
    QRect geometry() const { return shape->geometry(); }
};

}  // namespace

class SelectionShapeTest : public QObject {
    Q_OBJECT
private slots:
    void defaultsOfANewControl()
    {
        TSelShape shape;
        QCOMPARE(shape.SizeSense(), 5);
        QCOMPARE(shape.MinWidth(), 5);
        QCOMPARE(shape.MinHeight(), 5);
        QCOMPARE(shape.MinTop(), 0);
        QCOMPARE(shape.MinLeft(), 0);
        QCOMPARE(shape.MaxBottom(), 0);
        QCOMPARE(shape.MaxRight(), 0);
        QCOMPARE(shape.SelOption(), TSelShape::TSelOpt(TSelShape::ResizeX | TSelShape::ResizeY |
                                                       TSelShape::MoveX | TSelShape::MoveY));
        QVERIFY(!shape.dragging());
        QCOMPARE(shape.dragZone(), Zone::Move);
    }

    void zonesAndCursorsFollowThePointer_data()
    {
        QTest::addColumn<QPoint>("local");
        QTest::addColumn<Zone>("zone");
        QTest::addColumn<Qt::CursorShape>("cursor");
        QTest::newRow("top-left") << QPoint(2, 2) << Zone::TopLeft << Qt::SizeFDiagCursor;
        QTest::newRow("top") << QPoint(32, 2) << Zone::Top << Qt::SizeVerCursor;
        QTest::newRow("inside") << QPoint(32, 32) << Zone::Move << Qt::ArrowCursor;
        QTest::newRow("bottom-right") << QPoint(62, 62) << Zone::BottomRight << Qt::SizeFDiagCursor;
        QTest::newRow("top-right") << QPoint(61, 1) << Zone::TopRight << Qt::SizeBDiagCursor;
        QTest::newRow("bottom-left") << QPoint(0, 63) << Zone::BottomLeft << Qt::SizeBDiagCursor;
        QTest::newRow("bottom") << QPoint(30, 60) << Zone::Bottom << Qt::SizeVerCursor;
        // The left band is five columns wide (0 to 4), the right one four (60 to 63).
        QTest::newRow("left band last column") << QPoint(4, 30) << Zone::Left << Qt::SizeHorCursor;
        QTest::newRow("after the left band") << QPoint(5, 30) << Zone::Move << Qt::ArrowCursor;
        QTest::newRow("before the right band") << QPoint(59, 30) << Zone::Move << Qt::ArrowCursor;
        QTest::newRow("right band first column") << QPoint(60, 30) << Zone::Right << Qt::SizeHorCursor;
        QTest::newRow("top band last row") << QPoint(30, 4) << Zone::Top << Qt::SizeVerCursor;
        QTest::newRow("after the top band") << QPoint(30, 5) << Zone::Move << Qt::ArrowCursor;
        QTest::newRow("bottom band first row") << QPoint(30, 60) << Zone::Bottom << Qt::SizeVerCursor;
        QTest::newRow("before the bottom band") << QPoint(30, 59) << Zone::Move << Qt::ArrowCursor;
    }
    void zonesAndCursorsFollowThePointer()
    {
        QFETCH(QPoint, local);
        QFETCH(Zone, zone);
        QFETCH(Qt::CursorShape, cursor);
        Scene scene;
        scene.hover(QPoint(80, 80) + local);
        QCOMPARE(scene.shape->dragZone(), zone);
        QCOMPARE(scene.shape->cursor().shape(), cursor);
    }

    void topEdgeStopsAtTheMinimumHeight()
    {
        Scene scene;
        // Step by step the edge follows down to the last height of 16 ...
        scene.drag(QPoint(112, 82), QPoint(112, 142));
        QCOMPARE(scene.geometry(), QRect(80, 128, 64, 16));

        // ... while one jump that would leave less than 16 is refused whole.
        Scene jump;
        jump.hover(QPoint(112, 82));
        jump.press(QPoint(112, 82));
        jump.dragTo(QPoint(112, 142));
        QCOMPARE(jump.geometry(), QRect(80, 80, 64, 64));
        jump.dragTo(QPoint(112, 92));
        QCOMPARE(jump.geometry(), QRect(80, 90, 64, 54));
    }

    void topAndLeftEdgesStopAtTheirMinimumPositions()
    {
        Scene scene;
        scene.shape->setMinTop(30);
        scene.shape->setMinLeft(20);
        scene.drag(QPoint(81, 81), QPoint(-40, -40));
        QCOMPARE(scene.geometry(), QRect(20, 30, 124, 114));
    }

    void bottomAndRightEdgesStopAtTheParentsClientArea()
    {
        Scene scene;
        scene.drag(QPoint(142, 142), QPoint(400, 260));
        QCOMPARE(scene.geometry(), QRect(80, 80, 220, 120));
        // The press point followed the edge, so coming back moves the edge back.
        scene.hover(QPoint(299, 199));
        scene.press(QPoint(299, 199));
        scene.dragTo(QPoint(289, 189));
        scene.release(QPoint(289, 189));
        QCOMPARE(scene.geometry(), QRect(80, 80, 210, 110));
    }

    void bottomAndRightEdgesUseTheirMaximaWhenAboveTheMinima()
    {
        Scene scene;
        scene.shape->setMaxBottom(170);
        scene.shape->setMaxRight(160);
        scene.drag(QPoint(142, 142), QPoint(280, 190));
        QCOMPARE(scene.geometry(), QRect(80, 80, 80, 90));

        // A maximum not above its minimum is ignored: the parent limits.
        Scene ignored;
        ignored.shape->setMinTop(50);
        ignored.shape->setMaxBottom(50);
        ignored.drag(QPoint(112, 142), QPoint(112, 260));
        QCOMPARE(ignored.geometry(), QRect(80, 80, 64, 120));
    }

    void bottomEdgeRefusesEventsBelowTheMinimum()
    {
        Scene scene;
        scene.hover(QPoint(112, 142));
        scene.press(QPoint(112, 142));
        scene.dragTo(QPoint(112, 90));  // height 64 − 52 = 12: refused
        QCOMPARE(scene.geometry(), QRect(80, 80, 64, 64));
        scene.dragTo(QPoint(112, 94));  // height 16: accepted
        QCOMPARE(scene.geometry(), QRect(80, 80, 64, 16));
        // The press point moved with the edge: the next move counts from it.
        scene.dragTo(QPoint(112, 104));
        QCOMPARE(scene.geometry(), QRect(80, 80, 64, 26));
        scene.release(QPoint(112, 104));
    }

    void movingStopsAtTheLimits()
    {
        Scene scene;
        scene.drag(QPoint(100, 100), QPoint(-50, 100));
        QCOMPARE(scene.geometry(), QRect(0, 80, 64, 64));
        scene.drag(QPoint(30, 100), QPoint(500, 500));
        QCOMPARE(scene.geometry(), QRect(236, 136, 64, 64));
        scene.drag(QPoint(260, 160), QPoint(20, 20));
        QCOMPARE(scene.geometry(), QRect(0, 0, 64, 64));
    }

    void aRectangleTallerThanTheRoomSticksOutAtTheTop()
    {
        Scene scene;
        scene.shape->setGeometry(80, 10, 64, 250);
        scene.drag(QPoint(100, 100), QPoint(100, 110));
        QCOMPARE(scene.geometry(), QRect(80, -50, 64, 250));
    }

    void cornersResizeBothEdges()
    {
        Scene scene;
        scene.drag(QPoint(81, 81), QPoint(61, 71));
        QCOMPARE(scene.geometry(), QRect(60, 70, 84, 74));
        scene.drag(QPoint(142, 71), QPoint(152, 61));  // top-right corner
        QCOMPARE(scene.geometry(), QRect(60, 60, 94, 84));
        scene.drag(QPoint(61, 142), QPoint(51, 152));  // bottom-left corner
        QCOMPARE(scene.geometry(), QRect(50, 60, 104, 94));
    }

    void selOptionTurnsEdgesIntoMovesOrOtherEdges()
    {
        Scene noResizeX;
        noResizeX.shape->setSelOption(TSelShape::ResizeY | TSelShape::MoveX | TSelShape::MoveY);
        noResizeX.hover(QPoint(82, 110));
        QCOMPARE(noResizeX.shape->dragZone(), Zone::Move);
        QCOMPARE(noResizeX.shape->cursor().shape(), Qt::ArrowCursor);
        noResizeX.drag(QPoint(82, 110), QPoint(72, 100));
        QCOMPARE(noResizeX.geometry(), QRect(70, 70, 64, 64));
        noResizeX.hover(QPoint(72, 72));
        QCOMPARE(noResizeX.shape->dragZone(), Zone::Top);

        Scene noResizeY;
        noResizeY.shape->setSelOption(TSelShape::ResizeX | TSelShape::MoveX | TSelShape::MoveY);
        noResizeY.hover(QPoint(82, 82));
        QCOMPARE(noResizeY.shape->dragZone(), Zone::Left);
        noResizeY.hover(QPoint(110, 142));
        QCOMPARE(noResizeY.shape->dragZone(), Zone::Move);
        noResizeY.hover(QPoint(142, 142));
        QCOMPARE(noResizeY.shape->dragZone(), Zone::Right);

        Scene onlyHorizontalMoves;
        onlyHorizontalMoves.shape->setSelOption(TSelShape::MoveX);
        onlyHorizontalMoves.drag(QPoint(81, 81), QPoint(101, 121));
        QCOMPARE(onlyHorizontalMoves.geometry(), QRect(100, 80, 64, 64));
    }

    void theZoneIsFixedAtThePress()
    {
        Scene scene;
        scene.hover(QPoint(82, 110));
        scene.press(QPoint(82, 110));
        // The pointer leaves the left band; the drag still moves the left edge.
        scene.dragTo(QPoint(100, 110));
        scene.dragTo(QPoint(110, 110));
        QCOMPARE(scene.shape->dragZone(), Zone::Left);
        QCOMPARE(scene.geometry(), QRect(108, 80, 36, 64));
        scene.release(QPoint(110, 110));
    }

    void aPressWithoutAMoveUsesTheLastZone()
    {
        Scene fresh;
        fresh.press(QPoint(82, 82));  // no move yet: the inside zone
        fresh.dragTo(QPoint(92, 92));
        fresh.release(QPoint(92, 92));
        QCOMPARE(fresh.geometry(), QRect(90, 90, 64, 64));

        Scene remembered;
        remembered.hover(QPoint(143, 110));  // right band
        remembered.shape->setGeometry(20, 20, 64, 64);
        remembered.press(QPoint(50, 50));
        remembered.dragTo(QPoint(60, 50));
        QCOMPARE(remembered.geometry(), QRect(20, 20, 74, 64));
    }

    void everyButtonDrags()
    {
        for (const Qt::MouseButton button : {Qt::RightButton, Qt::MiddleButton}) {
            Scene scene;
            scene.drag(QPoint(100, 100), QPoint(110, 95), button);
            QCOMPARE(scene.geometry(), QRect(90, 75, 64, 64));
            QVERIFY(!scene.shape->dragging());
        }
    }

    void mouseMoveIsRaisedBeforeTheMove()
    {
        Scene scene;
        QList<QRect> seen;
        QList<QPoint> positions;
        connect(scene.shape, &TSelShape::mouseMove, scene.shape, [&](QMouseEvent* event) {
            seen.append(scene.shape->geometry());
            positions.append(event->position().toPoint());
        });
        int downs = 0;
        int ups = 0;
        connect(scene.shape, &TSelShape::mouseDown, scene.shape, [&] { ++downs; });
        connect(scene.shape, &TSelShape::mouseUp, scene.shape, [&] { ++ups; });
        scene.hover(QPoint(100, 100));
        scene.press(QPoint(100, 100));
        scene.dragTo(QPoint(105, 100));
        scene.dragTo(QPoint(110, 100));
        scene.release(QPoint(110, 100));
        QCOMPARE(downs, 1);
        QCOMPARE(ups, 1);
        QCOMPARE(seen, (QList<QRect>{QRect(80, 80, 64, 64), QRect(80, 80, 64, 64), QRect(85, 80, 64, 64)}));
        QCOMPARE(positions, (QList<QPoint>{QPoint(20, 20), QPoint(25, 20), QPoint(25, 20)}));
        QCOMPARE(scene.geometry(), QRect(90, 80, 64, 64));
    }

    void aWidthSetBelowTheMinimumRefusesSmallDrags()
    {
        Scene scene;
        scene.shape->setGeometry(80, 80, 8, 64);
        QCOMPARE(scene.geometry().width(), 8);
        scene.hover(QPoint(87, 110));
        QCOMPARE(scene.shape->dragZone(), Zone::Right);
        scene.press(QPoint(87, 110));
        scene.dragTo(QPoint(91, 110));  // width 12: refused, although it widens
        QCOMPARE(scene.geometry().width(), 8);
        scene.dragTo(QPoint(95, 110));  // width 16: accepted
        QCOMPARE(scene.geometry().width(), 16);
        scene.release(QPoint(95, 110));

        scene.shape->setGeometry(80, 80, 8, 64);
        scene.hover(QPoint(80, 110));
        scene.press(QPoint(80, 110));
        scene.dragTo(QPoint(78, 110));  // left edge, width 10: refused
        QCOMPARE(scene.geometry(), QRect(80, 80, 8, 64));
        scene.dragTo(QPoint(72, 110));  // width 16: accepted
        QCOMPARE(scene.geometry(), QRect(72, 80, 16, 64));
        scene.release(QPoint(72, 110));
    }

    void thePointerStaysInsideTheParentDuringADrag()
    {
        Scene scene;
        const QRect screenArea(scene.parent->mapToGlobal(QPoint(0, 0)), scene.parent->size());
        QVERIFY(scene.shape->confinement().isEmpty());
        scene.hover(QPoint(100, 100));
        scene.press(QPoint(100, 100));
        QCOMPARE(scene.shape->confinement(), screenArea);

        // A pointer far beyond the bottom-right corner is brought back to it,
        // and the move acts as if it were there.
        scene.sendGlobal(QEvent::MouseMove, screenArea.bottomRight() + QPoint(500, 500), Qt::NoButton,
                         Qt::LeftButton);
        QCOMPARE(QCursor::pos(), screenArea.bottomRight());
        QCOMPARE(scene.geometry(), QRect(236, 136, 64, 64));

        scene.release(QPoint(299, 199));
        QVERIFY(scene.shape->confinement().isEmpty());
        // Without a drag the pointer is free again.
        const QPoint outside = screenArea.topLeft() - QPoint(40, 40);
        QCursor::setPos(outside);
        scene.sendGlobal(QEvent::MouseMove, outside);
        QCOMPARE(QCursor::pos(), outside);
    }

    void theInvertingOutlineShowsOnAnyImage()
    {
        QWidget parent;
        parent.resize(100, 100);
        auto* image = new QLabel(&parent);
        QImage picture(100, 100, QImage::Format_RGB32);
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                picture.setPixel(x, y, x < 50 ? qRgb(0, 0, 0) : qRgb(10, 200, 60));
        image->setPixmap(QPixmap::fromImage(picture));
        image->setGeometry(0, 0, 100, 100);
        auto* shape = new TSelShape(&parent);
        shape->setGeometry(30, 20, 40, 30);
        shape->setInvertingPen(true);
        parent.show();

        const QImage shown = parent.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const auto inverted = [&](int x, int y) {
            return shown.pixel(x, y) == (picture.pixel(x, y) ^ 0x00FFFFFFu);
        };
        // Every pixel of the outline, corners once only, shows the inverse of
        // the image beneath; inside and outside are untouched.
        for (int x = 30; x < 70; ++x) {
            QVERIFY2(inverted(x, 20), qPrintable(QString::number(x)));
            QVERIFY2(inverted(x, 49), qPrintable(QString::number(x)));
        }
        for (int y = 20; y < 50; ++y) {
            QVERIFY(inverted(30, y));
            QVERIFY(inverted(69, y));
        }
        QCOMPARE(shown.pixel(40, 30), picture.pixel(40, 30));
        QCOMPARE(shown.pixel(60, 30), picture.pixel(60, 30));
        QCOMPARE(shown.pixel(29, 20), picture.pixel(29, 20));
        QCOMPARE(shown.pixel(70, 50), picture.pixel(70, 50));
    }
};

QTEST_MAIN(SelectionShapeTest)
#include "test_selection_shape.moc"
