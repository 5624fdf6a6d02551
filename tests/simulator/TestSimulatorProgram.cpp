// vortane-screen-sim as a separate process: its options, the dump folder, the saved firmware
// image and an orderly exit on SIGTERM.

#include "simulator/SimProtocol.h"
#include "tests/support/TestSupport.h"
#include "tests/support/simulator/SimTestClient.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using SimTest::Client;

namespace {

} // namespace

class TestSimulatorProgram : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void optionsReachTheScreen_data();
    void optionsReachTheScreen();
    void badOptionsAreRefused_data();
    void badOptionsAreRefused();
    void dumpHoldsFramesCountersAndFirmware();
    void secondScreenOfTheSameNameIsRefused();
    void folderComesFromTheEnvironment();

private:
    // Starts the simulator; returns its socket path (its first line of output) or an empty text.
    QString startSimulator(const QStringList& arguments, QProcess* process = nullptr,
                           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
    void stopSimulator(QProcess* process);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QProcess> m_process;
};

void TestSimulatorProgram::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_process = std::make_unique<QProcess>();
}

void TestSimulatorProgram::cleanup()
{
    if (m_process->state() != QProcess::NotRunning)
        stopSimulator(m_process.get());
    m_process.reset();
    m_dir.reset();
}

QString TestSimulatorProgram::startSimulator(const QStringList& arguments, QProcess* process,
                                             const QProcessEnvironment& environment)
{
    if (!process)
        process = m_process.get();
    process->setProcessEnvironment(environment);
    process->setProcessChannelMode(QProcess::SeparateChannels);
    process->start(TestSupport::programFile(QStringLiteral("vortane-screen-sim")), arguments);
    if (!process->waitForStarted(10000))
        return QString();
    while (!process->canReadLine()) {
        if (!process->waitForReadyRead(10000))
            return QString();
    }
    return QString::fromLocal8Bit(process->readLine()).trimmed();
}

void TestSimulatorProgram::stopSimulator(QProcess* process)
{
    process->terminate();
    if (!process->waitForFinished(10000)) {
        process->kill();
        process->waitForFinished();
    }
}

void TestSimulatorProgram::optionsReachTheScreen_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("replyLength");
    QTest::addColumn<char>("state");
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<QByteArray>("model");
    QTest::addColumn<bool>("crcOk");

    QTest::newRow("defaults") << QStringList() << 36 << ';' << QByteArray("1.1.3") << QByteArray("0001") << true;
    QTest::newRow("--update-mode") << QStringList{"--update-mode"} << 36 << '[' << QByteArray("1.1.3")
                                   << QByteArray("0001") << true;
    QTest::newRow("--firmware-version 2.4.0")
        << QStringList{"--firmware-version", "2.4.0"} << 36 << ';' << QByteArray("2.4.0") << QByteArray("0001") << true;
    QTest::newRow("--state +") << QStringList{"--state", "+"} << 36 << '+' << QByteArray("1.1.3") << QByteArray("0001")
                               << true;
    QTest::newRow("--model 0002") << QStringList{"--model", "0002"} << 36 << ';' << QByteArray("1.1.3")
                                  << QByteArray("0002") << true;
    QTest::newRow("--bad-crc") << QStringList{"--bad-crc"} << 36 << ';' << QByteArray("1.1.3") << QByteArray("0001")
                               << false;
    QTest::newRow("--short-reply") << QStringList{"--short-reply"} << 35 << ';' << QByteArray("1.1.3")
                                   << QByteArray("0001") << false;
}

void TestSimulatorProgram::optionsReachTheScreen()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, replyLength);
    QFETCH(char, state);
    QFETCH(QByteArray, version);
    QFETCH(QByteArray, model);
    QFETCH(bool, crcOk);

    const QString socket =
        startSimulator(QStringList{"--headless", "--folder", m_dir->path(), "--name", "opts"} + arguments);
    QCOMPARE(socket, m_dir->path() + "/opts.sock");
    Client client;
    QVERIFY(client.connectTo(socket));
    client.send(SimTest::identifyRequest());
    const auto reply = client.readReply();
    QVERIFY(reply);
    QCOMPARE(reply->size(), replyLength);
    QCOMPARE(reply->at(2), state);
    QCOMPARE(reply->mid(18, 5), version);
    QCOMPARE(reply->mid(27, 2).toHex(), model);
    if (replyLength == 36) {
        const uint32_t crc = SimProtocol::crc32(reinterpret_cast<const uint8_t*>(reply->constData()), 32);
        QCOMPARE(crc == SimProtocol::readBigEndian32(reinterpret_cast<const uint8_t*>(reply->constData()) + 32), crcOk);
    }
}

void TestSimulatorProgram::badOptionsAreRefused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("--model with three digits") << QStringList{"--model", "001"};
    QTest::newRow("--model not hex") << QStringList{"--model", "00zz"};
    QTest::newRow("--state with two letters") << QStringList{"--state", "[["};
    QTest::newRow("--vanish-after-frames negative") << QStringList{"--vanish-after-frames", "-1"};
    QTest::newRow("--stall-after-frames not a number") << QStringList{"--stall-after-frames", "many"};
    QTest::newRow("--firmware-version too long") << QStringList{"--firmware-version", "1.10.3"};
    QTest::newRow("a stray argument") << QStringList{"stray"};
    QTest::newRow("a name with a slash") << QStringList{"--name", "a/b"};
}

