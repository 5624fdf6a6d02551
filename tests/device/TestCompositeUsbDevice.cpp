// Real devices and simulated screens seen as one device object: the order of the list, which
// backend a path opens, and notifications of every backend reaching the program.

#include "device/CompositeUsbDevice.h"
#include "tests/support/device/FakeScreenDevice.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

struct Rig
{
    CompositeUsbDevice composite;
    FakeScreenDevice* real = nullptr;
    FakeScreenDevice* simulated = nullptr;

    Rig()
    {
        auto realBackend = std::make_unique<FakeScreenDevice>();
        auto simBackend = std::make_unique<FakeScreenDevice>();
        FakeScreenDevice::Screen s;
        s.path = QStringLiteral("USB:VID_3767&PID_7791#BUS_001#PORT_2");
        realBackend->addScreen(s);
        s.path = QStringLiteral("SIM:/run/user/1000/vortane-screen-sim/desk.sock");
        simBackend->addScreen(s);
        real = realBackend.get();
        simulated = simBackend.get();
        const auto isSim = [](const QString& path) { return path.startsWith(QLatin1String("SIM:")); };
        composite.addBackend(std::move(realBackend), [isSim](const QString& path) { return !isSim(path); });
        composite.addBackend(std::move(simBackend), isSim);
    }
};

const TransferKeepGoing kAlways = [] { return true; };

} // namespace

class TestCompositeUsbDevice : public QObject
{
    Q_OBJECT

private slots:
    void realDevicesAreListedFirst();
    void pathOpensItsOwnBackend();
    void unknownPathStaysClosed();
    void notificationsOfEveryBackendArrive();
    void openBackendDecidesWhetherItsDeviceIsStillThere();
    void permissionNoticesAndDrainingPassThrough();
};

void TestCompositeUsbDevice::realDevicesAreListedFirst()
{
    Rig rig;
    QCOMPARE(rig.composite.enumerateDevices(), (QStringList{rig.real->screen(0).path, rig.simulated->screen(0).path}));
}

void TestCompositeUsbDevice::pathOpensItsOwnBackend()
{
    Rig rig;
    QVERIFY(rig.composite.open(rig.simulated->screen(0).path));
    QVERIFY(rig.composite.isOpen());
    QVERIFY(rig.simulated->isOpen());
    QVERIFY(!rig.real->isOpen());
    QCOMPARE(rig.composite.writeFrame("frame", kAlways), 1);
    QCOMPARE(rig.simulated->frames(), QList<QByteArray>{"frame"});
    QCOMPARE(rig.real->frameCount(), 0);

    // Opening another path closes the first.
    QVERIFY(rig.composite.open(rig.real->screen(0).path));
    QVERIFY(!rig.simulated->isOpen());
    QVERIFY(rig.real->isOpen());
    QCOMPARE(rig.composite.devicePath(), rig.real->screen(0).path);
    rig.composite.close();
    QVERIFY(!rig.composite.isOpen());
    QCOMPARE(rig.composite.writeFrame("late", kAlways), -1);
    QCOMPARE(rig.composite.devicePath(), rig.real->screen(0).path); // kept after close
}

void TestCompositeUsbDevice::unknownPathStaysClosed()
{
    Rig rig;
    QVERIFY(!rig.composite.open(QStringLiteral("USB:VID_3767&PID_7791#BUS_009#PORT_9")));
    QVERIFY(!rig.composite.isOpen());
    QVERIFY(!rig.composite.lastError().isEmpty());
}

void TestCompositeUsbDevice::notificationsOfEveryBackendArrive()
{
    Rig rig;
    QSignalSpy arrived(&rig.composite, &UsbDevice::deviceArrived);
    QSignalSpy removed(&rig.composite, &UsbDevice::deviceRemoved);
    emit rig.real->deviceArrived();
    emit rig.simulated->deviceRemoved();
    QCOMPARE(arrived.count(), 1);
    QCOMPARE(removed.count(), 1);
}

void TestCompositeUsbDevice::openBackendDecidesWhetherItsDeviceIsStillThere()
{
    Rig rig;
    const QString simPath = rig.simulated->screen(0).path;
    QVERIFY(rig.composite.open(simPath));
    QVERIFY(rig.composite.openDeviceStillPresent());
    // The simulated screen restarts under the same path: listed, but not the device opened.
    rig.simulated->reenumerate(0);
    QVERIFY(rig.composite.enumerateDevices().contains(simPath));
    QVERIFY(!rig.composite.openDeviceStillPresent());
    rig.composite.close();
    QVERIFY(!rig.composite.openDeviceStillPresent()); // judged after close as well
}

void TestCompositeUsbDevice::permissionNoticesAndDrainingPassThrough()
{
    Rig rig;
    rig.real->screen(0).permissionDenied = true;
    QSignalSpy denied(&rig.composite, &UsbDevice::permissionDenied);
    QVERIFY(!rig.composite.open(rig.real->screen(0).path));
    QCOMPARE(denied.count(), 1);
    QCOMPARE(denied.at(0).at(0).toString(), rig.real->screen(0).path);

    QVERIFY(rig.composite.open(rig.simulated->screen(0).path));
    std::uint8_t tx[64] = {0xAA, 0x55, 0x4B, 0x4C, 0x54};
    QCOMPARE(rig.composite.writeCommand(tx, 36, kAlways), 1);
    QCOMPARE(rig.simulated->pendingReplies(), 1);
    QCOMPARE(rig.composite.drainInput(kAlways), 1);
    QCOMPARE(rig.simulated->pendingReplies(), 0);
}

QTEST_GUILESS_MAIN(TestCompositeUsbDevice)
#include "TestCompositeUsbDevice.moc"
