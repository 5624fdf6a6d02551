// The simulated screen driven over its socket the way a host drives it: identify, faults,
// frames, restart with re-appearance, firmware assembly and the ways it goes away.

#include "simulator/SimProtocol.h"
#include "simulator/SimulatorCore.h"
#include "tests/support/simulator/SimTestClient.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using SimTest::Client;

namespace {

uint32_t replyCrc(const QByteArray& reply)
{
    return SimProtocol::readBigEndian32(reinterpret_cast<const uint8_t*>(reply.constData()) + reply.size() - 4);
}

bool crcMatches(const QByteArray& reply)
{
    return reply.size() >= 5 && SimProtocol::crc32(reinterpret_cast<const uint8_t*>(reply.constData()),
                                                   size_t(reply.size() - 4)) == replyCrc(reply);
}

QByteArray imageOf(int bytes)
{
    QByteArray image(bytes, '\0');
    for (int i = 0; i < bytes; ++i)
        image[i] = char((i * 7 + i / 251) & 0xFF);
    return image;
}

} // namespace

class TestSimulatorCore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void checksums();
    void identify_data();
    void identify();
    void replyFaults_data();
    void replyFaults();
    void garbledCommandIsNotAnswered();
    void frames_data();
    void frames();
    void restartLeavesAndComesBackInTheOtherMode();
    void firmware_data();
    void firmware();
    void vanishDuringFirmwareTransfer();
    void stalledScreenStopsTakingData();
    void repliesGoToTheConnectionThatAsked();
    void brokenLinkMessageDropsOnlyThatConnection();
    void staleSocketIsReplacedButALiveScreenIsNot();

private:
    std::unique_ptr<SimulatorCore> makeCore(const SimulatorOptions& options = {});
    std::unique_ptr<Client> connectClient(SimulatorCore& core);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSimulatorCore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestSimulatorCore::cleanup()
{
    m_dir.reset();
}

std::unique_ptr<SimulatorCore> TestSimulatorCore::makeCore(const SimulatorOptions& base)
{
    SimulatorOptions options = base;
    options.folder = m_dir->path();
    options.restartDelayMs = 100;
    auto core = std::make_unique<SimulatorCore>(options);
    if (!core->start())
        qWarning("start failed: %s", qPrintable(core->errorString()));
    return core;
}

std::unique_ptr<Client> TestSimulatorCore::connectClient(SimulatorCore& core)
{
    auto client = std::make_unique<Client>();
    if (!client->connectTo(core.socketPath()))
        return nullptr;
    return client;
}

void TestSimulatorCore::checksums()
{
    const auto crc32 = [](const char* text) {
        return SimProtocol::crc32(reinterpret_cast<const uint8_t*>(text), strlen(text));
    };
    QCOMPARE(crc32(""), 0u);
    QCOMPARE(crc32("abc"), 0xCA6598D0u);
    QCOMPARE(crc32("123456789"), 0x2DFD2D88u);
    QCOMPARE(SimProtocol::crc16Modbus(reinterpret_cast<const uint8_t*>("123456789"), 9), uint16_t(0x4B37));
    // The frame header of a 38 000-byte JPEG, as the host writes it.
    const QByteArray header = SimTest::frame(QByteArray(38000, 'x'), 100, 0, 0).left(8);
    QCOMPARE(header.mid(2).toHex(), QByteArray("00009470006f"));
}

void TestSimulatorCore::identify_data()
{
    QTest::addColumn<bool>("updateMode");
    QTest::addColumn<char>("stateFault");
    QTest::addColumn<QString>("version");
    QTest::addColumn<int>("model");
    QTest::addColumn<char>("expectedState");

    QTest::newRow("normal mode: state ; version 1.1.3 model 00 01") << false << char(0) << "1.1.3" << 1 << ';';
    QTest::newRow("update mode: state [") << true << char(0) << "1.1.3" << 1 << '[';
    QTest::newRow("another version is reported as given") << false << char(0) << "2.0.7" << 1 << ';';
    QTest::newRow("fault: third state +") << false << '+' << "1.1.3" << 1 << '+';
    QTest::newRow("fault: unknown state letter") << false << 'X' << "1.1.3" << 1 << 'X';
    QTest::newRow("fault: model bytes 00 02") << false << char(0) << "1.1.3" << 2 << ';';
}

