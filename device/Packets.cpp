#include "device/Packets.h"

#include <array>
#include <cstring>

namespace Packets {

namespace {

constexpr std::array<std::uint32_t, 256> makeCrc32Table()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1U) ? (c >> 1) ^ 0xEDB88320U : (c >> 1);
        table[i] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kCrc32Table = makeCrc32Table();

void putBe32(std::uint8_t* p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}

std::uint32_t getBe32(const std::uint8_t* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

// Puts the CRC-32 of the first `covered` bytes right after them.
void sealCommand(std::uint8_t* tx, int covered)
{
    putBe32(tx + covered, packetCrc32(tx, static_cast<std::size_t>(covered)));
}

bool crcTrailerMatches(const std::uint8_t* rx, int covered)
{
    return getBe32(rx + covered) == packetCrc32(rx, static_cast<std::size_t>(covered));
}

} // namespace

std::uint32_t packetCrc32(const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::uint32_t crc = 0;
    for (std::size_t i = 0; i < size; ++i)
        crc = (crc >> 8) ^ kCrc32Table[(crc ^ bytes[i]) & 0xFFU];
    return crc;
}

std::uint16_t crc16Modbus(const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::uint16_t reg = 0xFFFF;
    for (std::size_t i = 0; i < size; ++i) {
        reg ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            reg = (reg & 1U) ? static_cast<std::uint16_t>((reg >> 1) ^ 0xA001U) : static_cast<std::uint16_t>(reg >> 1);
    }
    return reg;
}

int buildIdentifyRequest(std::uint8_t* tx)
{
    static constexpr std::uint8_t kHead[] = {0xAA, 0x55, 0x4B, 0x4C, 0x54};
    std::memset(tx, 0, kCommandSize);
    std::memcpy(tx, kHead, sizeof kHead);
    sealCommand(tx, 32);
    return kCommandSize;
}

int buildRestartRequest(std::uint8_t* tx, std::uint8_t target)
{
    static constexpr std::uint8_t kHead[] = {0xAA, 0x55, 0x4F, 0x75, 0x73, 0x42};
    std::memset(tx, 0, kCommandSize);
    std::memcpy(tx, kHead, sizeof kHead);
    tx[6] = target;
    sealCommand(tx, 32);
    return kCommandSize;
}

int buildFirmwareEnd(std::uint8_t* tx, std::uint32_t imageLength, std::uint32_t imageCrc)
{
    static constexpr std::uint8_t kHead[] = {0xAA, 0x55, 0x4C, 0x00, 0x00, 0x24};
    std::memset(tx, 0, kCommandSize);
    std::memcpy(tx, kHead, sizeof kHead);
    putBe32(tx + 10, imageLength);
    putBe32(tx + 14, imageCrc);
    sealCommand(tx, 32);
    return kCommandSize;
}

int buildFirmwareBlock(std::uint8_t* tx, std::uint32_t address, const std::uint8_t* data, int length)
{
    if (length < 1 || length > kFirmwareBlockMax)
        return -1;
    const int packetLength = length + kFirmwareBlockOverhead;
    tx[0] = 0xAA;
    tx[1] = 0x55;
    tx[2] = 0x4A;
    tx[3] = static_cast<std::uint8_t>(packetLength >> 16);
    tx[4] = static_cast<std::uint8_t>(packetLength >> 8);
    tx[5] = static_cast<std::uint8_t>(packetLength);
    putBe32(tx + 6, address);
    std::memcpy(tx + 10, data, static_cast<std::size_t>(length));
    sealCommand(tx, 10 + length);
    // The controller takes a 36-byte transfer for a fixed command, so a block that happens to be
    // 36 bytes long goes out as 38.
    if (packetLength == kCommandSize) {
        tx[36] = 0;
        tx[37] = 0;
        return kCommandSize + 2;
    }
    return packetLength;
}

void buildFrameHeader(std::uint8_t* header, std::uint32_t jpegLength, int brightness, bool screenOn,
                      std::uint8_t displayMode, std::uint8_t sleepFlag)
{
    std::memset(header, 0, kFrameHeaderSize);
    header[0] = 0x5A;
    header[1] = 0xA5;
    putBe32(header + 2, jpegLength);
    const std::uint16_t crc = crc16Modbus(header + 2, 4);
    header[6] = static_cast<std::uint8_t>(crc >> 8);
    header[7] = static_cast<std::uint8_t>(crc);
    header[8] = screenOn ? static_cast<std::uint8_t>(brightness & 0x7F) : 0;
    header[9] = displayMode;
    header[10] = sleepFlag;
}

ReplyCheck checkIdentifyReply(const std::uint8_t* rx, int length, IdentifyReply* out)
{
    if (length != kIdentifyReplySize)
        return ReplyWrongLength;
    if (!crcTrailerMatches(rx, 32))
        return ReplyBadCrc;
    out->state = rx[2];
    out->model[0] = rx[27];
    out->model[1] = rx[28];
    std::memcpy(out->version, rx + 18, sizeof out->version);
    return ReplyOk;
}

ReplyCheck checkShortReply(const std::uint8_t* rx, int length, std::uint8_t* result)
{
    if (length != kShortReplySize)
        return ReplyWrongLength;
    if (!crcTrailerMatches(rx, 9))
        return ReplyBadCrc;
    *result = rx[8];
    return ReplyOk;
}

bool replyAnswers(const std::uint8_t* tx, const std::uint8_t* rx, int length)
{
    const std::uint8_t command = tx[2];
    const bool identifyAsked = command == 0x4B;
    if (length == kIdentifyReplySize && crcTrailerMatches(rx, 32))
        return identifyAsked;
    if (length == kShortReplySize && crcTrailerMatches(rx, 9)) {
        if (identifyAsked)
            return false;
        // Byte 2 is read as a command letter only when it is one, after the magic.
        const bool namesCommand =
            rx[0] == 0xAA && rx[1] == 0x55 && (rx[2] == 0x4F || rx[2] == 0x4A || rx[2] == 0x4C || rx[2] == 0x4B);
        return !namesCommand || rx[2] == command;
    }
    return true;
}

FrameCheck checkFramePacket(const std::uint8_t* packet, std::size_t length, FrameHeader* out)
{
    if (length < std::size_t(kFrameHeaderSize))
        return FrameCheck::TooShort;
    if (packet[0] != 0x5A || packet[1] != 0xA5)
        return FrameCheck::BadMagic;
    const std::uint16_t crc = crc16Modbus(packet + 2, 4);
    if (packet[6] != std::uint8_t(crc >> 8) || packet[7] != std::uint8_t(crc))
        return FrameCheck::BadLengthCrc;
    const std::uint32_t jpegLength = getBe32(packet + 2);
    if (std::uint64_t(jpegLength) != std::uint64_t(length) - kFrameHeaderSize)
        return FrameCheck::LengthMismatch;
    out->jpegLength = jpegLength;
    out->brightness = packet[8];
    out->displayMode = packet[9];
    out->sleepFlag = packet[10];
    return FrameCheck::Ok;
}

bool parseCommand(const std::uint8_t* packet, int length, Command* out)
{
    if (length < 3 || packet[0] != 0xAA || packet[1] != 0x55)
        return false;
    if (packet[2] == 0x4A) {
        if (length < kFirmwareBlockOverhead + 1)
            return false;
        const int packetLength = (int(packet[3]) << 16) | (int(packet[4]) << 8) | packet[5];
        const int expectedWrite = packetLength == kCommandSize ? kCommandSize + 2 : packetLength;
        const int blockLength = packetLength - kFirmwareBlockOverhead;
        if (length != expectedWrite || blockLength < 1 || blockLength > kFirmwareBlockMax ||
            !crcTrailerMatches(packet, 10 + blockLength))
            return false;
        out->kind = CommandKind::FirmwareBlock;
        out->address = getBe32(packet + 6);
        out->blockData = packet + 10;
        out->blockLength = blockLength;
        return true;
    }
    if (length != kCommandSize || !crcTrailerMatches(packet, 32))
        return false;
    if (packet[2] == 0x4B && packet[3] == 0x4C && packet[4] == 0x54) {
        out->kind = CommandKind::Identify;
        return true;
    }
    if (packet[2] == 0x4F && packet[3] == 0x75 && packet[4] == 0x73 && packet[5] == 0x42) {
        out->kind = CommandKind::Restart;
        out->restartTarget = packet[6];
        return true;
    }
    if (packet[2] == 0x4C && packet[3] == 0x00 && packet[4] == 0x00 && packet[5] == 0x24) {
        out->kind = CommandKind::FirmwareEnd;
        out->imageLength = getBe32(packet + 10);
        out->imageCrc = getBe32(packet + 14);
        return true;
    }
    return false;
}

int buildIdentifyReply(std::uint8_t* out, std::uint8_t state, const char version[5], std::uint8_t model0,
                       std::uint8_t model1)
{
    std::memset(out, 0, kIdentifyReplySize);
    out[2] = state;
    std::memcpy(out + 18, version, 5);
    out[27] = model0;
    out[28] = model1;
    sealCommand(out, 32);
    return kIdentifyReplySize;
}

int buildShortReply(std::uint8_t* out, std::uint8_t result)
{
    std::memset(out, 0, kShortReplySize);
    out[8] = result;
    sealCommand(out, 9);
    return kShortReplySize;
}

} // namespace Packets
