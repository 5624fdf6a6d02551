#include "app/SingleApplication.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

// Runs the host program; the runtime folder (where the socket lives) is private to one test.
class Host
{
public:
    Host(const QString& runtimeDir, const QStringList& args)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/single-instance-host"), args);
    }
    ~Host()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    bool waitForLine(const QByteArray& line, int timeoutMs = 5000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!output.contains(line + '\n')) {
            if (timer.elapsed() > timeoutMs)
                return false;
            process.waitForReadyRead(50);
            output += process.readAllStandardOutput();
        }
        return true;
    }
    // Waits until one of the lines has been printed; false when none came in time.
    bool waitForAnyLine(const QList<QByteArray>& lines, int timeoutMs = 5000)
    {
        QElapsedTimer timer;
        timer.start();
        for (;;) {
            for (const QByteArray& line : lines) {
                if (output.contains(line + '\n'))
                    return true;
            }
            if (timer.elapsed() > timeoutMs)
                return false;
            process.waitForReadyRead(50);
            output += process.readAllStandardOutput();
        }
    }
    int count(const QByteArray& line)
    {
        output += process.readAllStandardOutput();
        return output.count(line + '\n');
    }
    QProcess process;
    QByteArray output;
};

} // namespace

class TestSingleInstance final : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(runtime.isValid()); }

    void decision_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("minArmed");
        QTest::addColumn<int>("action");
        const auto activate = int(SecondLaunchAction::Activate);
        const auto arm = int(SecondLaunchAction::Arm);
        const auto ignore = int(SecondLaunchAction::Ignore);
        QTest::newRow("no argument: bring up") << QStringList{"app"} << 0 << activate;
        QTest::newRow("min, first knock: arm") << QStringList{"app", "min"} << 0 << arm;
        QTest::newRow("min, armed: bring up") << QStringList{"app", "min"} << 1 << activate;
        QTest::newRow("MIN is another argument") << QStringList{"app", "MIN"} << 0 << ignore;
        QTest::newRow("other argument: never") << QStringList{"app", "--foo"} << 0 << ignore;
        QTest::newRow("min as second argument only") << QStringList{"app", "x", "min"} << 0 << ignore;
    }
    void decision()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, minArmed);
        QFETCH(int, action);
        QCOMPARE(int(secondLaunchAction(arguments, minArmed)), action);
    }

    void secondLaunchExitsAtOnce()
    {
        Host first(runtime.path(), {});
        QVERIFY(first.waitForLine("primary"));
        QElapsedTimer timer;
        timer.start();
        Host second(runtime.path(), {});
        QVERIFY(second.process.waitForFinished(5000));
        QCOMPARE(second.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.process.exitCode(), 0);
        QVERIFY(second.output.isEmpty() ? second.waitForLine("secondary", 100) : true);
        // The probe itself is bounded by 500 ms; process start and teardown add the rest.
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
    }

    // How many of two later launches bring the first instance's window up.
    void laterLaunches_data()
    {
        QTest::addColumn<QStringList>("firstArguments");
        QTest::addColumn<int>("shownAfterFirstKnock");
        QTest::addColumn<int>("shownAfterSecondKnock");
        QTest::newRow("started plainly: every launch raises") << QStringList{} << 1 << 2;
        QTest::newRow("started with min: the second launch raises") << QStringList{"min"} << 0 << 1;
        QTest::newRow("started with another argument: never") << QStringList{"--other"} << 0 << 0;
    }
    void laterLaunches()
    {
        QFETCH(QStringList, firstArguments);
        QFETCH(int, shownAfterFirstKnock);
        QFETCH(int, shownAfterSecondKnock);

        Host first(runtime.path(), firstArguments);
        QVERIFY(first.waitForLine("primary"));
        for (int knock = 1; knock <= 2; ++knock) {
            Host later(runtime.path(), {});
            QVERIFY(later.process.state() == QProcess::NotRunning || later.process.waitForFinished(5000));
            QCOMPARE(later.process.exitCode(), 0);
            const int expected = knock == 1 ? shownAfterFirstKnock : shownAfterSecondKnock;
            if (expected > 0)
                QVERIFY(first.waitForLine("shown"));
            QTest::qWait(300); // anything wrongly shown has had time to report
            QCOMPARE(first.count("shown"), expected);
        }
    }

    void staleNameFromKilledInstanceIsRecovered()
    {
        {
            Host crashed(runtime.path(), {});
            QVERIFY(crashed.waitForLine("primary"));
            crashed.process.kill(); // SIGKILL: the socket file stays behind
            QVERIFY(crashed.process.waitForFinished(5000));
        }
        QVERIFY(!QDir(runtime.path()).entryList({"vortane-screen-*.sock"}, QDir::System).isEmpty());

        Host next(runtime.path(), {});
        QVERIFY(next.waitForLine("primary"));
        Host later(runtime.path(), {});
        QVERIFY(later.process.waitForFinished(5000));
        QVERIFY(later.waitForLine("secondary"));
        QVERIFY(next.waitForLine("shown"));
    }

    void terminateSignalEndsTheEventLoopInOrder()
    {
        Host host(runtime.path(), {});
        QVERIFY(host.waitForLine("primary"));
        host.process.terminate();
        QVERIFY(host.process.waitForFinished(5000));
        QVERIFY(host.waitForLine("stopped"));
        QCOMPARE(host.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(host.process.exitCode(), 0);
    }

    void simultaneousLaunchesMakeOneInstance()
    {
        constexpr int kTrials = 50;
        for (int trial = 0; trial < kTrials; ++trial) {
            Host a(runtime.path(), {});
            Host b(runtime.path(), {});
            QVERIFY(a.waitForAnyLine({"primary", "secondary"}, 10000));
            QVERIFY(b.waitForAnyLine({"primary", "secondary"}, 10000));
            const int primaries = a.count("primary") + b.count("primary");
            QVERIFY2(primaries == 1,
                     qPrintable(QStringLiteral("trial %1: %2 first instances").arg(trial).arg(primaries)));
            Host& first = a.count("primary") ? a : b;
            Host& later = a.count("primary") ? b : a;
            QVERIFY(later.process.state() == QProcess::NotRunning || later.process.waitForFinished(5000));
            QCOMPARE(later.process.exitCode(), 0);
            first.process.terminate();
            QVERIFY(first.process.waitForFinished(5000));
        }
    }

    void socketIsPrivateToTheUser()
    {
        Host host(runtime.path(), {});
        QVERIFY(host.waitForLine("primary"));
        const QFileInfoList sockets = QDir(runtime.path()).entryInfoList({"vortane-screen-*.sock"}, QDir::System);
        QCOMPARE(sockets.size(), 1);
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
        QCOMPARE(sockets.first().permissions() & others, QFile::Permissions());
    }

private:
    QTemporaryDir runtime;
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "TestSingleInstance.moc"
