// End to end: vortane-screenctl against vortane-screen-sim running as a separate process in a
// folder of its own, the way a user scripts a screen on a headless machine.

#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>

namespace {

using Run = TestSupport::ProcessRun;

QByteArray patternBytes(int size)
{
    QByteArray bytes(size, '\0');
    quint32 x = 0x12345678u;
    for (int i = 0; i < size; ++i) {
        x = x * 1664525u + 1013904223u;
        bytes[i] = char(x >> 24);
    }
    return bytes;
}

} // namespace

class TestScreenctlWithSimulator : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void listShowsPathNameModeAndVersion_data();
    void listShowsPathNameModeAndVersion();
    void listWithoutScreens();
    void showStreamsValidFramesAtMost40PerSecond_data();
    void showStreamsValidFramesAtMost40PerSecond();
    void showOnAStalledScreenStillEnds();
    void showReportsAScreenThatWentAway();
    void firmwareUpdateLeavesTheIdenticalImage_data();
    void firmwareUpdateLeavesTheIdenticalImage();
    void firmwareFailuresAreReported_data();
    void firmwareFailuresAreReported();
    void withTwoScreensFirmwareNeedsAChoice();
    void wrongUsage_data();
    void wrongUsage();

private:
    bool startSimulator(const QStringList& extra = {});
    bool stopSimulator();
    Run screenctl(const QStringList& arguments, int timeoutMs = 60000);
    QMap<QString, QString> counters() const { return TestSupport::readSimulatorCounters(m_dump + "/counters.txt"); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_simFolder;
    QString m_dump;
    QString m_socket;
    std::unique_ptr<QProcess> m_sim;
};

void TestScreenctlWithSimulator::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_simFolder = m_dir->path() + "/screens";
    m_dump = m_dir->path() + "/dump";
    m_sim = std::make_unique<QProcess>();
}

void TestScreenctlWithSimulator::cleanup()
{
    if (m_sim->state() != QProcess::NotRunning) {
        m_sim->terminate();
        if (!m_sim->waitForFinished(10000)) {
            m_sim->kill();
            m_sim->waitForFinished();
        }
    }
    if (QTest::currentTestFailed())
        qWarning().noquote() << "simulator said:\n" << m_sim->readAllStandardError();
    m_sim.reset();
    m_dir.reset();
}

bool TestScreenctlWithSimulator::startSimulator(const QStringList& extra)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VORTANE_SIM_DIR", m_simFolder);
    m_sim->setProcessEnvironment(environment);
    m_sim->start(TestSupport::programFile("vortane-screen-sim"),
                 QStringList{"--headless", "--name", "e2e", "--dump", m_dump, "--restart-delay", "200"} + extra);
    if (!m_sim->waitForStarted(10000))
        return false;
    while (!m_sim->canReadLine()) {
        if (!m_sim->waitForReadyRead(10000))
            return false;
    }
    m_socket = QString::fromLocal8Bit(m_sim->readLine()).trimmed();
    return QFileInfo::exists(m_socket);
}

bool TestScreenctlWithSimulator::stopSimulator()
{
    m_sim->terminate();
    return m_sim->waitForFinished(10000) && m_sim->exitStatus() == QProcess::NormalExit && m_sim->exitCode() == 0;
}

Run TestScreenctlWithSimulator::screenctl(const QStringList& arguments, int timeoutMs)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VORTANE_SIM_DIR", m_simFolder);
    return TestSupport::runProcess(TestSupport::programFile("vortane-screenctl"), arguments, timeoutMs, environment);
}

void TestScreenctlWithSimulator::listShowsPathNameModeAndVersion_data()
{
    QTest::addColumn<QStringList>("simulatorArguments");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("version");

    QTest::newRow("normal mode with its version") << QStringList() << "normal"
                                                  << "1.1.3";
    QTest::newRow("another version") << QStringList{"--firmware-version", "2.0.1"} << "normal"
                                     << "2.0.1";
    QTest::newRow("update mode, no version") << QStringList{"--update-mode"} << "update"
                                             << "-";
    QTest::newRow("third state") << QStringList{"--state", "+"} << "third state"
                                 << "-";
    QTest::newRow("other model bytes") << QStringList{"--model", "0002"} << "unsupported model 00 02"
                                       << "-";
    QTest::newRow("replies with a bad CRC") << QStringList{"--bad-crc"} << "bad reply (CRC)"
                                            << "-";
    QTest::newRow("no replies") << QStringList{"--no-reply"} << "no answer"
                                << "-";
}

