#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>

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

} // namespace TestSupport