void TestSimulatorCore::identify()
{
    QFETCH(bool, updateMode);
    QFETCH(char, stateFault);
    QFETCH(QString, version);
    QFETCH(int, model);
    QFETCH(char, expectedState);

    SimulatorOptions options;
    options.startInUpdateMode = updateMode;
    options.firmwareVersion = version;
    options.model = uint16_t(model);
    options.faults.stateLetter = stateFault;
    auto core = makeCore(options);
    auto client = connectClient(*core);
    QVERIFY(client);

    client->send(SimTest::identifyRequest());
    const auto reply = client->readReply();
    QVERIFY(reply);
    QCOMPARE(reply->size(), 36);
    QVERIFY(crcMatches(*reply));
    QCOMPARE(reply->at(2), expectedState);
    QCOMPARE(reply->mid(18, 5), version.toLatin1());
    QCOMPARE(uint8_t(reply->at(27)), uint8_t(model >> 8));
    QCOMPARE(uint8_t(reply->at(28)), uint8_t(model));
    QCOMPARE(core->counters().commands, 1u);
    QCOMPARE(core->counters().commandErrors, 0u);
}

void TestSimulatorCore::replyFaults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("expectedLength"); // -1: no reply
    QTest::addColumn<bool>("expectedCrcOk"); // looked at when the length is right

    const QByteArray identify = SimTest::identifyRequest();
    const QByteArray end = SimTest::firmwareEnd(8, 0);
    QTest::newRow("no fault: identify answered") << "" << identify << 36 << true;
    QTest::newRow("no reply: identify") << "noReply" << identify << -1 << false;
    QTest::newRow("no reply: firmware end") << "noReply" << end << -1 << false;
    QTest::newRow("wrong length: identify is 35 bytes") << "wrongLength" << identify << 35 << true;
    QTest::newRow("wrong length: short reply is 12 bytes") << "wrongLength" << end << 12 << true;
    QTest::newRow("bad CRC: identify") << "badCrc" << identify << 36 << false;
    QTest::newRow("bad CRC: short reply") << "badCrc" << end << 13 << false;
}

void TestSimulatorCore::replyFaults()
{
    QFETCH(QString, fault);
    QFETCH(QByteArray, request);
    QFETCH(int, expectedLength);
    QFETCH(bool, expectedCrcOk);

    SimulatorOptions options;
    options.faults.noReply = fault == "noReply";
    options.faults.wrongReplyLength = fault == "wrongLength";
    options.faults.badReplyCrc = fault == "badCrc";
    auto core = makeCore(options);
    auto client = connectClient(*core);
    QVERIFY(client);

    client->send(request);
    if (expectedLength < 0) {
        // The screen takes messages in order: once the frame sent after the request is counted,
        // any reply to the request would already be on its way.
        client->send(SimTest::frame(SimTest::jpegPicture(Qt::red), 50, 0, 0));
        QTRY_COMPARE(core->counters().frames, 1u);
        QCOMPARE(core->counters().commands, 1u);
        QCOMPARE(client->pendingReplies(), 0);
        return;
    }
    const auto reply = client->readReply();
    QVERIFY(reply);
    QCOMPARE(reply->size(), expectedLength);
    if (reply->size() == 36 || reply->size() == 13)
        QCOMPARE(crcMatches(*reply), expectedCrcOk);
}

void TestSimulatorCore::garbledCommandIsNotAnswered()
{
    auto core = makeCore();
    auto client = connectClient(*core);
    QVERIFY(client);
    QByteArray request = SimTest::identifyRequest();
    request[20] = char(request[20] ^ 1); // a bit flipped on the way
    client->send(request);
    client->send(SimTest::frame(SimTest::jpegPicture(Qt::blue), 50, 0, 0));
    QTRY_COMPARE(core->counters().frames, 1u);
    QCOMPARE(core->counters().commandErrors, 1u);
    QCOMPARE(client->pendingReplies(), 0);

    // The link still works: the next good identify is answered.
    client->send(SimTest::identifyRequest());
    QVERIFY(client->readReply());
}

