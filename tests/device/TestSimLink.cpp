// The host side of the simulated link: which sockets count as screens, the message framing,
// replies longer than one read, a screen that stops reading or goes away, arrival and removal
// seen from the folder, and the controller connecting to a simulated screen through the
// program's own device object.

#include "device/Packets.h"
#include "device/SimLink.h"
#include "device/SimUsbDevice.h"
#include "device/WINUSB_MAIN_CTRL.h"
#include "tests/support/device/SimScreenPeer.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const TransferKeepGoing kAlways = [] { return true; };

} // namespace

class TestSimLink : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void folderFromEnvironment();
    void enumeration();
    void identifyExchangeFraming();
    void readDeliversAtMost512Bytes();
    void stalledWriteGivesUpWhenTold();
    void vanishedScreenFailsTransfers();
    void arrivalAndRemovalFromFolder();
    void restartedScreenIsAnotherDevice();
    void lateRepliesAreDrained();
    void sharedFolderMustBePrivate_data();
    void sharedFolderMustBePrivate();
    void controllerConnectsAndStreams();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSimLink::init()
{
    // Short folder names: a socket path must fit in 108 bytes.
    m_dir = std::make_unique<QTemporaryDir>(QStringLiteral("/tmp/vsim-XXXXXX"));
    QVERIFY(m_dir->isValid());
    qputenv("VORTANE_SIM_DIR", m_dir->path().toLocal8Bit());
}

void TestSimLink::folderFromEnvironment()
{
    QCOMPARE(simFolder(), m_dir->path());
    qunsetenv("VORTANE_SIM_DIR");
    qputenv("XDG_RUNTIME_DIR", "/run/user/4242");
    QCOMPARE(simFolder(), QStringLiteral("/run/user/4242/vortane-screen-sim"));
    qunsetenv("XDG_RUNTIME_DIR");
    QCOMPARE(simFolder(), QStringLiteral("/tmp/vortane-screen-sim-%1").arg(getuid()));
    qputenv("VORTANE_SIM_DIR", m_dir->path().toLocal8Bit());
}

void TestSimLink::enumeration()
{
    SimScreenPeer b(m_dir->path(), QStringLiteral("bench"));
    SimScreenPeer a(m_dir->path(), QStringLiteral("alpha.desk"));
    SimScreenPeer skipped(m_dir->path(), QStringLiteral("xxx"));
    SimScreenPeer kept(m_dir->path(), QStringLiteral("XXX"));
    QFile plain(m_dir->filePath(QStringLiteral("plain.sock")));
    QVERIFY(plain.open(QIODevice::WriteOnly)); // not a socket
    plain.close();

    SimUsbDevice device;
    const QList<UsbDeviceInfo> found = device.listDevices();
    QStringList names, paths;
    for (const UsbDeviceInfo& info : found) {
        names << info.name;
        paths << info.path;
        QVERIFY(info.problem.isEmpty());
    }
    QCOMPARE(names, (QStringList{"XXX", "alpha.desk", "bench"}));
    QCOMPARE(paths.value(1), QStringLiteral("SIM:") + m_dir->path() + QStringLiteral("/alpha.desk.sock"));
    QCOMPARE(device.enumerateDevices(), paths);
}

void TestSimLink::identifyExchangeFraming()
{
    SimScreenPeer peer(m_dir->path(), QStringLiteral("screen"));
    SimUsbDevice device;
    const QString path = simDevicePath(peer.socketPath());
    QVERIFY(device.open(path));
    QCOMPARE(device.devicePath(), path);

    std::uint8_t tx[Packets::kTxBufferSize];
    const int length = Packets::buildIdentifyRequest(tx);
    QCOMPARE(device.writeCommand(tx, length, kAlways), 1);
    std::uint8_t rx[Packets::kRxBufferSize];
    const int got = device.read(rx, kAlways);
    QCOMPARE(got, 36);
    Packets::IdentifyReply reply;
    QCOMPARE(int(Packets::checkIdentifyReply(rx, got, &reply)), int(Packets::ReplyOk));
    QCOMPARE(QByteArray(reply.version, 5), QByteArray("1.1.3"));

    const auto received = peer.received();
    QCOMPARE(received.size(), 1);
    QCOMPARE(int(received[0].endpoint), int(kSimHostToDevice));
    QCOMPARE(received[0].payload, QByteArray(reinterpret_cast<const char*>(tx), length));

    const QByteArray frame(70000, 'f');
    QCOMPARE(device.writeFrame(frame, kAlways), 1);
    QTRY_COMPARE(peer.received().size(), 2);
    QCOMPARE(peer.received()[1].payload, frame);
    device.close();
    QVERIFY(!device.isOpen());
    QCOMPARE(device.devicePath(), path); // kept after close
}

