#pragma once

#include "device/UsbDevice.h"
#include "device/windows/WinUsbAccess.h"

// The screen controller through WinUSB: a device interface of the screen's class, named by its
// friendly name; arrival and removal from WM_DEVICECHANGE through the main window's native event
// hook.
class WinUsbDevice final : public UsbDevice
{
    Q_OBJECT

public:
    explicit WinUsbDevice(QObject* parent = nullptr);
    ~WinUsbDevice() override;

    QList<UsbDeviceInfo> listDevices() override;
    bool open(const QString& path) override;
    bool isOpen() const override;
    bool close() override;
    // nativeWindow: the main window's HWND.
    void registerNotifications(quintptr nativeWindow) override;
    bool handleNativeEvent(const QByteArray& eventType, void* message) override;
    int read(std::uint8_t* buffer, const TransferKeepGoing& keepGoing) override;

protected:
    int bulkWrite(const std::uint8_t* data, qint64 length, const TransferKeepGoing& keepGoing) override;

private:
    WinUsbAccess::Link m_link;
};