void TestSimulatorCore::frames_data()
{
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<quint64>("frames");
    QTest::addColumn<quint64>("frameErrors");
    QTest::addColumn<quint64>("jpegErrors");
    QTest::addColumn<int>("brightness");
    QTest::addColumn<int>("displayMode");
    QTest::addColumn<int>("sleepFlag");

    const QByteArray jpeg = SimTest::jpegPicture(QColor(20, 120, 200));
    QTest::newRow("good frame: brightness 100, dynamic, standby on")
        << SimTest::frame(jpeg, 100, 0, 0) << quint64(1) << quint64(0) << quint64(0) << 100 << 0 << 0;
    QTest::newRow("good frame: brightness 0, analog clock, standby off")
        << SimTest::frame(jpeg, 0, 2, 1) << quint64(1) << quint64(0) << quint64(0) << 0 << 2 << 1;
    QByteArray badCrc = SimTest::frame(jpeg, 80, 1, 0);
    badCrc[7] = char(badCrc[7] ^ 0x01);
    QTest::newRow("length CRC-16 wrong") << badCrc << quint64(0) << quint64(1) << quint64(0) << -1 << -1 << -1;
    QTest::newRow("one byte more than the length says") << SimTest::frame(jpeg, 80, 1, 0) + QByteArray(1, '\0')
                                                        << quint64(0) << quint64(1) << quint64(0) << -1 << -1 << -1;
    QTest::newRow("one byte less than the length says")
        << SimTest::frame(jpeg, 80, 1, 0).chopped(1) << quint64(0) << quint64(1) << quint64(0) << -1 << -1 << -1;
    QTest::newRow("header only, too short")
        << SimTest::frame(jpeg, 80, 1, 0).left(20) << quint64(0) << quint64(1) << quint64(0) << -1 << -1 << -1;
    QTest::newRow("picture is not a JPEG")
        << SimTest::frame(QByteArray(5000, 'j'), 80, 1, 0) << quint64(0) << quint64(0) << quint64(1) << -1 << -1 << -1;
}

void TestSimulatorCore::frames()
{
    QFETCH(QByteArray, packet);
    QFETCH(quint64, frames);
    QFETCH(quint64, frameErrors);
    QFETCH(quint64, jpegErrors);
    QFETCH(int, brightness);
    QFETCH(int, displayMode);
    QFETCH(int, sleepFlag);

    auto core = makeCore();
    QSignalSpy received(core.get(), &SimulatorCore::frameReceived);
    auto client = connectClient(*core);
    QVERIFY(client);
    client->send(packet);
    QTRY_COMPARE(core->counters().frames + core->counters().frameErrors + core->counters().jpegErrors, 1u);

    const SimulatorCounters& c = core->counters();
    QCOMPARE(c.frames, frames);
    QCOMPARE(c.frameErrors, frameErrors);
    QCOMPARE(c.jpegErrors, jpegErrors);
    QCOMPARE(c.brightness, brightness);
    QCOMPARE(c.displayMode, displayMode);
    QCOMPARE(c.sleepFlag, sleepFlag);
    QCOMPARE(received.count(), int(frames));
    if (frames == 1) {
        const QImage picture = received.at(0).at(0).value<QImage>();
        QCOMPARE(picture.size(), QSize(800, 480));
        QCOMPARE(received.at(0).at(4).toByteArray(), packet.mid(40));
        // The white square of the test picture is where it was drawn.
        QVERIFY(qGray(picture.pixel(130, 130)) > 230);
        QVERIFY(qGray(picture.pixel(400, 300)) < 200);
    }
}

