// The clock faces of the preview: hand angles and digits for a given time, the geometry in both
// orientations, what the composer paints in the clock modes, and the second timer that keeps
// the faces on time without sensor updates. Time comes from an injected clock.

#include "screen/ClockFaces.h"
#include "screen/FrameComposer.h"
#include "screen/MediaLabel.h"
#include "shell/AppGlobals.h"
#include "shell/Fonts.h"

#include <QtTest>

namespace {

QDateTime at(const QString& time)
{
    return QDateTime(QDate(2024, 5, 17), QTime::fromString(time, QStringLiteral("HH:mm:ss.zzz")));
}

QImage imageOf(const QLabel* label)
{
    return label->pixmap(Qt::ReturnByValue).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage premultiplied(const QImage& image)
{
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Of the opaque pixels of `picture`, the share that `frame` shows in a colour close to the
// picture's own, with the picture's top-left corner at `origin`.
double opaqueMatch(const QImage& frame, const QImage& picture, const QPoint& origin)
{
    int opaque = 0;
    int matched = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = picture.pixel(x, y);
            if (qAlpha(p) < 250)
                continue;
            ++opaque;
            const QRgb seen = frame.pixel(origin + QPoint(x, y));
            if (qAbs(qRed(seen) - qRed(p)) < 60 && qAbs(qGreen(seen) - qGreen(p)) < 60 &&
                qAbs(qBlue(seen) - qBlue(p)) < 60)
                ++matched;
        }
    }
    return opaque == 0 ? 0.0 : double(matched) / opaque;
}

struct Preview
{
    explicit Preview(bool portrait = false, const QString& time = QStringLiteral("09:05:30.000"))
        : now(at(time))
    {
        label.resize(portrait ? 120 : 200, portrait ? 200 : 120);
        QPixmap frame(portrait ? 480 : 800, portrait ? 800 : 480);
        frame.fill(Qt::black);
        label.setPixmap(frame);
        label.setClockSource([this] { return now; });
    }
    QDateTime now;
    MediaLabel label;
};

} // namespace

