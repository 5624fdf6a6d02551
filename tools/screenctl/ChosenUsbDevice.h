#pragma once

#include "device/UsbDevice.h"

#include <memory>

// The program's device object narrowed to one device, chosen by path or friendly name, so the
// controller's connect loop can only ever open that one. Everything else is passed through.
class ChosenUsbDevice final : public UsbDevice
{
    Q_OBJECT

public:
    ChosenUsbDevice(std::unique_ptr<UsbDevice> inner, const QString& pathOrName, QObject* parent = nullptr);
    ~ChosenUsbDevice() override;

    QList<UsbDeviceInfo> listDevices() override;
    bool open(const QString& path) override;
    bool isOpen() const override;
    bool close() override;
    void registerNotifications(quintptr nativeWindow) override;
    int read(std::uint8_t* buffer, const TransferKeepGoing& keepGoing) override;

protected:
    int bulkWrite(const std::uint8_t* data, qint64 length, const TransferKeepGoing& keepGoing) override;

private:
    std::unique_ptr<UsbDevice> m_inner;
    QString m_choice;
};
