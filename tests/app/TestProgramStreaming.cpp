#include "tests/support/TestSupport.h"
#include "tests/support/device/SimScreenPeer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// Screen-frame packets (0x01 messages starting 5A A5) among what the screen received.
QList<QByteArray> framesOf(const SimScreenPeer& screen)
{
    QList<QByteArray> frames;
    for (const SimScreenPeer::Message& message : screen.received()) {
        if (message.endpoint == 0x01 && message.payload.size() >= 40 && uchar(message.payload[0]) == 0x5A &&
            uchar(message.payload[1]) == 0xA5)
            frames.append(message.payload);
    }
    return frames;
}

quint16 crc16Modbus(const QByteArray& bytes)
{
    quint16 crc = 0xFFFF;
    for (char c : bytes) {
        crc ^= uchar(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
    }
    return crc;
}

} // namespace

// The installed program as its own process, streaming to a simulated screen on the simulated link.
class TestProgramStreaming final : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;
    QTemporaryDir simFolder;
    QTemporaryDir runtime;
    QProcess program;

private slots:
    void initTestCase()
    {
        // A portable copy of the program folder, with the settings the header must carry.
        const QString built = TestSupport::programDir();
        QVERIFY(QFile::copy(TestSupport::programFile(QStringLiteral("vortane-screen")),
                            folder.filePath(QStringLiteral("vortane-screen"))));
        for (const char* sub : {"Default", "Translator"}) {
            QDir().mkpath(folder.filePath(QLatin1String(sub)));
            for (const QFileInfo& file : QDir(built + QLatin1Char('/') + QLatin1String(sub)).entryInfoList(QDir::Files))
                QFile::copy(file.filePath(), folder.filePath(QLatin1String(sub) + QLatin1Char('/') + file.fileName()));
        }
        QFile ini(folder.filePath(QStringLiteral("bgConfig.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[General]\nisPrivacyPolicyAgree=1\nApplyBacklight=75\nscreenSwitch=false\nSleepMode=1\n"
                  "ApplyStyleMode=2\n");
        ini.close();
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void cleanupTestCase()
    {
        if (program.state() != QProcess::NotRunning) {
            program.terminate();
            program.waitForFinished(10000);
        }
    }

    void streamsWithTheStoredSettings()
    {
        auto screen = std::make_unique<SimScreenPeer>(simFolder.path(), QStringLiteral("screen"));
        QVERIFY(screen->isListening());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("VORTANE_SIM_DIR"), simFolder.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("HOME"), folder.path());
        program.setProcessEnvironment(env);
        program.start(folder.filePath(QStringLiteral("vortane-screen")), {QStringLiteral("min")});
        QVERIFY(program.waitForStarted());

        QTRY_VERIFY_WITH_TIMEOUT(framesOf(*screen).size() >= 3, 10000);
        // Count over a measured second: the streamer never writes more than one frame per 25 ms.
        const int before = framesOf(*screen).size();
        QElapsedTimer timer;
        timer.start();
        QTest::qWait(1000);
        const int during = framesOf(*screen).size() - before;
        const double fps = during * 1000.0 / double(timer.elapsed());
        QVERIFY2(during > 5 && fps <= 41.0, qPrintable(QStringLiteral("%1 frames/s").arg(fps)));

        for (const QByteArray& frame : framesOf(*screen)) {
            const QByteArray length = frame.mid(2, 4);
            const quint32 n = quint32(uchar(length[0])) << 24 | quint32(uchar(length[1])) << 16 |
                              quint32(uchar(length[2])) << 8 | uchar(length[3]);
            QCOMPARE(int(n), frame.size() - 40);
            QCOMPARE(quint16(uchar(frame[6]) << 8 | uchar(frame[7])), crc16Modbus(length));
            QCOMPARE(int(uchar(frame[8])), 0);  // screenSwitch false: brightness 0
            QCOMPARE(int(uchar(frame[9])), 2);  // analog clock page
            QCOMPARE(int(uchar(frame[10])), 1); // standby mode off
        }
        QCOMPARE(QImage::fromData(framesOf(*screen).last().mid(40), "JPG").size(), QSize(800, 480));

        // The screen goes away: frames stop.
        screen->vanish();
        QTest::qWait(500);
        const int afterVanish = framesOf(*screen).size();
        QTest::qWait(500);
        QCOMPARE(framesOf(*screen).size(), afterVanish);

        // It comes back: the arrival brings the connect within about 100 ms plus the handshake.
        screen.reset();
        SimScreenPeer again(simFolder.path(), QStringLiteral("screen"));
        QVERIFY(again.isListening());
        QElapsedTimer back;
        back.start();
        QTRY_VERIFY_WITH_TIMEOUT(!framesOf(again).isEmpty(), 5000);
        qInfo("first frame %lld ms after the screen came back", back.elapsed());

        program.terminate();
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
    }
};

QTEST_MAIN(TestProgramStreaming)
#include "TestProgramStreaming.moc"
