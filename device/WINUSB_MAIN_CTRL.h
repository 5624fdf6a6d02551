#pragma once

#include "device/USB_BURN_CTRL.h"
#include "device/USB_DATA_CTRL.h"
#include "device/UsbDevice.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

// The host's single view of the cooler's screen controller: connects to the first device that
// answers the identify handshake, remembers its mode and firmware version, streams frames to it,
// and runs the restart and firmware exchanges. Every operation runs on the GUI thread; exchanges
// keep the GUI alive by processing events while they wait (so slots and timers run meanwhile).
//
// Exchange result codes: 0 success; -1 the write was not reported (or a precondition failed);
// -2 no reply; -3 wrong reply length; -4 reply CRC mismatch; -5 identify: unknown state letter;
// -6 identify: normal mode but model bytes not 00 01; firmware end: the result byte when not 0.
class WINUSB_MAIN_CTRL final : public QObject
{
    Q_OBJECT

public:
    // deviceMode() values.
    static constexpr int kModeNone = -1;
    static constexpr int kModeUpdate = 0;
    static constexpr int kModeNormal = 1;
    static constexpr int kModeThird = 2;

    // Reply limits, in polls of about 1 ms.
    static constexpr int kReplyPollLimitIdentify = 1000;
    static constexpr int kReplyPollLimitRestart = 2000;
    static constexpr int kReplyPollLimitFirmwareBlock = 2000;
    static constexpr int kReplyPollLimitFirmwareEnd = 10000;

    // Firmware images the device takes: 8 bytes up to 64 MiB, in blocks of 4096.
    static constexpr qint64 kFirmwareMinBytes = 8;
    static constexpr qint64 kFirmwareMaxBytes = 64LL * 1024 * 1024;
    // How long the firmware flow waits for the device to come back in update mode.
    static constexpr int kUpdateModeWaitMs = 30000;

    // sendFirmware() results besides 0.
    static constexpr int kFirmwareBadLength = -1;
    static constexpr int kFirmwareBlockFailed = -3;
    static constexpr int kFirmwareLastBlockFailed = -4;
    static constexpr int kFirmwareNotAccepted = -5;
    static constexpr int kFirmwareDeviceGone = -6;

    // Uses the program's device object (real devices and simulated screens).
    explicit WINUSB_MAIN_CTRL(QObject* parent = nullptr);
    // Uses the given device object (tests, tools).
    explicit WINUSB_MAIN_CTRL(std::unique_ptr<UsbDevice> device, QObject* parent = nullptr);
    // Stops both device threads, then closes the device.
    ~WINUSB_MAIN_CTRL() override;

    UsbDevice* usbDevice() const { return m_usbDevice.get(); }
    USB_DATA_CTRL* streamer() { return &m_streamer; }

    // openFirstDevice() results besides the identify codes: no device to try, and a call made
    // while an earlier one is still waiting for its identify reply.
    static constexpr int kConnectNoDevice = 1;
    static constexpr int kConnectBusy = 2;

    // The connect loop: tries every matching device in order until one answers identify, then
    // starts streaming to it. Returns 0 when a device is open afterwards (also one opened
    // before), kConnectNoDevice, the last identify result (-1 also for a device that would not
    // open), or kConnectBusy at once, touching nothing, when an earlier call is still waiting
    // for its identify reply (the wait processes events, so timers can call again).
    int openFirstDevice();
    // Whether a connect is waiting for its identify reply.
    bool isConnecting() const { return m_connecting; }
    // Stops the streamer and the exchange thread, closes the device, mode -1.
    void closeDevice();
    // For the device-removal notification: when the open device is no longer present as the
    // same device (its path has gone, or it left and came back under it), closes it (if open)
    // and returns true; otherwise changes nothing. The controller runs this itself on every
    // removal notice of its device object, before other receivers of that notice.
    bool handleDeviceRemoved();

    // A device is open and has completed its handshake: false while the connect loop still waits
    // for the identify reply of the device it has opened.
    bool isOpen() const;
    // The identify result of the last device the connect loop tried (1 when it found none to
    // try); lets tools say why no device connected.
    int lastConnectResult() const { return m_lastConnectResult; }
    int deviceMode() const { return m_deviceMode; }
    // Five characters from the last normal-mode identify reply; empty at first, kept on close.
    QString firmwareVersion() const { return m_firmwareVersion; }

