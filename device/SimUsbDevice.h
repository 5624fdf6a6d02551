#pragma once

#include "device/UsbDevice.h"

#include <QHash>

#include <atomic>

class QFileSystemWatcher;
class QTimer;

// Client side of the simulated link (see SimLink.h): simulated screens found in simFolder(),
// opened as Unix stream sockets. Arrival and removal come from watching the folder. A socket file
// made anew under the same name (a simulated screen that restarted) is another device: it is
// reported as a removal and an arrival, and the connection to the old one is stale.
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
    // The socket file is listed and is still the one that was connected to.
    bool openDeviceStillPresent() override;
    // Watches the folder (created, private to the user, when missing) for sockets coming and going.
    void registerNotifications(quintptr nativeWindow) override;
    int read(std::uint8_t* buffer, const TransferKeepGoing& keepGoing) override;
    int drainInput(const TransferKeepGoing& keepGoing) override;

protected:
    int bulkWrite(const std::uint8_t* data, qint64 length, const TransferKeepGoing& keepGoing) override;

private:
    void rescanFolder();
    // What tells one socket file from another made later under the same name (0 when absent).
    static quint64 fileIdentity(const QString& path);

    // The connected socket; -1 when closed. Written on the GUI thread while no device thread runs.
    std::atomic<int> m_socket{-1};
    QFileSystemWatcher* m_watcher = nullptr;
    QTimer* m_rescanTimer = nullptr;
    QHash<QString, quint64> m_knownPaths; // path -> file identity
    quint64 m_openIdentity = 0;
};