void TestSimLink::readDeliversAtMost512Bytes()
{
    SimScreenPeer peer(m_dir->path(), QStringLiteral("screen"));
    peer.setPrelude({{0x02, QByteArray("not for the host")}, {kSimDeviceToHost, QByteArray(600, 'L')}});
    SimUsbDevice device;
    QVERIFY(device.open(simDevicePath(peer.socketPath())));
    std::uint8_t tx[Packets::kTxBufferSize];
    QCOMPARE(device.writeCommand(tx, Packets::buildRestartRequest(tx, 1), kAlways), 1);
    std::uint8_t rx[Packets::kRxBufferSize];
    std::memset(rx, 0, sizeof rx);
    QCOMPARE(device.read(rx, kAlways), Packets::kMaxReadSize);
    QCOMPARE(rx[511], std::uint8_t('L'));
    QCOMPARE(rx[512], std::uint8_t(0));
    // The rest of the long message is gone; the next read is the next message.
    QCOMPARE(device.read(rx, kAlways), Packets::kShortReplySize);
}

void TestSimLink::stalledWriteGivesUpWhenTold()
{
    SimScreenPeer peer(m_dir->path(), QStringLiteral("screen"));
    peer.setStalled(true);
    SimUsbDevice device;
    QVERIFY(device.open(simDevicePath(peer.socketPath())));
    QElapsedTimer clock;
    clock.start();
    const TransferKeepGoing untilHalfASecond = [&] { return clock.elapsed() < 500; };
    const QByteArray frame(32 * 1024 * 1024, 's'); // far more than the socket buffers hold
    QCOMPARE(device.writeFrame(frame, untilHalfASecond), -1);
    QVERIFY2(clock.elapsed() < 500 + 10 * UsbDevice::kTransferSliceMs, qPrintable(QString::number(clock.elapsed())));
}

void TestSimLink::vanishedScreenFailsTransfers()
{
    auto peer = std::make_unique<SimScreenPeer>(m_dir->path(), QStringLiteral("screen"));
    SimUsbDevice device;
    QVERIFY(device.open(simDevicePath(peer->socketPath())));
    peer.reset();
    std::uint8_t rx[Packets::kRxBufferSize];
    QCOMPARE(device.read(rx, kAlways), -1);
    QCOMPARE(device.writeFrame(QByteArray(1024, 'x'), kAlways), -1); // and no SIGPIPE
    QVERIFY(device.enumerateDevices().isEmpty());
}

void TestSimLink::arrivalAndRemovalFromFolder()
{
    SimUsbDevice device;
    QSignalSpy arrived(&device, &UsbDevice::deviceArrived);
    QSignalSpy removed(&device, &UsbDevice::deviceRemoved);
    device.registerNotifications(0);
    auto peer = std::make_unique<SimScreenPeer>(m_dir->path(), QStringLiteral("screen"));
    QTRY_COMPARE(arrived.count(), 1);
    peer.reset();
    QTRY_COMPARE(removed.count(), 1);
    QCOMPARE(arrived.count(), 1);
}

void TestSimLink::restartedScreenIsAnotherDevice()
{
    // A simulated screen that restarts makes its socket anew under the same name: the connection
    // to the old one reaches nothing, so it is not "still present".
    auto peer = std::make_unique<SimScreenPeer>(m_dir->path(), QStringLiteral("screen"));
    SimUsbDevice device;
    QVERIFY(device.open(simDevicePath(peer->socketPath())));
    QVERIFY(device.openDeviceStillPresent());
    QSignalSpy arrived(&device, &UsbDevice::deviceArrived);
    QSignalSpy removed(&device, &UsbDevice::deviceRemoved);
    device.registerNotifications(0);

    peer.reset(); // gone and back before anyone looked
    peer = std::make_unique<SimScreenPeer>(m_dir->path(), QStringLiteral("screen"));
    QVERIFY(peer->isListening());
    QVERIFY(device.enumerateDevices().contains(device.devicePath()));
    QVERIFY(!device.openDeviceStillPresent());
    QTRY_COMPARE(removed.count(), 1);
    QTRY_COMPARE(arrived.count(), 1);

    QVERIFY(device.open(simDevicePath(peer->socketPath())));
    QVERIFY(device.openDeviceStillPresent());
}