    int identify();
    // target 0: restart into update mode; 1: into normal mode. 0 when the reply's CRC matches.
    int restartDevice(int target);
    // Normal mode only (else -1, nothing sent): stops streaming and asks for a restart into
    // update mode. The exchange thread is left running for the transfer.
    int enterUpdateMode();
    // Update mode only (else -1, nothing sent): asks for a restart into normal mode.
    int returnToNormalMode();

    // Processes events (sleeping 1 ms per turn) until a device is open in `mode`, for at most
    // timeoutMs; false when it gave up. With driveDiscovery it also runs discovery itself every
    // 100 ms, for callers without a main window doing that: an open device in another mode is
    // taken to be restarting (its link is stale) and closed, and the connect loop runs while no
    // device is open.
    bool waitForMode(int mode, int timeoutMs, bool driveDiscovery);
    // waitForMode(kModeUpdate, ...): the firmware flow's wait after enterUpdateMode().
    bool waitForUpdateMode(int timeoutMs, bool driveDiscovery)
    {
        return waitForMode(kModeUpdate, timeoutMs, driveDiscovery);
    }

    // 1 the image was written and accepted; 0 the transfer failed; -1 no device open in update
    // mode; -2 empty path; -3 the file cannot be read.
    int writeFirmwareFile(const QString& path);
    // 0 success; kFirmwareBadLength, kFirmwareBlockFailed, kFirmwareLastBlockFailed,
    // kFirmwareNotAccepted, kFirmwareDeviceGone. Emits burnMcuProgress after each full block and
    // 100 after the last one.
    int sendFirmware(const std::uint8_t* bytes, qint64 length, std::uint32_t imageCrc);

    // Hands a frame (40-byte header and JPEG) to the streamer, replacing any waiting frame.
    void pushFrame(const QByteArray& frame);

signals:
    // Firmware transfer progress in percent, emitted on the GUI thread.
    void burnMcuProgress(int percent);
    // GUI thread. The controller closed the open device by itself: it left (or left and came
    // back under the same path) or it stopped taking frames for USB_DATA_CTRL::kLinkLostMs.
    // Discovery should show the screen as not connected and start looking for it again.
    void deviceLost();
    // GUI thread. A removal notice of the device object, passed on once the controller has dealt
    // with it (after a command exchange that was waiting for its reply has returned).
    void deviceRemovalNoticed();
    // GUI thread. A screen is present but this user may not open it; once per device path
    // (UsbDevice::permissionDenied, passed on).
    void permissionDenied(const QString& devicePath);

private:
    Q_DISABLE_COPY(WINUSB_MAIN_CTRL)

    int firmwareBlock(std::uint32_t address, const std::uint8_t* data, int length);
    int firmwareEnd(std::uint32_t imageLength, std::uint32_t imageCrc);
    // Exchanges the packet in the transmit buffer and checks a 13-byte reply; *result gets byte 8.
    int shortExchange(int txLength, int replyPollLimit, std::uint8_t* result);
    // The device object's handles are open (whether or not the handshake has completed).
    bool deviceOpen() const;
    void onDeviceRemoved();
    // m_exchanger.exchange, with removal notices held back while it waits.
    int exchangeDeferringRemoval(int txLength, int replyPollLimit, int* rxLength);
    void onStreamLinkLost();

    std::unique_ptr<UsbDevice> m_usbDevice;
    USB_DATA_CTRL m_streamer;
    USB_BURN_CTRL m_exchanger;
    int m_deviceMode = kModeNone;
    QString m_firmwareVersion;
    bool m_connecting = false;
    // Exchanges waiting for their reply on the GUI thread (their wait processes events). A removal
    // notice that arrives meanwhile is handled once the exchange has returned: a screen that
    // restarts announces its removal right after it has answered, and closing the device under
    // the waiting exchange would lose that answer.
    int m_exchangesWaiting = 0;
    bool m_removalDeferred = false;
    int m_lastConnectResult = kConnectNoDevice;
    // Why each path could not be opened, as last logged: a device that keeps failing the same
    // way is logged once, not on every discovery turn.
    QHash<QString, QString> m_openProblems;
};
