// The device controller against an in-process simulated screen: the identify handshake and what
// each answer does to the connection, the choice among several devices, the guards of the
// restart commands, and closing while the device does not take a write.

#include "device/Packets.h"
#include "device/WINUSB_MAIN_CTRL.h"
#include "tests/support/device/FakeScreenDevice.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using Fault = FakeScreenDevice::Fault;
Q_DECLARE_METATYPE(Fault)

namespace {

struct Rig
{
    FakeScreenDevice* fake = nullptr;
    std::unique_ptr<WINUSB_MAIN_CTRL> controller;
};

Rig makeRig(const QList<FakeScreenDevice::Screen>& screens)
{
    auto fake = std::make_unique<FakeScreenDevice>();
    for (const auto& s : screens)
        fake->addScreen(s);
    Rig rig;
    rig.fake = fake.get();
    rig.controller = std::make_unique<WINUSB_MAIN_CTRL>(std::move(fake));
    return rig;
}

FakeScreenDevice::Screen screenWith(char state, Fault fault = Fault::None)
{
    FakeScreenDevice::Screen s;
    s.state = state;
    s.fault = fault;
    return s;
}

// A clock the test moves by hand; read by the streaming thread.
struct ManualClock
{
    std::shared_ptr<std::atomic<qint64>> ms = std::make_shared<std::atomic<qint64>>(0);
    USB_DATA_CTRL::Clock clock() const
    {
        auto value = ms;
        return [value] { return value->load(); };
    }
    void set(qint64 value) { ms->store(value); }
};

// Answers every request for a frame with a frame whose header carries fixed screen settings, as
// the composer does with the stored brightness, display mode and standby flag.
class FrameSource : public QObject
{
public:
    FrameSource(WINUSB_MAIN_CTRL* controller, int brightness, std::uint8_t mode, std::uint8_t sleepFlag)
        : m_controller(controller)
    {
        const QByteArray jpeg(500, 'j');
        std::uint8_t header[Packets::kFrameHeaderSize];
        Packets::buildFrameHeader(header, std::uint32_t(jpeg.size()), brightness, true, mode, sleepFlag);
        m_frame = QByteArray(reinterpret_cast<const char*>(header), sizeof header) + jpeg;
        connect(controller->streamer(), &USB_DATA_CTRL::haveNoPacket, this,
                [this] { m_controller->pushFrame(m_frame); });
    }

private:
    WINUSB_MAIN_CTRL* m_controller;
    QByteArray m_frame;
};

int identifyRequests(const FakeScreenDevice& fake)
{
    int n = 0;
    for (const auto& c : fake.commands())
        n += c.bytes.size() == 36 && c.bytes.startsWith(QByteArray::fromHex("aa554b4c54"));
    return n;
}

} // namespace

class TestDeviceController : public QObject
{
    Q_OBJECT

private slots:
    void identify_data();
    void identify();
    void secondDeviceUsedWhenFirstFails();
    void noDeviceLeavesControllerClosed();
    void connectIgnoredWhileIdentifyWaits();
    void removalClosesOnlyWhenOwnDeviceLeft();
    void reenumeratedDeviceIsReopened();
    void unplugDuringFrameWrite();
    void unplugDuringIdentify();
    void streamingResumesWithTheSameHeadersAfterReturn();
    void linkLostAfterTwoSecondsWithoutFrames_data();
    void linkLostAfterTwoSecondsWithoutFrames();
    void writesRecoveringInTimeKeepTheLink();
    void permissionDeniedReportedOncePerPath();
    void restartGuards_data();
    void restartGuards();
    void restartIntoUpdateModeSendsRequest();
    void closeReturnsWhileFrameWriteIsStuck();
    void connectReturnsWhenCommandWriteIsStuck();
};

void TestDeviceController::identify_data()
{
    QTest::addColumn<char>("state");
    QTest::addColumn<int>("model1");
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("version");

    QTest::newRow("identify: ; 1.1.3 00 01 is normal mode") << ';' << 1 << Fault::None << 0 << 1 << "1.1.3";
    QTest::newRow("identify: [ is update mode") << '[' << 1 << Fault::None << 0 << 0 << "";
    QTest::newRow("identify: + is the third state") << '+' << 1 << Fault::None << 0 << 2 << "";
    QTest::newRow("identify: unknown letter") << 'Q' << 1 << Fault::None << -5 << -1 << "";
    QTest::newRow("identify: ; with model 00 02") << ';' << 2 << Fault::None << -6 << -1 << "";
    QTest::newRow("identify: no reply") << ';' << 1 << Fault::NoReply << -2 << -1 << "";
    QTest::newRow("identify: reply one byte short") << ';' << 1 << Fault::WrongLength << -3 << -1 << "";
    QTest::newRow("identify: bad CRC") << ';' << 1 << Fault::BadCrc << -4 << -1 << "";
}

