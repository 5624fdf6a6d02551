#pragma once

#include "device/UsbDevice.h"

#include <atomic>
#include <memory>
#include <vector>

// Several backends seen as one device object: enumeration lists the devices of every backend in
// the order the backends were added (real devices first, then simulated screens); open() hands
// the path to the backend that owns it. Notifications of every backend are passed on.
class CompositeUsbDevice final : public UsbDevice
{
    Q_OBJECT

public:
    // A backend and the test that tells whether a path is one of its devices.
    using PathOwner = std::function<bool(const QString& path)>;

    explicit CompositeUsbDevice(QObject* parent = nullptr);
    ~CompositeUsbDevice() override;

    // GUI thread, before first use.
    void addBackend(std::unique_ptr<UsbDevice> backend, PathOwner ownsPath);

    QList<UsbDeviceInfo> listDevices() override;
    bool open(const QString& path) override;
    bool isOpen() const override;
    bool close() override;
    bool openDeviceStillPresent() override;
    void registerNotifications(quintptr nativeWindow) override;
    bool handleNativeEvent(const QByteArray& eventType, void* message) override;
    int read(std::uint8_t* buffer, const TransferKeepGoing& keepGoing) override;
    int drainInput(const TransferKeepGoing& keepGoing) override;

protected:
    int bulkWrite(const std::uint8_t* data, qint64 length, const TransferKeepGoing& keepGoing) override;

private:
    struct Backend
    {
        std::unique_ptr<UsbDevice> device;
        PathOwner ownsPath;
    };
    std::vector<Backend> m_backends;
    // The backend of the open device; set on the GUI thread before any device thread starts.
    std::atomic<UsbDevice*> m_active{nullptr};
    // The backend that opened devicePath() last; kept after close, like the path.
    UsbDevice* m_lastOpened = nullptr;
};