void TestScreenctlWithSimulator::listShowsPathNameModeAndVersion()
{
    QFETCH(QStringList, simulatorArguments);
    QFETCH(QString, mode);
    QFETCH(QString, version);
    QVERIFY(startSimulator(simulatorArguments));

    const Run run = screenctl({"list", "--terse"});
    QCOMPARE(run.exitCode, 0);
    const QStringList columns = run.out.trimmed().split('\t');
    QCOMPARE(columns, (QStringList{"SIM:" + m_socket, "e2e", mode, version}));

    const Run table = screenctl({"list"});
    QCOMPARE(table.exitCode, 0);
    QVERIFY(table.out.startsWith("PATH"));
    QVERIFY(table.out.contains("SIM:" + m_socket));
}

void TestScreenctlWithSimulator::listWithoutScreens()
{
    const Run run = screenctl({"list"});
    QCOMPARE(run.exitCode, 3);
    QVERIFY(run.out.isEmpty());
    QVERIFY(run.err.contains("no screen found"));
}

void TestScreenctlWithSimulator::showStreamsValidFramesAtMost40PerSecond_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("brightness");
    QTest::newRow("brightness 100 unless given") << QStringList() << 100;
    QTest::newRow("--brightness 35") << QStringList{"--brightness", "35"} << 35;
    QTest::newRow("--brightness 0") << QStringList{"--brightness", "0"} << 0;
}

void TestScreenctlWithSimulator::showStreamsValidFramesAtMost40PerSecond()
{
    QFETCH(QStringList, options);
    QFETCH(int, brightness);
    QVERIFY(startSimulator());

    // A 4:3 picture: fitted to 800 x 480 it is 640 x 480 with black bars left and right.
    QImage picture(1200, 900, QImage::Format_RGB32);
    picture.fill(QColor(30, 160, 90));
    const QString file = m_dir->path() + "/picture.png";
    QVERIFY(picture.save(file));

    const Run run = screenctl(QStringList{"show", file, "--seconds", "2"} + options);
    QCOMPARE(run.exitCode, 0);
    // Its orderly exit writes the final counters.
    QVERIFY(stopSimulator());

    const auto c = counters();
    QVERIFY(c.value("frames").toInt() >= 10);
    QCOMPARE(c.value("frame_errors"), QString("0"));
    QCOMPARE(c.value("jpeg_errors"), QString("0"));
    QCOMPARE(c.value("brightness").toInt(), brightness);
    QCOMPARE(c.value("display_mode"), QString("0"));
    QCOMPARE(c.value("sleep_flag"), QString("0"));
    QCOMPARE(c.value("frame_width"), QString("800"));
    QCOMPARE(c.value("frame_height"), QString("480"));
    // The host writes frames at least 25 ms apart. Arrival times at the screen carry some
    // scheduling noise, which the half frame per second of room allows for.
    QVERIFY2(c.value("mean_fps").toDouble() <= 40.5, qPrintable(c.value("mean_fps")));

    // Every frame the screen logged was a good frame of the picture.
    QFile log(m_dump + "/frames.csv");
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().trimmed().split('\n');
    QCOMPARE(lines.size() - 1, c.value("frames").toInt());
    for (int i = 1; i < lines.size(); ++i)
        QVERIFY(lines.at(i).endsWith(QByteArray::number(brightness) + ",0,0,800,480"));

    const QImage shown(m_dump + "/latest.jpg");
    QCOMPARE(shown.size(), QSize(800, 480));
    QVERIFY(qGray(shown.pixel(30, 240)) < 10);  // bar
    QVERIFY(qGray(shown.pixel(770, 240)) < 10); // bar
    const QColor middle = shown.pixelColor(400, 240);
    QVERIFY(qAbs(middle.green() - 160) < 12 && qAbs(middle.red() - 30) < 12);
}

