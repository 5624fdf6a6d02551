#include "device/SimLink.h"

#include "device/DeviceLog.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

bool claimPrivateFolder(const QString& path, QString* why)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st
    {
    };
    if (::lstat(native.constData(), &st) != 0) {
        if (errno != ENOENT) {
            *why = QStringLiteral("cannot look at %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        // Made private from the start; a folder someone else made meanwhile is judged below.
        if (::mkdir(native.constData(), S_IRWXU) != 0 && errno != EEXIST) {
            *why = QStringLiteral("cannot create %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        if (::lstat(native.constData(), &st) != 0) {
            *why = QStringLiteral("cannot look at %1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
    }
    if (!S_ISDIR(st.st_mode)) {
        *why = QStringLiteral("%1 is not a folder (a link or a file is there)").arg(path);
        return false;
    }
    if (st.st_uid != ::getuid()) {
        *why = QStringLiteral("%1 belongs to user %2, not to this user (%3)").arg(path).arg(st.st_uid).arg(::getuid());
        return false;
    }
    if ((st.st_mode & 07777) != S_IRWXU) {
        *why = QStringLiteral("%1 has mode %2, not 0700: other users could reach or plant simulated screens there")
                   .arg(path)
                   .arg(st.st_mode & 07777, 4, 8, QLatin1Char('0'));
        return false;
    }
    return true;
}

QString simFolder()
{
    const QString explicitFolder = qEnvironmentVariable("VORTANE_SIM_DIR");
    if (!explicitFolder.isEmpty())
        return explicitFolder;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return runtime + QStringLiteral("/vortane-screen-sim");
    const QString shared = QStringLiteral("/tmp/vortane-screen-sim-%1").arg(::getuid());
    QString why;
    if (claimPrivateFolder(shared, &why))
        return shared;
    static QString lastLogged;
    if (why != lastLogged) {
        lastLogged = why;
        qCWarning(lcDevice).noquote() << "simulated screens ignored:" << why;
    }
    return QString();
}

QString simDevicePath(const QString& socketFile)
{
    return kSimPathPrefix + QFileInfo(socketFile).absoluteFilePath();
}

void putSimMessageHeader(std::uint8_t* header, std::uint8_t endpoint, std::uint32_t payloadLength)
{
    header[0] = endpoint;
    header[1] = static_cast<std::uint8_t>(payloadLength >> 24);
    header[2] = static_cast<std::uint8_t>(payloadLength >> 16);
    header[3] = static_cast<std::uint8_t>(payloadLength >> 8);
    header[4] = static_cast<std::uint8_t>(payloadLength);
}
