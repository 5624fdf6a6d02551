// The firmware transfer against an in-process simulated screen in update mode: the blocks, the
// progress and the end command for images of different sizes, and the failures that must be
// reported as failures.

#include "device/Packets.h"
#include "device/WINUSB_MAIN_CTRL.h"
#include "tests/support/device/FakeScreenDevice.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using Fault = FakeScreenDevice::Fault;

namespace {

QByteArray imageOf(int size)
{
    QByteArray image(size, '\0');
    for (int i = 0; i < size; ++i)
        image[i] = char((i * 131 + 7) & 0xFF);
    return image;
}

QString writeFile(const QTemporaryDir& dir, const QByteArray& content)
{
    const QString path = dir.filePath(QStringLiteral("firmware-%1.bin").arg(content.size()));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return QString();
    return path;
}

QList<int> progressValues(const QSignalSpy& spy)
{
    QList<int> values;
    for (const auto& args : spy)
        values << args.at(0).toInt();
    return values;
}

struct Rig
{
    FakeScreenDevice* fake = nullptr;
    std::unique_ptr<WINUSB_MAIN_CTRL> controller;

    explicit Rig(FakeScreenDevice::Screen screen)
    {
        auto device = std::make_unique<FakeScreenDevice>();
        device->addScreen(screen);
        fake = device.get();
        controller = std::make_unique<WINUSB_MAIN_CTRL>(std::move(device));
        controller->openFirstDevice();
        fake->clearRecords();
    }
};

FakeScreenDevice::Screen updateModeScreen()
{
    FakeScreenDevice::Screen s;
    s.state = '[';
    return s;
}

} // namespace

class TestFirmwareUpdate : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_dir.isValid()); }
    void transfer_data();
    void transfer();
    void refusedSizes_data();
    void refusedSizes();
    void endRejected();
    void deviceVanishingMidTransferFails();
    void retryAfterUnansweredBlockSucceeds();
    void retryAfterTimedOutEndGetsItsOwnAnswer_data();
    void retryAfterTimedOutEndGetsItsOwnAnswer();
    void preconditions();
    void wholeFlowFromNormalModeAndBack();
    void waitForUpdateModeGivesUp();

private:
    QTemporaryDir m_dir;
};

void TestFirmwareUpdate::transfer_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QList<quint32>>("addresses");
    QTest::addColumn<QList<int>>("writeLengths");
    QTest::addColumn<QList<int>>("progress");
    QTest::newRow("8192 bytes: two full blocks")
        << 8192 << QList<quint32>{0, 4096} << QList<int>{4110, 4110} << QList<int>{50, 100, 100};
    QTest::newRow("4118 bytes: a 22-byte block written as 38")
        << 4118 << QList<quint32>{0, 4096} << QList<int>{4110, 38} << QList<int>{99, 100};
    QTest::newRow("8 bytes: one short block") << 8 << QList<quint32>{0} << QList<int>{22} << QList<int>{100};
    QTest::newRow("3 blocks and 1 byte") << 12289 << QList<quint32>{0, 4096, 8192, 12288}
                                         << QList<int>{4110, 4110, 4110, 15} << QList<int>{33, 66, 99, 100};
}

void TestFirmwareUpdate::transfer()
{
    QFETCH(int, size);
    QFETCH(QList<quint32>, addresses);
    QFETCH(QList<int>, writeLengths);
    QFETCH(QList<int>, progress);
    Rig rig(updateModeScreen());
    QSignalSpy progressSpy(rig.controller.get(), &WINUSB_MAIN_CTRL::burnMcuProgress);
    const QByteArray image = imageOf(size);

    QCOMPARE(rig.controller->writeFirmwareFile(writeFile(m_dir, image)), 1);
    QCOMPARE(rig.fake->blockAddresses(), addresses);
    QCOMPARE(rig.fake->blockWriteLengths(), writeLengths);
    QCOMPARE(progressValues(progressSpy), progress);
    QCOMPARE(rig.fake->firmwareImage(), image);
    const QByteArray end = rig.fake->commands().last().bytes;
    QCOMPARE(
        end.left(18).toHex(),
        (QByteArray::fromHex("aa554c00002400000000") +
         QByteArray::fromHex(QByteArray::number(size, 16).rightJustified(8, '0')) +
         QByteArray::fromHex(
             QByteArray::number(Packets::packetCrc32(image.constData(), std::size_t(size)), 16).rightJustified(8, '0')))
            .toHex());
    QVERIFY(!rig.controller->streamer()->isStreaming());
}

void TestFirmwareUpdate::refusedSizes_data()
{
    QTest::addColumn<qint64>("size");
    QTest::newRow("5 bytes") << qint64(5);
    QTest::newRow("empty file") << qint64(0);
    QTest::newRow("one byte over 64 MiB") << WINUSB_MAIN_CTRL::kFirmwareMaxBytes + 1;
}