void TestSimulatorProgram::badOptionsAreRefused()
{
    QFETCH(QStringList, arguments);
    QProcess process;
    process.start(TestSupport::programFile(QStringLiteral("vortane-screen-sim")),
                  QStringList{"--headless", "--folder", m_dir->path()} + arguments);
    QVERIFY(process.waitForFinished(10000));
    QVERIFY(process.exitCode() != 0);
    QVERIFY(!process.readAllStandardError().isEmpty());
    QVERIFY(QDir(m_dir->path()).entryList({"*.sock"}, QDir::System | QDir::Files).isEmpty());
}

void TestSimulatorProgram::dumpHoldsFramesCountersAndFirmware()
{
    const QString dump = m_dir->path() + "/dump";
    const QString socket = startSimulator({"--headless", "--folder", m_dir->path(), "--name", "dumped", "--dump", dump,
                                           "--dump-frames", "2", "--restart-delay", "100"});
    QVERIFY(!socket.isEmpty());
    Client client;
    QVERIFY(client.connectTo(socket));

    const QByteArray jpeg = SimTest::jpegPicture(QColor(200, 40, 40));
    for (int i = 0; i < 3; ++i)
        client.send(SimTest::frame(jpeg, 60, 1, 1));
    QByteArray broken = SimTest::frame(jpeg, 60, 1, 1);
    broken[6] = char(broken[6] ^ 0x10);
    client.send(broken);
    QTRY_COMPARE(TestSupport::readSimulatorCounters(dump + "/counters.txt").value("frame_errors"), QString("1"));

    // Into update mode, a firmware image, back to normal mode.
    client.send(SimTest::restartRequest(0));
    QVERIFY(client.readReply());
    QVERIFY(client.waitForDisconnect());
    QTRY_COMPARE(TestSupport::readSimulatorCounters(dump + "/counters.txt").value("mode"), QString("update"));
    QTRY_VERIFY(client.connectTo(socket, 200));
    QByteArray image(5000, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i % 253);
    client.send(SimTest::firmwareBlock(0, image.left(4096)));
    QVERIFY(client.readReply());
    client.send(SimTest::firmwareBlock(4096, image.mid(4096)));
    QVERIFY(client.readReply());
    client.send(SimTest::firmwareEnd(uint32_t(image.size()), SimProtocol::crc32(image)));
    const auto end = client.readReply();
    QVERIFY(end);
    QCOMPARE(int(end->at(8)), 0);

    stopSimulator(m_process.get());
    QCOMPARE(m_process->exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_process->exitCode(), 0);
    QVERIFY(!QFileInfo::exists(socket)); // an orderly exit unplugs the screen

    const auto counters = TestSupport::readSimulatorCounters(dump + "/counters.txt");
    QCOMPARE(counters.value("frames"), QString("3"));
    QCOMPARE(counters.value("frame_errors"), QString("1"));
    QCOMPARE(counters.value("jpeg_errors"), QString("0"));
    QCOMPARE(counters.value("brightness"), QString("60"));
    QCOMPARE(counters.value("display_mode"), QString("1"));
    QCOMPARE(counters.value("sleep_flag"), QString("1"));
    QCOMPARE(counters.value("frame_width"), QString("800"));
    QCOMPARE(counters.value("restarts"), QString("1"));
    QCOMPARE(counters.value("firmware_accepted"), QString("1"));
    QCOMPARE(counters.value("firmware_image_bytes"), QString("5000"));
    QCOMPARE(counters.value("presence"), QString("stopped"));

    QFile firmware(dump + "/firmware.bin");
    QVERIFY(firmware.open(QIODevice::ReadOnly));
    QCOMPARE(firmware.readAll(), image);
    // The first two frames are kept, exactly as received, and the latest one.
    QFile first(dump + "/frame-000001.jpg");
    QVERIFY(first.open(QIODevice::ReadOnly));
    QCOMPARE(first.readAll(), jpeg);
    QVERIFY(QFileInfo::exists(dump + "/frame-000002.jpg"));
    QVERIFY(!QFileInfo::exists(dump + "/frame-000003.jpg"));
    QCOMPARE(QImage(dump + "/latest.jpg").size(), QSize(800, 480));
    QFile log(dump + "/frames.csv");
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().trimmed().split('\n');
    QCOMPARE(lines.size(), 4); // heading and three frames
    QVERIFY(lines.at(3).startsWith("3,"));
    QVERIFY(lines.at(3).endsWith(QByteArray::number(jpeg.size()) + ",60,1,1,800,480"));
}

void TestSimulatorProgram::secondScreenOfTheSameNameIsRefused()
{
    const QString socket = startSimulator({"--headless", "--folder", m_dir->path(), "--name", "one"});
    QVERIFY(!socket.isEmpty());
    QProcess second;
    second.start(TestSupport::programFile(QStringLiteral("vortane-screen-sim")),
                 {"--headless", "--folder", m_dir->path(), "--name", "one"});
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 1);
    QVERIFY(second.readAllStandardError().contains("one"));
    // The first one is still there and answers.
    Client client;
    QVERIFY(client.connectTo(socket));
    client.send(SimTest::identifyRequest());
    QVERIFY(client.readReply());
}

void TestSimulatorProgram::folderComesFromTheEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VORTANE_SIM_DIR", m_dir->path() + "/from-env");
    const QString socket = startSimulator({"--headless"}, nullptr, environment);
    QCOMPARE(socket, m_dir->path() + "/from-env/Simulated Screen.sock");
    QVERIFY(QFileInfo::exists(socket));
    // The folder is the user's own.
    QCOMPARE(QFileInfo(m_dir->path() + "/from-env").permissions() &
                 (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteOther),
             QFileDevice::Permissions());
}

QTEST_GUILESS_MAIN(TestSimulatorProgram)
#include "TestSimulatorProgram.moc"
