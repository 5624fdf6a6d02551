#include "tools/screenctl/ChosenUsbDevice.h"

ChosenUsbDevice::ChosenUsbDevice(std::unique_ptr<UsbDevice> inner, const QString& pathOrName, QObject* parent)
    : UsbDevice(parent)
    , m_inner(std::move(inner))
    , m_choice(pathOrName)
{
    connect(m_inner.get(), &UsbDevice::deviceArrived, this, &UsbDevice::deviceArrived);
    connect(m_inner.get(), &UsbDevice::deviceRemoved, this, &UsbDevice::deviceRemoved);
}

ChosenUsbDevice::~ChosenUsbDevice() = default;

QList<UsbDeviceInfo> ChosenUsbDevice::listDevices()
{
    QList<UsbDeviceInfo> chosen;
    for (const UsbDeviceInfo& info : m_inner->listDevices()) {
        if (info.path == m_choice || info.name == m_choice)
            chosen << info;
    }
    return chosen;
}

bool ChosenUsbDevice::open(const QString& path)
{
    const bool opened = m_inner->open(path);
    setLastError(m_inner->lastError());
    if (opened)
        setDevicePath(path);
    return opened;
}

bool ChosenUsbDevice::isOpen() const
{
    return m_inner->isOpen();
}

bool ChosenUsbDevice::close()
{
    return m_inner->close();
}

void ChosenUsbDevice::registerNotifications(quintptr nativeWindow)
{
    m_inner->registerNotifications(nativeWindow);
}

int ChosenUsbDevice::read(std::uint8_t* buffer, const TransferKeepGoing& keepGoing)
{
    return m_inner->read(buffer, keepGoing);
}

int ChosenUsbDevice::bulkWrite(const std::uint8_t* data, qint64 length, const TransferKeepGoing& keepGoing)
{
    return m_inner->writeCommand(data, int(length), keepGoing);
}