class TestClockFaces final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        screenWidth = 800;
        screenHeight = 480;
        previewScale = 0.25;
        registerFonts();
    }

    void handsAndDigits_data()
    {
        QTest::addColumn<QString>("time");
        QTest::addColumn<double>("minuteDegrees");
        QTest::addColumn<double>("hourDegrees");
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("minute");
        QTest::newRow("09:05:30: minute hand 303, hour hand 542.5, digits 09 05")
            << "09:05:30.000" << 303.0 << 542.5 << "09"
            << "05";
        QTest::newRow("00:00:00: both hands at 12 o'clock (270)") << "00:00:00.000" << 270.0 << 270.0 << "00"
                                                                  << "00";
        QTest::newRow("15:45: the digits read 15, the hour hand uses 3") << "15:45:00.000" << 540.0 << 382.5 << "15"
                                                                         << "45";
        QTest::newRow("23:59:59: last second of the day")
            << "23:59:59.999" << (59.0 / 60 + 59) * 6 + 270 << (59.0 / 60 + 11) * 30 + 270 << "23"
            << "59";
    }
    void handsAndDigits()
    {
        QFETCH(QString, time);
        QFETCH(double, minuteDegrees);
        QFETCH(double, hourDegrees);
        QFETCH(QString, hour);
        QFETCH(QString, minute);
        const QTime t = at(time).time();
        QCOMPARE(ClockFaces::minuteHandDegrees(t), minuteDegrees);
        QCOMPARE(ClockFaces::hourHandDegrees(t), hourDegrees);

        Preview preview(false, time);
        preview.label.showClockFace(0);
        QCOMPARE(imageOf(preview.label.hourLabel()), premultiplied(ClockFaces::digitImage(hour)));
        QCOMPARE(imageOf(preview.label.minuteLabel()), premultiplied(ClockFaces::digitImage(minute)));
        QVERIFY(ClockFaces::digitImage(hour) != ClockFaces::digitImage(QStringLiteral("88")));
        preview.label.showClockFace(1);
        QCOMPARE(imageOf(preview.label.clockLabel()), premultiplied(ClockFaces::analogClockImage(t)));
    }

    // The picture itself: the hands point where the angles say (12 o'clock is up).
    void handsPointWhereTheAnglesSay_data()
    {
        QTest::addColumn<QString>("time");
        QTest::addColumn<QPoint>("inkAt");
        QTest::addColumn<QPoint>("clearAt");
        QTest::newRow("00:00: minute hand up, nothing at 3 o'clock")
            << "00:00:00.000" << QPoint(160, 80) << QPoint(240, 160);
        QTest::newRow("00:15: minute hand at 3 o'clock, nothing far up")
            << "00:15:00.000" << QPoint(240, 160) << QPoint(160, 80);
        QTest::newRow("09:00: hour hand at 9 o'clock") << "09:00:00.000" << QPoint(110, 160) << QPoint(210, 160);
    }
    void handsPointWhereTheAnglesSay()
    {
        QFETCH(QString, time);
        QFETCH(QPoint, inkAt);
        QFETCH(QPoint, clearAt);
        const QImage clock = ClockFaces::analogClockImage(at(time).time());
        QCOMPARE(clock.size(), QSize(320, 320));
        QVERIFY(qAlpha(clock.pixel(inkAt)) > 200);
        QCOMPARE(qAlpha(clock.pixel(clearAt)), 0);
        QCOMPARE(qAlpha(clock.pixel(5, 5)), 0);
    }

    void geometry_data()
    {
        QTest::addColumn<bool>("portrait");
        QTest::addColumn<QRect>("clock");
        QTest::addColumn<QRect>("hour");
        QTest::addColumn<QRect>("minute");
        QTest::newRow("landscape 200 x 120")
            << false << QRect(60, 20, 80, 80) << QRect(87, 43, 26, 17) << QRect(87, 60, 26, 17);
        QTest::newRow("portrait 120 x 200")
            << true << QRect(20, 60, 80, 80) << QRect(47, 83, 26, 17) << QRect(47, 100, 26, 17);
    }
    void geometry()
    {
        QFETCH(bool, portrait);
        QFETCH(QRect, clock);
        QFETCH(QRect, hour);
        QFETCH(QRect, minute);
        Preview preview(portrait);
        preview.label.showClockFace(1);
        preview.label.showClockFace(0);
        QCOMPARE(preview.label.clockLabel()->geometry(), clock);
        QCOMPARE(preview.label.hourLabel()->geometry(), hour);
        QCOMPARE(preview.label.minuteLabel()->geometry(), minute);
    }

    // An orientation change lays the faces out again in the middle of the new preview.
    void orientationChangeRecentres()
    {
        Preview preview;
        preview.label.showClockFace(1);
        preview.label.resize(120, 200);
        preview.label.applyOrientationLayout();
        QCOMPARE(preview.label.clockLabel()->geometry(), QRect(20, 60, 80, 80));
        QCOMPARE(preview.label.hourLabel()->geometry(), QRect(47, 83, 26, 17));
    }

    void styleShowsItsLabelsOnly_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<bool>("digital");
        QTest::addColumn<bool>("analog");
        QTest::newRow("style 0: hour and min") << 0 << true << false;
        QTest::newRow("style 1: Clock") << 1 << false << true;
    }
    void styleShowsItsLabelsOnly()
    {
        QFETCH(int, style);
        QFETCH(bool, digital);
        QFETCH(bool, analog);
        Preview preview;
        preview.label.showClockFace(1 - style);
        preview.label.showClockFace(style);
        QCOMPARE(!preview.label.hourLabel()->isHidden(), digital);
        QCOMPARE(!preview.label.minuteLabel()->isHidden(), digital);
        QCOMPARE(!preview.label.clockLabel()->isHidden(), analog);
        preview.label.hideClockFaces();
        QVERIFY(preview.label.hourLabel()->isHidden());
        QVERIFY(preview.label.clockLabel()->isHidden());
    }

    // The composer paints the faces of the display mode at screen resolution in the middle of the
    // frame: the analog clock at (240, 80), the digits at (348, 172) and (348, 240).
    void composedFrameShowsTheTime_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("mode 1: digital") << 1;
        QTest::newRow("mode 2: analog") << 2;
    }
    void composedFrameShowsTheTime()
    {
        QFETCH(int, mode);
        Preview preview(false, QStringLiteral("10:42:00.000"));
        preview.label.showClockFace(mode == 2 ? 1 : 0);
        FrameComposer composer([] { return qint64(0); });
        const QImage frame = composer.composeImage(preview.label, mode).convertToFormat(QImage::Format_RGB32);
        const QTime shown = QTime(10, 42);
        const QTime other = QTime(4, 13);
        if (mode == 2) {
            QVERIFY(opaqueMatch(frame, ClockFaces::analogClockImage(shown), QPoint(240, 80)) > 0.9);
            QVERIFY(opaqueMatch(frame, ClockFaces::analogClockImage(other), QPoint(240, 80)) < 0.6);
        } else {
            QVERIFY(opaqueMatch(frame, ClockFaces::digitImage(QStringLiteral("10")), QPoint(348, 172)) > 0.9);
            QVERIFY(opaqueMatch(frame, ClockFaces::digitImage(QStringLiteral("42")), QPoint(348, 240)) > 0.9);
            QVERIFY(opaqueMatch(frame, ClockFaces::digitImage(QStringLiteral("13")), QPoint(348, 240)) < 0.8);
        }
    }

    // Without sensor updates the faces keep time: a timer fires just after each second begins.
    void secondTimerKeepsTime()
    {
        Preview preview(false, QStringLiteral("12:00:59.250"));
        preview.label.showClockFace(0);
        ClockFaces& faces = preview.label.clockFaces();
        QVERIFY(faces.tickScheduled());
        QCOMPARE(faces.nextTickMs(), 750 + ClockFaces::kTickMarginMs);
        QCOMPARE(imageOf(preview.label.minuteLabel()), premultiplied(ClockFaces::digitImage(QStringLiteral("00"))));

        preview.now = at(QStringLiteral("12:01:00.005"));
        faces.tick();
        QCOMPARE(imageOf(preview.label.minuteLabel()), premultiplied(ClockFaces::digitImage(QStringLiteral("01"))));
        QCOMPARE(imageOf(preview.label.clockLabel()), premultiplied(ClockFaces::analogClockImage(QTime(12, 1, 0, 5))));
        QCOMPARE(faces.nextTickMs(), 995 + ClockFaces::kTickMarginMs);

        preview.label.hideClockFaces();
        QVERIFY(!faces.tickScheduled());
    }

    // Sensor updates redraw every face whatever style is shown, and move nothing.
    void sensorUpdateRedrawsAllFaces()
    {
        Preview preview;
        preview.label.showClockFace(0);
        const QRect hourGeometry = preview.label.hourLabel()->geometry();
        preview.now = at(QStringLiteral("18:27:10.000"));
        preview.label.updataHwinfoLabel();
        QCOMPARE(imageOf(preview.label.hourLabel()), premultiplied(ClockFaces::digitImage(QStringLiteral("18"))));
        QCOMPARE(imageOf(preview.label.clockLabel()), premultiplied(ClockFaces::analogClockImage(QTime(18, 27, 10))));
        QCOMPARE(preview.label.hourLabel()->geometry(), hourGeometry);
    }
};

QTEST_MAIN(TestClockFaces)
#include "TestClockFaces.moc"
