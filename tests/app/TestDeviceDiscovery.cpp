#include "app/DeviceDiscovery.h"
#include "tests/support/app/AppFakes.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using AppFakes::FakeLink;

class TestDeviceDiscovery final : public QObject
{
    Q_OBJECT

private slots:
    void discovery_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("buttonText");
        QTest::addColumn<QString>("version");
        QTest::newRow("normal mode: connected, version shown") << 1 << "Screen Settings"
                                                               << "1.1.3";
        QTest::newRow("update mode: still Not Connected") << 0 << "Not Connected"
                                                          << "";
    }
    void discovery()
    {
        QFETCH(int, mode);
        QFETCH(QString, buttonText);
        QFETCH(QString, version);
        FakeLink fake;
        QPushButton button;
        QLabel versionLabel;
        DeviceDiscovery discovery(&fake, &button, &versionLabel);
        discovery.showConnected(false);
        discovery.start();
        QCOMPARE(discovery.intervalMs(), 1000);
        QCOMPARE(button.text(), QStringLiteral("Not Connected"));
        discovery.connectDevice();
        QCOMPARE(discovery.intervalMs(), 1000); // nothing found: keeps looking
        fake.present = true;
        fake.mode = mode;
        discovery.connectDevice();
        QCOMPARE(discovery.intervalMs(), 0);
        QCOMPARE(button.text(), buttonText);
        QCOMPARE(versionLabel.text(), version);

        // Removal of another device of the kind changes nothing.
        emit fake.deviceRemoved();
        QCOMPARE(fake.closes, 0);
        // Removal of this one closes it.
        fake.present = false;
        emit fake.deviceRemoved();
        QCOMPARE(fake.closes, 1);
        QCOMPARE(button.text(), QStringLiteral("Not Connected"));
        QCOMPARE(button.cursor().shape(), Qt::ForbiddenCursor);
        // An arrival shortens the period to 100 ms until a device answers.
        emit fake.deviceArrived();
        QCOMPARE(discovery.intervalMs(), 100);
        fake.present = true;
        fake.mode = 1;
        QTRY_COMPARE_WITH_TIMEOUT(discovery.intervalMs(), 0, 2000);
        QCOMPARE(button.text(), QStringLiteral("Screen Settings"));
        QCOMPARE(button.cursor().shape(), Qt::PointingHandCursor);
    }

    // The connect timer fires while a handshake waits for its reply (the wait processes events).
    // The nested attempt must not touch the device or the timer, and a handshake that fails must
    // leave the search running, or a screen slow to answer after power-up would stay
    // "Not Connected" until it is plugged in again.
    void nestedAttemptDuringAHandshake_data()
    {
        QTest::addColumn<bool>("handshakeSucceeds");
        QTest::newRow("handshake fails: the search goes on") << false;
        QTest::newRow("handshake succeeds: the search ends") << true;
    }
    void nestedAttemptDuringAHandshake()
    {
        QFETCH(bool, handshakeSucceeds);
        FakeLink fake;
        QPushButton button;
        QLabel versionLabel;
        DeviceDiscovery discovery(&fake, &button, &versionLabel);
        discovery.start();
        int nested = 0;
        fake.duringOpen = [&] {
            if (nested++ > 0)
                return;
            // What the nested attempt would see if it reached the link: a device already open.
            fake.open = true;
            fake.mode = 1;
            discovery.connectDevice();
            emit fake.deviceArrived();
            discovery.connectDevice();
            fake.open = handshakeSucceeds;
        };
        discovery.connectDevice();
        QCOMPARE(fake.connects, 1);
        if (handshakeSucceeds) {
            QCOMPARE(discovery.intervalMs(), 0);
        } else {
            QVERIFY(discovery.intervalMs() > 0);
            fake.duringOpen = nullptr;
            fake.present = true;
            fake.mode = 1;
            QTRY_COMPARE_WITH_TIMEOUT(discovery.intervalMs(), 0, 3000);
            QCOMPARE(button.text(), QStringLiteral("Screen Settings"));
        }
    }

    // A device that stopped taking frames is closed by the link; no removal notice follows, so the
    // search restarts at once and the button says so.
    void lostDeviceIsSearchedForAgain()
    {
        FakeLink fake;
        fake.present = true;
        fake.mode = 1;
        QPushButton button;
        QLabel versionLabel;
        DeviceDiscovery discovery(&fake, &button, &versionLabel);
        discovery.start();
        discovery.connectDevice();
        QCOMPARE(discovery.intervalMs(), 0);
        fake.open = false;
        emit fake.deviceLost();
        QCOMPARE(button.text(), QStringLiteral("Not Connected"));
        QCOMPARE(discovery.intervalMs(), 100);
        QTRY_COMPARE_WITH_TIMEOUT(discovery.intervalMs(), 0, 2000);
        QCOMPARE(button.text(), QStringLiteral("Screen Settings"));
    }

    // A screen this user may not open is reported once, whatever the number of attempts or screens.
    void permissionProblemIsToldOnce()
    {
        FakeLink fake;
        QPushButton button;
        QLabel versionLabel;
        DeviceDiscovery discovery(&fake, &button, &versionLabel);
        QSignalSpy told(&discovery, &DeviceDiscovery::permissionProblem);
        emit fake.permissionDenied(QStringLiteral("USB:1-4#ADDR_003"), QStringLiteral("install the rule"));
        emit fake.permissionDenied(QStringLiteral("USB:1-5#ADDR_004"), QStringLiteral("install the rule"));
        QCOMPARE(told.count(), 1);
        QCOMPARE(told.at(0).at(0).toString(), QStringLiteral("install the rule"));
    }

    void stopEndsTheSearch()
    {
        FakeLink fake;
        QPushButton button;
        QLabel versionLabel;
        DeviceDiscovery discovery(&fake, &button, &versionLabel);
        discovery.start();
        discovery.stop();
        QCOMPARE(discovery.intervalMs(), 0);
        emit fake.deviceArrived();
        QCOMPARE(discovery.intervalMs(), 0);
    }
};

QTEST_MAIN(TestDeviceDiscovery)
#include "TestDeviceDiscovery.moc"
