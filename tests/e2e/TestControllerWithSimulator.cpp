// End to end: the device controller in this process against vortane-screen-sim running as a
// separate process in a folder of its own, with the simulator's fault switches making the screen
// misbehave the way real screens do: a handshake that goes unanswered or reports the wrong model
// once, and a firmware end whose answer arrives after the host has given up on it.

#include "device/SimUsbDevice.h"
#include "device/WINUSB_MAIN_CTRL.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

QByteArray imageOf(int size)
{
    QByteArray image(size, '\0');
    for (int i = 0; i < size; ++i)
        image[i] = char((i * 37 + 11) & 0xFF);
    return image;
}

} // namespace

class TestControllerWithSimulator : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void handshakeFailingOnceConnectsOnALaterAttempt_data();
    void handshakeFailingOnceConnectsOnALaterAttempt();
    void firmwareRetriedAfterTimedOutEndReportsTheScreensAnswer_data();
    void firmwareRetriedAfterTimedOutEndReportsTheScreensAnswer();

private:
    bool startSimulator(const QStringList& extra);
    // The connect loop as discovery runs it: once per turn until a device is open.
    int connectWithin(WINUSB_MAIN_CTRL& controller, int attempts, QList<int>* results);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_simFolder;
    std::unique_ptr<QProcess> m_sim;
};

void TestControllerWithSimulator::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_simFolder = m_dir->path() + "/screens";
    // The controller's simulated-screen backend looks here.
    qputenv("VORTANE_SIM_DIR", QFile::encodeName(m_simFolder));
    m_sim = std::make_unique<QProcess>();
}

void TestControllerWithSimulator::cleanup()
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

bool TestControllerWithSimulator::startSimulator(const QStringList& extra)
{
    m_sim->start(TestSupport::programFile("vortane-screen-sim"),
                 QStringList{"--headless", "--folder", m_simFolder, "--name", "e2e"} + extra);
    if (!m_sim->waitForStarted(10000))
        return false;
    while (!m_sim->canReadLine()) {
        if (!m_sim->waitForReadyRead(10000))
            return false;
    }
    return QFileInfo::exists(QString::fromLocal8Bit(m_sim->readLine()).trimmed());
}

int TestControllerWithSimulator::connectWithin(WINUSB_MAIN_CTRL& controller, int attempts, QList<int>* results)
{
    for (int attempt = 0; attempt < attempts; ++attempt) {
        const int result = controller.openFirstDevice();
        *results << result;
        if (controller.isOpen())
            return attempt + 1;
    }
    return -1;
}

void TestControllerWithSimulator::handshakeFailingOnceConnectsOnALaterAttempt_data()
{
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<int>("firstResult");
    QTest::newRow("first identify unanswered: no reply, then connected") << QStringList{"--ignore-identify", "1"} << -2;
    QTest::newRow("first identify with model 00 02: refused, then connected")
        << QStringList{"--wrong-model-identify", "1"} << -6;
}

void TestControllerWithSimulator::handshakeFailingOnceConnectsOnALaterAttempt()
{
    QFETCH(QStringList, faults);
    QFETCH(int, firstResult);
    QVERIFY(startSimulator(faults));
    WINUSB_MAIN_CTRL controller(std::make_unique<SimUsbDevice>());
    QList<int> results;
    QCOMPARE(connectWithin(controller, 3, &results), 2);
    QCOMPARE(results, (QList<int>{firstResult, 0}));
    QCOMPARE(controller.deviceMode(), WINUSB_MAIN_CTRL::kModeNormal);
    QCOMPARE(controller.firmwareVersion(), QStringLiteral("1.1.3"));
    QVERIFY(controller.streamer()->isStreaming());
}

void TestControllerWithSimulator::firmwareRetriedAfterTimedOutEndReportsTheScreensAnswer_data()
{
    QTest::addColumn<bool>("rejects");
    QTest::newRow("the screen rejects the image: the retry fails") << true;
    QTest::newRow("the screen accepts the image: the retry succeeds") << false;
}

void TestControllerWithSimulator::firmwareRetriedAfterTimedOutEndReportsTheScreensAnswer()
{
    // The first end command's answer comes only with the retry's first reply; read as the
    // answer to that block, it would shift every later reply by one and the retry's end command
    // would read a block's "accepted", whatever the screen said.
    QFETCH(bool, rejects);
    QStringList faults{"--update-mode", "--late-end-reply", "--firmware-out", m_dir->filePath("accepted.bin")};
    if (rejects)
        faults << "--reject-firmware";
    QVERIFY(startSimulator(faults));
    WINUSB_MAIN_CTRL controller(std::make_unique<SimUsbDevice>());
    QCOMPARE(controller.openFirstDevice(), 0);
    QCOMPARE(controller.deviceMode(), WINUSB_MAIN_CTRL::kModeUpdate);

    const QString path = m_dir->filePath("firmware.bin");
    const QByteArray image = imageOf(3 * 4096 + 100);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(image), qint64(image.size()));
    }
    QCOMPARE(controller.writeFirmwareFile(path), 0); // the end command timed out
    QVERIFY(controller.isOpen());
    QCOMPARE(controller.writeFirmwareFile(path), rejects ? 0 : 1);
    if (!rejects) {
        QFile accepted(m_dir->filePath("accepted.bin"));
        QVERIFY(accepted.open(QIODevice::ReadOnly));
        QCOMPARE(accepted.readAll(), image);
    }
}

QTEST_GUILESS_MAIN(TestControllerWithSimulator)
#include "TestControllerWithSimulator.moc"
