#include "screen/FlexibleLabel.h"
#include "screen/FrameComposer.h"
#include "screen/MediaLabel.h"
#include "shell/AppGlobals.h"
#include "tests/support/MockClock.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QtTest>

namespace {

QPixmap solid(int w, int h, const QColor& colour)
{
    QPixmap pixmap(w, h);
    pixmap.fill(colour);
    return pixmap;
}

QImage decodeJpeg(const QByteArray& packet)
{
    QByteArray jpeg = packet.mid(FrameComposer::kHeaderBytes);
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "JPG");
    return reader.read();
}

bool near(QRgb a, QRgb b)
{
    return qAbs(qRed(a) - qRed(b)) < 40 && qAbs(qGreen(a) - qGreen(b)) < 40 && qAbs(qBlue(a) - qBlue(b)) < 40;
}

// A preview of the landscape size with a black background frame.
struct Preview
{
    Preview(int frameW = 800, int frameH = 480)
    {
        label.resize(int(frameW * previewScale), int(frameH * previewScale));
        label.setPixmap(solid(frameW, frameH, Qt::black));
    }
    MediaLabel label;
};

} // namespace

class TestFrameComposer final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        screenWidth = 800;
        screenHeight = 480;
        previewScale = 0.25;
    }

    void throttle_data()
    {
        QTest::addColumn<qint64>("gapMs");
        QTest::addColumn<bool>("composes");
        QTest::newRow("10 ms after the last: nothing") << qint64(10) << false;
        QTest::newRow("14 ms after the last: nothing") << qint64(14) << false;
        QTest::newRow("15 ms after the last: composes") << qint64(15) << true;
        QTest::newRow("40 ms after the last: composes") << qint64(40) << true;
    }
    void throttle()
    {
        QFETCH(qint64, gapMs);
        QFETCH(bool, composes);
        TestSupport::MockClock clock(1'000'000);
        FrameComposer composer(clock.milliseconds());
        Preview preview;
        QVERIFY(!composer.composeFrame(preview.label, {}).isNull()); // the first one always composes
        clock.advanceMs(gapMs);
        QCOMPARE(!composer.composeFrame(preview.label, {}).isNull(), composes);
    }

    // A throttled call must not restart the clock, or a steady 10 ms request rate would starve.
    void throttledCallsDoNotPostponeTheNext()
    {
        TestSupport::MockClock clock;
        FrameComposer composer(clock.milliseconds());
        Preview preview;
        QVERIFY(composer.startComposition());
        clock.advanceMs(10);
        QVERIFY(!composer.startComposition());
        clock.advanceMs(10);
        QVERIFY(composer.startComposition());
    }

    void outputIsLandscape_data()
    {
        QTest::addColumn<int>("frameW");
        QTest::addColumn<int>("frameH");
        QTest::newRow("landscape 800 x 480") << 800 << 480;
        QTest::newRow("portrait 480 x 800") << 480 << 800;
    }
    void outputIsLandscape()
    {
        QFETCH(int, frameW);
        QFETCH(int, frameH);
        Preview preview(frameW, frameH);
        // A red block in the frame's top-left corner shows where the top-left went.
        QPixmap background = solid(frameW, frameH, Qt::black);
        {
            QPainter painter(&background);
            painter.fillRect(0, 0, 40, 40, Qt::red);
        }
        preview.label.setPixmap(background);
        FrameComposer composer;
        const QByteArray packet = composer.composeFrame(preview.label, {});
        const QImage jpeg = decodeJpeg(packet);
        QCOMPARE(jpeg.size(), QSize(800, 480));
        // Landscape keeps the corner; portrait turns a quarter counter-clockwise, so the top edge
        // becomes the left edge and the top-left corner the bottom-left one.
        const QPoint corner = frameW == 800 ? QPoint(20, 20) : QPoint(20, 459);
        QVERIFY(near(jpeg.pixel(corner), qRgb(255, 0, 0)));
        QVERIFY(near(jpeg.pixel(400, 240), qRgb(0, 0, 0)));
    }

    void quarterTurnMatchesQtRotation()
    {
        Preview preview(480, 800);
        QImage picture(480, 800, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb(x % 256, y % 256, (x * 7 + y * 3) % 256));
        preview.label.setPixmap(QPixmap::fromImage(picture));
        FrameComposer composer;
        const QImage turned = composer.composeImage(preview.label, 0);
        const QImage expected = picture.transformed(QTransform().rotate(-90));
        QCOMPARE(turned.size(), QSize(800, 480));
        QCOMPARE(turned.convertToFormat(QImage::Format_RGB32), expected.convertToFormat(QImage::Format_RGB32));
    }

    void labelPositionsScaleToTheScreen_data()
    {
        QTest::addColumn<QPoint>("previewPos");
        QTest::addColumn<QPoint>("screenPos");
        QTest::newRow("(12, 7) -> (48, 28)") << QPoint(12, 7) << QPoint(48, 28);
        QTest::newRow("(3, 1) -> (12, 4)") << QPoint(3, 1) << QPoint(12, 4);
    }
    void labelPositionsScaleToTheScreen()
    {
        QFETCH(QPoint, previewPos);
        QFETCH(QPoint, screenPos);
        Preview preview;
        FlexibleLabel* content = preview.label.contentLabel(0);
        content->setPixmap(solid(10, 10, Qt::white));
        content->setGeometry(QRect(previewPos, QSize(3, 3)));
        content->show();
        FrameComposer composer;
        const QImage frame = composer.composeImage(preview.label, 0);
        // Painted unscaled: 10 x 10 screen pixels from the scaled position.
        QCOMPARE(frame.pixel(screenPos), qRgb(255, 255, 255));
        QCOMPARE(frame.pixel(screenPos + QPoint(9, 9)), qRgb(255, 255, 255));
        QCOMPARE(frame.pixel(screenPos + QPoint(10, 10)), qRgb(0, 0, 0));
        QCOMPARE(frame.pixel(screenPos - QPoint(1, 1)), qRgb(0, 0, 0));
    }

    void labelsByMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("mode 0: shown content1 drawn") << 0 << "content1" << false << true;
        QTest::newRow("mode 0: hidden content1 not drawn") << 0 << "content1" << true << false;
        QTest::newRow("mode 0: shown title2 drawn") << 0 << "title2" << false << true;
        QTest::newRow("mode 0: clock label hour not drawn") << 0 << "hour" << false << false;
        QTest::newRow("mode 1: hidden hour with a pixmap drawn") << 1 << "hour" << true << true;
        QTest::newRow("mode 1: min drawn") << 1 << "min" << false << true;
        QTest::newRow("mode 1: Clock not drawn") << 1 << "Clock" << false << false;
        QTest::newRow("mode 1: overlay content0 not drawn") << 1 << "content0" << false << false;
        QTest::newRow("mode 2: Clock drawn") << 2 << "Clock" << true << true;
        QTest::newRow("mode 2: hour not drawn") << 2 << "hour" << false << false;
        QTest::newRow("mode 2: min not drawn") << 2 << "min" << false << false;
    }
    void labelsByMode()
    {
        QFETCH(int, mode);
        QFETCH(QString, label);
        QFETCH(bool, hidden);
        QFETCH(bool, drawn);
        Preview preview;
        auto* child = preview.label.findChild<QLabel*>(label, Qt::FindDirectChildrenOnly);
        QVERIFY(child != nullptr);
        child->setPixmap(solid(20, 20, Qt::white));
        child->setGeometry(10, 10, 5, 5);
        child->setVisible(!hidden);
        FrameComposer composer;
        const QImage frame = composer.composeImage(preview.label, mode);
        QCOMPARE(frame.pixel(45, 45) == qRgb(255, 255, 255), drawn);
    }

    // The label raised last is painted last, over the others.
    void laterChildrenPaintOver()
    {
        Preview preview;
        FlexibleLabel* first = preview.label.titleLabel(0);
        FlexibleLabel* second = preview.label.contentLabel(3);
        first->setPixmap(solid(20, 20, Qt::red));
        second->setPixmap(solid(20, 20, Qt::blue));
        for (FlexibleLabel* l : {first, second}) {
            l->setGeometry(2, 2, 5, 5);
            l->show();
        }
        FrameComposer composer;
        QCOMPARE(composer.composeImage(preview.label, 0).pixel(10, 10), qRgb(0, 0, 255));
        first->raise();
        QCOMPARE(composer.composeImage(preview.label, 0).pixel(10, 10), qRgb(255, 0, 0));
    }

    void emptyPreviewIsBlackOfItsOwnSize()
    {
        MediaLabel preview;
        preview.resize(800, 480);
        FrameComposer composer;
        const QImage frame = composer.composeImage(preview, 0);
        QCOMPARE(frame.size(), QSize(800, 480));
        QCOMPARE(frame.pixel(400, 240), qRgb(0, 0, 0));
    }

    void header_data()
    {
        QTest::addColumn<int>("brightness");
        QTest::addColumn<bool>("screenOn");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("sleep");
        QTest::addColumn<int>("brightnessByte");
        QTest::newRow("screen on, brightness 75") << 75 << true << 0 << 0 << 0x4B;
        QTest::newRow("screen off, brightness 75") << 75 << false << 0 << 0 << 0;
        QTest::newRow("standby off: sleep byte 1") << 100 << true << 1 << 1 << 100;
        QTest::newRow("analog clock, brightness 0") << 0 << true << 2 << 0 << 0;
    }
    void header()
    {
        QFETCH(int, brightness);
        QFETCH(bool, screenOn);
        QFETCH(int, mode);
        QFETCH(int, sleep);
        QFETCH(int, brightnessByte);
        Preview preview;
        FrameComposer composer;
        FrameHeaderFields fields;
        fields.brightness = brightness;
        fields.screenOn = screenOn;
        fields.styleMode = mode;
        fields.sleepMode = sleep;
        const QByteArray packet = composer.composeFrame(preview.label, fields);
        QVERIFY(packet.size() > FrameComposer::kHeaderBytes);
        const auto* h = reinterpret_cast<const uchar*>(packet.constData());
        QCOMPARE(h[0], uchar(0x5A));
        QCOMPARE(h[1], uchar(0xA5));
        const quint32 n = quint32(h[2]) << 24 | quint32(h[3]) << 16 | quint32(h[4]) << 8 | h[5];
        QCOMPARE(n, quint32(packet.size() - FrameComposer::kHeaderBytes));
        QCOMPARE(quint16(h[6] << 8 | h[7]), FrameComposer::crc16Modbus(h + 2, 4));
        QCOMPARE(int(h[8]), brightnessByte);
        QCOMPARE(int(h[9]), mode);
        QCOMPARE(int(h[10]), sleep);
        for (int i = 11; i < FrameComposer::kHeaderBytes; ++i)
            QCOMPARE(int(h[i]), 0);
        QCOMPARE(decodeJpeg(packet).size(), QSize(800, 480));
    }

    void headerOfA38000ByteJpeg()
    {
        char header[FrameComposer::kHeaderBytes];
        FrameComposer::writeHeader(header, 38000, {});
        QCOMPARE(QByteArray(header + 2, 6).toHex(' '), QByteArray("00 00 94 70 00 6f"));
    }

    void crc16ModbusCheckValue()
    {
        const QByteArray digits("123456789");
        QCOMPARE(FrameComposer::crc16Modbus(reinterpret_cast<const uchar*>(digits.constData()), 9), quint16(0x4B37));
    }

    // Once the streamer has let go of a packet, the next one is built in the same buffer.
    void packetBufferIsReused()
    {
        qint64 now = 0;
        FrameComposer composer([&now] { return now; });
        Preview preview;
        QByteArray first = composer.composeFrame(preview.label, {});
        const char* buffer = first.constData();
        first = QByteArray();
        now += 20;
        const QByteArray second = composer.composeFrame(preview.label, {});
        QCOMPARE(second.constData(), buffer);
        // A packet that is still held is left alone: the next frame goes elsewhere.
        now += 20;
        const QByteArray third = composer.composeFrame(preview.label, {});
        QVERIFY(third.constData() != second.constData());
        QCOMPARE(decodeJpeg(second).size(), QSize(800, 480));
    }
};

QTEST_MAIN(TestFrameComposer)
#include "TestFrameComposer.moc"
