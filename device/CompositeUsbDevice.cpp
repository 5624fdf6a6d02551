#include "device/CompositeUsbDevice.h"

CompositeUsbDevice::CompositeUsbDevice(QObject* parent)
    : UsbDevice(parent)
{
}

CompositeUsbDevice::~CompositeUsbDevice()
{
    close();
}

void CompositeUsbDevice::addBackend(std::unique_ptr<UsbDevice> backend, PathOwner ownsPath)
{
    if (!backend)
        return;
    connect(backend.get(), &UsbDevice::deviceArrived, this, &UsbDevice::deviceArrived);
    connect(backend.get(), &UsbDevice::deviceRemoved, this, &UsbDevice::deviceRemoved);
    connect(backend.get(), &UsbDevice::permissionDenied, this, &UsbDevice::permissionDenied);
    m_backends.push_back(Backend{std::move(backend), std::move(ownsPath)});
}

QList<UsbDeviceInfo> CompositeUsbDevice::listDevices()
{
    QList<UsbDeviceInfo> all;
    for (const Backend& backend : m_backends)
        all += backend.device->listDevices();
    return all;
}

bool CompositeUsbDevice::open(const QString& path)
{
    close();
    for (const Backend& backend : m_backends) {
        if (!backend.ownsPath(path))
            continue;
        if (!backend.device->open(path)) {
            setLastError(backend.device->lastError());
            return false;
        }
        m_active.store(backend.device.get(), std::memory_order_release);
        m_lastOpened = backend.device.get();
        setDevicePath(path);
        setLastError(QString());
        return true;
    }
    setLastError(noDeviceText(path));
    return false;
}

bool CompositeUsbDevice::isOpen() const
{
    UsbDevice* active = m_active.load(std::memory_order_acquire);
    return active && active->isOpen();
}

bool CompositeUsbDevice::close()
{
    if (UsbDevice* active = m_active.exchange(nullptr, std::memory_order_acq_rel))
        active->close();
    return true;
}

bool CompositeUsbDevice::openDeviceStillPresent()
{
    if (m_lastOpened && m_lastOpened->devicePath() == devicePath())
        return m_lastOpened->openDeviceStillPresent();
    return UsbDevice::openDeviceStillPresent();
}

void CompositeUsbDevice::registerNotifications(quintptr nativeWindow)
{
    for (const Backend& backend : m_backends)
        backend.device->registerNotifications(nativeWindow);
}

bool CompositeUsbDevice::handleNativeEvent(const QByteArray& eventType, void* message)
{
    bool handled = false;
    for (const Backend& backend : m_backends)
        handled = backend.device->handleNativeEvent(eventType, message) || handled;
    return handled;
}

int CompositeUsbDevice::read(std::uint8_t* buffer, const TransferKeepGoing& keepGoing)
{
    UsbDevice* active = m_active.load(std::memory_order_acquire);
    return active ? active->read(buffer, keepGoing) : -1;
}

int CompositeUsbDevice::drainInput(const TransferKeepGoing& keepGoing)
{
    UsbDevice* active = m_active.load(std::memory_order_acquire);
    return active ? active->drainInput(keepGoing) : 0;
}

int CompositeUsbDevice::bulkWrite(const std::uint8_t* data, qint64 length, const TransferKeepGoing& keepGoing)
{
    UsbDevice* active = m_active.load(std::memory_order_acquire);
    if (!active)
        return -1;
    // writeFrame() and writeCommand() differ only in how they take the buffer; both end here.
    return active->writeCommand(data, int(length), keepGoing);
}
