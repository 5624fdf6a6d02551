#include "simulator/SimProtocol.h"

#include <QDir>

#include <array>
#include <cstring>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace SimProtocol {

namespace {

std::array<uint32_t, 256> makeCrc32Table()
{
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1u) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        table[i] = c;
    }
    return table;
}

const uint8_t* bytes(const QByteArray& a)
{
    return reinterpret_cast<const uint8_t*>(a.constData());
}

bool startsWith(const QByteArray& payload, std::initializer_list<uint8_t> prefix)
{
    if (payload.size() < static_cast<int>(prefix.size()))
        return false;
    int i = 0;
    for (uint8_t b : prefix) {
        if (static_cast<uint8_t>(payload[i++]) != b)
            return false;
    }
    return true;
}

void appendCrc32(QByteArray& packet)
{
    const uint32_t crc = crc32(packet);
    packet.resize(packet.size() + 4);
    writeBigEndian32(reinterpret_cast<uint8_t*>(packet.data()) + packet.size() - 4, crc);
}

} // namespace

uint32_t crc32(const uint8_t* data, std::size_t size)
{
    static const std::array<uint32_t, 256> table = makeCrc32Table();
    uint32_t crc = 0;
    for (std::size_t i = 0; i < size; ++i)
        crc = (crc >> 8) ^ table[(crc ^ data[i]) & 0xFFu];
    return crc;
}

uint32_t crc32(const QByteArray& b)
{
    return crc32(bytes(b), static_cast<std::size_t>(b.size()));
}

uint16_t crc16Modbus(const uint8_t* data, std::size_t size)
{
    uint16_t reg = 0xFFFF;
    for (std::size_t i = 0; i < size; ++i) {
        reg ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            reg = (reg & 1u) ? static_cast<uint16_t>((reg >> 1) ^ 0xA001u) : static_cast<uint16_t>(reg >> 1);
    }
    return reg;
}

uint32_t readBigEndian32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

void writeBigEndian32(uint8_t* p, uint32_t value)
{
    p[0] = uint8_t(value >> 24);
    p[1] = uint8_t(value >> 16);
    p[2] = uint8_t(value >> 8);
    p[3] = uint8_t(value);
}

PacketKind classify(const QByteArray& payload)
{
    if (startsWith(payload, {0x5A, 0xA5}))
        return PacketKind::ScreenFrame;
    if (startsWith(payload, {0xAA, 0x55, 0x4B, 0x4C, 0x54}))
        return PacketKind::Identify;
    if (startsWith(payload, {0xAA, 0x55, 0x4F, 0x75, 0x73, 0x42}))
        return PacketKind::Restart;
    if (startsWith(payload, {0xAA, 0x55, 0x4A}))
        return PacketKind::FirmwareBlock;
    if (startsWith(payload, {0xAA, 0x55, 0x4C, 0x00, 0x00, 0x24}))
        return PacketKind::FirmwareEnd;
    return PacketKind::Unknown;
}

FrameError parseFrame(const QByteArray& payload, FrameHeader* header)
{
    if (payload.size() < kFrameHeaderBytes)
        return FrameError::TooShort;
    const uint8_t* p = bytes(payload);
    if (p[0] != 0x5A || p[1] != 0xA5)
        return FrameError::BadMagic;
    const uint16_t crc = crc16Modbus(p + 2, 4);
    if (p[6] != uint8_t(crc >> 8) || p[7] != uint8_t(crc & 0xFF))
        return FrameError::BadLengthCrc;
    const uint32_t n = readBigEndian32(p + 2);
    if (quint64(payload.size()) != quint64(kFrameHeaderBytes) + n)
        return FrameError::LengthMismatch;
    header->jpegBytes = n;
    header->brightness = p[8];
    header->displayMode = p[9];
    header->sleepFlag = p[10];
    return FrameError::None;
}

bool fixedCommandCrcOk(const QByteArray& payload)
{
    if (payload.size() < kFixedCommandBytes)
        return false;
    const uint8_t* p = bytes(payload);
    return crc32(p, 32) == readBigEndian32(p + 32);
}

BlockError parseFirmwareBlock(const QByteArray& payload, FirmwareBlock* block)
{
    if (payload.size() < kFirmwareBlockOverheadBytes + 1)
        return BlockError::TooShort;
    const uint8_t* p = bytes(payload);
    const uint32_t total = (uint32_t(p[3]) << 16) | (uint32_t(p[4]) << 8) | uint32_t(p[5]);
    if (total < uint32_t(kFirmwareBlockOverheadBytes + 1) ||
        total > uint32_t(kFirmwareBlockOverheadBytes + kFirmwareBlockMaxData))
        return BlockError::BadLength;
    if (uint32_t(payload.size()) < total)
        return BlockError::TooShort;
    const uint32_t dataBytes = total - kFirmwareBlockOverheadBytes;
    if (crc32(p, 10 + dataBytes) != readBigEndian32(p + 10 + dataBytes))
        return BlockError::BadCrc;
    block->address = readBigEndian32(p + 6);
    block->data = payload.mid(10, int(dataBytes));
    return BlockError::None;
}

FirmwareEnd parseFirmwareEnd(const QByteArray& payload)
{
    const uint8_t* p = bytes(payload);
    return FirmwareEnd{readBigEndian32(p + 10), readBigEndian32(p + 14)};
}

int restartTarget(const QByteArray& payload)
{
    return static_cast<uint8_t>(payload.at(6));
}

QByteArray identifyReply(char stateLetter, const QString& version, uint16_t model)
{
    QByteArray reply(32, '\0');
    reply[0] = char(0xAA);
    reply[1] = char(0x55);
    reply[2] = stateLetter;
    const QByteArray v = version.toLatin1().leftJustified(5, ' ', true);
    std::memcpy(reply.data() + 18, v.constData(), 5);
    reply[27] = char(model >> 8);
    reply[28] = char(model & 0xFF);
    appendCrc32(reply);
    return reply;
}

QByteArray shortReply(char commandLetter, uint8_t result)
{
    QByteArray reply(9, '\0');
    reply[0] = char(0xAA);
    reply[1] = char(0x55);
    reply[2] = commandLetter;
    reply[8] = char(result);
    appendCrc32(reply);
    return reply;
}

QByteArray message(uint8_t endpoint, const QByteArray& payload)
{
    QByteArray m(kMessageHeaderBytes, '\0');
    m[0] = char(endpoint);
    writeBigEndian32(reinterpret_cast<uint8_t*>(m.data()) + 1, uint32_t(payload.size()));
    m.append(payload);
    return m;
}

QString simulatorFolder()
{
    const QString fromEnv = qEnvironmentVariable("VORTANE_SIM_DIR");
    if (!fromEnv.isEmpty())
        return QDir::cleanPath(QDir(fromEnv).absolutePath());
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty())
        return QDir::cleanPath(runtime + QStringLiteral("/vortane-screen-sim"));
#ifndef _WIN32
    return QStringLiteral("/tmp/vortane-screen-sim-%1").arg(getuid());
#else
    return QDir::tempPath() + QStringLiteral("/vortane-screen-sim");
#endif
}

} // namespace SimProtocol