void TestSimulatorCore::restartLeavesAndComesBackInTheOtherMode()
{
    auto core = makeCore();
    const QString socket = core->socketPath();
    auto client = connectClient(*core);
    QVERIFY(client);

    client->send(SimTest::restartRequest(0));
    auto reply = client->readReply();
    QVERIFY(reply);
    QCOMPARE(reply->size(), 13);
    QVERIFY(crcMatches(*reply));
    // It leaves the bus at once: the socket goes, the host's link is closed.
    QVERIFY(!QFileInfo::exists(socket));
    QVERIFY(client->waitForDisconnect());
    QCOMPARE(core->presence(), SimulatorCore::Presence::Restarting);

    QTRY_VERIFY(QFileInfo::exists(socket));
    QCOMPARE(core->mode(), SimulatorCore::Mode::Update);
    client = connectClient(*core);
    QVERIFY(client);
    client->send(SimTest::identifyRequest());
    reply = client->readReply();
    QVERIFY(reply);
    QCOMPARE(reply->at(2), '[');

    client->send(SimTest::restartRequest(1));
    QVERIFY(client->readReply());
    QVERIFY(client->waitForDisconnect());
    QTRY_VERIFY(QFileInfo::exists(socket));
    QCOMPARE(core->mode(), SimulatorCore::Mode::Normal);
    client = connectClient(*core);
    QVERIFY(client);
    client->send(SimTest::identifyRequest());
    reply = client->readReply();
    QVERIFY(reply);
    QCOMPARE(reply->at(2), ';');
    QCOMPARE(core->counters().restarts, 2u);
}

void TestSimulatorCore::firmware_data()
{
    QTest::addColumn<int>("imageBytes");
    QTest::addColumn<bool>("updateMode");
    QTest::addColumn<QString>("tamper");
    QTest::addColumn<int>("expectedResult");

    QTest::newRow("8192 bytes in two full blocks: accepted") << 8192 << true << "" << 0;
    QTest::newRow("4118 bytes, last block of 22 written as 38: accepted") << 4118 << true << "" << 0;
    QTest::newRow("8 bytes in one block: accepted") << 8 << true << "" << 0;
    QTest::newRow("100000 bytes: accepted") << 100000 << true << "" << 0;
    QTest::newRow("end announces a wrong CRC-32: rejected") << 8192 << true << "crc" << 1;
    QTest::newRow("end announces one byte more: rejected") << 8192 << true << "length" << 1;
    QTest::newRow("a block went missing: rejected") << 12288 << true << "gap" << 1;
    QTest::newRow("a block was sent twice: accepted") << 8192 << true << "repeat" << 0;
    QTest::newRow("sent in normal mode: rejected") << 8192 << false << "" << 1;
    QTest::newRow("fault: firmware rejected") << 8192 << true << "reject" << 1;
}

void TestSimulatorCore::firmware()
{
    QFETCH(int, imageBytes);
    QFETCH(bool, updateMode);
    QFETCH(QString, tamper);
    QFETCH(int, expectedResult);

    SimulatorOptions options;
    options.startInUpdateMode = updateMode;
    options.faults.rejectFirmware = tamper == "reject";
    auto core = makeCore(options);
    QSignalSpy finished(core.get(), &SimulatorCore::firmwareFinished);
    auto client = connectClient(*core);
    QVERIFY(client);

    const QByteArray image = imageOf(imageBytes);
    for (int offset = 0; offset < image.size(); offset += 4096) {
        if (tamper == "gap" && offset == 4096)
            continue;
        const QByteArray block = SimTest::firmwareBlock(uint32_t(offset), image.mid(offset, 4096));
        for (int times = (tamper == "repeat" && offset == 0) ? 2 : 1; times > 0; --times) {
            client->send(block);
            const auto reply = client->readReply();
            QVERIFY(reply);
            QCOMPARE(reply->size(), 13);
            QVERIFY(crcMatches(*reply));
        }
    }
    const uint32_t crc = SimProtocol::crc32(image) ^ (tamper == "crc" ? 1u : 0u);
    client->send(SimTest::firmwareEnd(uint32_t(imageBytes + (tamper == "length" ? 1 : 0)), crc));
    const auto reply = client->readReply();
    QVERIFY(reply);
    QCOMPARE(reply->size(), 13);
    QVERIFY(crcMatches(*reply));
    QCOMPARE(int(uint8_t(reply->at(8))), expectedResult);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toBool(), expectedResult == 0);

    QFile saved(core->firmwareFile());
    if (expectedResult == 0) {
        QCOMPARE(core->acceptedFirmware(), image);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), image);
        QCOMPARE(core->counters().firmwareAccepted, 1u);
    } else {
        QVERIFY(core->acceptedFirmware().isEmpty());
        QVERIFY(!saved.exists());
        QCOMPARE(core->counters().firmwareRejected, 1u);
    }
}