void TestDeviceController::identify()
{
    QFETCH(char, state);
    QFETCH(int, model1);
    QFETCH(Fault, fault);
    QFETCH(int, result);
    QFETCH(int, mode);
    QFETCH(QString, version);

    FakeScreenDevice::Screen screen = screenWith(state, fault);
    screen.model[1] = std::uint8_t(model1);
    Rig rig = makeRig({screen});
    rig.controller->openFirstDevice();

    QCOMPARE(rig.controller->lastConnectResult(), result);
    QCOMPARE(rig.controller->deviceMode(), mode);
    QCOMPARE(rig.controller->firmwareVersion(), version);
    QCOMPARE(rig.controller->isOpen(), result == 0);
    QCOMPARE(rig.controller->streamer()->isStreaming(), result == 0);
    // The request carries nothing but its letters and the CRC.
    const QByteArray request = rig.fake->commands().value(0).bytes;
    QCOMPARE(request.left(32), QByteArray::fromHex("aa554b4c54") + QByteArray(27, '\0'));
    if (result == 0) {
        // Streaming has begun: the streamer asks for frames and writes what it gets.
        QSignalSpy wanted(rig.controller->streamer(), &USB_DATA_CTRL::haveNoPacket);
        QTRY_VERIFY(wanted.count() > 0);
        rig.controller->pushFrame(QByteArray("frame"));
        QTRY_COMPARE(rig.fake->frameCount(), 1);
    }
}

void TestDeviceController::secondDeviceUsedWhenFirstFails()
{
    FakeScreenDevice::Screen first = screenWith(';', Fault::BadCrc);
    FakeScreenDevice::Screen second = screenWith(';');
    second.version = "2.0.1";
    Rig rig = makeRig({first, second});
    rig.controller->openFirstDevice();

    QVERIFY(rig.controller->isOpen());
    QCOMPARE(rig.controller->usbDevice()->devicePath(), rig.fake->screen(1).path);
    QCOMPARE(rig.controller->firmwareVersion(), QStringLiteral("2.0.1"));
    const auto commands = rig.fake->commands();
    QCOMPARE(commands.size(), 2);
    QCOMPARE(commands[0].path, rig.fake->screen(0).path);
    QCOMPARE(commands[1].path, rig.fake->screen(1).path);
}

void TestDeviceController::noDeviceLeavesControllerClosed()
{
    Rig rig = makeRig({});
    rig.controller->openFirstDevice();
    QVERIFY(!rig.controller->isOpen());
    QCOMPARE(rig.controller->deviceMode(), -1);
    QVERIFY(!rig.controller->streamer()->isStreaming());
}

void TestDeviceController::connectIgnoredWhileIdentifyWaits()
{
    // The first device never answers, so its identify waits for about a second, processing
    // events: a timer calling the connect again meanwhile must not open anything.
    Rig rig = makeRig({screenWith(';', Fault::NoReply), screenWith(';')});
    int nestedCalls = 0;
    int busyAnswers = 0;
    int seenOpen = 0;
    QTimer again;
    again.setInterval(20);
    connect(&again, &QTimer::timeout, [&] {
        ++nestedCalls;
        busyAnswers += rig.controller->openFirstDevice() == WINUSB_MAIN_CTRL::kConnectBusy;
        // What a caller sees after its nested call: no device yet, so it keeps looking.
        seenOpen += rig.controller->isOpen();
    });
    again.start();
    QCOMPARE(rig.controller->openFirstDevice(), 0);
    again.stop();

    QVERIFY(nestedCalls > 0);
    QCOMPARE(busyAnswers, nestedCalls);
    QCOMPARE(seenOpen, 0);
    QCOMPARE(identifyRequests(*rig.fake), 2); // one per device, none from the nested calls
    QCOMPARE(rig.controller->usbDevice()->devicePath(), rig.fake->screen(1).path);
    QVERIFY(rig.controller->isOpen());
}

