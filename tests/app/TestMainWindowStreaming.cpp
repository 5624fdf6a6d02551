#include "app/MainWindow.h"
#include "settings/AppPaths.h"
#include "tests/support/TestSupport.h"
#include "tests/support/device/SimScreenPeer.h"
#include "ui_MainWindow.h"

#include <QDir>
#include <QImage>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// The screen-frame packets (0x01 messages that start 5A A5) the screen has received.
QList<QByteArray> framesOf(const SimScreenPeer& screen)
{
    QList<QByteArray> frames;
    for (const SimScreenPeer::Message& message : screen.received()) {
        if (message.endpoint == 0x01 && message.payload.size() > 40 && uchar(message.payload[0]) == 0x5A &&
            uchar(message.payload[1]) == 0xA5)
            frames.append(message.payload);
    }
    return frames;
}

} // namespace

// The main window with its real device controller against a simulated screen on the simulated
// link: the handshake, frames as the preview composes them, removal and re-arrival.
class TestMainWindowStreaming final : public QObject
{
    Q_OBJECT

    QTemporaryDir programFolder;
    QTemporaryDir simFolder;

private slots:
    void initTestCase()
    {
        const QString built = TestSupport::programDir();
        QDir(programFolder.path()).mkpath(QStringLiteral("Default"));
        for (const char* name : {"defaultbgClockH.jpg", "defaultbgClockV.jpg"})
            QVERIFY(QFile::copy(built + QStringLiteral("/Default/") + QLatin1String(name),
                                programFolder.filePath(QStringLiteral("Default/")) + QLatin1String(name)));
        QDir(programFolder.path()).mkpath(QStringLiteral("Translator"));
        for (const QFileInfo& qm : QDir(built + QStringLiteral("/Translator")).entryInfoList(QDir::Files))
            QFile::copy(qm.filePath(), programFolder.filePath(QStringLiteral("Translator/") + qm.fileName()));
        AppPaths::setProgramFolder(programFolder.path());
        qputenv("VORTANE_SIM_DIR", simFolder.path().toUtf8());
        QSettings ini(AppPaths::settingsFile(), QSettings::IniFormat);
        ini.setValue(QStringLiteral("isPrivacyPolicyAgree"), 1);
        ini.setValue(QStringLiteral("ApplyBacklight"), 75);
        ini.setValue(QStringLiteral("SleepMode"), 1);
        ini.sync();
    }

    void streamsStopsAndReconnects()
    {
        auto screen = std::make_unique<SimScreenPeer>(simFolder.path(), QStringLiteral("screen"));
        QVERIFY(screen->isListening());
        MainWindow window;
        Ui::MainWindow* ui = window.form();

        // The 1000 ms discovery finds it, the handshake reports normal mode.
        QTRY_COMPARE_WITH_TIMEOUT(ui->pushButton_homepage_screen_settings->text(), QStringLiteral("Screen Settings"),
                                  5000);
        QCOMPARE(ui->label_firmware_version_info->text(), QStringLiteral("1.1.3"));
        QCOMPARE(window.discoveryIntervalMs(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(framesOf(*screen).size() >= 5, 5000);

        const QByteArray frame = framesOf(*screen).last();
        const quint32 n = quint32(uchar(frame[2])) << 24 | quint32(uchar(frame[3])) << 16 |
                          quint32(uchar(frame[4])) << 8 | uchar(frame[5]);
        QCOMPARE(int(n), frame.size() - 40);
        QCOMPARE(int(uchar(frame[8])), 75); // brightness from bgConfig.ini
        QCOMPARE(int(uchar(frame[9])), 0);
        QCOMPARE(int(uchar(frame[10])), 1); // standby mode off
        const QImage picture = QImage::fromData(frame.mid(40), "JPG");
        QCOMPARE(picture.size(), QSize(800, 480));

        // The screen goes away: the button says so and no more frames are made.
        screen->vanish();
        QTRY_COMPARE_WITH_TIMEOUT(ui->pushButton_homepage_screen_settings->text(), QStringLiteral("Not Connected"),
                                  5000);
        QTest::qWait(100);
        const QByteArray before = window.lastFrameHeader();
        QTest::qWait(300);
        QCOMPARE(window.lastFrameHeader(), before);
        QVERIFY(!window.deviceLink()->isOpen());

        // It comes back: the arrival shortens discovery to 100 ms and it is connected again.
        screen.reset();
        auto again = std::make_unique<SimScreenPeer>(simFolder.path(), QStringLiteral("screen"));
        QVERIFY(again->isListening());
        QTRY_COMPARE_WITH_TIMEOUT(ui->pushButton_homepage_screen_settings->text(), QStringLiteral("Screen Settings"),
                                  3000);
        QTRY_VERIFY_WITH_TIMEOUT(framesOf(*again).size() >= 2, 5000);
    }
};

QTEST_MAIN(TestMainWindowStreaming)
#include "TestMainWindowStreaming.moc"
