#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class QWidget;

// What the main window needs of the cooler's screen controller: discovery and the handshake, the
// frame hand-over, the firmware operations and the arrival / removal notices. One object per
// main window, created and used on the GUI thread; its signals arrive there (haveNoPacket and the
// notices queued from the device threads).
class DeviceLink : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(DeviceLink)

public:
    explicit DeviceLink(QObject* parent = nullptr);
    ~DeviceLink() override;

    // Tries every matching device until one completes the identify handshake; a call made while
    // an earlier one is still waiting for its reply does nothing.
    virtual void openFirstDevice();
    // Stops both device threads and closes the device.
    virtual void closeDevice();
    virtual bool isOpen() const;
    // -1 no device, 1 normal mode, 0 update mode, 2 third state.
    virtual int deviceMode() const;
    // Five characters from the last identify reply in normal mode; empty before.
    virtual QString firmwareVersion() const;
    // True when the open device is still among the present ones (a removal notice may concern
    // another device of the same kind).
    virtual bool openDeviceStillPresent() const;
    // Replaces a frame still waiting to be sent.
    virtual void pushFrame(const QByteArray& frame);
    // Asks a device in normal mode to restart into update mode (result codes of the controller).
    virtual int enterUpdateMode();
    virtual int returnToNormalMode();
    // Sends a firmware image to a device in update mode: 1 done, 0 failed transfer, -1 no device
    // in update mode, -2 empty path, -3 unreadable file (and the controller's refusals).
    virtual int writeFirmwareFile(const QString& path);
    // Starts watching for arrivals and removals. Where the platform delivers them as window
    // messages, `window`'s native handle receives them; elsewhere it is not touched (asking for a
    // native handle would turn the embedded main window into a native child window).
    virtual void registerNotifications(QWidget* window);
    // From the main window's native event hook: true when the message was a device notification
    // (it is still passed on to the default handling).
    virtual bool handleNativeEvent(const QByteArray& eventType, void* message);

    // The link to real screens and simulated ones, through the device controller.
    static std::unique_ptr<DeviceLink> createControllerLink(QObject* parent = nullptr);

signals:
    void haveNoPacket();
    void deviceArrived();
    void deviceRemoved();
    // The open device stopped taking frames and has been closed already; no removal notice follows.
    void deviceLost();
    // A screen is present but this user may not open it; `advice` says how to fix that. Once per
    // device path.
    void permissionDenied(const QString& devicePath, const QString& advice);
    void burnMcuProgress(int percent);
};
