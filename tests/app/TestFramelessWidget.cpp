#include "app/FramelessWidget.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

namespace {
bool trayPresent()
{
    return true;
}
bool trayAbsent()
{
    return false;
}
} // namespace

class TestFramelessWidget final : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { FramelessWidget::setTrayProbeForTesting(nullptr); }

    void hitTest_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("zone");
        const int W = 1280;
        const int H = 680;
        auto row = [](const char* name, int x, int y, int zone) { QTest::newRow(name) << QPoint(x, y) << zone; };
        row("top-left pixel is the corner, not an edge", 0, 0, 5);
        row("x 6 at y 3: top-left corner", 6, 3, 5);
        row("x 7 at y 3: top edge", 7, 3, 1);
        row("x W-6 at y 3: top-right corner (one pixel wider)", W - 6, 3, 7);
        row("x W-7 at y 3: top edge", W - 7, 3, 1);
        row("top-right pixel", W - 1, 0, 7);
        row("bottom-left pixel", 0, H - 1, 6);
        row("bottom-right pixel", W - 1, H - 1, 8);
        row("x W-6 at y H-6: bottom-right corner", W - 6, H - 6, 8);
        row("right band starts at W-5", W - 5, 300, 4);
        row("W-6 mid-height is inside", W - 6, 300, 9);
        row("left band ends at x 5", 5, 300, 3);
        row("x 6 mid-height is inside", 6, 300, 9);
        row("top band ends at y 5", 300, 5, 1);
        row("y 6 is inside", 300, 6, 9);
        row("bottom band starts at H-5", 300, H - 5, 2);
        row("y H-6 is inside", 300, H - 6, 9);
        row("x 7 y 6 is inside", 7, 6, 9);
        row("outside to the left", -1, 300, 0);
        row("outside below", 300, H + 1, 0);
        row("middle", 640, 340, 9);
    }
    void hitTest()
    {
        QFETCH(QPoint, point);
        QFETCH(int, zone);
        QCOMPARE(FramelessWidget::hitTestZone(point.x(), point.y(), 1280, 680), zone);
    }

    void cursorFollowsTheZone_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<int>("shape");
        QTest::newRow("top edge") << QPoint(300, 2) << int(Qt::SizeVerCursor);
        QTest::newRow("right edge") << QPoint(1278, 300) << int(Qt::SizeHorCursor);
        QTest::newRow("top-left") << QPoint(1, 1) << int(Qt::SizeFDiagCursor);
        QTest::newRow("top-right") << QPoint(1278, 1) << int(Qt::SizeBDiagCursor);
        QTest::newRow("bottom-left") << QPoint(1, 678) << int(Qt::SizeBDiagCursor);
        QTest::newRow("inside") << QPoint(300, 300) << int(Qt::ArrowCursor);
    }
    void cursorFollowsTheZone()
    {
        QFETCH(QPoint, point);
        QFETCH(int, shape);
        FramelessWidget frame;
        frame.resize(1280, 680);
        frame.hitTest(point);
        QCOMPARE(int(frame.cursor().shape()), shape);
    }

    void pressBelowTheTitleBar_data()
    {
        QTest::addColumn<int>("y");
        QTest::addColumn<bool>("drags");
        QTest::newRow("y 36 still drags (32 + 5 band)") << 36 << true;
        QTest::newRow("y 37 does nothing") << 37 << false;
        QTest::newRow("y 10 in the title bar drags") << 10 << true;
    }
    void pressBelowTheTitleBar()
    {
        QFETCH(int, y);
        QFETCH(bool, drags);
        FramelessWidget frame;
        frame.resize(1280, 680);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.titleBarHeight(), 32);
        QTest::mousePress(&frame, Qt::LeftButton, {}, QPoint(600, y));
        QCOMPARE(frame.isDragging(), drags);
        QVERIFY(!frame.isResizing());
        QTest::mouseRelease(&frame, Qt::LeftButton, {}, QPoint(600, y));
        QVERIFY(!frame.isDragging());
    }

    void pressOnACornerResizesFromIt()
    {
        FramelessWidget frame;
        frame.resize(1280, 680);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        // QTest would take a null position for "the centre", so the event is sent by hand.
        QMouseEvent press(QEvent::MouseButtonPress, QPoint(0, 0), frame.mapToGlobal(QPoint(0, 0)), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&frame, &press);
        QVERIFY(frame.isResizing());
        QCOMPARE(frame.capturedZone(), int(FramelessWidget::TopLeftCorner));
        QTest::mouseRelease(&frame, Qt::LeftButton, {}, QPoint(1, 1));
    }

    void dragMovesTheWindow()
    {
        FramelessWidget frame;
        frame.setGeometry(100, 100, 800, 500);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        const QPoint before = frame.pos();
        QTest::mousePress(&frame, Qt::LeftButton, {}, QPoint(300, 10));
        QMouseEvent move(QEvent::MouseMove, QPoint(340, 30), frame.mapToGlobal(QPoint(340, 30)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&frame, &move);
        QCOMPARE(frame.pos(), before + QPoint(40, 20));
        QTest::mouseRelease(&frame, Qt::LeftButton, {}, QPoint(340, 30));
    }

    void resizeFloor_data()
    {
        QTest::addColumn<int>("zone");
        QTest::addColumn<QPoint>("delta");
        QTest::addColumn<QRect>("expected");
        const QRect g(100, 100, 200, 100);
        QTest::newRow("right edge grows") << 4 << QPoint(30, 0) << QRect(100, 100, 230, 100);
        QTest::newRow("right edge stops at 20") << 4 << QPoint(-500, 0) << QRect(100, 100, 20, 100);
        QTest::newRow("left edge leaving 20 moves") << 3 << QPoint(180, 0) << QRect(280, 100, 20, 100);
        QTest::newRow("left edge leaving 19 stays") << 3 << QPoint(181, 0) << g;
        QTest::newRow("top edge leaving 19 stays") << 1 << QPoint(0, 81) << g;
        QTest::newRow("bottom edge stops at 20") << 2 << QPoint(0, -90) << QRect(100, 100, 200, 20);
        QTest::newRow("bottom-right corner moves both") << 8 << QPoint(10, 20) << QRect(100, 100, 210, 120);
        QTest::newRow("top-left corner keeps the opposite edges") << 5 << QPoint(10, 20) << QRect(110, 120, 190, 80);
        QTest::newRow("top edge changes only the height") << 1 << QPoint(50, 10) << QRect(100, 110, 200, 90);
    }
    void resizeFloor()
    {
        QFETCH(int, zone);
        QFETCH(QPoint, delta);
        QFETCH(QRect, expected);
        QCOMPARE(FramelessWidget::resizedGeometry(QRect(100, 100, 200, 100), zone, delta), expected);
    }

    void resizeByDragging()
    {
        FramelessWidget frame;
        frame.setMinimumSize(0, 0);
        frame.setGeometry(100, 100, 800, 500);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QTest::mousePress(&frame, Qt::LeftButton, {}, QPoint(798, 250));
        QVERIFY(frame.isResizing());
        QMouseEvent move(QEvent::MouseMove, QPoint(848, 250), frame.mapToGlobal(QPoint(798, 250)) + QPoint(50, 0),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&frame, &move);
        QCOMPARE(frame.width(), 850);
        QCOMPARE(frame.x(), 100);
        QTest::mouseRelease(&frame, Qt::LeftButton, {}, QPoint(848, 250));
    }

    void restoredUnderTheCursor()
    {
        // Pressed at the middle of a maximised 1600-wide window: the restored 1280-wide one is
        // placed so that the cursor is at its middle too.
        const QPoint topLeft =
            FramelessWidget::restoredTopLeft(QPoint(800, 10), QRect(0, 0, 1600, 1000), QSize(1280, 680));
        QCOMPARE(topLeft, QPoint(800 - 640, 10 - 6));
        const QPoint quarter =
            FramelessWidget::restoredTopLeft(QPoint(400, 16), QRect(0, 0, 1600, 1000), QSize(800, 500));
        QCOMPARE(quarter.x(), 400 - 200);
    }

    void doubleClickBand_data()
    {
        QTest::addColumn<int>("y");
        QTest::addColumn<bool>("toggles");
        QTest::newRow("y 41 (32 + 10 band) toggles") << 41 << true;
        QTest::newRow("y 42 does not") << 42 << false;
    }
    void doubleClickBand()
    {
        QFETCH(int, y);
        QFETCH(bool, toggles);
        FramelessWidget frame;
        frame.resize(1280, 680);
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QTest::mouseDClick(&frame, Qt::LeftButton, {}, QPoint(600, y));
        QTRY_COMPARE(frame.isMaximized(), toggles);
        frame.toggleMaximized();
        QTRY_COMPARE(frame.isMaximized(), !toggles);
    }

    void titleBarButtons()
    {
        FramelessWidget frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.findChild<QLabel*>(QStringLiteral("label_Tile"))->text(),
                 QStringLiteral("VORTANE SEMICONDUCTOR"));
        QCOMPARE(frame.windowTitle(), QStringLiteral("VORTANE SEMICONDUCTOR"));
        QSignalSpy closed(&frame, &FramelessWidget::closeWindow);
        frame.findChild<QPushButton*>(QStringLiteral("pushButtonClose"))->click();
        QCOMPARE(closed.count(), 1);
        frame.findChild<QPushButton*>(QStringLiteral("pushButtonFullScreen"))->click();
        QTRY_VERIFY(frame.isMaximized());
        frame.findChild<QPushButton*>(QStringLiteral("pushButtonFullScreen"))->click();
        QTRY_VERIFY(!frame.isMaximized());
        frame.findChild<QPushButton*>(QStringLiteral("pushButtonMinimum"))->click();
        QTRY_VERIFY(frame.isMinimized());
    }

    // A system close goes to the tray; without a tray the window is minimised instead, so it can
    // still be found.
    void systemCloseGoesToTheTray_data()
    {
        QTest::addColumn<bool>("tray");
        QTest::newRow("with a tray: hidden") << true;
        QTest::newRow("without a tray: minimised") << false;
    }
    void systemCloseGoesToTheTray()
    {
        QFETCH(bool, tray);
        FramelessWidget::setTrayProbeForTesting(tray ? trayPresent : trayAbsent);
        FramelessWidget frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY(!frame.close());
        if (tray) {
            QVERIFY(frame.isHidden());
        } else {
            QVERIFY(frame.isVisible());
            QTRY_VERIFY(frame.isMinimized());
        }
    }

    void hostsTheMainWidget()
    {
        FramelessWidget frame;
        auto* content = new QWidget;
        frame.setMainWidget(content);
        QCOMPARE(content->parentWidget(), frame.findChild<QWidget*>(QStringLiteral("widget_main")));
        QCOMPARE(frame.mainLayout()->indexOf(content), 0);
    }
};

QTEST_MAIN(TestFramelessWidget)
#include "TestFramelessWidget.moc"
