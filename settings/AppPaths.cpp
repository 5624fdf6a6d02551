#include "settings/AppPaths.h"

#include "settings/SettingsLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// Folder name of the per-user data folder and of the installed read-only folders.
const QString kProgramName = QStringLiteral("vortane-screen");

struct PathState
{
    QString programFolderOverride;
    QString probedFolder; // the program folder the cached answer belongs to
    bool portable = false;
};

PathState& pathState()
{
    static PathState state;
    return state;
}

QString cleanFolder(const QString& folder)
{
    return QDir::cleanPath(QDir::fromNativeSeparators(folder));
}

// A read-only folder shipped with the program: beside the executable, else in the installed
// share folder; the beside-the-executable path when neither exists.
QString assetFolder(const QString& name)
{
    const QString beside = AppPaths::programFolder() + QLatin1Char('/') + name;
    if (QFileInfo(beside).isDir())
        return beside;
    const QString installed = QDir::cleanPath(AppPaths::programFolder() + QStringLiteral("/../share/") + kProgramName +
                                              QLatin1Char('/') + name);
    if (QFileInfo(installed).isDir())
        return installed;
    return beside;
}

// Command folders of the system; a program found there is installed whatever lies beside it.
const char* const kSystemCommandFolders[] = {"/usr/bin", "/usr/sbin",  "/usr/local/bin",   "/usr/local/sbin", "/bin",
                                             "/sbin",    "/usr/games", "/usr/local/games", "/usr/libexec"};

} // namespace

namespace AppPaths {

QString programFolder()
{
    const PathState& state = pathState();
    if (!state.programFolderOverride.isEmpty())
        return state.programFolderOverride;
    return cleanFolder(QCoreApplication::applicationDirPath());
}

void setProgramFolder(const QString& folder)
{
    pathState().programFolderOverride = folder.isEmpty() ? QString() : cleanFolder(QDir(folder).absolutePath());
}

bool isPortable()
{
    PathState& state = pathState();
    const QString folder = programFolder();
    if (state.probedFolder != folder) {
        const bool installed = isInstalledLayout(folder);
        state.portable = !installed && folderAcceptsWrites(folder);
        state.probedFolder = folder;
        qCDebug(lcSettings) << "program folder" << folder
                            << (installed        ? "is installed"
                                : state.portable ? "is portable"
                                                 : "is read-only");
    }
    return state.portable;
}

QString dataFolder()
{
    if (isPortable())
        return programFolder();
    return cleanFolder(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)) + QLatin1Char('/') +
           kProgramName;
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
    return assetFolder(QStringLiteral("Default"));
}

QString translatorFolder()
{
    return assetFolder(QStringLiteral("Translator"));
}

QString userAgreementFolder()
{
    return assetFolder(QStringLiteral("UserAgreement"));
}

QString defaultMediaFile(const QString& fileName)
{
    return defaultFolder() + QLatin1Char('/') + fileName;
}

bool isInstalledLayout(const QString& folder)
{
    const QString clean = cleanFolder(folder);
    if (QFileInfo(clean + QStringLiteral("/../share/") + kProgramName).isDir())
        return true;
    // Symbolic links such as /bin -> /usr/bin are compared by where they lead.
    const QString canonical = QFileInfo(clean).canonicalFilePath();
    for (const char* system : kSystemCommandFolders) {
        const QString systemFolder = QLatin1String(system);
        if (clean == systemFolder || (!canonical.isEmpty() && canonical == QFileInfo(systemFolder).canonicalFilePath()))
            return true;
    }
    return false;
}

bool folderAcceptsWrites(const QString& folder)
{
    if (!QFileInfo(folder).isDir())
        return false;
    // A named file created and removed again: an unnamed temporary file could be created even
    // in a folder that refuses new names.
    static int probeCounter = 0;
    const QString probePath =
        folder +
        QStringLiteral("/.vortane-write-probe-%1-%2").arg(QCoreApplication::applicationPid()).arg(++probeCounter);
    QFile probe(probePath);
    if (!probe.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    probe.close();
    probe.remove();
    return true;
}

QString resolveMediaPath(const QString& storedPath)
{
    // A relative path is a name in the Background folder, never a file that happens to lie in
    // whatever folder the program was started from.
    if (QDir::isAbsolutePath(storedPath) && QFileInfo(storedPath).isFile())
        return storedPath;
    return backgroundFolder() + QLatin1Char('/') + storedPath;
}

} // namespace AppPaths
