#pragma once

#include "device/UsbDevice.h"

#include <QHash>
#include <QSet>

#include <atomic>
#include <memory>

struct libusb_context;
struct libusb_device;
struct libusb_device_handle;
class QThread;
class QTimer;

// The screen controller through libusb: devices matched by VID 0x3767 / PID 0x7791, named by
// their USB product string, opened on the bulk pipes of alternate setting 0 of the first
// interface that has bulk endpoints (kernel driver detached, interface claimed). Hotplug events
// are handled on a small event thread and leave it as signals, which reach the GUI thread queued;
// where libusb cannot deliver them, the present screens are listed once a second instead and the
// same signals are emitted for what came and went.
// Device paths look like "USB:VID_3767&PID_7791#BUS_001#PORT_1.4#ADDR_007": the port says where
// the cable is, the bus address tells a device that re-enumerated (after a restart or a resume)
// from the one that was opened before, so a stale handle is never taken for the new device.
class LibusbUsbDevice final : public UsbDevice
{
    Q_OBJECT

public:
    // How arrival and removal are noticed.
    enum class Notifications
    {
        HotplugWhereAvailable, // libusb hotplug events, else polling
        PollingOnly,           // polling once a second (also for tests of the fallback)
    };
    static constexpr int kPresencePollMs = 1000;

    explicit LibusbUsbDevice(QObject* parent = nullptr)
        : LibusbUsbDevice(Notifications::HotplugWhereAvailable, parent)
    {
    }
    explicit LibusbUsbDevice(Notifications notifications, QObject* parent = nullptr);
    ~LibusbUsbDevice() override;

    // Whether libusb could be started at all (no USB access at all otherwise, e.g. in a sandbox).
    bool isAvailable() const { return m_context != nullptr; }

    QList<UsbDeviceInfo> listDevices() override;
    bool open(const QString& path) override;
    bool isOpen() const override;
    bool close() override;
    void registerNotifications(quintptr nativeWindow) override;
    int read(std::uint8_t* buffer, const TransferKeepGoing& keepGoing) override;
    int drainInput(const TransferKeepGoing& keepGoing) override;

    // Whether arrival and removal are noticed by polling (after registerNotifications()).
    bool isPolling() const { return m_pollTimer != nullptr; }

    // The path this backend gives a device.
    static QString pathOf(libusb_device* device);

protected:
    int bulkWrite(const std::uint8_t* data, qint64 length, const TransferKeepGoing& keepGoing) override;

private:
    struct ContextDeleter
    {
        void operator()(libusb_context* context) const;
    };
    struct HandleDeleter
    {
        void operator()(libusb_device_handle* handle) const;
    };

    void stopEventThread();
    void startPolling();
    void pollPresence();
    bool openHandle(libusb_device* device, const QString& path);
    // After LIBUSB_ERROR_PIPE: clears the endpoint's halt so later transfers can pass again.
    void clearStall(libusb_device_handle* handle, std::uint8_t endpoint);

    std::unique_ptr<libusb_context, ContextDeleter> m_context;
    std::unique_ptr<libusb_device_handle, HandleDeleter> m_handle;
    // The handle the transfers use; null when closed. Set on the GUI thread while no device
    // thread runs.
    std::atomic<libusb_device_handle*> m_liveHandle{nullptr};
    int m_interface = -1;
    std::uint8_t m_inPipe = 0;
    std::uint8_t m_outPipe = 0;

    Notifications m_notifications;
    QTimer* m_pollTimer = nullptr;
    QSet<QString> m_polledPaths;

    int m_hotplugHandle = 0;
    bool m_hotplugRegistered = false;
    std::atomic<bool> m_stopEvents{false};
    QThread* m_eventThread = nullptr;

    // Product strings already read, by path; reading one needs the device opened.
    QHash<QString, QString> m_names;
};