void TestSimulatorCore::vanishDuringFirmwareTransfer()
{
    SimulatorOptions options;
    options.startInUpdateMode = true;
    options.faults.vanishAfterBlocks = 1;
    auto core = makeCore(options);
    auto client = connectClient(*core);
    QVERIFY(client);

    const QByteArray image = imageOf(8192);
    client->send(SimTest::firmwareBlock(0, image.left(4096)));
    QVERIFY(client->readReply()); // the first block is still answered
    QVERIFY(client->waitForDisconnect());
    QVERIFY(!QFileInfo::exists(core->socketPath()));
    QCOMPARE(core->presence(), SimulatorCore::Presence::Vanished);
    // Gone for good: it does not come back, and nobody can connect.
    Client late;
    QVERIFY(!late.connectTo(core->socketPath(), 300));
    QCOMPARE(core->presence(), SimulatorCore::Presence::Vanished);
}

void TestSimulatorCore::stalledScreenStopsTakingData()
{
    SimulatorOptions options;
    options.faults.stallAfterFrames = 1;
    auto core = makeCore(options);
    auto client = connectClient(*core);
    QVERIFY(client);

    const QByteArray packet = SimTest::frame(SimTest::jpegPicture(Qt::darkGreen), 100, 0, 0);
    client->send(packet);
    QTRY_COMPARE(core->counters().frames, 1u);
    // Far more than any socket buffer holds: if the screen went on reading, it would all drain.
    const QByteArray big = SimTest::frame(QByteArray(512 * 1024, 'x'), 100, 0, 0);
    for (int i = 0; i < 16; ++i)
        client->send(big);
    for (int i = 0; i < 100; ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QTest::qWait(2);
    }
    QVERIFY(client->socket().bytesToWrite() > 0);
    QCOMPARE(core->counters().frames, 1u);
    QCOMPARE(core->counters().jpegErrors, 0u);
}

void TestSimulatorCore::repliesGoToTheConnectionThatAsked()
{
    auto core = makeCore();
    auto first = connectClient(*core);
    auto second = connectClient(*core);
    QVERIFY(first && second);
    second->send(SimTest::identifyRequest());
    QVERIFY(second->readReply());
    QCOMPARE(first->pendingReplies(), 0);
    first->send(SimTest::restartRequest(0));
    QVERIFY(first->readReply());
    QCOMPARE(second->pendingReplies(), 0);
    // A restart leaves every host.
    QVERIFY(second->waitForDisconnect());
}

void TestSimulatorCore::brokenLinkMessageDropsOnlyThatConnection()
{
    auto core = makeCore();
    auto broken = connectClient(*core);
    auto good = connectClient(*core);
    QVERIFY(broken && good);
    broken->socket().write(QByteArray::fromHex("81000000240000")); // device-to-host endpoint from the host
    broken->socket().flush();
    QVERIFY(broken->waitForDisconnect());
    QCOMPARE(core->counters().commandErrors, 1u);
    good->send(SimTest::identifyRequest());
    QVERIFY(good->readReply());
    QCOMPARE(core->presence(), SimulatorCore::Presence::Present);
}

void TestSimulatorCore::staleSocketIsReplacedButALiveScreenIsNot()
{
    SimulatorOptions options;
    options.name = QStringLiteral("twin");
    const QString path = m_dir->path() + QStringLiteral("/twin.sock");
    {
        // A socket file left behind by a screen that was killed.
        QFile stale(path);
        QVERIFY(stale.open(QIODevice::WriteOnly));
    }
    auto core = makeCore(options);
    QCOMPARE(core->presence(), SimulatorCore::Presence::Present);
    QVERIFY(connectClient(*core));

    SimulatorOptions twinOptions = options;
    twinOptions.folder = m_dir->path();
    SimulatorCore twin(twinOptions);
    QVERIFY(!twin.start());
    QVERIFY(twin.errorString().contains("twin"));
    // The running screen keeps its socket.
    QVERIFY(QFileInfo::exists(path));
    QVERIFY(connectClient(*core));
}

QTEST_GUILESS_MAIN(TestSimulatorCore)
#include "TestSimulatorCore.moc"
