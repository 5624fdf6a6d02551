#include "settings/AppPaths.h"

#include <QCoreApplication>

namespace AppPaths {
QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}
void setProgramFolder(const QString& folder)
{
    Q_UNUSED(folder)
}
bool isPortable()
{
    return true;
}
QString dataFolder()
{
    return programFolder();
}
QString settingsFile()
{
    return dataFolder() + QStringLiteral("/bgConfig.ini");
}
QString remarkFile()
{
    return dataFolder() + QStringLiteral("/sensorRemark.ini");
}
QString backgroundFolder()
{
    return dataFolder() + QStringLiteral("/Background");
}
QString defaultFolder()
{
    return programFolder() + QStringLiteral("/Default");
}
QString translatorFolder()
{
    return programFolder() + QStringLiteral("/Translator");
}
QString userAgreementFolder()
{
    return programFolder() + QStringLiteral("/UserAgreement");
}
QString defaultMediaFile(const QString& fileName)
{
    return defaultFolder() + QLatin1Char('/') + fileName;
}
QString resolveMediaPath(const QString& storedPath)
{
    return storedPath;
}
} // namespace AppPaths
