// The device controller against an in-process simulated screen: the identify handshake and what
// each answer does to the connection, the choice among several devices, the guards of the
// restart commands, and closing while the device does not take a write.

#include "device/Packets.h"
#include "device/WINUSB_MAIN_CTRL.h"
#include "tests/support/device/FakeScreenDevice.h"

#include <QElapsedTimer>
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
    QTimer again;
    again.setInterval(20);
    connect(&again, &QTimer::timeout, [&] {
        ++nestedCalls;
        rig.controller->openFirstDevice();
    });
    again.start();
    rig.controller->openFirstDevice();
    again.stop();

    QVERIFY(nestedCalls > 0);
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
