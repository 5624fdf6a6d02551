#include "app/DeviceLink.h"

// The base link has no device behind it: discovery keeps trying and nothing streams.

DeviceLink::DeviceLink(QObject* parent)
    : QObject(parent)
{
}

DeviceLink::~DeviceLink() = default;

void DeviceLink::openFirstDevice() {}
void DeviceLink::closeDevice() {}
bool DeviceLink::isOpen() const
{
    return false;
}
int DeviceLink::deviceMode() const
{
    return -1;
}
QString DeviceLink::firmwareVersion() const
{
    return {};
}
bool DeviceLink::openDeviceStillPresent() const
{
    return false;
}
void DeviceLink::pushFrame(const QByteArray& frame)
{
    Q_UNUSED(frame)
}
int DeviceLink::enterUpdateMode()
{
    return -1;
}
int DeviceLink::returnToNormalMode()
{
    return -1;
}
int DeviceLink::writeFirmwareFile(const QString& path)
{
    Q_UNUSED(path)
    return -1;
}
void DeviceLink::registerNotifications(QWidget* window)
{
    Q_UNUSED(window)
}
bool DeviceLink::handleNativeEvent(const QByteArray& eventType, void* message)
{
    Q_UNUSED(eventType)
    Q_UNUSED(message)
    return false;
}
