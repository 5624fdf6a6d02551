#include "tests/support/device/FakeScreenDevice.h"

#include "device/Packets.h"

#include <QMetaObject>
#include <QTimer>

#include <chrono>
#include <cstring>

namespace {

QByteArray sealed(QByteArray reply)
{
    // Replies start AA 55 like commands; short replies name the command they answer in byte 2.
    reply[0] = char(0xAA);
    reply[1] = char(0x55);
    const std::uint32_t crc = Packets::packetCrc32(reply.constData(), std::size_t(reply.size()));
    for (int shift = 24; shift >= 0; shift -= 8)
        reply.append(char((crc >> shift) & 0xFF));
    return reply;
}

quint32 be32(const std::uint8_t* p)
{
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | p[3];
}

} // namespace

FakeScreenDevice::FakeScreenDevice(QObject* parent)
    : UsbDevice(parent)
{
}

FakeScreenDevice::~FakeScreenDevice() = default;

int FakeScreenDevice::addScreen(const Screen& screen)
{
    m_screens.append(screen);
    if (m_screens.last().path.isEmpty())
        m_screens.last().path = QStringLiteral("FAKE:VID_3767&PID_7791#%1").arg(m_screens.size());
    return m_screens.size() - 1;
}

QList<UsbDeviceInfo> FakeScreenDevice::listDevices()
{
    QList<UsbDeviceInfo> list;
    for (const Screen& s : m_screens) {
        if (s.present && s.name != QLatin1String("xxx"))
            list << UsbDeviceInfo{s.path, s.name, QString()};
    }
    return list;
}

bool FakeScreenDevice::open(const QString& path)
{
    close();
    for (int i = 0; i < m_screens.size(); ++i) {
        if (m_screens[i].path == path && m_screens[i].present) {
            if (m_screens[i].permissionDenied) {
                setLastError(permissionProblemText());
                notePermissionDenied(path);
                return false;
            }
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_replies.clear();
                m_gone = false;
                m_blocksSeen = 0;
            }
            m_openGeneration = m_screens[i].generation;
            m_open.store(i);
            setDevicePath(path);
            return true;
        }
    }
    setLastError(QStringLiteral("no such fake screen"));
    return false;
}

bool FakeScreenDevice::isOpen() const
{
    return m_open.load() >= 0;
}

bool FakeScreenDevice::close()
{
    m_open.store(-1);
    m_changed.notify_all();
    return true;
}

bool FakeScreenDevice::openDeviceStillPresent()
{
    for (const Screen& s : m_screens) {
        if (s.path == devicePath())
            return s.present && s.generation == m_openGeneration;
    }
    return false;
}

void FakeScreenDevice::releaseHeldReplies()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_replies.append(m_held);
        m_held.clear();
    }
    m_changed.notify_all();
}

int FakeScreenDevice::pendingReplies() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_replies.size();
}

void FakeScreenDevice::reenumerate(int index)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_open.load() == index)
            m_gone = true;
    }
    m_changed.notify_all();
    ++m_screens[index].generation;
    emit deviceRemoved();
    emit deviceArrived();
}

void FakeScreenDevice::unplug(int index)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_open.load() == index)
            m_gone = true;
    }
    m_changed.notify_all();
    m_screens[index].present = false;
    emit deviceRemoved();
}

void FakeScreenDevice::plugIn(int index)
{
    ++m_screens[index].generation;
    m_screens[index].present = true;
    emit deviceArrived();
}

int FakeScreenDevice::drainInput(const TransferKeepGoing&)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const int dropped = m_replies.size();
    m_replies.clear();
    if (m_leaveAfterReply >= 0 && dropped > 0) {
        const int index = m_leaveAfterReply;
        const char comeBack = m_leaveComeBack;
        m_leaveAfterReply = -1;
        QMetaObject::invokeMethod(
            this, [this, index, comeBack] { leave(index, comeBack); }, Qt::QueuedConnection);
    }
    return dropped;
}