void TestScreenctlWithSimulator::showOnAStalledScreenStillEnds()
{
    QVERIFY(startSimulator({"--stall-after-frames", "3"}));
    QImage picture(800, 480, QImage::Format_RGB32);
    // Noise compresses badly, so the stalled link fills up after a few frames.
    const QByteArray noise = patternBytes(800 * 480 * 4);
    std::memcpy(picture.bits(), noise.constData(), size_t(noise.size()));
    const QString file = m_dir->path() + "/noise.png";
    QVERIFY(picture.save(file));

    const Run run = screenctl({"show", file, "--seconds", "2"}, 30000);
    QVERIFY2(run.err != "did not finish", "screenctl hung on a stalled screen");
    QTRY_COMPARE(counters().value("frames"), QString("3"));
}

void TestScreenctlWithSimulator::showReportsAScreenThatWentAway()
{
    QVERIFY(startSimulator({"--vanish-after-frames", "5"}));
    QImage picture(800, 480, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    const QString file = m_dir->path() + "/blue.png";
    QVERIFY(picture.save(file));

    const Run run = screenctl({"show", file, "--seconds", "30"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("went away") || run.err.contains("stopped taking frames"), qPrintable(run.err));
    QTRY_COMPARE(counters().value("presence"), QString("vanished"));
    QCOMPARE(counters().value("frames"), QString("5"));
}

void TestScreenctlWithSimulator::firmwareUpdateLeavesTheIdenticalImage_data()
{
    QTest::addColumn<int>("imageBytes");
    QTest::addColumn<bool>("startInUpdateMode");
    QTest::newRow("100000 bytes from normal mode") << 100000 << false;
    QTest::newRow("4118 bytes, a 22-byte last block") << 4118 << false;
    QTest::newRow("8 bytes, the smallest image") << 8 << false;
    QTest::newRow("8192 bytes, screen already in update mode") << 8192 << true;
}

void TestScreenctlWithSimulator::firmwareUpdateLeavesTheIdenticalImage()
{
    QFETCH(int, imageBytes);
    QFETCH(bool, startInUpdateMode);
    QVERIFY(startSimulator(startInUpdateMode ? QStringList{"--update-mode"} : QStringList()));

    const QByteArray image = patternBytes(imageBytes);
    const QString file = m_dir->path() + "/image.bin";
    {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(image);
    }
    const Run run = screenctl({"firmware", file});
    QVERIFY2(run.exitCode == 0, qPrintable(run.out + run.err));
    QVERIFY(run.out.contains("100 %"));
    QVERIFY(run.out.contains("Updated"));

    QFile saved(m_dump + "/firmware.bin");
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), image);
    const auto c = counters();
    QCOMPARE(c.value("mode"), QString("normal"));
    QCOMPARE(c.value("presence"), QString("present"));
    QCOMPARE(c.value("firmware_accepted"), QString("1"));
    QCOMPARE(c.value("restarts"), QString(startInUpdateMode ? "1" : "2"));
    QCOMPARE(c.value("command_errors"), QString("0"));
    // And screenctl sees it back in normal mode.
    QVERIFY(screenctl({"list", "-t"}).out.contains("\tnormal\t"));
}

void TestScreenctlWithSimulator::firmwareFailuresAreReported_data()
{
    QTest::addColumn<QStringList>("simulatorArguments");
    QTest::addColumn<int>("imageBytes");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("modeAfter");

    QTest::newRow("screen rejects the image")
        << QStringList{"--reject-firmware"} << 10000 << "did not accept the firmware"
        << "update";
    QTest::newRow("screen vanishes during the transfer")
        << QStringList{"--vanish-after-blocks", "1"} << 10000 << "went away"
        << "update";
    QTest::newRow("5-byte file: nothing is sent") << QStringList() << 5 << "8 bytes to 64 MiB"
                                                  << "normal";
    QTest::newRow("screen answers with a bad CRC") << QStringList{"--bad-crc"} << 10000 << "no screen answered"
                                                   << "normal";
    QTest::newRow("screen in the third state") << QStringList{"--state", "+"} << 10000 << "cannot be updated"
                                               << "normal";
}

