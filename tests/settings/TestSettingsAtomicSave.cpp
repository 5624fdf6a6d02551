// A save that is interrupted (the program killed while it writes) never leaves a truncated or
// mixed settings file: the file on disk is always one complete generation.

#include "settings/SettingsStore.h"
#include "tests/settings/SettingsFixture.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

class TestSettingsAtomicSave final : public QObject
{
    Q_OBJECT

private slots:
    void killedWhileSavingLeavesACompleteFile()
    {
        const QString host = qEnvironmentVariable("SETTINGS_SAVE_HOST");
        QVERIFY(!host.isEmpty());
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString file = dir.path() + QStringLiteral("/bgConfig.ini");
        int lastGeneration = 0;
        for (int round = 0; round < 25; ++round) {
            QProcess saver;
            saver.start(host, {dir.path()});
            // Each start after a kill also proves a lock left by the killed saver does not block.
            QVERIFY2(saver.waitForReadyRead(20000), qPrintable(QStringLiteral("round %1").arg(round)));
            QCOMPARE(saver.readLine().trimmed(), QByteArray("saved"));
            QThread::msleep(QRandomGenerator::global()->bounded(40));
            saver.kill();
            QVERIFY(saver.waitForFinished(10000));

            QSettings settings(file, QSettings::IniFormat);
            QCOMPARE(settings.status(), QSettings::NoError);
            QCOMPARE(settings.value(QStringLiteral("bgMaxCount")).toInt(), kStoredMediaSlots);
            QCOMPARE(settings.allKeys().size(), 11 + 11 * kStoredMediaSlots + 15 * kOverlayItemSlots);
            const int generation = settings.value(QStringLiteral("bgDirection")).toInt();
            QVERIFY(generation >= 1);
            for (int i = 0; i < kStoredMediaSlots; ++i) {
                QCOMPARE(settings.value(QStringLiteral("bgScaleX%1").arg(i)).toInt(), generation);
                QCOMPARE(settings.value(QStringLiteral("bgPath%1").arg(i)).toString(),
                         QStringLiteral("generation %1 item %2.png").arg(generation).arg(i));
            }
            QVERIFY(settings.value(QStringLiteral("temperUnit")).isValid()); // the last key Qt writes
            lastGeneration = generation;
        }
        QVERIFY(lastGeneration >= 1);
    }
};

QTEST_MAIN(TestSettingsAtomicSave)
#include "TestSettingsAtomicSave.moc"
