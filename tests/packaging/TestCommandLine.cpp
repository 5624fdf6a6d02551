// The command line of the three executables: --help and --version answer on a console without a
// display, the manual pages document every option --help lists, and the program's own arguments
// ("min", anything unknown) still reach its window.

#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The environment of a console login: no display of any kind.
QProcessEnvironment consoleEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    return environment;
}

TestSupport::ProcessRun runProgram(const QString& name, const QStringList& arguments)
{
    return TestSupport::runProcess(TestSupport::programFile(name), arguments, 30000, consoleEnvironment());
}

void addProgramRows()
{
    QTest::addColumn<QString>("program");
    for (const char* name : {"vortane-screen", "vortane-screenctl", "vortane-screen-sim"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

} // namespace

class TestCommandLine final : public QObject
{
    Q_OBJECT

private slots:
    void versionNamesProgramAndVersion_data() { addProgramRows(); }
    void versionNamesProgramAndVersion()
    {
        QFETCH(QString, program);
        const TestSupport::ProcessRun run = runProgram(program, {QStringLiteral("--version")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QCOMPARE(run.out.trimmed(), program + QStringLiteral(" " VORTANE_VERSION));
    }

    void helpAnswersOnAConsole_data() { addProgramRows(); }
    void helpAnswersOnAConsole()
    {
        QFETCH(QString, program);
        const TestSupport::ProcessRun run = runProgram(program, {QStringLiteral("--help")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.out.contains(QStringLiteral("Usage: ")), qPrintable(run.out));
        QVERIFY2(run.out.contains(QStringLiteral("--version")), qPrintable(run.out));
    }

    // A manual page that lags behind the program misleads exactly the user who reads it.
    void manualPageDocumentsEveryOption_data() { addProgramRows(); }
    void manualPageDocumentsEveryOption()
    {
        QFETCH(QString, program);
        const TestSupport::ProcessRun help = runProgram(program, {QStringLiteral("--help")});
        QCOMPARE(help.exitCode, 0);
        QFile page(TestSupport::sourceDir() + QStringLiteral("/packaging/linux/man/") + program + QStringLiteral(".1"));
        QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(page.fileName()));
        const QString roff = QString::fromUtf8(page.readAll());

        QStringList undocumented;
        // Options as --help lists them at the start of a line: "  -t, --terse" or "  --device <PATH>".
        static const QRegularExpression option(QStringLiteral("^\\s+(?:-\\S, )?--([a-z][a-z-]*)"),
                                               QRegularExpression::MultilineOption);
        auto matches = option.globalMatch(help.out);
        int listed = 0;
        while (matches.hasNext()) {
            const QString name = matches.next().captured(1);
            ++listed;
            // --help-all is Qt's own, the same as --help with Qt's options added.
            if (name == QLatin1String("help-all"))
                continue;
            const QString escaped =
                QStringLiteral("\\-\\-") + QString(name).replace(QLatin1Char('-'), QStringLiteral("\\-"));
            if (!roff.contains(escaped))
                undocumented << QStringLiteral("--") + name;
        }
        QVERIFY2(listed >= 2, qPrintable(help.out));
        QVERIFY2(undocumented.isEmpty(), qPrintable(undocumented.join(QStringLiteral(", "))));
        QVERIFY(roff.contains(QStringLiteral(".TH ") + program.toUpper() + QStringLiteral(" 1 ")));
        QVERIFY2(roff.contains(QStringLiteral("\"vortane-screen " VORTANE_VERSION "\"")),
                 "the manual page names another version");
    }

    // The program's own arguments still reach the window: "min" starts in the tray, anything else it
    // does not know starts it normally instead of ending it with a usage error. Either way it finds
    // the simulated screen and streams to it.
    void windowArgumentsStillStartTheProgram_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("min") << QStringList{QStringLiteral("min")};
        QTest::newRow("an unknown option") << QStringList{QStringLiteral("--frobnicate")};
        QTest::newRow("an unknown word") << QStringList{QStringLiteral("maximised")};
    }
    void windowArgumentsStillStartTheProgram()
    {
        QFETCH(QStringList, arguments);
        QTemporaryDir folder;
        QTemporaryDir runtime;
        QVERIFY(folder.isValid() && runtime.isValid());
        QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString exe = folder.filePath(QStringLiteral("vortane-screen"));
        QVERIFY(QFile::copy(TestSupport::programFile(QStringLiteral("vortane-screen")), exe));
        const QString screens = folder.filePath(QStringLiteral("screens"));
        const QString dump = folder.filePath(QStringLiteral("dump"));

        QProcess simulator;
        simulator.setProcessEnvironment(consoleEnvironment());
        simulator.start(TestSupport::programFile(QStringLiteral("vortane-screen-sim")),
                        {"--headless", "--folder", screens, "--name", "arguments", "--dump", dump});
        QVERIFY(simulator.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(simulator.canReadLine(), 10000);

        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        environment.insert(QStringLiteral("HOME"), folder.path());
        environment.insert(QStringLiteral("VORTANE_SIM_DIR"), screens);
        program.setProcessEnvironment(environment);
        program.start(exe, arguments);
        QVERIFY(program.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(TestSupport::readSimulatorCounters(dump + QStringLiteral("/counters.txt"))
                                         .value(QStringLiteral("frames"))
                                         .toInt() > 0,
                                 30000);
        program.terminate();
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        simulator.terminate();
        QVERIFY(simulator.waitForFinished(10000));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
