#pragma once

// The USB link to the screen controller behind one small interface: enumeration, open and close
// on the GUI thread; bulk transfers on the command exchange thread or the frame streaming thread
// (never both at once); arrival and removal as signals that reach the GUI thread queued.
// Backends: libusb on Linux, WinUSB on Windows, and the simulated link (Unix sockets) beside them.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

// Asked by a transfer between its waiting slices: true while the calling thread is still meant to
// run. A transfer that makes no progress for a whole slice gives up once this turns false.
using TransferKeepGoing = std::function<bool()>;

// One present device of the screen's kind.
struct UsbDeviceInfo
{
    QString path;    // the device path open() takes; compared case-sensitively
    QString name;    // friendly name (USB product string, or the simulated screen's name)
    QString problem; // empty when the device can be opened; otherwise why not, and the fix
};

class UsbDevice : public QObject
{
    Q_OBJECT

public:
    // A transfer waits for the device in slices of this length, then asks its TransferKeepGoing.
    static constexpr int kTransferSliceMs = 200;

    explicit UsbDevice(QObject* parent = nullptr);
    ~UsbDevice() override;

    // GUI thread. Present devices of the screen's kind, in enumeration order; names exactly "xxx"
    // are left out. Devices that cannot be opened are listed with their problem.
    virtual QList<UsbDeviceInfo> listDevices() = 0;
    // GUI thread. The paths of listDevices(), in the same order.
    QStringList enumerateDevices();

    // GUI thread. Opens the device and finds its bulk pipes; on success devicePath() is path.
    // On failure the object stays closed and lastError() says why.
    virtual bool open(const QString& path) = 0;
    virtual bool isOpen() const = 0;
    // GUI thread, only after both device threads have stopped. Always returns true.
    virtual bool close() = 0;

    // The path of the device last opened successfully; kept after close.
    QString devicePath() const { return m_devicePath; }
    // GUI thread. Whether the device last opened is still present as the same device: its path is
    // listed and, where the backend can tell, it has not left and come back meanwhile (a device
    // that restarts re-enumerates, and the old handle no longer reaches it).
    virtual bool openDeviceStillPresent();
    // Why the last open failed (empty after a successful one).
    QString lastError() const { return m_lastError; }

    // GUI thread, once. Starts arrival and removal notifications. nativeWindow is the main window's
    // native handle where the platform delivers them as window messages (Windows), else unused.
    virtual void registerNotifications(quintptr nativeWindow);
    // GUI thread, from the main window's native event hook. Returns true when the message was a
    // device notification this backend turned into deviceArrived() or deviceRemoved(); the message
    // is still to be passed on to the default handling.
    virtual bool handleNativeEvent(const QByteArray& eventType, void* message);

    // Exchange or streaming thread. One bulk write of the whole buffer to the OUT pipe: 1 on
    // success, -1 on failure, when not open, or when the device stalled and keepGoing turned false.
    int writeCommand(const std::uint8_t* data, int length, const TransferKeepGoing& keepGoing);
    int writeFrame(const QByteArray& frame, const TransferKeepGoing& keepGoing);
    // Exchange thread. One bulk read of at most Packets::kMaxReadSize bytes from the IN pipe into
    // buffer: the count delivered, or -1 on failure, when not open, or when keepGoing turned false.
    virtual int read(std::uint8_t* buffer, const TransferKeepGoing& keepGoing) = 0;
    // Exchange thread, before a command is written. Reads and drops whatever the device has
    // already sent on the IN pipe (late replies to exchanges that were given up), waiting only a
    // few milliseconds for each. Returns the number of replies dropped.
    virtual int drainInput(const TransferKeepGoing& keepGoing);

    // The text shown for a device that is present but may not be opened by this user.
    static QString permissionProblemText();
    // The text for a path that names no present device.
    static QString noDeviceText(const QString& path);

signals:
    // A device of the screen's kind (or any device, where the platform cannot tell) arrived or left.
    void deviceArrived();
    void deviceRemoved();
    // GUI thread. A device of the screen's kind is present but this user may not open it
    // (permissionProblemText() says how to fix that). Emitted once per device path.
    void permissionDenied(const QString& devicePath);

protected:
    virtual int bulkWrite(const std::uint8_t* data, qint64 length, const TransferKeepGoing& keepGoing) = 0;
    void setDevicePath(const QString& path) { m_devicePath = path; }
    void setLastError(const QString& text) { m_lastError = text; }
    // GUI thread. Logs and emits permissionDenied() the first time for this path only.
    void notePermissionDenied(const QString& path);

private:
    Q_DISABLE_COPY(UsbDevice)

    QString m_devicePath;
    QString m_lastError;
    QSet<QString> m_deniedPaths;
};
