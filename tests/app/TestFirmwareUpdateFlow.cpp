#include "app/FirmwareUpdateFlow.h"
#include "tests/support/app/AppFakes.h"

#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

using AppFakes::DialogDriver;
using AppFakes::FakeLink;

class TestFirmwareUpdateFlow final : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;

private slots:
    void firmwareFlow_data()
    {
        QTest::addColumn<int>("startMode");
        QTest::addColumn<bool>("restartsIntoUpdate");
        QTest::addColumn<int>("writeResult");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<int>("enterCalls");
        QTest::addColumn<int>("returnCalls");
        QTest::addColumn<bool>("written");
        QTest::newRow("already in update mode, accepted") << 0 << true << 1 << "Updated successfully" << 0 << 1 << true;
        QTest::newRow("normal mode restarts first, accepted")
            << 1 << true << 1 << "Updated successfully" << 1 << 1 << true;
        QTest::newRow("transfer failed (or device vanished)") << 0 << true << 0 << "Error" << 0 << 0 << true;
        QTest::newRow("never back in update mode: gives up") << 1 << false << 1 << "Error" << 1 << 0 << false;
    }
    void firmwareFlow()
    {
        QFETCH(int, startMode);
        QFETCH(bool, restartsIntoUpdate);
        QFETCH(int, writeResult);
        QFETCH(QString, notice);
        QFETCH(int, enterCalls);
        QFETCH(int, returnCalls);
        QFETCH(bool, written);
        FakeLink fake;
        fake.present = fake.open = true;
        fake.mode = startMode;
        fake.restartsIntoUpdate = restartsIntoUpdate;
        fake.writeResult = writeResult;
        QWidget page;
        page.resize(400, 300);
        page.show();
        FirmwareUpdateFlow flow(&fake, &page);
        flow.setUpdateModeWaitLimitMs(300);
        const QString file = folder.filePath(QStringLiteral("image.bin"));
        {
            QFile bin(file);
            QVERIFY(bin.open(QIODevice::WriteOnly));
            bin.write(QByteArray(8192, '\x5a'));
        }
        DialogDriver driver;
        flow.setFileChooser([&file] { return file; });
        flow.run();
        if (written)
            QCOMPARE(fake.progressDuringWrite, 50);
        else
            QVERIFY(driver.progressShown);
        QCOMPARE(driver.noticeTitle, notice);
        QCOMPARE(fake.enterUpdateCalls, enterCalls);
        QCOMPARE(fake.returnCalls, returnCalls);
        QCOMPARE(fake.writtenPath == file, written);
        if (notice == QLatin1String("Error"))
            QCOMPARE(driver.noticeText, QStringLiteral("An issue occurred during the upload. Please try again."));
        else
            QCOMPARE(driver.noticeText,
                     QStringLiteral("Your device has been updated and is now using the latest version."));
    }

    void fileDialogCancelled()
    {
        FakeLink fake;
        fake.present = fake.open = true;
        fake.mode = 1;
        QWidget page;
        page.show();
        FirmwareUpdateFlow flow(&fake, &page);
        DialogDriver driver;
        flow.setFileChooser([] { return QString(); });
        flow.run();
        QVERIFY(!driver.progressShown);
        QVERIFY(driver.noticeTitle.isEmpty());
        QCOMPARE(fake.enterUpdateCalls, 0);
    }
};

QTEST_MAIN(TestFirmwareUpdateFlow)
#include "TestFirmwareUpdateFlow.moc"
