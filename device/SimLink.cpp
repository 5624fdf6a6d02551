#include "device/SimLink.h"

#include <QFileInfo>

#include <unistd.h>

QString simFolder()
{
    const QString explicitFolder = qEnvironmentVariable("VORTANE_SIM_DIR");
    if (!explicitFolder.isEmpty())
        return explicitFolder;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return runtime + QStringLiteral("/vortane-screen-sim");
    return QStringLiteral("/tmp/vortane-screen-sim-%1").arg(getuid());
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
