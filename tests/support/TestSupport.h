#pragma once

#include <QMap>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace TestSupport {

// The assembled program folder (build/<preset>/bin) that the build under test produced.
QString programDir();

// The repository's root folder.
QString sourceDir();

// Path of an executable in the program folder.
QString programFile(const QString& name);

// True when VORTANE_NO_SKIP=1: every tool and condition a case needs is expected to be there (the
// continuous integration machine installs them all), so a case that would skip fails instead.
bool skipsAreFailures();

// What a finished program run left: its exit code (-1 when it crashed, did not start or did not
// finish) and what it wrote.
struct ProcessRun
{
    int exitCode = -1;
    QString out;
    QString err;
    // Exit code and both outputs, for a failure message.
    QString describe() const;
};

// Runs `program` to its end, killing it after `timeoutMs`.
ProcessRun runProcess(const QString& program, const QStringList& arguments, int timeoutMs = 120000,
                      const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

// The counters the simulated screen writes beside its dumped frames (counters.txt: one
// "name=value" a line); empty when the file cannot be read.
QMap<QString, QString> readSimulatorCounters(const QString& path);

} // namespace TestSupport

// Skips the current case for a missing tool or an unmet condition the machine could provide, or
// fails it under VORTANE_NO_SKIP=1. Skips the machine can never avoid (for example a read-only
// folder when the tests run as root) use QSKIP itself. The reason must be a string literal.
#define VORTANE_SKIP(reason)                                                                                           \
    do {                                                                                                               \
        if (TestSupport::skipsAreFailures())                                                                           \
            QFAIL("would skip, but VORTANE_NO_SKIP=1: " reason);                                                       \
        QSKIP(reason);                                                                                                 \
    } while (false)
