#include "device/SimUsbDevice.h"

#include "device/DeviceLog.h"
#include "device/Packets.h"
#include "device/SimLink.h"

#include <QDir>
#include <QFileSystemWatcher>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Re-reads the folder this often as well, in case a change notification was missed or the folder
// was removed and made again.
constexpr int kRescanIntervalMs = 1000;

bool isSocketFile(const QString& path)
{
    struct stat st
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISSOCK(st.st_mode);
}

// Waits until fd is ready for `events` or one slice has passed. 1 ready, 0 slice over, -1 error.
int waitSlice(int fd, short events)
{
    pollfd p{fd, events, 0};
    for (;;) {
        const int r = ::poll(&p, 1, UsbDevice::kTransferSliceMs);
        if (r < 0 && errno == EINTR)
            continue;
        if (r < 0)
            return -1;
        if (r == 0)
            return 0;
        if (p.revents & (POLLERR | POLLNVAL))
            return -1;
        return 1; // readable, writable, or hung up (the next call reports the hang-up)
    }
}

// Sends all n bytes. Gives up when the peer fails, or when it accepted nothing for a whole slice
// and keepGoing says to stop.
bool sendAll(int fd, const std::uint8_t* data, std::size_t n, const TransferKeepGoing& keepGoing)
{
    while (n > 0) {
        const ssize_t sent = ::send(fd, data, n, MSG_NOSIGNAL);
        if (sent > 0) {
            data += sent;
            n -= std::size_t(sent);
            continue;
        }
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const int ready = waitSlice(fd, POLLOUT);
            if (ready < 0 || (ready == 0 && !keepGoing()))
                return false;
            continue;
        }
        return false;
    }
    return true;
}

// Receives exactly n bytes (into data, or discards them when data is null).
bool receiveAll(int fd, std::uint8_t* data, std::size_t n, const TransferKeepGoing& keepGoing)
{
    std::uint8_t scratch[4096];
    while (n > 0) {
        std::uint8_t* into = data ? data : scratch;
        const std::size_t want = data ? n : std::min(n, sizeof scratch);
        const ssize_t got = ::recv(fd, into, want, 0);
        if (got > 0) {
            if (data)
                data += got;
            n -= std::size_t(got);
            continue;
        }
        if (got == 0)
            return false; // the simulated screen went away
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            const int ready = waitSlice(fd, POLLIN);
            if (ready < 0 || (ready == 0 && !keepGoing()))
                return false;
            continue;
        }
        return false;
    }
    return true;
}

} // namespace

SimUsbDevice::SimUsbDevice(QObject* parent)
    : UsbDevice(parent)
{
}

SimUsbDevice::~SimUsbDevice()
{
    close();
}

bool SimUsbDevice::ownsPath(const QString& path)
{
    return path.startsWith(kSimPathPrefix);
}

quint64 SimUsbDevice::fileIdentity(const QString& path)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    // Inode and change time together: an inode number can be handed out again at once.
    return (quint64(st.st_ino) << 20) ^ quint64(st.st_dev) ^ (quint64(st.st_ctim.tv_nsec) << 1) ^
           (quint64(st.st_ctim.tv_sec) << 32);
}