void TestDeviceController::removalClosesOnlyWhenOwnDeviceLeft()
{
    Rig rig = makeRig({screenWith(';'), screenWith(';')});
    rig.controller->openFirstDevice();
    QCOMPARE(rig.controller->usbDevice()->devicePath(), rig.fake->screen(0).path);

    rig.fake->screen(1).present = false; // another screen leaves
    QVERIFY(!rig.controller->handleDeviceRemoved());
    QVERIFY(rig.controller->isOpen());
    QCOMPARE(rig.controller->deviceMode(), 1);

    rig.fake->screen(0).present = false; // ours leaves
    QVERIFY(rig.controller->handleDeviceRemoved());
    QVERIFY(!rig.controller->isOpen());
    QCOMPARE(rig.controller->deviceMode(), -1);
    QVERIFY(!rig.controller->streamer()->isStreaming());
    QCOMPARE(rig.controller->firmwareVersion(), QStringLiteral("1.1.3")); // kept after close
}

void TestDeviceController::reenumeratedDeviceIsReopened()
{
    // The screen restarts and is back under the same path before anyone looked: the handle that
    // was open reaches nothing, so the device must be closed and opened again.
    Rig rig = makeRig({screenWith(';'), screenWith(';')});
    QSignalSpy lost(rig.controller.get(), &WINUSB_MAIN_CTRL::deviceLost);
    rig.controller->openFirstDevice();
    QCOMPARE(rig.controller->usbDevice()->devicePath(), rig.fake->screen(0).path);

    rig.fake->reenumerate(1); // another screen does it: nothing changes here
    QVERIFY(rig.controller->isOpen());
    QCOMPARE(lost.count(), 0);

    rig.fake->reenumerate(0);
    QVERIFY(!rig.controller->isOpen());
    QCOMPARE(rig.controller->deviceMode(), -1);
    QCOMPARE(lost.count(), 1);
    QCOMPARE(rig.controller->openFirstDevice(), 0);
    QCOMPARE(rig.controller->usbDevice()->devicePath(), rig.fake->screen(0).path);
    QCOMPARE(identifyRequests(*rig.fake), 2);
}

void TestDeviceController::unplugDuringFrameWrite()
{
    Rig rig = makeRig({screenWith(';')});
    QSignalSpy lost(rig.controller.get(), &WINUSB_MAIN_CTRL::deviceLost);
    rig.controller->openFirstDevice();
    rig.fake->setFrameGate(true);
    rig.controller->pushFrame(QByteArray(100000, 'j'));
    QTRY_COMPARE(rig.fake->blockedWrites(), 1);

    rig.fake->unplug(0);
    QVERIFY(!rig.controller->isOpen());
    QVERIFY(!rig.controller->streamer()->isStreaming());
    QCOMPARE(lost.count(), 1);
    QCOMPARE(rig.fake->frameCount(), 0);
    QCOMPARE(rig.controller->openFirstDevice(), WINUSB_MAIN_CTRL::kConnectNoDevice);
}

void TestDeviceController::unplugDuringIdentify()
{
    // The screen goes while the connect waits for its identify reply.
    Rig rig = makeRig({screenWith(';', Fault::NoReply)});
    QTimer::singleShot(50, rig.fake, [&] { rig.fake->unplug(0); });
    QElapsedTimer connecting;
    connecting.start();
    QVERIFY(rig.controller->openFirstDevice() < 0);
    QVERIFY(!rig.controller->isOpen());
    QCOMPARE(rig.controller->deviceMode(), -1);
    QVERIFY(!rig.controller->streamer()->isStreaming());
}

void TestDeviceController::streamingResumesWithTheSameHeadersAfterReturn()
{
    // Suspend and resume: the screen leaves, comes back re-enumerated, and streaming goes on
    // with the same settings in every header.
    Rig rig = makeRig({screenWith(';')});
    FrameSource source(rig.controller.get(), 37, 1, 1);
    rig.controller->openFirstDevice();
    QTRY_VERIFY(rig.fake->frameCount() >= 2);
    const QByteArray headerBefore = rig.fake->frames().first().left(Packets::kFrameHeaderSize);

    rig.fake->unplug(0);
    QVERIFY(!rig.controller->isOpen());
    rig.fake->clearRecords();
    rig.fake->plugIn(0);
    QCOMPARE(rig.controller->openFirstDevice(), 0);
    QTRY_VERIFY(rig.fake->frameCount() >= 2);
    for (const QByteArray& frame : rig.fake->frames())
        QCOMPARE(frame.left(Packets::kFrameHeaderSize).toHex(), headerBefore.toHex());
    QCOMPARE(int(std::uint8_t(headerBefore[8])), 37);
}

