// The frame streamer's queue and pacing: which frames reach the device and which are dropped,
// with the pacing clock stepped by the test.

#include "device/USB_DATA_CTRL.h"
#include "tests/support/device/FakeScreenDevice.h"

#include <QSignalSpy>
#include <QtTest>

#include <atomic>

namespace {

struct Rig
{
    FakeScreenDevice fake;
    std::shared_ptr<std::atomic<qint64>> now = std::make_shared<std::atomic<qint64>>(1000);
    std::unique_ptr<USB_DATA_CTRL> streamer;

    explicit Rig(FakeScreenDevice::Fault fault = FakeScreenDevice::Fault::None)
    {
        FakeScreenDevice::Screen s;
        s.fault = fault;
        fake.addScreen(s);
        fake.open(fake.screen(0).path);
        streamer = std::make_unique<USB_DATA_CTRL>(&fake);
        auto clock = now;
        streamer->setClock([clock] { return clock->load(); });
    }

    // Waits until the streamer has taken the waiting frame and gone once more round its loop, so
    // whatever it did with the frame is done.
    void settle()
    {
        QTRY_COMPARE(streamer->queuedFrames(), 0);
        QSignalSpy wanted(streamer.get(), &USB_DATA_CTRL::haveNoPacket);
        QTRY_VERIFY(wanted.count() >= 2);
    }
};

} // namespace

class TestFrameStreamer : public QObject
{
    Q_OBJECT

private slots:
    void firstFrameIsWrittenAtOnce();
    void frameTooSoonAfterWriteIsDropped();
    void framePushedWhileStoppedIsWrittenFirstNewestWins();
    void stopDropsTheWaitingFrame();
    void framesPushedDuringWriteAreDropped();
    void failedWriteReportsOncePerFrame();
    void stoppedStreamerAsksForNothing();
};

void TestFrameStreamer::firstFrameIsWrittenAtOnce()
{
    Rig rig;
    rig.streamer->startStreaming();
    rig.streamer->pushFrame("A");
    QTRY_COMPARE(rig.fake.frames(), QList<QByteArray>{"A"});
    // A new start writes its first frame at once too, even right after the previous write.
    rig.streamer->startStreaming();
    rig.streamer->pushFrame("B");
    QTRY_COMPARE(rig.fake.frames(), (QList<QByteArray>{"A", "B"}));
}

void TestFrameStreamer::frameTooSoonAfterWriteIsDropped()
{
    Rig rig;
    rig.streamer->startStreaming();
    rig.streamer->pushFrame("A");
    QTRY_COMPARE(rig.fake.frameCount(), 1);

    *rig.now += 10;
    rig.streamer->pushFrame("B");
    rig.settle();
    *rig.now += 14; // 24 ms after the write began: still too soon
    rig.streamer->pushFrame("C");
    rig.settle();
    QCOMPARE(rig.fake.frames(), QList<QByteArray>{"A"});

    *rig.now += 1; // 25 ms
    rig.streamer->pushFrame("D");
    QTRY_COMPARE(rig.fake.frames(), (QList<QByteArray>{"A", "D"}));
    rig.streamer->stopStreaming();
}

void TestFrameStreamer::framePushedWhileStoppedIsWrittenFirstNewestWins()
{
    Rig rig;
    rig.streamer->pushFrame("old");
    rig.streamer->pushFrame("new");
    QCOMPARE(rig.streamer->queuedFrames(), 1);
    rig.streamer->startStreaming();
    QTRY_COMPARE(rig.fake.frames(), QList<QByteArray>{"new"});
    rig.settle();
    QCOMPARE(rig.fake.frameCount(), 1);
}

void TestFrameStreamer::stopDropsTheWaitingFrame()
{
    Rig rig;
    rig.fake.setFrameGate(true);
    rig.streamer->startStreaming();
    rig.streamer->pushFrame("in flight");
    QTRY_COMPARE(rig.fake.blockedWrites(), 1);
    rig.streamer->pushFrame("waiting");
    rig.streamer->stopStreaming();
    QCOMPARE(rig.streamer->queuedFrames(), 0);

    rig.fake.setFrameGate(false);
    rig.streamer->startStreaming();
    rig.settle();
    QCOMPARE(rig.fake.frameCount(), 0);
    rig.streamer->pushFrame("after");
    QTRY_COMPARE(rig.fake.frames(), QList<QByteArray>{"after"});
}

void TestFrameStreamer::framesPushedDuringWriteAreDropped()
{
    Rig rig;
    rig.fake.setFrameGate(true);
    rig.streamer->startStreaming();
    rig.streamer->pushFrame("A");
    QTRY_COMPARE(rig.fake.blockedWrites(), 1);
    rig.streamer->pushFrame("B");
    rig.streamer->pushFrame("C");
    QCOMPARE(rig.streamer->queuedFrames(), 1);
    *rig.now += 100;
    rig.fake.setFrameGate(false);
    rig.settle();
    QCOMPARE(rig.fake.frames(), QList<QByteArray>{"A"});
    rig.streamer->pushFrame("D");
    QTRY_COMPARE(rig.fake.frames(), (QList<QByteArray>{"A", "D"}));
}

void TestFrameStreamer::failedWriteReportsOncePerFrame()
{
    Rig rig(FakeScreenDevice::Fault::FailWrites);
    QSignalSpy lost(rig.streamer.get(), &USB_DATA_CTRL::deviceDisconnected);
    rig.streamer->startStreaming();
    rig.streamer->pushFrame("A");
    QTRY_COMPARE(lost.count(), 1);
    rig.settle();
    QCOMPARE(lost.count(), 1); // idle turns report nothing
    *rig.now += 25;
    rig.streamer->pushFrame("B");
    QTRY_COMPARE(lost.count(), 2);
    QVERIFY(rig.streamer->isStreaming()); // it goes on until it is stopped
}

void TestFrameStreamer::stoppedStreamerAsksForNothing()
{
    Rig rig;
    QSignalSpy wanted(rig.streamer.get(), &USB_DATA_CTRL::haveNoPacket);
    rig.streamer->startStreaming();
    QTRY_VERIFY(wanted.count() >= 3); // an idle streamer keeps asking
    rig.streamer->stopStreaming();
    QCoreApplication::processEvents(); // signals already on their way
    const int afterStop = wanted.count();
    QTest::qWait(3 * USB_DATA_CTRL::kIdleSleepMs);
    QCOMPARE(wanted.count(), afterStop);
}

QTEST_GUILESS_MAIN(TestFrameStreamer)
#include "TestFrameStreamer.moc"
