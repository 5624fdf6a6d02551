#include "tests/support/simulator/SimTestClient.h"

#include "simulator/SimProtocol.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QPainter>
#include <QThread>

namespace SimTest {

namespace {

void putCrc32(QByteArray& packet, int at)
{
    const uint32_t crc = SimProtocol::crc32(reinterpret_cast<const uint8_t*>(packet.constData()), size_t(at));
    SimProtocol::writeBigEndian32(reinterpret_cast<uint8_t*>(packet.data()) + at, crc);
}

QByteArray fixedCommand(std::initializer_list<uint8_t> head)
{
    QByteArray packet(36, '\0');
    int i = 0;
    for (uint8_t b : head)
        packet[i++] = char(b);
    return packet;
}

void spin()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
}

} // namespace

QByteArray identifyRequest()
{
    QByteArray packet = fixedCommand({0xAA, 0x55, 0x4B, 0x4C, 0x54});
    putCrc32(packet, 32);
    return packet;
}

QByteArray restartRequest(uint8_t target)
{
    QByteArray packet = fixedCommand({0xAA, 0x55, 0x4F, 0x75, 0x73, 0x42, target});
    putCrc32(packet, 32);
    return packet;
}

QByteArray firmwareBlock(uint32_t address, const QByteArray& data)
{
    const int total = data.size() + 14;
    QByteArray packet(total == 36 ? 38 : total, '\0');
    packet[0] = char(0xAA);
    packet[1] = char(0x55);
    packet[2] = char(0x4A);
    packet[3] = char(total >> 16);
    packet[4] = char(total >> 8);
    packet[5] = char(total);
    SimProtocol::writeBigEndian32(reinterpret_cast<uint8_t*>(packet.data()) + 6, address);
    packet.replace(10, data.size(), data);
    putCrc32(packet, 10 + data.size());
    if (packet.size() == 38) {
        packet[36] = char(0xEE); // whatever followed in the host's transmit buffer
        packet[37] = char(0xEE);
    }
    return packet;
}

QByteArray firmwareEnd(uint32_t imageBytes, uint32_t imageCrc)
{
    QByteArray packet = fixedCommand({0xAA, 0x55, 0x4C, 0x00, 0x00, 0x24});
    SimProtocol::writeBigEndian32(reinterpret_cast<uint8_t*>(packet.data()) + 10, imageBytes);
    SimProtocol::writeBigEndian32(reinterpret_cast<uint8_t*>(packet.data()) + 14, imageCrc);
    putCrc32(packet, 32);
    return packet;
}

QByteArray frame(const QByteArray& jpeg, int brightness, int displayMode, int sleepFlag)
{
    QByteArray packet(40, '\0');
    packet[0] = char(0x5A);
    packet[1] = char(0xA5);
    auto* p = reinterpret_cast<uint8_t*>(packet.data());
    SimProtocol::writeBigEndian32(p + 2, uint32_t(jpeg.size()));
    const uint16_t crc = SimProtocol::crc16Modbus(p + 2, 4);
    p[6] = uint8_t(crc >> 8);
    p[7] = uint8_t(crc);
    p[8] = uint8_t(brightness & 0x7F);
    p[9] = uint8_t(displayMode);
    p[10] = uint8_t(sleepFlag);
    return packet + jpeg;
}

QByteArray jpegPicture(const QColor& colour, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QPainter(&image).fillRect(100, 100, 60, 60, Qt::white);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return bytes;
}

bool Client::connectTo(const QString& socketPath, int timeoutMs)
{
    m_socket.connectToServer(socketPath);
    const QDeadlineTimer deadline(timeoutMs);
    while (m_socket.state() != QLocalSocket::ConnectedState && !deadline.hasExpired()) {
        if (m_socket.state() == QLocalSocket::UnconnectedState)
            return false;
        spin();
    }
    return m_socket.state() == QLocalSocket::ConnectedState;
}

void Client::send(const QByteArray& payload)
{
    m_socket.write(SimProtocol::message(SimProtocol::kEndpointOut, payload));
    m_socket.flush();
}

std::optional<QByteArray> Client::takeReply()
{
    m_inbox.append(m_socket.readAll());
    if (m_inbox.size() < 5)
        return std::nullopt;
    const auto* head = reinterpret_cast<const uint8_t*>(m_inbox.constData());
    const uint32_t length = SimProtocol::readBigEndian32(head + 1);
    if (uint32_t(m_inbox.size()) < 5 + length)
        return std::nullopt;
    if (head[0] != SimProtocol::kEndpointIn)
        qWarning("reply on endpoint %02x", head[0]);
    QByteArray payload = m_inbox.mid(5, int(length));
    m_inbox.remove(0, 5 + int(length));
    return payload;
}

std::optional<QByteArray> Client::readReply(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (auto reply = takeReply())
            return reply;
        if (deadline.hasExpired() || m_socket.state() == QLocalSocket::UnconnectedState)
            return takeReply();
        spin();
    }
}

int Client::pendingReplies()
{
    m_inbox.append(m_socket.readAll());
    int count = 0;
    int pos = 0;
    while (m_inbox.size() - pos >= 5) {
        const uint32_t length =
            SimProtocol::readBigEndian32(reinterpret_cast<const uint8_t*>(m_inbox.constData()) + pos + 1);
        if (uint32_t(m_inbox.size() - pos) < 5 + length)
            break;
        ++count;
        pos += 5 + int(length);
    }
    return count;
}

bool Client::waitForDisconnect(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (m_socket.state() != QLocalSocket::UnconnectedState && !deadline.hasExpired())
        spin();
    return m_socket.state() == QLocalSocket::UnconnectedState;
}

} // namespace SimTest
