#pragma once

#include "device/UsbDevice.h"

#include <QSet>

#include <atomic>

class QFileSystemWatcher;
class QTimer;

// Client side of the simulated link (see SimLink.h): simulated screens found in simFolder(),
// opened as Unix stream sockets. Arrival and removal come from watching the folder.
class SimUsbDevice final : public UsbDevice
{
    Q_OBJECT

public:
    explicit SimUsbDevice(QObject* parent = nullptr);
    ~SimUsbDevice() override;

    // Whether path names a simulated screen.
    static bool ownsPath(const QString& path);

    QList<UsbDeviceInfo> listDevices() override;
    bool open(const QString& path) override;
    bool isOpen() const override;
    bool close() override;
    // Watches the folder (created, private to the user, when missing) for sockets coming and going.
    void registerNotifications(quintptr nativeWindow) override;
    int read(std::uint8_t* buffer, const TransferKeepGoing& keepGoing) override;

protected:
    int bulkWrite(const std::uint8_t* data, qint64 length, const TransferKeepGoing& keepGoing) override;

private:
    void rescanFolder();

    // The connected socket; -1 when closed. Written on the GUI thread while no device thread runs.
    std::atomic<int> m_socket{-1};
    QFileSystemWatcher* m_watcher = nullptr;
    QTimer* m_rescanTimer = nullptr;
    QSet<QString> m_knownPaths;
};