void TestDeviceController::linkLostAfterTwoSecondsWithoutFrames_data()
{
    QTest::addColumn<bool>("stall");
    QTest::newRow("frame writes keep failing") << false;
    QTest::newRow("a frame write does not complete") << true;
}

void TestDeviceController::linkLostAfterTwoSecondsWithoutFrames()
{
    QFETCH(bool, stall);
    Rig rig = makeRig({screenWith(';')});
    ManualClock clock;
    rig.controller->streamer()->setClock(clock.clock());
    QSignalSpy lost(rig.controller.get(), &WINUSB_MAIN_CTRL::deviceLost);
    FrameSource source(rig.controller.get(), 100, 0, 0);
    rig.controller->openFirstDevice();
    QTRY_VERIFY(rig.fake->frameCount() >= 1);

    QSignalSpy failed(rig.controller->streamer(), &USB_DATA_CTRL::deviceDisconnected);
    clock.set(1000);
    if (stall) {
        rig.fake->setFrameGate(true);
        QTRY_COMPARE(rig.fake->blockedWrites(), 1);
    } else {
        rig.fake->setFrameWritesFail(true);
        QTRY_VERIFY(failed.count() >= 1);
    }
    clock.set(2900); // 1.9 s of trouble: the link is kept
    if (!stall)
        QTRY_VERIFY(failed.count() >= 2);
    QTest::qWait(300); // a stalled write looks at the clock after each slice
    QVERIFY(rig.controller->isOpen());
    QCOMPARE(lost.count(), 0);

    clock.set(3000);
    QTRY_COMPARE(lost.count(), 1);
    QVERIFY(!rig.controller->isOpen());
    QVERIFY(!rig.controller->streamer()->isStreaming());

    // Discovery finds the device again and streaming starts afresh.
    rig.fake->setFrameGate(false);
    rig.fake->setFrameWritesFail(false);
    const int before = rig.fake->frameCount();
    QCOMPARE(rig.controller->openFirstDevice(), 0);
    clock.set(10000);
    QTRY_VERIFY(rig.fake->frameCount() > before);
    QCOMPARE(lost.count(), 1);
}

void TestDeviceController::writesRecoveringInTimeKeepTheLink()
{
    Rig rig = makeRig({screenWith(';')});
    ManualClock clock;
    rig.controller->streamer()->setClock(clock.clock());
    QSignalSpy lost(rig.controller.get(), &WINUSB_MAIN_CTRL::deviceLost);
    QSignalSpy failed(rig.controller->streamer(), &USB_DATA_CTRL::deviceDisconnected);
    FrameSource source(rig.controller.get(), 100, 0, 0);
    rig.controller->openFirstDevice();
    QTRY_VERIFY(rig.fake->frameCount() >= 1);

    rig.fake->setFrameWritesFail(true);
    clock.set(100);
    QTRY_VERIFY(failed.count() >= 1);
    clock.set(1900);
    QTRY_VERIFY(failed.count() >= 2);
    rig.fake->setFrameWritesFail(false);
    const int written = rig.fake->frameCount();
    clock.set(2000);
    QTRY_VERIFY(rig.fake->frameCount() > written);
    // A new run of failures counts from its own start.
    rig.fake->setFrameWritesFail(true);
    const int failures = failed.count();
    clock.set(3500);
    QTRY_VERIFY(failed.count() > failures);
    QTest::qWait(100);
    QCOMPARE(lost.count(), 0);
    QVERIFY(rig.controller->isOpen());
}

