#include "tests/support/device/SimScreenPeer.h"

#include "device/Packets.h"
#include "device/SimLink.h"

#include <QFile>

#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

bool sendAll(int fd, const char* data, std::size_t n)
{
    while (n > 0) {
        const ssize_t sent = ::send(fd, data, n, MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        data += sent;
        n -= std::size_t(sent);
    }
    return true;
}

bool sendMessage(int fd, std::uint8_t endpoint, const QByteArray& payload)
{
    std::uint8_t header[kSimMessageHeaderSize];
    putSimMessageHeader(header, endpoint, std::uint32_t(payload.size()));
    return sendAll(fd, reinterpret_cast<const char*>(header), sizeof header) &&
           sendAll(fd, payload.constData(), std::size_t(payload.size()));
}

} // namespace

SimScreenPeer::SimScreenPeer(const QString& folder, const QString& name)
    : m_path(folder + QLatin1Char('/') + name + QStringLiteral(".sock"))
{
    const QByteArray file = QFile::encodeName(m_path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (file.size() >= int(sizeof address.sun_path))
        return;
    std::memcpy(address.sun_path, file.constData(), std::size_t(file.size()));
    ::unlink(file.constData());
    m_listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listenFd < 0)
        return;
    if (::bind(m_listenFd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listenFd, 4) != 0) {
        ::close(m_listenFd);
        m_listenFd = -1;
        return;
    }
    m_thread = std::thread([this] { serve(); });
}

SimScreenPeer::~SimScreenPeer()
{
    vanish();
}

void SimScreenPeer::vanish()
{
    m_quit.store(true);
    if (m_thread.joinable())
        m_thread.join();
    if (m_listenFd >= 0) {
        ::close(m_listenFd);
        m_listenFd = -1;
        ::unlink(QFile::encodeName(m_path).constData());
    }
}

void SimScreenPeer::setPrelude(QList<Message> messages)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_prelude = std::move(messages);
}

QList<SimScreenPeer::Message> SimScreenPeer::received() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

void SimScreenPeer::serve()
{
    int client = -1;
    QByteArray pending;
    while (!m_quit.load()) {
        pollfd p{client >= 0 ? client : m_listenFd, POLLIN, 0};
        if (client >= 0 && m_stalled.load()) {
            ::usleep(10000);
            continue;
        }
        if (::poll(&p, 1, 20) <= 0)
            continue;
        if (client < 0) {
            client = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            continue;
        }
        char chunk[65536];
        const ssize_t got = ::recv(client, chunk, sizeof chunk, 0);
        if (got <= 0) {
            ::close(client);
            client = -1;
            pending.clear();
            continue;
        }
        pending.append(chunk, int(got));
        while (pending.size() >= kSimMessageHeaderSize) {
            const auto* h = reinterpret_cast<const std::uint8_t*>(pending.constData());
            const int length =
                int((std::uint32_t(h[1]) << 24) | (std::uint32_t(h[2]) << 16) | (std::uint32_t(h[3]) << 8) | h[4]);
            if (pending.size() < kSimMessageHeaderSize + length)
                break;
            Message message{h[0], pending.mid(kSimMessageHeaderSize, length)};
            pending.remove(0, kSimMessageHeaderSize + length);
            handle(client, message);
        }
    }
    if (client >= 0)
        ::close(client);
}

void SimScreenPeer::handle(int fd, const Message& message)
{
    QList<Message> prelude;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_received.append(message);
        prelude = m_prelude;
    }
    const QByteArray& p = message.payload;
    if (message.endpoint != kSimHostToDevice || p.size() < 3 || std::uint8_t(p[0]) != 0xAA)
        return; // screen frames are not answered
    for (const Message& m : prelude)
        sendMessage(fd, m.endpoint, m.payload);
    QByteArray reply(32, '\0');
    if (std::uint8_t(p[2]) == 0x4B) {
        reply[2] = ';';
        reply.replace(18, 5, "1.1.3");
        reply[28] = 1;
    } else {
        reply.resize(9);
    }
    const std::uint32_t crc = Packets::packetCrc32(reply.constData(), std::size_t(reply.size()));
    for (int shift = 24; shift >= 0; shift -= 8)
        reply.append(char((crc >> shift) & 0xFF));
    sendMessage(fd, kSimDeviceToHost, reply);
}
