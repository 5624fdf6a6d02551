// Which device paths name the screen controller, for Windows interface paths and for the
// paths the Linux backend makes up.

#include "device/DevicePathRules.h"

#include <QtTest>

using namespace DevicePathRules;

class TestDevicePathRules : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
};

void TestDevicePathRules::parse_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<int>("vid");
    QTest::addColumn<int>("pid");
    QTest::addColumn<bool>("isScreen");
    QTest::newRow("windows path, upper case")
        << QByteArray("\\\\?\\USB#VID_3767&PID_7791#6&1A2B3C&0&2#{88bae032-5a81-49f0-bc3d-a4ff138216d6}") << 0x3767
        << 0x7791 << true;
    QTest::newRow("windows path, lower case")
        << QByteArray("\\\\?\\usb#vid_3767&pid_7791#6&1a2b3c&0&2#{88bae032-5a81-49f0-bc3d-a4ff138216d6}") << 0x3767
        << 0x7791 << true;
    QTest::newRow("other product") << QByteArray("\\\\?\\usb#vid_3767&pid_7792#5&0") << 0x3767 << 0x7792 << false;
    QTest::newRow("no PID part") << QByteArray("\\\\?\\usb#vid_3767#5&0") << 0x3767 << 0 << false;
    QTest::newRow("first VID_ wins even when not hexadecimal")
        << QByteArray("USB#VID_ZZZZ&PID_7791#VID_3767") << 0 << 0x7791 << false;
    QTest::newRow("first of two VID_ parts") << QByteArray("vid_1234&pid_7791&vid_3767") << 0x1234 << 0x7791 << false;
    QTest::newRow("three characters at the end") << QByteArray("PID_7791&VID_376") << 0 << 0x7791 << false;
    QTest::newRow("sign is not hexadecimal") << QByteArray("VID_+767&PID_7791") << 0 << 0x7791 << false;
    QTest::newRow("linux backend path") << QByteArray("USB:VID_3767&PID_7791#BUS_001#PORT_1.4") << 0x3767 << 0x7791
                                        << true;
    QTest::newRow("empty") << QByteArray() << 0 << 0 << false;
}

void TestDevicePathRules::parse()
{
    QFETCH(QByteArray, path);
    QFETCH(int, vid);
    QFETCH(int, pid);
    QFETCH(bool, isScreen);
    const VidPid ids = parseVidPid(upperCased(path.toStdString()));
    QCOMPARE(int(ids.vid), vid);
    QCOMPARE(int(ids.pid), pid);
    QCOMPARE(isScreenPath(path.toStdString()), isScreen);
}

QTEST_APPLESS_MAIN(TestDevicePathRules)
#include "TestDevicePathRules.moc"
