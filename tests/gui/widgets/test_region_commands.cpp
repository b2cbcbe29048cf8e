// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "program_fixture.hpp"

#include "core/measure/box_count.hpp"
#include "core/measure/dimension_measurement.hpp"
#include "gui/common/scroll_box.hpp"
#include "gui/measure/count_window.hpp"
#include "gui/region/region_dialog.hpp"
#include "gui/region/selection_shape.hpp"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

namespace {

const QString kShownCaption = QStringLiteral("範囲指定解除");
const QString kHiddenCaption = QStringLiteral("計算範囲指定");

// A 640 × 480 image of black and white stripes of different widths, so that
// different regions give different counts.
dimora::Bitmap stripedImage()
{
    return makeBitmap(640, 480, [](int x, int y) {
        return (x * 7 + y * 3) % 23 < 5 || x % 97 == 0 ? dimora::kBlack : dimora::kWhite;
    });
}

// The main window shown with the striped image, scrolled 100 right and 30 down.
void showScrolled(TForm1& form1)
{
    form1.setWorkingImage(stripedImage());
    form1.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form1));
    form1.controls().ScrollBox1->horizontalScrollBar()->setValue(100);
    form1.controls().ScrollBox1->verticalScrollBar()->setValue(30);
    QCOMPARE(form1.controls().ScrollBox1->horizontalPosition(), 100);
    QCOMPARE(form1.controls().ScrollBox1->verticalPosition(), 30);
}

void sendMouse(TSelShape* shape, QEvent::Type type, QPoint local, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    const QPointF global = shape->mapToGlobal(QPointF(local));
    QMouseEvent event(type, QPointF(local), QPointF(local), global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(shape, &event);
}

}  // namespace

class RegionCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void theRangeCommandTogglesTheRectangleAndItsSigns()
    {
        ProgramUnderTest program;
        TForm1& form1 = program.form1();
        QVERIFY(form1.controls().SelShape1->isHidden());
        QCOMPARE(form1.controls().N2->text(), QStringLiteral("範囲の表示"));

        form1.controls().N2->trigger();
        QVERIFY(!form1.controls().SelShape1->isHidden());
        QVERIFY(!form1.controls().Label1->isHidden());
        QCOMPARE(form1.controls().SelShape1->geometry(), QRect(80, 80, 64, 64));
        QCOMPARE(form1.controls().Label1->text(),
                 QStringLiteral("左上(x, y)=( 80, 80 )　(幅, 高さ)=( 64, 64 )"));
        QVERIFY(form1.controls().ToolButton4->isChecked());
        QCOMPARE(form1.controls().N2->text(), kShownCaption);
        QCOMPARE(form1.takeAnalysisRegion(), (dimora::Region{80, 80, 64, 64}));

        form1.controls().ToolButton4->click();  // the tool button runs the same command
        QVERIFY(form1.controls().SelShape1->isHidden());
        QVERIFY(form1.controls().Label1->isHidden());
        QVERIFY(!form1.controls().ToolButton4->isChecked());
        QCOMPARE(form1.controls().N2->text(), kHiddenCaption);
        QCOMPARE(form1.takeAnalysisRegion(), (dimora::Region{0, 0, 0, 0}));

        form1.controls().ToolButton4->click();
        QVERIFY(!form1.controls().SelShape1->isHidden());
        QVERIFY(form1.controls().ToolButton4->isChecked());
        QCOMPARE(form1.controls().N2->text(), kShownCaption);
        QVERIFY(program.desktop.errorReports.isEmpty());
    }

    void showingAgainPlacesTheRectangleBackButKeepsItsSize()
    {
        ProgramUnderTest program;
        TForm1& form1 = program.form1();
        form1.controls().N2->trigger();
        form1.controls().SelShape1->setGeometry(30, 40, 100, 50);
        form1.controls().N2->trigger();
        form1.controls().N2->trigger();
        QCOMPARE(form1.controls().SelShape1->geometry(), QRect(80, 80, 100, 50));
        QCOMPARE(form1.controls().Label1->text(),
                 QStringLiteral("左上(x, y)=( 80, 80 )　(幅, 高さ)=( 100, 50 )"));
    }

    void aScrolledViewShiftsTheRegionAndTheMeasurement()
    {
        ProgramUnderTest program;
        TForm1& form1 = program.form1();
        showScrolled(form1);
        form1.controls().N2->trigger();
        QCOMPARE(form1.controls().SelShape1->pos(), QPoint(80, 80));
        QCOMPARE(form1.controls().Label1->text(),
                 QStringLiteral("左上(x, y)=( 180, 110 )　(幅, 高さ)=( 64, 64 )"));
        const dimora::Region expected{180, 110, 64, 64};
        QCOMPARE(form1.takeAnalysisRegion(), expected);

        // The black dimension covers exactly the shifted rectangle.
        form1.controls().frac1->trigger();
        QVERIFY(program.desktop.errorReports.isEmpty());
        const dimora::CountReport report = dimora::reportBoxCounts(
            dimora::countBoxes(form1.workingPicture().pixels().view(), expected, dimora::PixelClass::Black));
        QStringList lines;
        for (const std::string& line : report.countList)
            lines.append(QString::fromStdString(line));
        QVERIFY(!lines.isEmpty());
        QCOMPARE(program.windows.form4->countLines(), lines);

        // Scrolling moves the rectangle with the image: the region stays.
        form1.controls().ScrollBox1->horizontalScrollBar()->setValue(40);
        QCOMPARE(form1.controls().SelShape1->pos(), QPoint(140, 80));
        QCOMPARE(form1.takeAnalysisRegion(), expected);
    }

    void theLabelFollowsTheMouseOneMoveBehind()
    {
        ProgramUnderTest program;
        TForm1& form1 = program.form1();
        showScrolled(form1);
        form1.controls().N2->trigger();
        TSelShape* shape = form1.controls().SelShape1;

        sendMouse(shape, QEvent::MouseMove, QPoint(30, 30), Qt::NoButton, {});
        QCOMPARE(form1.controls().Label1->text(),
                 QStringLiteral("左上(x, y)=( 180, 110 )　(幅, 高さ)=( 64, 64 )"));
        sendMouse(shape, QEvent::MouseButtonPress, QPoint(30, 30), Qt::LeftButton, Qt::LeftButton);
        sendMouse(shape, QEvent::MouseMove, QPoint(40, 35), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(shape->pos(), QPoint(90, 85));
        // The text was written before the move was applied ...
        QCOMPARE(form1.controls().Label1->text(),
                 QStringLiteral("左上(x, y)=( 180, 110 )　(幅, 高さ)=( 64, 64 )"));
        sendMouse(shape, QEvent::MouseButtonRelease, QPoint(30, 30), Qt::LeftButton, {});
        // ... and catches up at the next move.
        sendMouse(shape, QEvent::MouseMove, QPoint(30, 30), Qt::NoButton, {});
        QCOMPARE(form1.controls().Label1->text(),
                 QStringLiteral("左上(x, y)=( 190, 115 )　(幅, 高さ)=( 64, 64 )"));

        // A hidden rectangle leaves the label alone.
        form1.controls().Label1->setText(QStringLiteral("unchanged"));
        shape->hide();
        sendMouse(shape, QEvent::MouseMove, QPoint(31, 30), Qt::NoButton, {});
        QCOMPARE(form1.controls().Label1->text(), QStringLiteral("unchanged"));
    }

    void theNumericDialogShowsTheRectangleInImageCoordinates()
    {
        ProgramUnderTest program;
        TForm1& form1 = program.form1();
        TForm9& form9 = *program.windows.form9;
        QCOMPARE(form9.Edit1->text(), QStringLiteral("80"));
        QCOMPARE(form9.Edit4->text(), QStringLiteral("64"));
        showScrolled(form1);
        form1.controls().SelShape1->setGeometry(20, 25, 70, 90);  // hidden: still reported
        form1.controls().N5->trigger();
        QVERIFY(form9.isVisible());
        QVERIFY(form1.controls().SelShape1->isHidden());
        QCOMPARE(form9.Edit1->text(), QStringLiteral("120"));
        QCOMPARE(form9.Edit2->text(), QStringLiteral("55"));
        QCOMPARE(form9.Edit3->text(), QStringLiteral("70"));
        QCOMPARE(form9.Edit4->text(), QStringLiteral("90"));
    }

    void theNumericDialogPlacesTheRectangleOverTheTypedPixels()
    {
        ProgramUnderTest program;
        TForm1& form1 = program.form1();
        TForm9& form9 = *program.windows.form9;
        showScrolled(form1);
        form1.controls().N5->trigger();
        form9.Edit1->setText(QStringLiteral("010"));
        form9.Edit2->setText(QStringLiteral("20"));
        form9.Edit3->setText(QStringLiteral("30"));
        form9.Edit4->setText(QStringLiteral("8"));     // below the dragging minimum: taken as it is
        QTest::keyClick(form9.Edit4, Qt::Key_Return);  // Enter presses the OK button

        QVERIFY(program.desktop.errorReports.isEmpty());
        QVERIFY(!form9.isVisible());
        QVERIFY(!form1.controls().SelShape1->isHidden());
        QCOMPARE(form1.controls().SelShape1->geometry(), QRect(-90, -10, 30, 8));
        QCOMPARE(form1.takeAnalysisRegion(), (dimora::Region{10, 20, 30, 8}));
        QCOMPARE(form1.controls().Label1->text(),
                 QStringLiteral("左上(x, y)=( 010, 20 )　(幅, 高さ)=( 30, 8 )"));
        QVERIFY(form1.controls().ToolButton4->isChecked());
        QCOMPARE(form1.controls().N2->text(), kShownCaption);
    }

    void aBadNumberStopsTheDialogHalfWay()
    {
        ProgramUnderTest program;
        TForm1& form1 = program.form1();
        TForm9& form9 = *program.windows.form9;
        form1.controls().Label1->setText(QStringLiteral("before"));
        form1.controls().N5->trigger();
        form9.Edit1->setText(QStringLiteral("10"));
        form9.Edit2->setText(QStringLiteral("-20"));
        form9.Edit3->setText(QStringLiteral("30"));
        form9.Edit4->setText(QStringLiteral("abc"));
        form9.BitBtn1->click();

        QCOMPARE(program.desktop.errorReports, QStringList{reportOf(dimora::msg::kNotAnInteger, "abc")});
        // Shown at the new corner and width, with the old height ...
        QVERIFY(!form1.controls().SelShape1->isHidden());
        QCOMPARE(form1.controls().SelShape1->geometry(), QRect(10, -20, 30, 64));
        // ... while the signs and the dialog stay as they were.
        QCOMPARE(form1.controls().Label1->text(), QStringLiteral("before"));
        QVERIFY(!form1.controls().ToolButton4->isChecked());
        QCOMPARE(form1.controls().N2->text(), QStringLiteral("範囲の表示"));
        QVERIFY(form9.isVisible());

        // A bad width stops before the size: new position, old size.
        form9.Edit3->setText(QStringLiteral("3 0"));
        form9.Edit1->setText(QStringLiteral("5"));
        form9.BitBtn1->click();
        QCOMPARE(program.desktop.errorReports.size(), 2);
        QCOMPARE(program.desktop.errorReports.last(), reportOf(dimora::msg::kNotAnInteger, "3 0"));
        QCOMPARE(form1.controls().SelShape1->geometry(), QRect(5, -20, 30, 64));
    }

    void theDialogsTabOrder()
    {
        ProgramUnderTest program;
        TForm9& form9 = *program.windows.form9;
        // Tab order: the four edits, then OK.
        QCOMPARE(form9.Edit1->nextInFocusChain(), form9.Edit2);
        QCOMPARE(form9.Edit2->nextInFocusChain(), form9.Edit3);
        QCOMPARE(form9.Edit3->nextInFocusChain(), form9.Edit4);
        QCOMPARE(form9.Edit4->nextInFocusChain(), form9.BitBtn1);
    }
};

QTEST_MAIN(RegionCommandsTest)
#include "test_region_commands.moc"