void TestFirmwareUpdate::refusedSizes()
{
    QFETCH(qint64, size);
    Rig rig(updateModeScreen());
    const QString path = m_dir.filePath(QStringLiteral("refused.bin"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QVERIFY(file.resize(size)); // sparse for the large one
    file.close();
    QCOMPARE(rig.controller->writeFirmwareFile(path), 0);
    QCOMPARE(rig.fake->commandCount(), 0);
}

void TestFirmwareUpdate::endRejected()
{
    FakeScreenDevice::Screen screen = updateModeScreen();
    screen.firmwareEndResult = 1;
    Rig rig(screen);
    const QByteArray image = imageOf(8192);
    QCOMPARE(rig.controller->writeFirmwareFile(writeFile(m_dir, image)), 0);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(image.constData());
    QCOMPARE(rig.controller->sendFirmware(bytes, image.size(), Packets::packetCrc32(bytes, 8192)),
             WINUSB_MAIN_CTRL::kFirmwareNotAccepted);
}

void TestFirmwareUpdate::deviceVanishingMidTransferFails()
{
    FakeScreenDevice::Screen screen = updateModeScreen();
    screen.fault = Fault::VanishAfterBlocks;
    screen.vanishAfterBlocks = 1;
    Rig rig(screen);
    // Whoever handles removals closes the device when it leaves.
    QObject::connect(rig.fake, &UsbDevice::deviceRemoved, rig.controller.get(),
                     [&] { rig.controller->handleDeviceRemoved(); });
    QCOMPARE(rig.controller->writeFirmwareFile(writeFile(m_dir, imageOf(3 * 4096))), 0);
    QVERIFY(rig.fake->commands().size() <= 2); // never got to the end command
}

void TestFirmwareUpdate::retryAfterUnansweredBlockSucceeds()
{
    FakeScreenDevice::Screen screen = updateModeScreen();
    screen.unansweredBlocks = 1;
    Rig rig(screen);
    const QByteArray image = imageOf(8192);
    const QString path = writeFile(m_dir, image);
    QCOMPARE(rig.controller->writeFirmwareFile(path), 0); // the first block's reply never came
    QVERIFY(rig.controller->isOpen());
    QCOMPARE(rig.controller->deviceMode(), 0); // still in update mode: the user may try again
    rig.fake->clearRecords();
    QCOMPARE(rig.controller->writeFirmwareFile(path), 1);
    QCOMPARE(rig.fake->blockAddresses(), (QList<quint32>{0, 4096}));
    QCOMPARE(rig.fake->firmwareImage(), image);
}

void TestFirmwareUpdate::retryAfterTimedOutEndGetsItsOwnAnswer_data()
{
    QTest::addColumn<bool>("withNextCommand");
    QTest::newRow("late end reply waiting before the retry is drained") << false;
    QTest::newRow("late end reply read before the retry's first reply is skipped") << true;
}

void TestFirmwareUpdate::retryAfterTimedOutEndGetsItsOwnAnswer()
{
    // The screen rejects the image both times, but its answer to the first end command comes
    // too late. Taken for the answer to a later command, it would shift every reply by one and
    // the retry's end command would read a block's reply: "accepted".
    QFETCH(bool, withNextCommand);
    FakeScreenDevice::Screen screen = updateModeScreen();
    screen.firmwareEndResult = 1;
    screen.heldEndReplies = 1;
    screen.releaseHeldWithNextCommand = withNextCommand;
    Rig rig(screen);
    const QString path = writeFile(m_dir, imageOf(8192));

    QCOMPARE(rig.controller->writeFirmwareFile(path), 0); // the end command timed out
    if (!withNextCommand) {
        rig.fake->releaseHeldReplies();
        QCOMPARE(rig.fake->pendingReplies(), 1);
    }
    QVERIFY(rig.controller->isOpen());
    QCOMPARE(rig.controller->writeFirmwareFile(path), 0); // the screen's own answer: rejected
    QCOMPARE(rig.fake->pendingReplies(), 0);
}

void TestFirmwareUpdate::preconditions()
{
    FakeScreenDevice::Screen normal;
    Rig inNormalMode(normal);
    QCOMPARE(inNormalMode.controller->writeFirmwareFile(writeFile(m_dir, imageOf(64))), -1);

    Rig rig(updateModeScreen());
    QCOMPARE(rig.controller->writeFirmwareFile(QString()), -2);
    QCOMPARE(rig.controller->writeFirmwareFile(m_dir.filePath(QStringLiteral("missing.bin"))), -3);
    QCOMPARE(rig.fake->commandCount(), 0);
    QCOMPARE(inNormalMode.fake->commandCount(), 0);
}

void TestFirmwareUpdate::wholeFlowFromNormalModeAndBack()
{
    FakeScreenDevice::Screen normal;
    Rig rig(normal);
    QCOMPARE(rig.controller->deviceMode(), 1);

    QCOMPARE(rig.controller->enterUpdateMode(), 0);
    QVERIFY(rig.controller->waitForUpdateMode(10000, true));
    QCOMPARE(rig.controller->deviceMode(), 0);

    const QByteArray image = imageOf(10000);
    QCOMPARE(rig.controller->writeFirmwareFile(writeFile(m_dir, image)), 1);
    QCOMPARE(rig.fake->firmwareImage(), image);
    QCOMPARE(rig.controller->returnToNormalMode(), 0);
    QVERIFY(rig.controller->waitForMode(WINUSB_MAIN_CTRL::kModeNormal, 10000, true));
    QCOMPARE(rig.controller->firmwareVersion(), QStringLiteral("1.1.3"));
    QVERIFY(rig.controller->streamer()->isStreaming());
}

void TestFirmwareUpdate::waitForUpdateModeGivesUp()
{
    FakeScreenDevice::Screen normal;
    normal.restartDelayMs = 60 * 60 * 1000; // never comes back within the test
    Rig rig(normal);
    QCOMPARE(rig.controller->enterUpdateMode(), 0);
    QVERIFY(!rig.controller->waitForUpdateMode(300, true));
    QVERIFY(!rig.controller->isOpen());
}

QTEST_GUILESS_MAIN(TestFirmwareUpdate)
#include "TestFirmwareUpdate.moc"
