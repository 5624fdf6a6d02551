#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

namespace TestSupport {

QString programDir()
{
    const QString fromEnv = qEnvironmentVariable("VORTANE_PROGRAM_DIR");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin")).absolutePath();
}

QString sourceDir()
{
    return qEnvironmentVariable("VORTANE_SOURCE_DIR");
}

QString programFile(const QString& name)
{
    return programDir() + QLatin1Char('/') + name;
}

bool skipsAreFailures()
{
    return qEnvironmentVariable("VORTANE_NO_SKIP") == QLatin1String("1");
}

QString ProcessRun::describe() const
{
    return QStringLiteral("exit %1\n%2\n%3").arg(exitCode).arg(out, err);
}

ProcessRun runProcess(const QString& program, const QStringList& arguments, int timeoutMs,
                      const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    ProcessRun run;
    if (!process.waitForStarted(10000)) {
        run.err = program + QStringLiteral(": ") + process.errorString();
        return run;
    }
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.err = program + QStringLiteral(": did not finish");
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QMap<QString, QString> readSimulatorCounters(const QString& path)
{
    QMap<QString, QString> values;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return values;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            values.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)));
    }
    return values;
}

} // namespace TestSupport
