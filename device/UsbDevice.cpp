#include "device/UsbDevice.h"

#include "device/DeviceLog.h"

UsbDevice::UsbDevice(QObject* parent)
    : QObject(parent)
{
}

UsbDevice::~UsbDevice() = default;

QStringList UsbDevice::enumerateDevices()
{
    QStringList paths;
    for (const UsbDeviceInfo& info : listDevices())
        paths << info.path;
    return paths;
}

bool UsbDevice::openDeviceStillPresent()
{
    return enumerateDevices().contains(m_devicePath);
}

int UsbDevice::drainInput(const TransferKeepGoing&)
{
    return 0;
}

void UsbDevice::notePermissionDenied(const QString& path)
{
    if (m_deniedPaths.contains(path))
        return;
    m_deniedPaths.insert(path);
    qCWarning(lcDevice).noquote() << "no permission to open the screen at" << path
                                  << "- install the udev rule 70-vortane-screen.rules";
    emit permissionDenied(path);
}

void UsbDevice::registerNotifications(quintptr) {}

bool UsbDevice::handleNativeEvent(const QByteArray&, void*)
{
    return false;
}

int UsbDevice::writeCommand(const std::uint8_t* data, int length, const TransferKeepGoing& keepGoing)
{
    if (length <= 0)
        return -1;
    return bulkWrite(data, length, keepGoing);
}

int UsbDevice::writeFrame(const QByteArray& frame, const TransferKeepGoing& keepGoing)
{
    if (frame.isEmpty())
        return -1;
    return bulkWrite(reinterpret_cast<const std::uint8_t*>(frame.constData()), frame.size(), keepGoing);
}

QString UsbDevice::permissionProblemText()
{
    return tr("This user may not open the screen. Install the rule 70-vortane-screen.rules into "
              "/etc/udev/rules.d, run \"sudo udevadm control --reload-rules\" and "
              "\"sudo udevadm trigger\", then unplug the cooler's USB cable and plug it in again.");
}

QString UsbDevice::noDeviceText(const QString& path)
{
    return tr("No device at %1.").arg(path);
}