void TestDeviceController::permissionDeniedReportedOncePerPath()
{
    FakeScreenDevice::Screen denied = screenWith(';');
    denied.permissionDenied = true;
    Rig rig = makeRig({denied, screenWith(';', Fault::NoReply)});
    rig.fake->screen(1).permissionDenied = true;
    QSignalSpy fromDevice(rig.controller->usbDevice(), &UsbDevice::permissionDenied);
    QSignalSpy fromController(rig.controller.get(), &WINUSB_MAIN_CTRL::permissionDenied);
    for (int turn = 0; turn < 3; ++turn)
        QCOMPARE(rig.controller->openFirstDevice(), -1);
    QCOMPARE(fromDevice.count(), 2);
    QCOMPARE(fromDevice.at(0).at(0).toString(), rig.fake->screen(0).path);
    QCOMPARE(fromDevice.at(1).at(0).toString(), rig.fake->screen(1).path);
    QCOMPARE(fromController.count(), 2);
    QCOMPARE(rig.controller->usbDevice()->lastError(), UsbDevice::permissionProblemText());
}

void TestDeviceController::restartGuards_data()
{
    QTest::addColumn<int>("deviceState"); // 0 no device, else the state letter
    QTest::addColumn<bool>("enter");      // enterUpdateMode, else returnToNormalMode
    QTest::newRow("enter update mode without a device") << 0 << true;
    QTest::newRow("enter update mode while in update mode") << int('[') << true;
    QTest::newRow("enter update mode in the third state") << int('+') << true;
    QTest::newRow("return to normal mode without a device") << 0 << false;
    QTest::newRow("return to normal mode while in normal mode") << int(';') << false;
}

void TestDeviceController::restartGuards()
{
    QFETCH(int, deviceState);
    QFETCH(bool, enter);
    Rig rig = makeRig(deviceState ? QList<FakeScreenDevice::Screen>{screenWith(char(deviceState))}
                                  : QList<FakeScreenDevice::Screen>{});
    rig.controller->openFirstDevice();
    rig.fake->clearRecords();
    const bool wasStreaming = rig.controller->streamer()->isStreaming();

    QCOMPARE(enter ? rig.controller->enterUpdateMode() : rig.controller->returnToNormalMode(), -1);
    QCOMPARE(rig.fake->commandCount(), 0);
    QCOMPARE(rig.controller->streamer()->isStreaming(), wasStreaming);
}

void TestDeviceController::restartIntoUpdateModeSendsRequest()
{
    Rig rig = makeRig({screenWith(';')});
    rig.controller->openFirstDevice();
    rig.fake->clearRecords();
    QCOMPARE(rig.controller->enterUpdateMode(), 0);
    QVERIFY(!rig.controller->streamer()->isStreaming());
    const auto commands = rig.fake->commands();
    QCOMPARE(commands.size(), 1);
    QCOMPARE(commands[0].bytes.left(32), QByteArray::fromHex("aa554f75734200") + QByteArray(25, '\0'));
}

void TestDeviceController::closeReturnsWhileFrameWriteIsStuck()
{
    Rig rig = makeRig({screenWith(';')});
    rig.controller->openFirstDevice();
    QVERIFY(rig.controller->isOpen());
    rig.fake->setFrameGate(true); // the device stops taking data
    rig.controller->pushFrame(QByteArray(100000, 'j'));
    QTRY_COMPARE(rig.fake->blockedWrites(), 1);

    QElapsedTimer closing;
    closing.start();
    rig.controller->closeDevice();
    // Bounded by one transfer slice; a generous margin keeps a loaded machine from failing it,
    // while a hang would never get here.
    QVERIFY2(closing.elapsed() < 2000, qPrintable(QString::number(closing.elapsed())));
    QVERIFY(!rig.controller->isOpen());
    QCOMPARE(rig.fake->frameCount(), 0);
}

void TestDeviceController::connectReturnsWhenCommandWriteIsStuck()
{
    Rig rig = makeRig({screenWith(';', Fault::StallWrites)});
    QElapsedTimer connecting;
    connecting.start();
    rig.controller->openFirstDevice();
    QCOMPARE(rig.controller->lastConnectResult(), -1); // the write was never reported
    QVERIFY(!rig.controller->isOpen());
    // 1000 polls of about a millisecond, then one transfer slice for the stop; the bound only
    // tells a stuck connect from a slow machine.
    QVERIFY2(connecting.elapsed() < 15000, qPrintable(QString::number(connecting.elapsed())));
}

QTEST_GUILESS_MAIN(TestDeviceController)
#include "TestDeviceController.moc"
