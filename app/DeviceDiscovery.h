#pragma once

#include <QObject>

class DeviceLink;
class QLabel;
class QPushButton;
class QTimer;

// Finds the cooler's screen and keeps the homepage's connection button current. The connect timer
// tries every second until a device completes the identify handshake; an arrival notice shortens the
// period to 100 ms; a removal of the open device closes it and the search starts again.
// Owned by the main window; GUI thread only.
class DeviceDiscovery final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(DeviceDiscovery)

public:
    static constexpr int kConnectIntervalMs = 1000;
    static constexpr int kArrivalConnectIntervalMs = 100;

    // `device` outlives this object; `statusButton` shows "Screen Settings" or "Not Connected",
    // `firmwareVersionLabel` the firmware version of a device in normal mode.
    DeviceDiscovery(DeviceLink* device, QPushButton* statusButton, QLabel* firmwareVersionLabel,
                    QObject* parent = nullptr);
    ~DeviceDiscovery() override;

    // Starts looking once a second; stop() ends it (the window's destruction).
    void start();
    void stop();
    // The connect timer's period while it runs, else 0.
    int intervalMs() const;
    // Sets the connection button's text and cursor.
    void showConnected(bool connected);

public slots:
    // One attempt: opens the first device that answers the handshake. A call made while an
    // attempt is still waiting for its reply (the wait processes events, so the timer fires
    // inside it) returns at once and leaves the timer alone; an attempt that ends without an
    // open device leaves the search running.
    void connectDevice();
    void deviceArrived();
    void deviceRemoved();
    // The device was closed because it stopped taking frames: look for it again at once.
    void deviceLost();

signals:
    // The user should be told, once, why a present screen cannot be used.
    void permissionProblem(const QString& advice);

private:
    void keepLooking(int intervalMs);

    DeviceLink* m_device;
    QPushButton* m_statusButton;
    QLabel* m_firmwareVersionLabel;
    QTimer* m_connectTimer;
    bool m_connecting = false;
    bool m_permissionProblemShown = false;
};