QList<FakeScreenDevice::Received> FakeScreenDevice::commands() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_commands;
}

QList<QByteArray> FakeScreenDevice::frames() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_frames;
}

int FakeScreenDevice::commandCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_commands.size();
}

int FakeScreenDevice::frameCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_frames.size();
}

QByteArray FakeScreenDevice::firmwareImage() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_image;
}

QList<quint32> FakeScreenDevice::blockAddresses() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_blockAddresses;
}

QList<int> FakeScreenDevice::blockWriteLengths() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_blockWriteLengths;
}

void FakeScreenDevice::clearRecords()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_commands.clear();
    m_frames.clear();
    m_image.clear();
    m_blockAddresses.clear();
    m_blockWriteLengths.clear();
}

void FakeScreenDevice::setFrameGate(bool closed)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_gateClosed = closed;
    }
    m_changed.notify_all();
}

bool FakeScreenDevice::waitWhile(const std::function<bool()>& blocked, const TransferKeepGoing& keepGoing)
{
    // Called with m_mutex unlocked. Like a real transfer: waits in slices, and after a slice
    // without progress gives up if the caller is to stop.
    std::unique_lock<std::mutex> lock(m_mutex);
    ++m_blocked;
    while (blocked()) {
        if (m_open.load() < 0)
            break;
        const bool changed = m_changed.wait_for(lock, std::chrono::milliseconds(kTransferSliceMs),
                                                [&] { return !blocked() || m_open.load() < 0; });
        if (!changed) {
            lock.unlock();
            const bool goOn = keepGoing();
            lock.lock();
            if (!goOn)
                break;
        }
    }
    --m_blocked;
    return !blocked() && m_open.load() >= 0;
}

int FakeScreenDevice::bulkWrite(const std::uint8_t* data, qint64 length, const TransferKeepGoing& keepGoing)
{
    const int index = m_open.load();
    if (index < 0)
        return -1;
    const Screen& s = m_screens[index];
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_gone)
            return -1;
    }
    if (s.fault == Fault::FailWrites)
        return -1;
    if (s.fault == Fault::StallWrites) {
        waitWhile([] { return true; }, keepGoing);
        return -1;
    }
    const bool isCommand = length >= 3 && data[0] == 0xAA && data[1] == 0x55;
    if (!isCommand) {
        if (m_failFrames.load())
            return -1;
        if (!waitWhile([this] { return m_gateClosed; }, keepGoing))
            return -1;
        std::lock_guard<std::mutex> lock(m_mutex);
        m_frames.append(QByteArray(reinterpret_cast<const char*>(data), int(length)));
        return 1;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_commands.append(Received{s.path, QByteArray(reinterpret_cast<const char*>(data), int(length))});
        if (s.releaseHeldWithNextCommand) {
            m_replies.append(m_held);
            m_held.clear();
        }
    }
    answerCommand(data, length);
    return 1;
}

void FakeScreenDevice::queueReply(QByteArray reply)
{
    const Screen& s = m_screens[m_open.load()];
    if (s.fault == Fault::NoReply)
        return;
    if (s.fault == Fault::WrongLength)
        reply.chop(1);
    if (s.fault == Fault::BadCrc)
        reply[reply.size() - 1] = char(reply[reply.size() - 1] ^ 0x01);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_replies.append(reply);
    }
    m_changed.notify_all();
}