void TestScreenctlWithSimulator::firmwareFailuresAreReported()
{
    QFETCH(QStringList, simulatorArguments);
    QFETCH(int, imageBytes);
    QFETCH(QString, message);
    QFETCH(QString, modeAfter);
    QVERIFY(startSimulator(simulatorArguments));

    const QString file = m_dir->path() + "/image.bin";
    {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(patternBytes(imageBytes));
    }
    const Run run = screenctl({"firmware", file});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY(!QFileInfo::exists(m_dump + "/firmware.bin"));
    QTRY_COMPARE(counters().value("mode"), modeAfter);
    if (imageBytes < 8)
        QCOMPARE(counters().value("commands"), QString("0"));
}

void TestScreenctlWithSimulator::withTwoScreensFirmwareNeedsAChoice()
{
    QVERIFY(startSimulator());
    QProcess other;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("VORTANE_SIM_DIR", m_simFolder);
    other.setProcessEnvironment(environment);
    const QString otherDump = m_dir->path() + "/other-dump";
    other.start(TestSupport::programFile("vortane-screen-sim"),
                {"--headless", "--name", "second", "--dump", otherDump, "--restart-delay", "200"});
    QVERIFY(other.waitForStarted(10000) && other.waitForReadyRead(10000));
    const QString otherSocket = QString::fromLocal8Bit(other.readLine()).trimmed();

    const Run list = screenctl({"list", "-t"});
    QCOMPARE(list.exitCode, 0);
    QCOMPARE(list.out.trimmed().split('\n').size(), 2);
    QVERIFY(list.out.contains("\tsecond\t"));
    QCOMPARE(screenctl({"list", "-t", "--device", "second"}).out.trimmed(),
             QString("SIM:%1\tsecond\tnormal\t1.1.3").arg(otherSocket));

    const QString file = m_dir->path() + "/image.bin";
    const QByteArray image = patternBytes(6000);
    {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(image);
    }
    const Run unchosen = screenctl({"firmware", file});
    QCOMPARE(unchosen.exitCode, 2);
    QVERIFY(unchosen.err.contains("--device"));

    const Run chosen = screenctl({"firmware", file, "--device", "SIM:" + otherSocket});
    QVERIFY2(chosen.exitCode == 0, qPrintable(chosen.err));
    QFile saved(otherDump + "/firmware.bin");
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), image);
    // The other screen was left alone.
    QCOMPARE(counters().value("restarts"), QString("0"));
    QVERIFY(!QFileInfo::exists(m_dump + "/firmware.bin"));

    other.terminate();
    QVERIFY(other.waitForFinished(10000));
}

void TestScreenctlWithSimulator::wrongUsage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no command") << QStringList();
    QTest::newRow("unknown command") << QStringList{"flash"};
    QTest::newRow("show without a file") << QStringList{"show"};
    QTest::newRow("show with brightness 101") << QStringList{"show", "x.png", "--brightness", "101"};
    QTest::newRow("show with negative seconds") << QStringList{"show", "x.png", "--seconds", "-1"};
    QTest::newRow("firmware with two files") << QStringList{"firmware", "a.bin", "b.bin"};
    QTest::newRow("list with a file") << QStringList{"list", "x"};
}

void TestScreenctlWithSimulator::wrongUsage()
{
    QFETCH(QStringList, arguments);
    QVERIFY(startSimulator());
    const Run run = screenctl(arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.err.contains("--help"));
    QCOMPARE(counters().value("commands"), QString("0")); // the screen was not touched
}

QTEST_GUILESS_MAIN(TestScreenctlWithSimulator)
#include "TestScreenctlWithSimulator.moc"