void TestSimLink::lateRepliesAreDrained()
{
    SimScreenPeer peer(m_dir->path(), QStringLiteral("screen"));
    peer.setPrelude({{kSimDeviceToHost, QByteArray("late one")}, {kSimDeviceToHost, QByteArray("late two")}});
    SimUsbDevice device;
    QVERIFY(device.open(simDevicePath(peer.socketPath())));
    std::uint8_t tx[Packets::kTxBufferSize];
    QCOMPARE(device.writeCommand(tx, Packets::buildIdentifyRequest(tx), kAlways), 1);
    // Nobody reads: the two stray messages and the reply wait in the pipe until drained.
    int dropped = 0;
    QTRY_COMPARE(dropped += device.drainInput(kAlways), 3);
    QCOMPARE(device.drainInput(kAlways), 0);

    peer.setPrelude({});
    QCOMPARE(device.writeCommand(tx, Packets::buildIdentifyRequest(tx), kAlways), 1);
    std::uint8_t rx[Packets::kRxBufferSize];
    QCOMPARE(device.read(rx, kAlways), Packets::kIdentifyReplySize);
}

void TestSimLink::sharedFolderMustBePrivate_data()
{
    QTest::addColumn<QString>("setUp");
    QTest::addColumn<bool>("usable");
    QTest::newRow("missing: made with mode 0700") << "missing" << true;
    QTest::newRow("this user's with mode 0700: used") << "0700" << true;
    QTest::newRow("mode 0755: refused") << "0755" << false;
    QTest::newRow("mode 0777: refused") << "0777" << false;
    QTest::newRow("another user's: refused") << "other" << false;
    QTest::newRow("a link to a private folder: refused") << "link" << false;
    QTest::newRow("a file: refused") << "file" << false;
}

void TestSimLink::sharedFolderMustBePrivate()
{
    QFETCH(QString, setUp);
    QFETCH(bool, usable);
    const QString folder = m_dir->filePath(QStringLiteral("shared"));
    const QByteArray native = QFile::encodeName(folder);
    if (setUp == QLatin1String("0700") || setUp == QLatin1String("other")) {
        QVERIFY(QDir().mkdir(folder));
        QCOMPARE(::chmod(native.constData(), 0700), 0);
        if (setUp == QLatin1String("other")) {
            if (::getuid() != 0)
                QSKIP("giving a folder to another user needs root");
            QCOMPARE(::chown(native.constData(), 4242, 4242), 0);
        }
    } else if (setUp.startsWith(QLatin1Char('0'))) {
        QVERIFY(QDir().mkdir(folder));
        QCOMPARE(::chmod(native.constData(), mode_t(setUp.toInt(nullptr, 8))), 0);
    } else if (setUp == QLatin1String("link")) {
        const QString target = m_dir->filePath(QStringLiteral("target"));
        QVERIFY(QDir().mkdir(target));
        QCOMPARE(::chmod(QFile::encodeName(target).constData(), 0700), 0);
        QVERIFY(QFile::link(target, folder));
    } else if (setUp == QLatin1String("file")) {
        QFile file(folder);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QString why;
    QCOMPARE(claimPrivateFolder(folder, &why), usable);
    QCOMPARE(why.isEmpty(), usable);
    if (usable) {
        struct stat st
        {
        };
        QCOMPARE(::lstat(native.constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 07777), 0700);
    }
}

void TestSimLink::controllerConnectsAndStreams()
{
    SimScreenPeer peer(m_dir->path(), QStringLiteral("screen"));
    WINUSB_MAIN_CTRL controller; // the program's own device object: real devices, then simulated ones
    controller.openFirstDevice();
    QVERIFY(controller.isOpen());
    QCOMPARE(controller.usbDevice()->devicePath(), simDevicePath(peer.socketPath()));
    QCOMPARE(controller.deviceMode(), 1);
    QCOMPARE(controller.firmwareVersion(), QStringLiteral("1.1.3"));
    std::uint8_t header[Packets::kFrameHeaderSize];
    Packets::buildFrameHeader(header, 4, 100, true, 0, 0);
    const QByteArray frame = QByteArray(reinterpret_cast<const char*>(header), sizeof header) + "jpeg";
    controller.pushFrame(frame);
    QTRY_COMPARE(peer.received().size(), 2);
    QCOMPARE(peer.received()[1].payload, frame);
}

QTEST_GUILESS_MAIN(TestSimLink)
#include "TestSimLink.moc"
