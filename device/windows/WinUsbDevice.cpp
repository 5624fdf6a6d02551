#include "device/windows/WinUsbDevice.h"

#include "device/DeviceLog.h"

WinUsbDevice::WinUsbDevice(QObject* parent)
    : UsbDevice(parent)
{
}

WinUsbDevice::~WinUsbDevice()
{
    close();
}

QList<UsbDeviceInfo> WinUsbDevice::listDevices()
{
    QList<UsbDeviceInfo> found;
    for (const WinUsbAccess::FoundDevice& device : WinUsbAccess::enumerate())
        found << UsbDeviceInfo{QString::fromStdWString(device.path), QString::fromStdWString(device.name), QString()};
    return found;
}

bool WinUsbDevice::open(const QString& path)
{
    if (!m_link.open(path.toStdWString())) {
        setLastError(tr("Cannot open the device at %1 (error %2).").arg(path).arg(m_link.lastError()));
        return false;
    }
    setDevicePath(path);
    setLastError(QString());
    return true;
}

bool WinUsbDevice::isOpen() const
{
    return m_link.isOpen();
}

bool WinUsbDevice::close()
{
    m_link.close();
    return true;
}

void WinUsbDevice::registerNotifications(quintptr nativeWindow)
{
    if (!WinUsbAccess::registerNotifications(reinterpret_cast<void*>(nativeWindow)))
        qCWarning(lcDevice) << "no device notifications for this window";
}

bool WinUsbDevice::handleNativeEvent(const QByteArray& eventType, void* message)
{
    if (eventType != "windows_generic_MSG")
        return false;
    switch (WinUsbAccess::deviceChangeKind(message)) {
    case 1:
        emit deviceArrived();
        return true;
    case 2:
        emit deviceRemoved();
        return true;
    default:
        return false;
    }
}

int WinUsbDevice::read(std::uint8_t* buffer, const TransferKeepGoing& keepGoing)
{
    return m_link.read(buffer, keepGoing);
}

int WinUsbDevice::bulkWrite(const std::uint8_t* data, qint64 length, const TransferKeepGoing& keepGoing)
{
    if (length > qint64(0xFFFFFFFFu))
        return -1;
    return m_link.write(data, static_cast<unsigned long>(length), keepGoing);
}
