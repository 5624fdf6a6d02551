// The crop canvas and the trim timeline of the crop-and-scale dialog: the integer rules of the crop
// rectangle (frame aspect, handle hits, the eight resize formulas with their refusals, moves and
// their clamps), picture placement, wheel zoom about the pointer with its limits, a picture that
// failed to load, and the timeline's handles, marker and thumbnail cap.

#include "media/ImageLabel.h"
#include "media/VideoTimeline.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QWheelEvent>
#include <QtTest>

#include <cmath>

namespace {

struct Edges
{
    int left, top, right, bottom;
};

Edges edgesOf(const ImageLabel& label)
{
    const auto& p = label.cropPoints();
    return {p[ImageLabel::TopLeft].x(), p[ImageLabel::TopLeft].y(), p[ImageLabel::BottomRight].x(),
            p[ImageLabel::BottomRight].y()};
}

QString describe(const Edges& e)
{
    return QStringLiteral("(%1,%2)-(%3,%4)").arg(e.left).arg(e.top).arg(e.right).arg(e.bottom);
}

void sendMouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(pos), QPointF(widget->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Press at `from`, move by `delta` in one step, release there.
void drag(QWidget* widget, QPoint from, QPoint delta)
{
    sendMouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton);
    sendMouse(widget, QEvent::MouseMove, from + delta, Qt::LeftButton);
    sendMouse(widget, QEvent::MouseButtonRelease, from + delta, Qt::NoButton);
}

void wheel(QWidget* widget, QPoint pos, int delta)
{
    QWheelEvent event(QPointF(pos), QPointF(widget->mapToGlobal(pos)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

QImage picture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return image;
}

// The rectangle (95,30)-(353,185): the landscape default shrunk by its bottom-right handle and moved
// into the middle, so that it can grow in every direction.
void makeMiddleRectangle(ImageLabel& label)
{
    label.setFrameAspect(800, 480);
    drag(&label, {403, 214}, {-100, 0});
    drag(&label, {200, 100}, {50, 30});
}

} // namespace

Q_DECLARE_METATYPE(ImageLabel::CropPoint)

class TestImageLabel : public QObject
{
    Q_OBJECT

private slots:
    void frameAspect_data();
    void frameAspect();
    void refitRatio_data();
    void refitRatio();
    void recordQueriesOfTheDefaultLandscapeCrop();
    void handleHits_data();
    void handleHits();
    void resize_data();
    void resize();
    void moveCropRectangle_data();
    void moveCropRectangle();
    void pictureMovesAtHalfPointerSpeed();
    void wheelZoomKeepsThePixelUnderThePointer_data();
    void wheelZoomKeepsThePixelUnderThePointer();
    void wheelZoomLimits();
    void newFrameKeepsRatioAndPosition();
    void fitWidthAndHeight();
    void pictureThatFailedToLoad();

    void timelineInitialState();
    void timelineRangeHandles();
    void timelineHandlesCannotCross();
    void timelineMarkerReportsPosition();
    void timelinePressOnNothingDragsNothing();
    void timelineThumbnailsAreCapped();
};

void TestImageLabel::frameAspect_data()
{
    QTest::addColumn<int>("frameWidth");
    QTest::addColumn<int>("frameHeight");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("right");
    QTest::addColumn<int>("bottom");
    QTest::addColumn<QSize>("canvas");
    QTest::newRow("landscape 800x480: full height, centred") << 800 << 480 << 45 << 0 << 403 << 214 << QSize(716, 428);
    QTest::newRow("portrait 480x800: full height, centred") << 480 << 800 << 161 << 0 << 287 << 214 << QSize(252, 428);
    QTest::newRow("wider than the canvas: full width, centred vertically")
        << 2400 << 480 << 1 << 64 << 447 << 150 << QSize(892, 172);
}

void TestImageLabel::frameAspect()
{
    QFETCH(int, frameWidth);
    QFETCH(int, frameHeight);
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(int, right);
    QFETCH(int, bottom);
    QFETCH(QSize, canvas);
    ImageLabel label;
    label.setFrameAspect(frameWidth, frameHeight);
    QCOMPARE(describe(edgesOf(label)), describe({left, top, right, bottom}));
    const auto& p = label.cropPoints();
    QCOMPARE(p[ImageLabel::TopMiddle], QPoint(225, top));
    QCOMPARE(p[ImageLabel::MiddleLeft], QPoint(left, 108));
    QCOMPARE(p[ImageLabel::MiddleRight], QPoint(right, 108));
    QCOMPARE(p[ImageLabel::BottomMiddle], QPoint(225, bottom));
    QCOMPARE(p[ImageLabel::TopRight], QPoint(right, top));
    QCOMPARE(p[ImageLabel::BottomLeft], QPoint(left, bottom));
    QCOMPARE(label.cropCanvasSize(), canvas);
}

void TestImageLabel::refitRatio_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<QSize>("display");
    QTest::addColumn<QPoint>("position");
    QTest::newRow("1920x1080 fits the height") << QSize(1920, 1080) << 0.4 << QSize(768, 432) << QPoint(66, 0);
    QTest::newRow("600x400 is shown as it is") << QSize(600, 400) << 1.0 << QSize(600, 400) << QPoint(150, 16);
    QTest::newRow("2000x500 (wider than 2.083:1) fits the width")
        << QSize(2000, 500) << 0.45 << QSize(900, 225) << QPoint(0, 103);
    QTest::newRow("900x432 fills the canvas at 1.0") << QSize(900, 432) << 1.0 << QSize(900, 432) << QPoint(0, 0);
    QTest::newRow("500x2000 fits the height") << QSize(500, 2000) << 0.216 << QSize(108, 432) << QPoint(396, 0);
    QTest::newRow("1000x100 fits the width") << QSize(1000, 100) << 0.9 << QSize(900, 90) << QPoint(0, 171);
}

void TestImageLabel::refitRatio()
{
    QFETCH(QSize, size);
    QFETCH(double, ratio);
    QFETCH(QSize, display);
    QFETCH(QPoint, position);
    ImageLabel label;
    label.setFrameAspect(800, 480);
    label.setImage(picture(size.width(), size.height()), true);
    QCOMPARE(label.imageRatio(), ratio);
    QCOMPARE(label.displaySize(), display);
    QCOMPARE(label.picturePosition(), position);
}

void TestImageLabel::recordQueriesOfTheDefaultLandscapeCrop()
{
    ImageLabel label;
    label.setFrameAspect(800, 480);
    label.setImage(picture(1920, 1080), true);
    QCOMPARE(label.imageOffset(), QPoint(-24, 0));
    QCOMPARE(label.cropCanvasSize(), QSize(716, 428));
    QCOMPARE(label.imageRatio(), 0.4);
}

void TestImageLabel::handleHits_data()
{
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("cursor");
    // The landscape default rectangle (45,0)-(403,214); middles at x 225 and y 108.
    QTest::newRow("top-left corner") << QPoint(45, 0) << 3 << int(Qt::SizeFDiagCursor);
    QTest::newRow("top-left reaches 3 px") << QPoint(48, 3) << 3 << int(Qt::SizeFDiagCursor);
    QTest::newRow("bottom-left") << QPoint(42, 214) << 8 << int(Qt::SizeBDiagCursor);
    QTest::newRow("top-right") << QPoint(406, 3) << 5 << int(Qt::SizeBDiagCursor);
    QTest::newRow("bottom-right") << QPoint(400, 211) << 10 << int(Qt::SizeFDiagCursor);
    QTest::newRow("top-middle reaches 5 px along the edge") << QPoint(230, 3) << 4 << int(Qt::SizeVerCursor);
    QTest::newRow("6 px beside top-middle is inside the rectangle") << QPoint(231, 0) << 2 << int(Qt::ClosedHandCursor);
    QTest::newRow("bottom-middle") << QPoint(220, 211) << 9 << int(Qt::SizeVerCursor);
    QTest::newRow("middle-right reaches 9 px down") << QPoint(403, 117) << 7 << int(Qt::SizeHorCursor);
    QTest::newRow("middle-right 10 px down is the edge: inside") << QPoint(403, 118) << 2 << int(Qt::ClosedHandCursor);
    QTest::newRow("middle-left reaches 7 px up") << QPoint(42, 101) << 6 << int(Qt::SizeHorCursor);
    QTest::newRow("middle-left 8 px up, outside: the picture") << QPoint(42, 100) << 1 << int(Qt::ClosedHandCursor);
    QTest::newRow("inside the rectangle") << QPoint(200, 100) << 2 << int(Qt::ClosedHandCursor);
    QTest::newRow("outside the rectangle") << QPoint(10, 10) << 1 << int(Qt::ClosedHandCursor);
}

void TestImageLabel::handleHits()
{
    QFETCH(QPoint, press);
    QFETCH(int, mode);
    QFETCH(int, cursor);
    ImageLabel label;
    label.setFrameAspect(800, 480);
    sendMouse(&label, QEvent::MouseButtonPress, press, Qt::LeftButton);
    QCOMPARE(label.dragMode(), mode);
    QCOMPARE(int(label.cursor().shape()), cursor);
    sendMouse(&label, QEvent::MouseButtonRelease, press, Qt::NoButton);
    QCOMPARE(label.dragMode(), 0);
    QCOMPARE(label.cursor().shape(), Qt::ArrowCursor);
}

void TestImageLabel::resize_data()
{
    QTest::addColumn<QPoint>("handle");
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<QString>("edges");
    // All from the rectangle (95,30)-(353,185) at 800:480; the second edge moves by the truncated
    // difference between the size the aspect needs and the current size.
    QTest::newRow("top-left up 10: left follows by trunc(17.0)")
        << QPoint(95, 30) << QPoint(0, -10) << "(78,20)-(353,185)";
    QTest::newRow("top-middle down 10: left moves in by trunc(-16.3)")
        << QPoint(224, 30) << QPoint(0, 10) << "(111,40)-(353,185)";
    QTest::newRow("top-right up 10: right follows") << QPoint(353, 30) << QPoint(0, -10) << "(95,20)-(370,185)";
    QTest::newRow("middle-left out 20: top follows by trunc(11.8)")
        << QPoint(95, 108) << QPoint(-20, 0) << "(75,19)-(353,185)";
    QTest::newRow("middle-right out 20: bottom follows") << QPoint(353, 108) << QPoint(20, 0) << "(95,30)-(373,196)";
    QTest::newRow("bottom-left down 10: left follows") << QPoint(95, 185) << QPoint(0, 10) << "(78,30)-(353,195)";
    QTest::newRow("bottom-middle down 10: right follows") << QPoint(224, 185) << QPoint(0, 10) << "(95,30)-(370,195)";
    QTest::newRow("bottom-right in 20: bottom follows by trunc(-12.2)")
        << QPoint(353, 185) << QPoint(-20, 0) << "(95,30)-(333,173)";
    QTest::newRow("bottom-right to a width of exactly 30 is taken")
        << QPoint(353, 185) << QPoint(-228, 0) << "(95,30)-(125,48)";
    QTest::newRow("bottom-right below a width of 30 is refused")
        << QPoint(353, 185) << QPoint(-229, 0) << "(95,30)-(353,185)";
    QTest::newRow("bottom-right beyond x 447 is refused") << QPoint(353, 185) << QPoint(95, 0) << "(95,30)-(353,185)";
    QTest::newRow("bottom-right to x 447 whose bottom would pass 214 is refused")
        << QPoint(353, 185) << QPoint(94, 0) << "(95,30)-(353,185)";
    QTest::newRow("top-left above 0 is refused") << QPoint(95, 30) << QPoint(0, -31) << "(95,30)-(353,185)";
    QTest::newRow("top-right above 0 is refused") << QPoint(353, 30) << QPoint(0, -31) << "(95,30)-(353,185)";
    QTest::newRow("middle-left whose top would pass 0 is refused")
        << QPoint(95, 108) << QPoint(-80, 0) << "(95,30)-(353,185)";
    QTest::newRow("bottom-middle below 214 is refused") << QPoint(224, 185) << QPoint(0, 30) << "(95,30)-(353,185)";
    QTest::newRow("bottom-left down to y 214 is taken") << QPoint(95, 185) << QPoint(0, 29) << "(47,30)-(353,214)";
    QTest::newRow("bottom-left below y 214 is refused") << QPoint(95, 185) << QPoint(0, 30) << "(95,30)-(353,185)";
    QTest::newRow("middle-left past x 0 is refused") << QPoint(95, 108) << QPoint(-96, 0) << "(95,30)-(353,185)";
}

void TestImageLabel::resize()
{
    QFETCH(QPoint, handle);
    QFETCH(QPoint, delta);
    QFETCH(QString, edges);
    ImageLabel label;
    makeMiddleRectangle(label);
    QCOMPARE(describe(edgesOf(label)), QStringLiteral("(95,30)-(353,185)"));
    drag(&label, handle, delta);
    const Edges e = edgesOf(label);
    QCOMPARE(describe(e), edges);
    // The middle points sit at the rounded half-way positions of the edges.
    const auto& p = label.cropPoints();
    const int middleX = qRound((e.left + e.right) / 2.0);
    const int middleY = qRound((e.top + e.bottom) / 2.0);
    QCOMPARE(p[ImageLabel::TopMiddle], QPoint(middleX, e.top));
    QCOMPARE(p[ImageLabel::BottomMiddle], QPoint(middleX, e.bottom));
    QCOMPARE(p[ImageLabel::MiddleLeft], QPoint(e.left, middleY));
    QCOMPARE(p[ImageLabel::MiddleRight], QPoint(e.right, middleY));
}

void TestImageLabel::moveCropRectangle_data()
{
    QTest::addColumn<QPoint>("delta");
    QTest::addColumn<QString>("edges");
    // From the landscape default (45,0)-(403,214).
    QTest::newRow("right by 10") << QPoint(10, 0) << "(55,0)-(413,214)";
    QTest::newRow("right by 44 reaches x 447") << QPoint(44, 0) << "(89,0)-(447,214)";
    QTest::newRow("right by 45 passes x 447: refused") << QPoint(45, 0) << "(45,0)-(403,214)";
    QTest::newRow("left by 45 reaches x 0") << QPoint(-45, 0) << "(0,0)-(358,214)";
    QTest::newRow("left by 46: refused") << QPoint(-46, 0) << "(45,0)-(403,214)";
    QTest::newRow("up by 1: refused") << QPoint(0, -1) << "(45,0)-(403,214)";
    QTest::newRow("down by 1 passes y 214: refused") << QPoint(0, 1) << "(45,0)-(403,214)";
}

void TestImageLabel::moveCropRectangle()
{
    QFETCH(QPoint, delta);
    QFETCH(QString, edges);
    ImageLabel label;
    label.setFrameAspect(800, 480);
    drag(&label, {200, 100}, delta);
    QCOMPARE(describe(edgesOf(label)), edges);
}

void TestImageLabel::pictureMovesAtHalfPointerSpeed()
{
    ImageLabel label;
    label.setFrameAspect(800, 480);
    label.setImage(picture(600, 400), true);
    const QPoint before = label.picturePosition();
    drag(&label, {10, 10}, {20, -6});
    // Canvas units: two per widget pixel, so the picture moved 10 by 3 widget pixels.
    QCOMPARE(label.picturePosition(), before + QPoint(20, -6));
    QCOMPARE(label.imageOffset(), before + QPoint(20, -6) - QPoint(90, 0));
}

void TestImageLabel::wheelZoomKeepsThePixelUnderThePointer_data()
{
    QTest::addColumn<int>("delta");
    QTest::addColumn<double>("ratio");
    QTest::addColumn<QSize>("display");
    QTest::addColumn<QPoint>("position");
    // 600x400 at ratio 1.0, top-left (150,16); the pointer at widget (160,60) is canvas (320,120),
    // over source pixel (170,104).
    QTest::newRow("zoom in: ratio + 0.01, size truncated") << 120 << 1.01 << QSize(606, 404) << QPoint(148, 15);
    QTest::newRow("zoom out: ratio - 0.01, size rounded") << -120 << 0.99 << QSize(594, 396) << QPoint(152, 17);
}

void TestImageLabel::wheelZoomKeepsThePixelUnderThePointer()
{
    QFETCH(int, delta);
    QFETCH(double, ratio);
    QFETCH(QSize, display);
    QFETCH(QPoint, position);
    ImageLabel label;
    label.setFrameAspect(800, 480);
    label.setImage(picture(600, 400), true);
    wheel(&label, {160, 60}, delta);
    QVERIFY(qFuzzyCompare(label.imageRatio(), ratio));
    QCOMPARE(label.displaySize(), display);
    QCOMPARE(label.picturePosition(), position);
    // Source pixel (170,104) is still under canvas (320,120).
    QVERIFY(std::abs(position.x() + 170 * ratio - 320) < 1.0);
    QVERIFY(std::abs(position.y() + 104 * ratio - 120) < 1.0);
}

void TestImageLabel::wheelZoomLimits()
{
    ImageLabel label;
    label.setFrameAspect(800, 480);
    label.setImage(picture(600, 400), true);
    for (int i = 0; i < 400; ++i)
        wheel(&label, {225, 108}, 120);
    const double top = label.imageRatio();
    QVERIFY2(top > ImageLabel::kMaxZoomRatio && top < ImageLabel::kMaxZoomRatio + 0.015,
             qPrintable(QString::number(top)));
    // The zoomed picture is never built: painting at the deepest zoom works from the source.
    QCOMPARE(label.sourceImage().size(), QSize(600, 400));
    QImage shot = label.grab().toImage();
    QCOMPARE(shot.size(), QSize(450, 216));

    for (int i = 0; i < 400; ++i)
        wheel(&label, {225, 108}, -120);
    const double bottom = label.imageRatio();
    QVERIFY2(bottom < ImageLabel::kMinZoomRatio && bottom > ImageLabel::kMinZoomRatio - 0.015,
             qPrintable(QString::number(bottom)));
}

void TestImageLabel::newFrameKeepsRatioAndPosition()
{
    ImageLabel label;
    label.setFrameAspect(800, 480);
    label.setImage(picture(1920, 1080), true);
    drag(&label, {10, 10}, {4, 4});
    const QPoint position = label.picturePosition();
    label.setImage(picture(1920, 1080), false);
    QCOMPARE(label.imageRatio(), 0.4);
    QCOMPARE(label.picturePosition(), position);
    QCOMPARE(label.displaySize(), QSize(768, 432));
}

void TestImageLabel::fitWidthAndHeight()
{
    ImageLabel label;
    label.setFrameAspect(800, 480);
    label.setImage(picture(600, 400), true);
    label.fitWidth();
    QCOMPARE(label.imageRatio(), 1.5);
    QCOMPARE(label.displaySize(), QSize(900, 600));
    QCOMPARE(label.picturePosition(), QPoint(0, -84));
    label.fitHeight();
    QCOMPARE(label.imageRatio(), 1.08);
    QCOMPARE(label.displaySize(), QSize(648, 432));
    QCOMPARE(label.picturePosition(), QPoint(126, 0));
}

void TestImageLabel::pictureThatFailedToLoad()
{
    ImageLabel label;
    label.setFrameAspect(800, 480);
    label.setImage(QImage(), true);
    QCOMPARE(label.imageRatio(), 1.0);
    label.fitWidth();
    QCOMPARE(label.imageRatio(), 1.0);
    label.fitHeight();
    QCOMPARE(label.imageRatio(), 1.0);
    wheel(&label, {225, 108}, 120);
    QCOMPARE(label.imageRatio(), 1.0);
    QVERIFY(std::isfinite(label.imageRatio()));
    QCOMPARE(label.cropCanvasSize(), QSize(716, 428));
    const QImage shot = label.grab().toImage();
    QCOMPARE(QColor(shot.pixel(225, 108)), QColor(Qt::black));
}

void TestImageLabel::timelineInitialState()
{
    VideoTimeline timeline;
    QCOMPARE(timeline.objectName(), QStringLiteral("TimeLine"));
    QCOMPARE(timeline.size(), QSize(400, 28));
    QVERIFY(timeline.hasMouseTracking());
    QCOMPARE(timeline.rangeStartPx(), 0);
    QCOMPARE(timeline.rangeEndPx(), 399);
    QCOMPARE(timeline.currentPx(), 0);
    QCOMPARE(timeline.handleWidth(), 4);
    QCOMPARE(timeline.stripHeight(), 24);
    timeline.setCurrentRange(0.5);
    QCOMPARE(timeline.currentPx(), 200);
    timeline.setCurrentRange(0.999);
    QCOMPARE(timeline.currentPx(), 399);
}

void TestImageLabel::timelineRangeHandles()
{
    VideoTimeline timeline;
    timeline.setCurrentPx(200);
    QSignalSpy range(&timeline, &VideoTimeline::currentPosChange);
    QSignalSpy position(&timeline, &VideoTimeline::currentRange);

    sendMouse(&timeline, QEvent::MouseButtonPress, {8, 14}, Qt::LeftButton); // within 4 + 5 of 0
    QCOMPARE(timeline.dragMode(), 1);
    sendMouse(&timeline, QEvent::MouseMove, {100, 14}, Qt::LeftButton);
    QCOMPARE(timeline.rangeStartPx(), 100);
    QCOMPARE(range.count(), 0); // reported when the handle is let go
    sendMouse(&timeline, QEvent::MouseButtonRelease, {100, 14}, Qt::NoButton);
    QCOMPARE(range.count(), 1);
    QCOMPARE(range.last().at(0).toDouble(), 0.25);
    QCOMPARE(range.last().at(1).toDouble(), 0.9975);

    sendMouse(&timeline, QEvent::MouseButtonPress, {390, 14}, Qt::LeftButton);
    QCOMPARE(timeline.dragMode(), 2);
    sendMouse(&timeline, QEvent::MouseMove, {300, 14}, Qt::LeftButton);
    sendMouse(&timeline, QEvent::MouseButtonRelease, {300, 14}, Qt::NoButton);
    QCOMPARE(range.count(), 2);
    QCOMPARE(range.last().at(0).toDouble(), 0.25);
    QCOMPARE(range.last().at(1).toDouble(), 0.75);
    QCOMPARE(position.count(), 0);
    QCOMPARE(timeline.dragMode(), 0);
}

void TestImageLabel::timelineHandlesCannotCross()
{
    VideoTimeline timeline;
    timeline.setCurrentPx(200);
    sendMouse(&timeline, QEvent::MouseButtonPress, {0, 14}, Qt::LeftButton);
    sendMouse(&timeline, QEvent::MouseMove, {900, 14}, Qt::LeftButton);
    sendMouse(&timeline, QEvent::MouseButtonRelease, {900, 14}, Qt::NoButton);
    QCOMPARE(timeline.rangeStartPx(), 399); // clamped to the width, then to the end handle

    VideoTimeline other;
    other.setCurrentPx(200);
    other.setRangePx(150, 399);
    sendMouse(&other, QEvent::MouseButtonPress, {399, 14}, Qt::LeftButton);
    sendMouse(&other, QEvent::MouseMove, {-50, 14}, Qt::LeftButton);
    QCOMPARE(other.rangeEndPx(), 150);
    sendMouse(&other, QEvent::MouseButtonRelease, {-50, 14}, Qt::NoButton);
}

void TestImageLabel::timelineMarkerReportsPosition()
{
    VideoTimeline timeline;
    timeline.setCurrentPx(200);
    QSignalSpy position(&timeline, &VideoTimeline::currentRange);
    QSignalSpy range(&timeline, &VideoTimeline::currentPosChange);
    sendMouse(&timeline, QEvent::MouseButtonPress, {203, 14}, Qt::LeftButton); // closer than 4
    QCOMPARE(timeline.dragMode(), 3);
    sendMouse(&timeline, QEvent::MouseMove, {100, 14}, Qt::LeftButton);
    QCOMPARE(position.count(), 1);
    QCOMPARE(position.last().at(0).toDouble(), 0.25);
    QCOMPARE(timeline.currentPx(), 100);
    sendMouse(&timeline, QEvent::MouseButtonRelease, {100, 14}, Qt::NoButton);
    QCOMPARE(range.count(), 0);
}

void TestImageLabel::timelinePressOnNothingDragsNothing()
{
    VideoTimeline timeline;
    timeline.setCurrentPx(200);
    QSignalSpy position(&timeline, &VideoTimeline::currentRange);
    sendMouse(&timeline, QEvent::MouseButtonPress, {204, 14}, Qt::LeftButton); // 4 away: not closer
    QCOMPARE(timeline.dragMode(), 0);
    sendMouse(&timeline, QEvent::MouseMove, {50, 14}, Qt::LeftButton);
    sendMouse(&timeline, QEvent::MouseButtonRelease, {50, 14}, Qt::NoButton);
    QCOMPARE(timeline.currentPx(), 200);
    QCOMPARE(timeline.rangeStartPx(), 0);
    QCOMPARE(timeline.rangeEndPx(), 399);
    QCOMPARE(position.count(), 0);
}

void TestImageLabel::timelineThumbnailsAreCapped()
{
    VideoTimeline timeline;
    QVector<QImage> many;
    for (int i = 0; i < 250; ++i) {
        QImage thumbnail(24, 576, QImage::Format_RGB888); // a very tall clip's thumbnails
        thumbnail.fill(QColor(i, 0, 0));
        many.append(thumbnail);
    }
    timeline.setThumbnails(many);
    QCOMPARE(timeline.thumbnails().size(), VideoTimeline::kMaxThumbnails);
    for (const QImage& kept : timeline.thumbnails())
        QCOMPARE(kept.size(), QSize(4, 24));
    // Thinned out evenly: the last kept one comes from near the end.
    QCOMPARE(qRed(timeline.thumbnails().last().pixel(0, 0)), 247);

    QVector<QImage> few(3, QImage(240, 135, QImage::Format_RGB888));
    timeline.setThumbnails(few);
    QCOMPARE(timeline.thumbnails().size(), 3);
    QCOMPARE(timeline.thumbnails().first().size(), QSize(133, 24));
    QCOMPARE(timeline.grab().size(), QSize(400, 28));
}

QTEST_MAIN(TestImageLabel)
#include "TestImageLabel.moc"