QList<UsbDeviceInfo> SimUsbDevice::listDevices()
{
    QList<UsbDeviceInfo> devices;
    const QString folderPath = simFolder();
    if (folderPath.isEmpty())
        return devices;
    const QDir folder(folderPath);
    const QStringList names =
        folder.entryList({QStringLiteral("*.sock")}, QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
    for (const QString& fileName : names) {
        const QString file = folder.absoluteFilePath(fileName);
        if (!isSocketFile(file))
            continue;
        const QString name = fileName.chopped(5); // ".sock"
        if (name == QLatin1String("xxx"))
            continue;
        devices << UsbDeviceInfo{simDevicePath(file), name, QString()};
    }
    return devices;
}

bool SimUsbDevice::open(const QString& path)
{
    close();
    if (!ownsPath(path)) {
        setLastError(noDeviceText(path));
        return false;
    }
    const QString socketFile = path.mid(kSimPathPrefix.size());
    const QByteArray file = QFile::encodeName(socketFile);
    // Taken before connecting: a file made anew after this is another device.
    const quint64 identity = fileIdentity(socketFile);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (file.size() >= int(sizeof address.sun_path)) {
        setLastError(tr("The path of the simulated screen is too long: %1").arg(path));
        return false;
    }
    std::memcpy(address.sun_path, file.constData(), std::size_t(file.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        setLastError(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    // Connected while blocking (a local connect does not wait for the peer), then switched to
    // non-blocking so every transfer can wait in slices.
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK) != 0) {
        setLastError(tr("Cannot connect to the simulated screen at %1: %2")
                         .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
        ::close(fd);
        return false;
    }
    m_socket.store(fd, std::memory_order_release);
    m_openIdentity = identity;
    setDevicePath(path);
    setLastError(QString());
    qCDebug(lcDevice) << "opened simulated screen" << path;
    return true;
}

bool SimUsbDevice::isOpen() const
{
    return m_socket.load(std::memory_order_acquire) >= 0;
}

bool SimUsbDevice::close()
{
    const int fd = m_socket.exchange(-1, std::memory_order_acq_rel);
    if (fd >= 0)
        ::close(fd);
    return true;
}

bool SimUsbDevice::openDeviceStillPresent()
{
    const QString path = devicePath();
    return UsbDevice::openDeviceStillPresent() && fileIdentity(path.mid(kSimPathPrefix.size())) == m_openIdentity;
}

void SimUsbDevice::registerNotifications(quintptr)
{
    if (m_watcher)
        return;
    m_watcher = new QFileSystemWatcher(this);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &SimUsbDevice::rescanFolder);
    m_rescanTimer = new QTimer(this);
    m_rescanTimer->setInterval(kRescanIntervalMs);
    connect(m_rescanTimer, &QTimer::timeout, this, &SimUsbDevice::rescanFolder);
    m_rescanTimer->start();
    for (const UsbDeviceInfo& info : listDevices())
        m_knownPaths.insert(info.path, fileIdentity(info.path.mid(kSimPathPrefix.size())));
    rescanFolder();
}

void SimUsbDevice::rescanFolder()
{
    const QString folder = simFolder();
    if (!folder.isEmpty() && !QFileInfo::exists(folder)) {
        // Private to this user: anyone who can put a socket here can talk to the program.
        if (QDir().mkpath(folder))
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    if (!m_watcher->directories().contains(folder)) {
        const QStringList watched = m_watcher->directories();
        if (!watched.isEmpty())
            m_watcher->removePaths(watched);
        if (!folder.isEmpty())
            m_watcher->addPath(folder);
    }
    QHash<QString, quint64> present;
    for (const UsbDeviceInfo& info : listDevices())
        present.insert(info.path, fileIdentity(info.path.mid(kSimPathPrefix.size())));
    int removed = 0;
    int arrived = 0;
    for (auto it = m_knownPaths.constBegin(); it != m_knownPaths.constEnd(); ++it) {
        const auto now = present.constFind(it.key());
        if (now == present.constEnd()) {
            ++removed;
        } else if (*now != *it) {
            // Left and came back between two looks: both happened.
            ++removed;
            ++arrived;
        }
    }
    for (auto it = present.constBegin(); it != present.constEnd(); ++it)
        arrived += m_knownPaths.contains(it.key()) ? 0 : 1;
    m_knownPaths = present;
    for (int i = 0; i < removed; ++i)
        emit deviceRemoved();
    for (int i = 0; i < arrived; ++i)
        emit deviceArrived();
}

int SimUsbDevice::read(std::uint8_t* buffer, const TransferKeepGoing& keepGoing)
{
    const int fd = m_socket.load(std::memory_order_acquire);
    if (fd < 0)
        return -1;
    for (;;) {
        std::uint8_t header[kSimMessageHeaderSize];
        if (!receiveAll(fd, header, sizeof header, keepGoing))
            return -1;
        const std::uint32_t length = (std::uint32_t(header[1]) << 24) | (std::uint32_t(header[2]) << 16) |
                                     (std::uint32_t(header[3]) << 8) | header[4];
        if (length > kSimMaxPayload)
            return -1;
        const std::size_t delivered = std::min<std::size_t>(length, Packets::kMaxReadSize);
        if (header[0] != kSimDeviceToHost) {
            // Not meant for the host: skip it whole.
            if (!receiveAll(fd, nullptr, length, keepGoing))
                return -1;
            continue;
        }
        if (!receiveAll(fd, buffer, delivered, keepGoing) || !receiveAll(fd, nullptr, length - delivered, keepGoing))
            return -1;
        return int(delivered);
    }
}

int SimUsbDevice::drainInput(const TransferKeepGoing& keepGoing)
{
    const int fd = m_socket.load(std::memory_order_acquire);
    if (fd < 0)
        return 0;
    int dropped = 0;
    std::uint8_t scratch[Packets::kRxBufferSize];
    for (int i = 0; i < 16; ++i) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 0) <= 0 || !(p.revents & POLLIN))
            break;
        // A message that has begun to arrive is read whole, so the framing stays intact.
        if (read(scratch, keepGoing) < 0)
            break;
        ++dropped;
    }
    return dropped;
}

int SimUsbDevice::bulkWrite(const std::uint8_t* data, qint64 length, const TransferKeepGoing& keepGoing)
{
    const int fd = m_socket.load(std::memory_order_acquire);
    if (fd < 0 || length < 0 || quint64(length) > kSimMaxPayload)
        return -1;
    std::uint8_t header[kSimMessageHeaderSize];
    putSimMessageHeader(header, kSimHostToDevice, std::uint32_t(length));
    if (!sendAll(fd, header, sizeof header, keepGoing) || !sendAll(fd, data, std::size_t(length), keepGoing))
        return -1;
    return 1;
}