void FakeScreenDevice::answerCommand(const std::uint8_t* data, qint64 length)
{
    const int index = m_open.load();
    Screen& s = m_screens[index];
    QByteArray shortBody(9, '\0');
    shortBody[2] = char(data[2]);
    const QByteArray shortReply = sealed(shortBody);
    switch (data[2]) {
    case 0x4B: { // identify
        QByteArray reply(32, '\0');
        reply[2] = s.state;
        reply.replace(18, 5, s.version.left(5).leftJustified(5, '\0'));
        reply[27] = char(s.model[0]);
        reply[28] = char(s.model[1]);
        queueReply(sealed(reply));
        break;
    }
    case 0x4F: { // restart
        const char comeBack = data[6] == 0 ? '[' : ';';
        if (s.fault == Fault::NoReply) {
            QMetaObject::invokeMethod(
                this, [this, index, comeBack] { leave(index, comeBack); }, Qt::QueuedConnection);
            break;
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_leaveAfterReply = index;
            m_leaveComeBack = comeBack;
        }
        queueReply(shortReply);
        break;
    }
    case 0x4A: { // firmware block
        const int packetLength = (int(data[3]) << 16) | (int(data[4]) << 8) | data[5];
        const quint32 address = be32(data + 6);
        const int payload = packetLength - Packets::kFirmwareBlockOverhead;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_blockAddresses.append(address);
            m_blockWriteLengths.append(int(length));
            if (m_image.size() < int(address) + payload)
                m_image.resize(int(address) + payload);
            std::memcpy(m_image.data() + address, data + 10, std::size_t(payload));
            ++m_blocksSeen;
        }
        if (m_blocksUnanswered < s.unansweredBlocks) {
            ++m_blocksUnanswered;
            break;
        }
        queueReply(shortReply);
        if (s.fault == Fault::VanishAfterBlocks && m_blocksSeen >= s.vanishAfterBlocks) {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_gone = true;
            }
            QMetaObject::invokeMethod(
                this, [this, index] { leave(index, 0); }, Qt::QueuedConnection);
        }
        break;
    }
    case 0x4C: { // firmware end
        const quint32 imageLength = be32(data + 10);
        const quint32 imageCrc = be32(data + 14);
        int result = s.firmwareEndResult;
        if (result < 0) {
            const QByteArray image = firmwareImage();
            const bool good = quint32(image.size()) == imageLength &&
                              Packets::packetCrc32(image.constData(), std::size_t(image.size())) == imageCrc;
            result = good ? 0 : 2;
        }
        QByteArray reply(9, '\0');
        reply[2] = char(data[2]);
        reply[8] = char(result);
        if (m_endRepliesHeld < s.heldEndReplies) {
            ++m_endRepliesHeld;
            std::lock_guard<std::mutex> lock(m_mutex);
            m_held.append(sealed(reply));
            break;
        }
        queueReply(sealed(reply));
        break;
    }
    default:
        break;
    }
}

void FakeScreenDevice::leave(int index, char comeBackState)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_open.load() == index)
            m_gone = true;
    }
    m_changed.notify_all();
    m_screens[index].present = false;
    emit deviceRemoved();
    if (comeBackState == 0)
        return;
    QTimer::singleShot(m_screens[index].restartDelayMs, this, [this, index, comeBackState] {
        m_screens[index].state = comeBackState;
        m_screens[index].present = true;
        emit deviceArrived();
    });
}

int FakeScreenDevice::read(std::uint8_t* buffer, const TransferKeepGoing& keepGoing)
{
    if (m_open.load() < 0)
        return -1;
    if (!waitWhile([this] { return m_replies.isEmpty() && !m_gone; }, keepGoing))
        return -1;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_gone || m_replies.isEmpty())
        return -1;
    const QByteArray reply = m_replies.takeFirst();
    const int n = std::min(int(reply.size()), Packets::kMaxReadSize);
    std::memcpy(buffer, reply.constData(), std::size_t(n));
    if (m_leaveAfterReply >= 0 && m_replies.isEmpty()) {
        const int index = m_leaveAfterReply;
        const char comeBack = m_leaveComeBack;
        m_leaveAfterReply = -1;
        QMetaObject::invokeMethod(
            this, [this, index, comeBack] { leave(index, comeBack); }, Qt::QueuedConnection);
    }
    return n;
}
